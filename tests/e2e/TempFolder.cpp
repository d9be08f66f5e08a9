#include "e2e/TempFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <system_error>

TTempFolder::TTempFolder(const std::string& Prefix) {
  std::string Template = (std::filesystem::temp_directory_path() / (Prefix + "XXXXXX")).string();
  if (::mkdtemp(Template.data()) == nullptr)
    throw std::runtime_error("cannot make a temporary folder " + Template + ": " + std::strerror(errno));
  FPath = Template;
}

TTempFolder::~TTempFolder() {
  std::error_code Ignored;
  std::filesystem::remove_all(FPath, Ignored);
}
