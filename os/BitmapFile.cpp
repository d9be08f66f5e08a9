#include "os/BitmapFile.h"

#include <cerrno>
#include <cstdint>
#include <span>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "os/BitmapHeader.h"
#include "os/BitmapPixelCheck.h"

namespace {

[[noreturn]] void ThrowCannotOpen(const std::string& FileName) {
  throw EFOpenError("Cannot open file " + FileName);
}

class TFileDescriptor {
public:
  explicit TFileDescriptor(int Descriptor) : FDescriptor(Descriptor) {}
  ~TFileDescriptor() {
    if (FDescriptor >= 0) close(FDescriptor);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int Get() const { return FDescriptor; }

private:
  int FDescriptor;
};

// Reads a whole regular file. Non-blocking open, so that a FIFO named like a picture cannot hang
// the program; only regular files are read, and only up to the size limit.
std::vector<std::uint8_t> ReadWholeFile(const std::string& FileName) {
  const TFileDescriptor File(open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat Status {};
  if (File.Get() < 0 || fstat(File.Get(), &Status) != 0 || !S_ISREG(Status.st_mode)) {
    ThrowCannotOpen(FileName);
  }
  RequireValidBitmap(Status.st_size >= 0 && static_cast<std::uint64_t>(Status.st_size) <= MaxBitmapFileSize);

  std::vector<std::uint8_t> Bytes(static_cast<std::size_t>(Status.st_size));
  std::size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t Count = read(File.Get(), Bytes.data() + Done, Bytes.size() - Done);
    if (Count < 0 && errno == EINTR) continue;
    RequireValidBitmap(Count >= 0);
    if (Count == 0) break;  // the file shrank while being read: decode what is there
    Done += static_cast<std::size_t>(Count);
  }
  Bytes.resize(Done);
  return Bytes;
}

// SDL 2.26 reads a full 256-entry table for a 1, 2 or 4-bit picture whose header leaves the colour
// count at zero, taking pixel bytes for colours; the file's table holds only 1 << bits of them.
void KeepFileColourCount(SDL_Surface& Surface, std::uint32_t ColourCount) {
  SDL_Palette* Palette = Surface.format->palette;
  RequireValidBitmap(Surface.format->format == SDL_PIXELFORMAT_INDEX8 && Palette != nullptr &&
                     Palette->ncolors >= static_cast<int>(ColourCount));
  Palette->ncolors = static_cast<int>(ColourCount);
}

}  // namespace

TSurfacePtr LoadBitmapFile(const std::string& FileName) {
  const std::vector<std::uint8_t> Bytes = ReadWholeFile(FileName);
  return LoadBitmapFromMemory(Bytes.data(), Bytes.size());
}

TSurfacePtr LoadBitmapFromMemory(const void* Data, std::size_t Size) {
  RequireValidBitmap(Data != nullptr && Size > 0 && Size <= MaxBitmapFileSize);
  const std::span<const std::uint8_t> File(static_cast<const std::uint8_t*>(Data), Size);
  const TBitmapHeader Header = ReadBitmapHeader(File);
  CheckBitmapPixels(Header, File);

  SDL_RWops* Stream = SDL_RWFromConstMem(Data, static_cast<int>(Size));
  RequireValidBitmap(Stream != nullptr);
  TSurfacePtr Surface = AdoptSurface(SDL_LoadBMP_RW(Stream, 1));  // 1: SDL closes the stream
  RequireValidBitmap(Surface != nullptr && Surface->w == Header.FWidth && Surface->h == Header.FHeight);
  if (Header.FColourCount > 0) KeepFileColourCount(*Surface, Header.FColourCount);
  return Surface;
}
