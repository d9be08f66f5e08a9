#pragma once
// An open file descriptor that is closed when its owner goes away.
#include <cerrno>
#include <unistd.h>
#include <utility>

class TFileHandle {
public:
  TFileHandle() = default;
  explicit TFileHandle(int Descriptor) : FDescriptor(Descriptor) {}
  TFileHandle(TFileHandle&& Other) noexcept : FDescriptor(std::exchange(Other.FDescriptor, -1)) {}
  TFileHandle& operator=(TFileHandle&& Other) noexcept {
    if (this != &Other) {
      Close();
      FDescriptor = std::exchange(Other.FDescriptor, -1);
    }
    return *this;
  }
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  ~TFileHandle() { Close(); }

  int Descriptor() const { return FDescriptor; }
  bool IsOpen() const { return FDescriptor >= 0; }
  // Hands the descriptor to a new owner (fdopendir, say).
  int Release() { return std::exchange(FDescriptor, -1); }

  // Closes now; the answer is 0 or the errno of close, which for a written file can be the first
  // report of a failed write (quota, network file systems), so writers must look at it.
  int Close() {
    if (FDescriptor < 0) return 0;
    const int Result = ::close(std::exchange(FDescriptor, -1));
    return Result == 0 || errno == EINTR ? 0 : errno;
  }

private:
  int FDescriptor = -1;
};
