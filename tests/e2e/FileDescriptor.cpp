#include "e2e/FileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>

TPipe TPipe::Open() {
  int Ends[2];
  if (::pipe2(Ends, O_CLOEXEC) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  return TPipe{TFileDescriptor(Ends[0]), TFileDescriptor(Ends[1])};
}
