#include "os/LineReader.h"

#include "os/FileHandle.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string_view LineText(const char* Begin, const char* End) {
  if (End > Begin && End[-1] == '\r') --End;
  return {Begin, static_cast<std::size_t>(End - Begin)};
}

}  // namespace

int ReadFileLines(const std::filesystem::path& Path, const TLineHandler& OnLine, std::size_t LineLimit) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
  TFileHandle File(::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!File.IsOpen()) return errno;
  return ReadFileLines(File.Descriptor(), OnLine, LineLimit);
}

int ReadFileLines(int Descriptor, const TLineHandler& OnLine, std::size_t LineLimit, std::size_t ChunkSize) {
  struct stat Status {};
  if (::fstat(Descriptor, &Status) != 0) return errno;
  if (S_ISDIR(Status.st_mode)) return EISDIR;
  if (!S_ISREG(Status.st_mode)) return EINVAL;
  ChunkSize = std::max<std::size_t>(ChunkSize, 1);
  try {
    std::vector<char> Buffer(ChunkSize);
    std::size_t Start = 0;    // the first byte not yet handed over
    std::size_t Scanned = 0;  // bytes before it hold no '\n' after Start
    std::size_t Filled = 0;
    for (;;) {
      while (const void* Found = std::memchr(Buffer.data() + Scanned, '\n', Filled - Scanned)) {
        const char* Newline = static_cast<const char*>(Found);
        if (!OnLine(LineText(Buffer.data() + Start, Newline))) return 0;
        Start = Scanned = static_cast<std::size_t>(Newline - Buffer.data()) + 1;
      }
      Scanned = Filled;
      if (Filled - Start > LineLimit) return EFBIG;
      // Keep the unfinished line at the front, with room for the next chunk behind it.
      if (Start > 0) {
        std::memmove(Buffer.data(), Buffer.data() + Start, Filled - Start);
        Filled -= Start;
        Scanned -= Start;
        Start = 0;
      }
      if (Buffer.size() - Filled < ChunkSize / 2 + 1) Buffer.resize(Buffer.size() * 2);
      const ssize_t Count = ::read(Descriptor, Buffer.data() + Filled, Buffer.size() - Filled);
      if (Count < 0) {
        if (errno == EINTR) continue;
        return errno;
      }
      if (Count == 0) break;
      Filled += static_cast<std::size_t>(Count);
    }
    if (Filled > Start) OnLine(LineText(Buffer.data() + Start, Buffer.data() + Filled));
    return 0;
  } catch (const std::bad_alloc&) {
    return ENOMEM;
  }
}
