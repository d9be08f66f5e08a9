#pragma once
// Reading a file line by line through a small buffer: a large file costs no more memory than its
// longest line, and the reader can stop as soon as it has what it wants.
#include "os/WholeFile.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string_view>

// Gets each line's text without its break ("\n", "\r\n", or a "\r" that is the file's last byte);
// answers false to stop reading.
using TLineHandler = std::function<bool(std::string_view Line)>;

inline constexpr std::size_t LineReaderChunkSize = std::size_t{64} << 10;

// 0 when the lines were read (or the handler stopped), otherwise an errno: ENOENT, EISDIR, EINVAL
// for what is not a regular file (never blocking on a FIFO), EACCES, EFBIG for a line over the limit.
int ReadFileLines(const std::filesystem::path& Path, const TLineHandler& OnLine,
                  std::size_t LineLimit = WholeFileSizeLimit);
// The same over a descriptor open for reading; ChunkSize is the buffer's starting size.
int ReadFileLines(int Descriptor, const TLineHandler& OnLine, std::size_t LineLimit = WholeFileSizeLimit,
                  std::size_t ChunkSize = LineReaderChunkSize);
