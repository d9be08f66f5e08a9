#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when its
// owner goes.
#include <filesystem>
#include <string>

class TTempFolder {
public:
  // The folder's name starts with Prefix.
  explicit TTempFolder(const std::string& Prefix);
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Path() const { return FPath; }

private:
  std::filesystem::path FPath;
};
