#pragma once
// Failures are exceptions carrying the text that the standard error box shows.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& Message) : std::runtime_error(Message) {}
  std::string Message() const { return what(); }
};

// A file or folder that cannot be used ("Cannot open file %s", a failed folder change).
class EInOutError : public Exception {
public:
  using Exception::Exception;
};

class EFOpenError : public Exception {
public:
  using Exception::Exception;
};

// A picture file that was opened but is not a usable bitmap.
class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};

// A layout file that names an unknown class, property or handler.
class ELayoutError : public Exception {
public:
  using Exception::Exception;
};

// The screen cannot be opened (no display to connect to).
class ENoDisplay : public Exception {
public:
  using Exception::Exception;
};
