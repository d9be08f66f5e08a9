#include "os/WholeFile.h"

#include "os/FileHandle.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TWholeFile FailedRead(int Error) { return {TReadStatus::Failed, {}, Error}; }

}  // namespace

TWholeFile ReadWholeFile(const std::filesystem::path& Path, std::size_t SizeLimit) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
  TFileHandle File(::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!File.IsOpen()) {
    const int Error = errno;
    if (Error == ENOENT || Error == ENOTDIR) return {TReadStatus::Missing, {}, Error};
    return FailedRead(Error);
  }
  return ReadWholeFile(File.Descriptor(), SizeLimit);
}

TWholeFile ReadWholeFile(int Descriptor, std::size_t SizeLimit) {
  struct stat Status {};
  if (::fstat(Descriptor, &Status) != 0) return FailedRead(errno);
  if (S_ISDIR(Status.st_mode)) return FailedRead(EISDIR);
  if (!S_ISREG(Status.st_mode)) return FailedRead(EINVAL);
  if (static_cast<std::size_t>(Status.st_size) > SizeLimit) return FailedRead(EFBIG);
  try {
    // One byte more than the announced size, so that a file growing meanwhile is noticed.
    std::string Content(std::max<std::size_t>(static_cast<std::size_t>(Status.st_size) + 1, 4096), '\0');
    std::size_t Length = 0;
    for (;;) {
      if (Length == Content.size()) {
        if (Length > SizeLimit) return FailedRead(EFBIG);
        Content.resize(std::min(Content.size() * 2, SizeLimit + 1));
      }
      const ssize_t Count = ::read(Descriptor, Content.data() + Length, Content.size() - Length);
      if (Count < 0) {
        if (errno == EINTR) continue;
        return FailedRead(errno);
      }
      if (Count == 0) break;
      Length += static_cast<std::size_t>(Count);
    }
    if (Length > SizeLimit) return FailedRead(EFBIG);
    Content.resize(Length);
    return {TReadStatus::Read, std::move(Content), 0};
  } catch (const std::bad_alloc&) {
    return FailedRead(ENOMEM);
  }
}
