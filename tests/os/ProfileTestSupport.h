#pragma once
// Helpers for the profile file tests: a fresh folder, whole-file bytes, folder listings, the
// XDG_CONFIG_HOME of a test, a child process, and a small tmpfs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ProfileTest {

namespace fs = std::filesystem;

// Where tests that write hundreds of times put their files: a memory file system when there is
// one, since what they check (kills, races) does not depend on the disk, and flushing a real disk
// hundreds of times would take half a minute.
inline fs::path MemoryBackedTemp() {
  std::error_code Ignored;
  return fs::is_directory("/dev/shm", Ignored) && ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm")
                                                                                 : fs::temp_directory_path();
}

// A fresh folder under the system's temporary folder (or Base), removed with everything in it.
class TTempFolder {
public:
  explicit TTempFolder(const fs::path& Base = fs::temp_directory_path()) {
    std::string Template = (Base / "profile-test-XXXXXX").string();
    if (!::mkdtemp(Template.data())) throw std::runtime_error("mkdtemp failed");
    FPath = Template;
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder() {
    std::error_code Ignored;
    fs::permissions(FPath, fs::perms::owner_all, fs::perm_options::add, Ignored);
    for (const auto& Entry : fs::recursive_directory_iterator(FPath, Ignored))
      if (Entry.is_directory(Ignored)) fs::permissions(Entry.path(), fs::perms::owner_all, fs::perm_options::add, Ignored);
    fs::remove_all(FPath, Ignored);
  }
  const fs::path& Path() const { return FPath; }
  fs::path operator/(const fs::path& Name) const { return FPath / Name; }

private:
  fs::path FPath;
};

inline std::string ReadBytes(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream Out;
  Out << In.rdbuf();
  return Out.str();
}

inline void WriteBytes(const fs::path& Path, const std::string& Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  if (!Out) throw std::runtime_error("cannot write " + Path.string());
}

// The names in a folder, sorted: what "nothing beside it" is checked against.
inline std::vector<std::string> ListFolder(const fs::path& Folder) {
  std::vector<std::string> Names;
  for (const auto& Entry : fs::directory_iterator(Folder)) Names.push_back(Entry.path().filename().string());
  std::sort(Names.begin(), Names.end());
  return Names;
}

// Sets an environment variable for the life of the object and then puts the old value back.
class TScopedEnvironment {
public:
  TScopedEnvironment(std::string Name, const std::optional<std::string>& Value) : FName(std::move(Name)) {
    if (const char* Old = std::getenv(FName.c_str())) FOld = Old;
    if (Value) ::setenv(FName.c_str(), Value->c_str(), 1);
    else ::unsetenv(FName.c_str());
  }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;
  ~TScopedEnvironment() {
    if (FOld) ::setenv(FName.c_str(), FOld->c_str(), 1);
    else ::unsetenv(FName.c_str());
  }

private:
  std::string FName;
  std::optional<std::string> FOld;
};

// Runs Body in a forked child and answers its exit code (or 128 + signal). Assertions do not
// cross the fork, so Body reports through its exit code.
inline int RunInChild(const std::function<int()>& Body) {
  const pid_t Child = ::fork();
  if (Child < 0) return -1;
  if (Child == 0) {
    int Code = 125;
    try {
      Code = Body();
    } catch (...) {
    }
    ::_exit(Code);
  }
  int Status = 0;
  while (::waitpid(Child, &Status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
}

// Root passes every permission check; a child that must meet them becomes "nobody" first.
inline bool DropToNobody() {
  if (::geteuid() != 0) return true;
  return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

// A tmpfs mounted on a folder for the life of the object: a real small disk, or a real read-only one.
class TTmpfsMount {
public:
  TTmpfsMount(fs::path Folder, const std::string& Options) : FFolder(std::move(Folder)) {
    fs::create_directories(FFolder);
    if (::mount("tmpfs", FFolder.c_str(), "tmpfs", 0, Options.c_str()) == 0) FMounted = true;
    else FError = errno;
  }
  TTmpfsMount(const TTmpfsMount&) = delete;
  TTmpfsMount& operator=(const TTmpfsMount&) = delete;
  ~TTmpfsMount() {
    if (FMounted) ::umount2(FFolder.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return FMounted; }
  int Error() const { return FError; }
  bool RemountReadOnly(const std::string& Options) {
    return ::mount("tmpfs", FFolder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, Options.c_str()) == 0;
  }

private:
  fs::path FFolder;
  bool FMounted = false;
  int FError = 0;
};

}  // namespace ProfileTest
