#pragma once
// An owned file descriptor, closed when its owner goes.
#include <unistd.h>
#include <utility>

class TFileDescriptor {
public:
  TFileDescriptor() = default;
  explicit TFileDescriptor(int Fd) : FFd(Fd) {}
  ~TFileDescriptor() { Close(); }
  TFileDescriptor(TFileDescriptor&& Other) noexcept : FFd(std::exchange(Other.FFd, -1)) {}
  TFileDescriptor& operator=(TFileDescriptor&& Other) noexcept {
    if (this != &Other) {
      Close();
      FFd = std::exchange(Other.FFd, -1);
    }
    return *this;
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;

  int Get() const { return FFd; }
  bool IsOpen() const { return FFd >= 0; }
  void Close() {
    if (FFd >= 0) ::close(FFd);
    FFd = -1;
  }

private:
  int FFd = -1;
};

// Both ends of a pipe, closed on exec so that only the descriptors handed on reach a child.
struct TPipe {
  TFileDescriptor ReadEnd;
  TFileDescriptor WriteEnd;

  static TPipe Open();
};
