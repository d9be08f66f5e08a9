#include "os/FileReplacement.h"

#include "os/FileHandle.h"
#include "os/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t TemporarySuffixLength = 6;
constexpr char TemporaryAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string Describe(int Error) { return std::generic_category().message(Error); }

TWriteResult Failure(int Error, const std::string& What) {
  return TWriteResult::Failed(Error, What + ": " + Describe(Error));
}

fs::path FolderOf(const fs::path& Path) {
  const fs::path Folder = Path.parent_path();
  return Folder.empty() ? fs::path(".") : Folder;
}

// Creates Folder and the folders above it that are missing; 0 or the errno.
int CreateFolders(const fs::path& Folder) {
  if (Folder.empty()) return 0;
  struct stat Status {};
  if (::stat(Folder.c_str(), &Status) == 0) return S_ISDIR(Status.st_mode) ? 0 : ENOTDIR;
  if (errno != ENOENT) return errno;
  if (Folder.has_relative_path() && Folder.parent_path() != Folder) {
    if (const int Error = CreateFolders(Folder.parent_path()); Error != 0) return Error;
  }
  if (::mkdir(Folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
  return 0;
}

// The file a path names after following symlinks; it need not exist yet.
fs::path ResolveLinks(const fs::path& Path, int& Error) {
  fs::path Current = Path;
  for (int Hop = 0; Hop < 40; ++Hop) {
    struct stat Status {};
    if (::lstat(Current.c_str(), &Status) != 0) {
      Error = errno == ENOENT ? 0 : errno;
      return Current;
    }
    if (!S_ISLNK(Status.st_mode)) return Current;
    std::error_code Code;
    const fs::path Link = fs::read_symlink(Current, Code);
    if (Code) {
      Error = Code.value();
      return Current;
    }
    Current = Link.is_absolute() ? Link : FolderOf(Current) / Link;
  }
  Error = ELOOP;
  return Current;
}

// Waits for the exclusive lock, polling so that a writer that hangs cannot block this one forever.
int LockExclusive(int Descriptor, std::chrono::milliseconds Timeout) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point Deadline = Clock::now() + Timeout;
  std::chrono::microseconds Pause{200};
  for (;;) {
    if (::flock(Descriptor, LOCK_EX | LOCK_NB) == 0) return 0;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return errno;
    const Clock::time_point Now = Clock::now();
    if (Now >= Deadline) return EWOULDBLOCK;
    std::this_thread::sleep_for(std::min<Clock::duration>(Pause, Deadline - Now));
    Pause = std::min(Pause * 2, std::chrono::microseconds{20000});
  }
}

bool IsTemporaryName(std::string_view Name, std::string_view Prefix) {
  if (Name.size() != Prefix.size() + TemporarySuffixLength || !Name.starts_with(Prefix)) return false;
  const std::string_view Alphabet(TemporaryAlphabet, sizeof TemporaryAlphabet - 1);
  return Name.substr(Prefix.size()).find_first_not_of(Alphabet) == std::string_view::npos;
}

// Called with the lock held: no living writer has a temporary file now.
void RemoveStaleTemporaries(int FolderDescriptor, std::string_view Prefix) {
  TFileHandle Listing(::openat(FolderDescriptor, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!Listing.IsOpen()) return;
  const std::unique_ptr<DIR, int (*)(DIR*)> Folder(::fdopendir(Listing.Descriptor()), ::closedir);
  if (!Folder) return;
  Listing.Release();
  while (const dirent* Entry = ::readdir(Folder.get())) {
    if (IsTemporaryName(Entry->d_name, Prefix)) ::unlinkat(FolderDescriptor, Entry->d_name, 0);
  }
}

std::string RandomSuffix() {
  unsigned char Bytes[TemporarySuffixLength] = {};
  if (::getrandom(Bytes, sizeof Bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof Bytes)) {
    // Uniqueness is what matters, and O_EXCL checks it; the clock and pid are enough for that.
    timespec Now {};
    ::clock_gettime(CLOCK_MONOTONIC, &Now);
    uint64_t Seed = static_cast<uint64_t>(Now.tv_nsec) * 2654435761u ^ static_cast<uint64_t>(::getpid());
    for (unsigned char& Byte : Bytes) {
      Byte = static_cast<unsigned char>(Seed);
      Seed = Seed * 6364136223846793005u + 1442695040888963407u;
      Byte ^= static_cast<unsigned char>(Seed >> 56);
    }
  }
  std::string Suffix;
  for (unsigned char Byte : Bytes) Suffix += TemporaryAlphabet[Byte % (sizeof TemporaryAlphabet - 1)];
  return Suffix;
}

// A temporary file beside the target, removed again unless it was renamed into place.
class TTemporaryFile {
public:
  TTemporaryFile(int FolderDescriptor, std::string_view Prefix, mode_t Mode) : FFolder(FolderDescriptor) {
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
      std::string Name = std::string(Prefix) + RandomSuffix();
      FFile = TFileHandle(::openat(FFolder, Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, Mode));
      if (FFile.IsOpen()) {
        FName = std::move(Name);
        return;
      }
      FError = errno;
      if (FError != EEXIST) return;
    }
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  ~TTemporaryFile() {
    FFile.Close();
    if (!FName.empty()) ::unlinkat(FFolder, FName.c_str(), 0);
  }

  bool IsOpen() const { return FFile.IsOpen(); }
  int Error() const { return FError; }
  int Descriptor() const { return FFile.Descriptor(); }
  const std::string& Name() const { return FName; }
  int Close() { return FFile.Close(); }
  // After the rename the name belongs to the target.
  void Keep() { FName.clear(); }

private:
  int FFolder;
  TFileHandle FFile;
  std::string FName;
  int FError = 0;
};

int WriteAll(int Descriptor, std::string_view Data) {
  while (!Data.empty()) {
    const ssize_t Count = ::write(Descriptor, Data.data(), Data.size());
    if (Count < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (Count == 0) return EIO;
    Data.remove_prefix(static_cast<std::size_t>(Count));
  }
  return 0;
}

int FlushToDisk(int Descriptor) {
  while (::fsync(Descriptor) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

TWriteResult ReplaceLocked(int FolderDescriptor, const fs::path& Target, const TContentEdit& Edit) {
  const std::string Name = Target.filename();
  const std::string Prefix = TemporaryFilePrefix(Name);
  RemoveStaleTemporaries(FolderDescriptor, Prefix);

  // The old content, read under the lock so that no other writer's change is lost.
  std::string Old;
  struct stat OldStatus {};
  bool Exists = false;
  {
    TFileHandle File(::openat(FolderDescriptor, Name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (File.IsOpen()) {
      Exists = true;
      if (::fstat(File.Descriptor(), &OldStatus) != 0) return Failure(errno, "cannot read " + Target.string());
      TWholeFile Read = ReadWholeFile(File.Descriptor());
      if (Read.Status != TReadStatus::Read) {
        if (Read.Error == EISDIR) return Failure(EISDIR, "cannot replace " + Target.string() + ", a folder");
        if (Read.Error == EINVAL) return TWriteResult::Failed(EINVAL, Target.string() + " is not a regular file");
        return Failure(Read.Error, "cannot read " + Target.string());
      }
      Old = std::move(Read.Content);
    } else if (errno != ENOENT) {
      return Failure(errno, "cannot read " + Target.string());
    }
  }

  const std::string New = Edit(Old);
  if (Exists && New == Old) return TWriteResult::Written();

  // A new file gets the usual mode (0666 less the umask); a replaced one gets its old mode below.
  TTemporaryFile Temporary(FolderDescriptor, Prefix, Exists ? 0600 : 0666);
  if (!Temporary.IsOpen())
    return Failure(Temporary.Error(), "cannot create a temporary file in " + FolderOf(Target).string());
  if (Exists) {
    // Keep the owner when allowed (a root tool editing a user's file); it must precede the mode,
    // since changing the owner clears set-id bits.
    if (OldStatus.st_uid != ::geteuid() || OldStatus.st_gid != ::getegid())
      (void)::fchown(Temporary.Descriptor(), OldStatus.st_uid, OldStatus.st_gid);
    if (::fchmod(Temporary.Descriptor(), OldStatus.st_mode & 07777) != 0)
      return Failure(errno, "cannot keep the mode of " + Target.string());
  }
  const std::string WhatWrites = "cannot write the new content of " + Target.string();
  if (const int Error = WriteAll(Temporary.Descriptor(), New); Error != 0) return Failure(Error, WhatWrites);
  if (const int Error = FlushToDisk(Temporary.Descriptor()); Error != 0) return Failure(Error, WhatWrites);
  if (const int Error = Temporary.Close(); Error != 0) return Failure(Error, WhatWrites);
  if (::renameat(FolderDescriptor, Temporary.Name().c_str(), FolderDescriptor, Name.c_str()) != 0)
    return Failure(errno, "cannot replace " + Target.string());
  Temporary.Keep();

  // Makes the rename itself durable. File systems that cannot flush a folder say EINVAL.
  if (const int Error = FlushToDisk(FolderDescriptor); Error != 0 && Error != EINVAL && Error != EROFS)
    return Failure(Error, "the new content of " + Target.string() + " is in place, but its folder could not be flushed");
  return TWriteResult::Written();
}

}  // namespace

std::string TemporaryFilePrefix(std::string_view FileName) {
  std::string Prefix = ".";
  Prefix.append(FileName).append(".tmp-");
  return Prefix;
}

TWriteResult ReplaceFileContent(const fs::path& Path, const TContentEdit& Edit, const TReplaceOptions& Options) {
  try {
    if (const int Error = CreateFolders(Path.parent_path()); Error != 0)
      return Failure(Error, "cannot create the folder " + Path.parent_path().string());
    int Error = 0;
    const fs::path Target = ResolveLinks(Path, Error);
    if (Error != 0) return Failure(Error, "cannot follow the link " + Path.string());
    if (Target.filename().empty()) return Failure(EISDIR, "cannot write " + Path.string());

    const fs::path Folder = FolderOf(Target);
    TFileHandle FolderHandle(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!FolderHandle.IsOpen()) return Failure(errno, "cannot open the folder " + Folder.string());
    if (const int LockError = LockExclusive(FolderHandle.Descriptor(), Options.LockTimeout); LockError != 0) {
      if (LockError == EWOULDBLOCK)
        return TWriteResult::Failed(LockError, "another program keeps " + Folder.string() + " locked");
      return Failure(LockError, "cannot lock the folder " + Folder.string());
    }
    // The lock goes with the folder's descriptor at the end of this scope.
    return ReplaceLocked(FolderHandle.Descriptor(), Target, Edit);
  } catch (const std::bad_alloc&) {
    return Failure(ENOMEM, "cannot write " + Path.string());
  }
}
