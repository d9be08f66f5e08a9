#pragma once
// Reading a whole regular file in one go, without ever blocking on something that is not a
// regular file (a FIFO, a device) and within a size limit, so odd files cannot hang or exhaust a read.
#include <cstddef>
#include <filesystem>
#include <string>

enum class TReadStatus { Read, Missing, Failed };

struct TWholeFile {
  TReadStatus Status = TReadStatus::Missing;
  std::string Content;
  int Error = 0;  // errno when missing or failed: ENOENT, EISDIR, EACCES, EFBIG, EINVAL (not a regular file)...
};

// Larger than any profile a program keeps; beyond it the file is treated as unreadable.
inline constexpr std::size_t WholeFileSizeLimit = std::size_t{256} << 20;

TWholeFile ReadWholeFile(const std::filesystem::path& Path, std::size_t SizeLimit = WholeFileSizeLimit);
// The same over a descriptor already open for reading (its position is at the start).
TWholeFile ReadWholeFile(int Descriptor, std::size_t SizeLimit = WholeFileSizeLimit);
