// Lines read through a small buffer come out the same whatever the buffer size.
#include "ProfileTestSupport.h"

#include "os/FileHandle.h"
#include "os/LineReader.h"

#include <sys/mman.h>

using namespace ProfileTest;

namespace {

// A regular file in memory holding Content.
TFileHandle MemoryFile(const std::string& Content) {
  TFileHandle File(::memfd_create("lines", MFD_CLOEXEC));
  if (File.IsOpen() && ::write(File.Descriptor(), Content.data(), Content.size()) != static_cast<ssize_t>(Content.size()))
    return {};
  ::lseek(File.Descriptor(), 0, SEEK_SET);
  return File;
}

std::vector<std::string> Lines(const std::string& Content, std::size_t ChunkSize, int& Error) {
  TFileHandle File = MemoryFile(Content);
  std::vector<std::string> Result;
  Error = ReadFileLines(File.Descriptor(), [&](std::string_view Line) {
    Result.emplace_back(Line);
    return true;
  }, WholeFileSizeLimit, ChunkSize);
  return Result;
}

struct TLinesCase {
  std::string Content;
  std::vector<std::string> Expected;
};

TEST(LineReaderTest, SplitsLinesAlikeForEveryBufferSize) {
  const TLinesCase Cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\nb\r\nc", {"a", "b", "c"}},
      {"\n\n", {"", ""}},
      {"\r\n\r", {"", ""}},
      {"x\r", {"x"}},
      {"x\r\r\n", {"x\r"}},
      {"a\rb\n", {"a\rb"}},
      {std::string(1000, 'l') + "\nshort\n" + std::string(300, 'm'), {std::string(1000, 'l'), "short", std::string(300, 'm')}},
  };
  for (const TLinesCase& Case : Cases) {
    for (const std::size_t Chunk : {1, 2, 3, 5, 7, 64, 65536}) {
      int Error = -1;
      EXPECT_EQ(Lines(Case.Content, Chunk, Error), Case.Expected)
          << testing::PrintToString(Case.Content) << " chunk " << Chunk;
      EXPECT_EQ(Error, 0);
    }
  }
}

TEST(LineReaderTest, StopsWhenAsked) {
  TFileHandle File = MemoryFile("a\nb\nc\n");
  std::vector<std::string> Seen;
  EXPECT_EQ(ReadFileLines(File.Descriptor(), [&](std::string_view Line) {
    Seen.emplace_back(Line);
    return Seen.size() < 2;
  }), 0);
  EXPECT_EQ(Seen, (std::vector<std::string>{"a", "b"}));
}

TEST(LineReaderTest, LineOverLimitIsAnError) {
  TFileHandle File = MemoryFile("short\n" + std::string(100, 'x') + "\nnever\n");
  std::vector<std::string> Seen;
  EXPECT_EQ(ReadFileLines(File.Descriptor(), [&](std::string_view Line) {
    Seen.emplace_back(Line);
    return true;
  }, 50, 8), EFBIG);
  EXPECT_EQ(Seen, std::vector<std::string>{"short"});
}

TEST(LineReaderTest, RefusesWhatIsNotARegularFile) {
  const TTempFolder Folder;
  EXPECT_EQ(ReadFileLines(Folder.Path(), [](std::string_view) { return true; }), EISDIR);
  EXPECT_EQ(ReadFileLines(Folder / "missing", [](std::string_view) { return true; }), ENOENT);
  ASSERT_EQ(::mkfifo((Folder / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(ReadFileLines(Folder / "fifo", [](std::string_view) { return true; }), EINVAL);
}

}  // namespace
