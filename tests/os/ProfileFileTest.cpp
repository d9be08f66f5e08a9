// The profile file on disk: reads of odd files, and writes that either happen whole or leave the
// old file byte for byte with nothing beside it.
#include "ProfileTestSupport.h"

#include "os/FileReplacement.h"
#include "os/ProfileFile.h"
#include "os/WholeFile.h"

#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>

using namespace ProfileTest;
using namespace std::string_literals;

namespace {

using Names = std::vector<std::string>;

mode_t ModeOf(const fs::path& Path) {
  struct stat Status {};
  if (::stat(Path.c_str(), &Status) != 0) return 0;
  return Status.st_mode & 07777;
}

ino_t InodeOf(const fs::path& Path) {
  struct stat Status {};
  return ::stat(Path.c_str(), &Status) == 0 ? Status.st_ino : 0;
}

class ProfileFileTest : public testing::Test {
protected:
  TTempFolder FFolder;
  fs::path FPath = FFolder / "win.ini";
  TProfileFile FProfile{FPath};
};

TEST_F(ProfileFileTest, ReadsTextAndIntegers) {
  WriteBytes(FPath, "[Dustrover97]\nOkExeVersion = \"2.1\"\nSoundSwitch=0x1\nEmpty=\n");
  EXPECT_EQ(FProfile.ReadString("dustrover97", "okexeversion", "1.0"), "2.1");
  EXPECT_EQ(FProfile.ReadString("Dustrover97", "Missing", "1.0"), "1.0");
  EXPECT_EQ(FProfile.ReadString("Dustrover97", "Empty", "1.0"), "");
  EXPECT_EQ(FProfile.ReadString("Dustrover97", "Missing"), std::nullopt);
  EXPECT_EQ(FProfile.ReadInteger("Dustrover97", "SoundSwitch", 7), 1);
  EXPECT_EQ(FProfile.ReadInteger("Dustrover97", "Empty", 7), 7);
  EXPECT_EQ(FProfile.ReadInteger("Dustrover97", "Missing", 7), 7);
  EXPECT_EQ(FProfile.ReadInteger("Dustrover97", "OkExeVersion", 7), 2);
}

TEST_F(ProfileFileTest, ReadOfMissingFileGivesDefaultAndCreatesNothing) {
  const TProfileFile Profile(FFolder / "config" / "win.ini");
  EXPECT_EQ(Profile.ReadString("S", "k", "d"), "d");
  EXPECT_EQ(Profile.ReadInteger("S", "k", 5), 5);
  EXPECT_EQ(ListFolder(FFolder.Path()), Names{});
}

TEST_F(ProfileFileTest, FirstWriteCreatesFolderAndFile) {
  const fs::path Folder = FFolder / "home" / ".config";
  const TProfileFile Profile(Folder / "win.ini");
  const TWriteResult Result = Profile.WriteString("Dustrover97", "Action", "3");
  ASSERT_TRUE(Result.Ok()) << Result.Message;
  EXPECT_EQ(ReadBytes(Folder / "win.ini"), "[Dustrover97]\nAction=3\n");
  EXPECT_EQ(ModeOf(Folder), 0700u);
  EXPECT_EQ(ListFolder(Folder), Names{"win.ini"});
}

TEST_F(ProfileFileTest, NewFileGetsModeFromUmask) {
  const mode_t Old = ::umask(027);
  const TWriteResult Result = FProfile.WriteString("S", "k", "v");
  ::umask(Old);
  ASSERT_TRUE(Result.Ok()) << Result.Message;
  EXPECT_EQ(ModeOf(FPath), 0640u);
}

TEST_F(ProfileFileTest, WriteKeepsEveryOtherByteOfSharedFile) {
  const std::string Before = "\xef\xbb\xbf; other program\r\n[Other]\r\nname=\xe9t\xe9\r\n\r\n[Dustrover97]\r\n"
                             "Action = 1\r\nQuirBalent=0\r\n\r\n[Last]\r\nz=\0"s;
  WriteBytes(FPath, Before);
  ASSERT_TRUE(FProfile.WriteString("Dustrover97", "Action", "6").Ok());
  ASSERT_TRUE(FProfile.WriteString("Dustrover97", "SoundSwitch", "0").Ok());
  EXPECT_EQ(testing::PrintToString(ReadBytes(FPath)),
            testing::PrintToString("\xef\xbb\xbf; other program\r\n[Other]\r\nname=\xe9t\xe9\r\n\r\n[Dustrover97]\r\n"
                                   "Action = 6\r\nQuirBalent=0\r\nSoundSwitch=0\r\n\r\n[Last]\r\nz=\0"s));
}

TEST_F(ProfileFileTest, RefusedWriteTouchesNothing) {
  WriteBytes(FPath, "[S]\nk=1\n");
  const TWriteResult Result = FProfile.WriteString("S", "k", "1\n[Evil]");
  EXPECT_EQ(Result.Status, TWriteStatus::Refused);
  EXPECT_FALSE(Result.Message.empty());
  EXPECT_EQ(ReadBytes(FPath), "[S]\nk=1\n");
  const TProfileFile Elsewhere(FFolder / "new" / "win.ini");
  EXPECT_EQ(Elsewhere.WriteString("S", "a=b", "1").Status, TWriteStatus::Refused);
  EXPECT_EQ(ListFolder(FFolder.Path()), Names{"win.ini"});  // not even the folder was made
}

TEST_F(ProfileFileTest, SymlinkIsFollowedAndKept) {
  fs::create_directory(FFolder / "real");
  WriteBytes(FFolder / "real" / "shared.ini", "[S]\nk=1\n");
  fs::create_directory(FFolder / "config");
  fs::create_symlink("../real/shared.ini", FFolder / "config" / "win.ini");
  const TProfileFile Profile(FFolder / "config" / "win.ini");
  ASSERT_TRUE(Profile.WriteString("S", "k", "2").Ok());
  EXPECT_TRUE(fs::is_symlink(FFolder / "config" / "win.ini"));
  EXPECT_EQ(fs::read_symlink(FFolder / "config" / "win.ini"), "../real/shared.ini");
  EXPECT_EQ(ReadBytes(FFolder / "real" / "shared.ini"), "[S]\nk=2\n");
  EXPECT_EQ(ListFolder(FFolder / "real"), Names{"shared.ini"});
  EXPECT_EQ(ListFolder(FFolder / "config"), Names{"win.ini"});
}

TEST_F(ProfileFileTest, DanglingSymlinkGetsItsTargetCreated) {
  fs::create_symlink("target.ini", FPath);
  ASSERT_TRUE(FProfile.WriteString("S", "k", "v").Ok());
  EXPECT_TRUE(fs::is_symlink(FPath));
  EXPECT_EQ(ReadBytes(FFolder / "target.ini"), "[S]\nk=v\n");
}

TEST_F(ProfileFileTest, SymlinkLoopFailsWithoutWriting) {
  fs::create_symlink("win.ini", FPath);
  const TWriteResult Result = FProfile.WriteString("S", "k", "v");
  EXPECT_EQ(Result.Status, TWriteStatus::Failed);
  EXPECT_EQ(Result.Error, ELOOP);
  EXPECT_EQ(ListFolder(FFolder.Path()), Names{"win.ini"});
}

TEST_F(ProfileFileTest, ModeIsKept) {
  for (const mode_t Mode : {0600u, 0640u, 0604u, 0444u}) {
    WriteBytes(FPath, "[S]\nk=1\n");
    ASSERT_EQ(::chmod(FPath.c_str(), Mode), 0);
    ASSERT_TRUE(FProfile.WriteString("S", "k", "2").Ok());
    EXPECT_EQ(ModeOf(FPath), Mode);
    EXPECT_EQ(ReadBytes(FPath), "[S]\nk=2\n");
  }
}

TEST_F(ProfileFileTest, UnchangedValueLeavesFileAlone) {
  WriteBytes(FPath, "[S]\nk = 1\n");
  const ino_t Before = InodeOf(FPath);
  ASSERT_TRUE(FProfile.WriteString("s", "K", "1").Ok());
  EXPECT_EQ(InodeOf(FPath), Before);
  ASSERT_TRUE(FProfile.WriteString("S", "k", "2").Ok());
  EXPECT_NE(InodeOf(FPath), Before);  // a real change goes through a new file
}

TEST_F(ProfileFileTest, StaleTemporaryFilesAreRemovedByNextWrite) {
  WriteBytes(FPath, "[S]\nk=1\n");
  WriteBytes(FFolder / ".win.ini.tmp-Ab12Cd", "[S]\nk=half");
  WriteBytes(FFolder / ".win.ini.tmp-zzzzzz", "");
  // Not the pattern: someone else's files stay.
  WriteBytes(FFolder / ".win.ini.tmp-short", "");
  WriteBytes(FFolder / ".other.ini.tmp-Ab12Cd", "");
  WriteBytes(FFolder / "win.ini.bak", "");
  ASSERT_TRUE(FProfile.WriteString("S", "k", "2").Ok());
  EXPECT_EQ(ListFolder(FFolder.Path()),
            (Names{".other.ini.tmp-Ab12Cd", ".win.ini.tmp-short", "win.ini", "win.ini.bak"}));
}

TEST_F(ProfileFileTest, FolderInPlaceOfFileFailsAndKeepsFolder) {
  fs::create_directory(FPath);
  WriteBytes(FPath / "inside", "kept");
  EXPECT_EQ(FProfile.ReadString("S", "k", "d"), "d");
  const TWriteResult Result = FProfile.WriteString("S", "k", "v");
  EXPECT_EQ(Result.Status, TWriteStatus::Failed);
  EXPECT_EQ(Result.Error, EISDIR);
  EXPECT_NE(Result.Message.find("win.ini"), std::string::npos) << Result.Message;
  EXPECT_EQ(ListFolder(FFolder.Path()), Names{"win.ini"});
  EXPECT_EQ(ListFolder(FPath), Names{"inside"});
  EXPECT_EQ(ReadBytes(FPath / "inside"), "kept");
}

TEST_F(ProfileFileTest, FileInPlaceOfFolderFails) {
  WriteBytes(FFolder / "config", "a file");
  const TProfileFile Profile(FFolder / "config" / "win.ini");
  EXPECT_EQ(Profile.ReadString("S", "k", "d"), "d");
  const TWriteResult Result = Profile.WriteString("S", "k", "v");
  EXPECT_EQ(Result.Status, TWriteStatus::Failed);
  EXPECT_EQ(ReadBytes(FFolder / "config"), "a file");
}

TEST_F(ProfileFileTest, ReadOnlyFolderFailsAndLeavesFile) {
  WriteBytes(FPath, "[S]\nk=1\n");
  ASSERT_EQ(::chmod(FFolder.Path().c_str(), 0555), 0);
  // As root the folder's mode would not stop anything, so the write runs as "nobody".
  const int Code = RunInChild([&] {
    if (!DropToNobody()) return 10;
    const TWriteResult Result = FProfile.WriteString("S", "k", "2");
    if (Result.Status != TWriteStatus::Failed) return 11;
    return Result.Error == EACCES ? 0 : 12;
  });
  ::chmod(FFolder.Path().c_str(), 0700);
  EXPECT_EQ(Code, 0) << "10: cannot become nobody, 11: not failed, 12: not EACCES";
  EXPECT_EQ(ReadBytes(FPath), "[S]\nk=1\n");
  EXPECT_EQ(ListFolder(FFolder.Path()), Names{"win.ini"});
}

TEST_F(ProfileFileTest, UnreadableFileReadsAsMissingAndIsNotReplaced) {
  WriteBytes(FPath, "[S]\nk=1\n");
  ASSERT_EQ(::chmod(FPath.c_str(), 0), 0);
  ASSERT_EQ(::chmod(FFolder.Path().c_str(), 0777), 0);  // writable: only the read can stop the write
  const int Code = RunInChild([&] {
    if (!DropToNobody()) return 10;
    if (FProfile.ReadString("S", "k", "d") != "d" || FProfile.ReadInteger("S", "k", 5) != 5) return 11;
    const TWriteResult Result = FProfile.WriteString("S", "j", "2");
    if (Result.Status != TWriteStatus::Failed) return 12;
    return Result.Error == EACCES ? 0 : 13;
  });
  ::chmod(FFolder.Path().c_str(), 0700);
  ::chmod(FPath.c_str(), 0644);
  EXPECT_EQ(Code, 0) << "10: cannot become nobody, 11: read not missing, 12: not failed, 13: not EACCES";
  EXPECT_EQ(ReadBytes(FPath), "[S]\nk=1\n");
  EXPECT_EQ(ListFolder(FFolder.Path()), Names{"win.ini"});
}

TEST_F(ProfileFileTest, FullDiskFailsAndLeavesFile) {
  const TTmpfsMount Disk(FFolder / "disk", "size=64k,mode=0700");
  if (!Disk.Mounted()) GTEST_SKIP() << "cannot mount a 64 KiB tmpfs to fill (needs CAP_SYS_ADMIN): " << std::strerror(Disk.Error());
  const fs::path Path = FFolder / "disk" / "win.ini";
  const std::string Before = "[S]\nk=1\n; filler\n" + std::string(40 * 1024, ';') + "\n";
  WriteBytes(Path, Before);
  const TWriteResult Result = TProfileFile(Path).WriteString("S", "k", "2");
  EXPECT_EQ(Result.Status, TWriteStatus::Failed);
  EXPECT_EQ(Result.Error, ENOSPC) << Result.Message;
  EXPECT_EQ(ReadBytes(Path), Before);
  EXPECT_EQ(ListFolder(FFolder / "disk"), Names{"win.ini"});
}

TEST_F(ProfileFileTest, ReadOnlyFileSystemFailsAndLeavesFile) {
  TTmpfsMount Disk(FFolder / "disk", "size=64k,mode=0700");
  if (!Disk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs (needs CAP_SYS_ADMIN): " << std::strerror(Disk.Error());
  const fs::path Path = FFolder / "disk" / "win.ini";
  WriteBytes(Path, "[S]\nk=1\n");
  ASSERT_TRUE(Disk.RemountReadOnly("size=64k,mode=0700"));
  const TWriteResult Result = TProfileFile(Path).WriteString("S", "k", "2");
  EXPECT_EQ(Result.Status, TWriteStatus::Failed);
  EXPECT_EQ(Result.Error, EROFS) << Result.Message;
  EXPECT_EQ(ReadBytes(Path), "[S]\nk=1\n");
  EXPECT_EQ(ListFolder(FFolder / "disk"), Names{"win.ini"});
}

TEST_F(ProfileFileTest, WriterGivesUpOnFolderLockedByLivingProgram) {
  WriteBytes(FPath, "[S]\nk=1\n");
  const int Held = ::open(FFolder.Path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(Held, 0);
  ASSERT_EQ(::flock(Held, LOCK_EX), 0);
  TReplaceOptions Options;
  Options.LockTimeout = std::chrono::milliseconds(100);
  const TWriteResult Result = ReplaceFileContent(FPath, [](std::string_view) { return std::string("x"); }, Options);
  ::close(Held);
  EXPECT_EQ(Result.Status, TWriteStatus::Failed);
  EXPECT_EQ(Result.Error, EWOULDBLOCK);
  EXPECT_EQ(ReadBytes(FPath), "[S]\nk=1\n");
  // With the lock gone the same write goes through.
  EXPECT_TRUE(ReplaceFileContent(FPath, [](std::string_view) { return std::string("x"); }, Options).Ok());
}

// Reads of files that are no profile: never a crash, a hang or a wrong value.
TEST_F(ProfileFileTest, BinaryFileReadsAsMissingExceptRealLines) {
  std::mt19937 Random(12345);
  std::string Bytes(1 << 20, '\0');
  for (char& Byte : Bytes) Byte = static_cast<char>(Random());
  WriteBytes(FPath, Bytes);
  EXPECT_EQ(FProfile.ReadString("Dustrover97", "Action", "d"), "d");
  EXPECT_EQ(FProfile.ReadInteger("Dustrover97", "Action", -3), -3);
  WriteBytes(FPath, Bytes + "\n[Dustrover97]\nAction=4\n");
  EXPECT_EQ(FProfile.ReadInteger("Dustrover97", "Action", -3), 4);
}

TEST_F(ProfileFileTest, HundredMegabyteFile) {
  const std::string Line = "[Other]\nkey=value of another program\n";
  std::string Block;
  while (Block.size() + Line.size() <= (1u << 20)) Block += Line;
  {
    std::ofstream Out(FPath, std::ios::binary);
    for (int I = 0; I < 100; ++I) Out.write(Block.data(), static_cast<std::streamsize>(Block.size()));
    Out << "[Dustrover97]\nAction=5";
    ASSERT_TRUE(Out.good());
  }
  EXPECT_EQ(FProfile.ReadInteger("Dustrover97", "Action", 0), 5);
  EXPECT_EQ(FProfile.ReadString("Dustrover97", "Missing", "d"), "d");
  fs::remove(FPath);
}

TEST_F(ProfileFileTest, MegabyteLines) {
  const std::string Long(1 << 20, 'y');
  WriteBytes(FPath, "[S]\n" + std::string(1 << 20, 'x') + "\nk=" + Long + "\nj = 2");
  EXPECT_EQ(FProfile.ReadString("S", "k", "d"), Long);
  EXPECT_EQ(FProfile.ReadInteger("S", "j", 0), 2);
}

TEST_F(ProfileFileTest, ZeroBytes) {
  WriteBytes(FPath, std::string(4096, '\0'));
  EXPECT_EQ(FProfile.ReadString("S", "k", "d"), "d");
  WriteBytes(FPath, std::string(4096, '\0') + "\n[S]\0\nk=1\0\n"s);
  EXPECT_EQ(FProfile.ReadString("S", "k", "d"), "1\0"s);
  EXPECT_EQ(FProfile.ReadInteger("S", "k", 0), 1);
}

TEST_F(ProfileFileTest, FifoInPlaceOfFileDoesNotHang) {
  ASSERT_EQ(::mkfifo(FPath.c_str(), 0600), 0);
  EXPECT_EQ(FProfile.ReadString("S", "k", "d"), "d");
  const TWriteResult Result = FProfile.WriteString("S", "k", "v");
  EXPECT_EQ(Result.Status, TWriteStatus::Failed);
  EXPECT_TRUE(fs::is_fifo(FPath));
}

TEST_F(ProfileFileTest, EndlessDeviceInPlaceOfFileDoesNotHang) {
  fs::create_symlink("/dev/zero", FPath);
  EXPECT_EQ(FProfile.ReadInteger("S", "k", 9), 9);
}

TEST(WholeFileTest, FileOverSizeLimitIsNotRead) {
  const TTempFolder Folder;
  WriteBytes(Folder / "f", std::string(100, 'a'));
  EXPECT_EQ(ReadWholeFile(Folder / "f", 100).Content, std::string(100, 'a'));
  const TWholeFile Large = ReadWholeFile(Folder / "f", 99);
  EXPECT_EQ(Large.Status, TReadStatus::Failed);
  EXPECT_EQ(Large.Error, EFBIG);
  EXPECT_EQ(ReadWholeFile(Folder / "missing").Status, TReadStatus::Missing);
}

}  // namespace
