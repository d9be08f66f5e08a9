#pragma once
// Replacing a file's content so that it is never lost: under an exclusive lock on the file's
// folder, the new content is written to a temporary file beside the old one, flushed to disk and
// renamed over it, and the folder is flushed. A write that fails at any step leaves the old file
// as it was and nothing beside it. A symlink is followed (the target is replaced, the link stays)
// and the file's mode is kept.
//
// Why the folder is locked and not the file: the file is replaced by a rename, so a lock on it
// would be held on an inode that no longer has the name; the folder stays, needs no extra lock
// file, exists even before the file does, and the kernel drops the lock when its holder dies.
#include "os/WriteResult.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// Computes the new content from the old one (empty when the file does not exist yet). It runs
// under the lock, so a read-modify-write by two programs at once loses neither change.
using TContentEdit = std::function<std::string(std::string_view OldContent)>;

struct TReplaceOptions {
  // How long to wait for another writer before giving up; a dead one never holds the lock.
  std::chrono::milliseconds LockTimeout{10000};
};

// Creates the file's folder when missing (mode 0700). When the edit leaves the content as it
// was, nothing is written.
TWriteResult ReplaceFileContent(const std::filesystem::path& Path, const TContentEdit& Edit,
                                const TReplaceOptions& Options = {});

// Temporary files are named ".NAME.tmp-XXXXXX" beside the file NAME. One that is found while the
// lock is held was left by a writer that died, and is removed.
std::string TemporaryFilePrefix(std::string_view FileName);
