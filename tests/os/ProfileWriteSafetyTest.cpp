// Writes under stress: a writer killed at any moment leaves the old or the new file and nothing
// that the next write does not clean up; writers running at once lose nothing.
#include "ProfileTestSupport.h"

#include "os/ProfileFile.h"

#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>

using namespace ProfileTest;

namespace {

using Clock = std::chrono::steady_clock;

// A shared file with plenty of other programs' bytes around the key, so a write takes a while.
std::string SharedFile(const std::string& Action) {
  std::string Bytes = "; kept by other programs\r\n[Other]\r\n";
  for (int I = 0; I < 1000; ++I) Bytes += "key" + std::to_string(I) + " = \xe9 value " + std::to_string(I) + "\r\n";
  return Bytes + "\r\n[Dustrover97]\r\nAction=" + Action + "\r\nSoundSwitch=1\r\n\r\n[Tail]\r\nz=\"last\"";
}

pid_t StartWriterLoop(const TProfileFile& Profile) {
  const pid_t Child = ::fork();
  if (Child == 0) {
    // Toggles the value for ever; only SIGKILL ends it.
    for (int I = 0;; ++I) Profile.WriteString("Dustrover97", "Action", I % 2 == 0 ? "2" : "1");
  }
  return Child;
}

TEST(ProfileWriteSafetyTest, WriterKilledAtRandomMomentsLosesNothing) {
  // Several writers at a time, each on its own file, because a process takes milliseconds to die
  // here and three hundred deaths in a row would take too long.
  constexpr int Writers = 10;
  constexpr int Rounds = 30;
  const TTempFolder Folder(MemoryBackedTemp());
  const std::string Old = SharedFile("1");
  const std::string New = SharedFile("2");
  std::vector<fs::path> Folders;
  std::vector<TProfileFile> Profiles;
  for (int Writer = 0; Writer < Writers; ++Writer) {
    Folders.push_back(Folder / std::to_string(Writer));
    fs::create_directory(Folders.back());
    Profiles.emplace_back(Folders.back() / "win.ini");
    WriteBytes(Profiles.back().Path(), Old);
  }

  // Kill moments spread over a few writes' time, measured on this machine.
  const Clock::time_point Start = Clock::now();
  for (int I = 0; I < 4; ++I) ASSERT_TRUE(Profiles[0].WriteString("Dustrover97", "Action", I % 2 == 0 ? "2" : "1").Ok());
  const auto WriteTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - Start) / 4;
  std::mt19937 Random(20240601);
  std::uniform_int_distribution<long> Delay(0, 3 * WriteTime.count() + 300);

  int KillsThatLeftTemporaryFile = 0;
  for (int Round = 0; Round < Rounds; ++Round) {
    std::vector<pid_t> Children;
    for (const TProfileFile& Profile : Profiles) {
      Children.push_back(StartWriterLoop(Profile));
      ASSERT_GT(Children.back(), 0);
    }
    for (const pid_t Child : Children) {
      std::this_thread::sleep_for(std::chrono::microseconds(Delay(Random)));
      ::kill(Child, SIGKILL);
    }
    for (const pid_t Child : Children) {
      int Status = 0;
      ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    }
    for (int Writer = 0; Writer < Writers; ++Writer) {
      const std::string After = ReadBytes(Profiles[Writer].Path());
      ASSERT_TRUE(After == Old || After == New) << "round " << Round << " left " << After.size() << " bytes";
      if (ListFolder(Folders[Writer]).size() > 1) ++KillsThatLeftTemporaryFile;

      // The next write is not blocked by the dead writer's lock and removes its temporary file.
      const bool WasOld = After == Old;
      const TWriteResult Result = Profiles[Writer].WriteString("Dustrover97", "Action", WasOld ? "2" : "1");
      ASSERT_TRUE(Result.Ok()) << Result.Message;
      ASSERT_EQ(ReadBytes(Profiles[Writer].Path()), WasOld ? New : Old);
      ASSERT_EQ(ListFolder(Folders[Writer]), std::vector<std::string>{"win.ini"}) << "round " << Round;
    }
  }
  // Without kills in the middle of a write the test would prove nothing.
  EXPECT_GT(KillsThatLeftTemporaryFile, 0);
  RecordProperty("KillsThatLeftTemporaryFile", KillsThatLeftTemporaryFile);
}

TEST(ProfileWriteSafetyTest, TwoProgramsWritingAtOnceLoseNoWrite) {
  const TTempFolder Folder(MemoryBackedTemp());
  const fs::path Path = Folder / "win.ini";
  const std::string Before = "[Other]\nkeep=1\n\n[Dustrover97]\nAction=0\n";
  WriteBytes(Path, Before);
  constexpr int WritesEach = 100;

  // Both writers wait on one pipe so that they start together.
  int Gate[2];
  ASSERT_EQ(::pipe(Gate), 0);
  auto StartWriter = [&](char Name) {
    const pid_t Child = ::fork();
    if (Child == 0) {
      ::close(Gate[1]);
      char Byte;
      if (::read(Gate[0], &Byte, 1) != 0) ::_exit(3);
      const TProfileFile Profile(Path);
      for (int I = 0; I < WritesEach; ++I) {
        const std::string Key = std::string(1, Name) + std::to_string(I);
        if (!Profile.WriteString("Dustrover97", Key, std::to_string(I * 7)).Ok()) ::_exit(1);
      }
      ::_exit(0);
    }
    return Child;
  };
  const pid_t First = StartWriter('a');
  const pid_t Second = StartWriter('b');
  ::close(Gate[0]);
  ::close(Gate[1]);  // opens the gate
  for (const pid_t Child : {First, Second}) {
    int Status = 0;
    ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << "a writer failed";
  }

  const TProfileFile Profile(Path);
  for (const char Name : {'a', 'b'})
    for (int I = 0; I < WritesEach; ++I)
      EXPECT_EQ(Profile.ReadInteger("Dustrover97", std::string(1, Name) + std::to_string(I), -1), I * 7)
          << Name << I;
  const std::string After = ReadBytes(Path);
  EXPECT_EQ(After.substr(0, Before.size()), Before);
  std::size_t AddedBytes = 0;
  for (int I = 0; I < WritesEach; ++I) AddedBytes += 2 * ("a" + std::to_string(I) + "=" + std::to_string(I * 7) + "\n").size();
  EXPECT_EQ(After.size(), Before.size() + AddedBytes) << "only the new keys were added";
  EXPECT_EQ(ListFolder(Folder.Path()), std::vector<std::string>{"win.ini"});
}

}  // namespace
