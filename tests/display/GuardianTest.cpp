#include "display/Guardian.h"
#include "display/GuardianWatch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct TSocketPair {
  TSocketPair() {
    int Ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, Ends) != 0) throw std::runtime_error("socketpair");
    Menu = TFileHandle(Ends[0]);
    Guardian = TFileHandle(Ends[1]);
  }
  TFileHandle Menu;
  TFileHandle Guardian;
};

void SendAll(int Descriptor, const std::string& Bytes) {
  ASSERT_EQ(send(Descriptor, Bytes.data(), Bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(Bytes.size()));
}

// What the menu's end sends before it closes, and whether the guardian must recover.
struct TEndCase {
  const char* Name;
  bool SaysEndedInOrder;
  std::string Extra;
  bool Recovers;
};

class GuardMenuEnd : public testing::TestWithParam<TEndCase> {};

TEST_P(GuardMenuEnd, RecoversUnlessTheMenuSaidItEndedInOrder) {
  const TEndCase& Case = GetParam();
  TSocketPair Pair;
  if (Case.SaysEndedInOrder) {
    ASSERT_TRUE(SayEndedInOrder(Pair.Menu.Descriptor()));
  }
  if (!Case.Extra.empty()) {
    SendAll(Pair.Menu.Descriptor(), Case.Extra);
  }
  Pair.Menu.Close();
  int Recoveries = 0;
  EXPECT_EQ(GuardMenu(Pair.Guardian.Descriptor(), [&] { ++Recoveries; }), Case.Recovers);
  EXPECT_EQ(Recoveries, Case.Recovers ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, GuardMenuEnd,
    testing::Values(TEndCase{"InOrder", true, "", false}, TEndCase{"ClosedWithoutWord", false, "", true},
                    TEndCase{"HalfTheWord", false, "menu ended", true},
                    TEndCase{"WordAndMore", true, "x", true},
                    TEndCase{"SomethingElse", false, "garbage that is much longer than the word itself", true}),
    [](const testing::TestParamInfo<TEndCase>& Info) { return std::string(Info.param.Name); });

TEST(GuardMenu, WordInPiecesStillCounts) {
  TSocketPair Pair;
  SendAll(Pair.Menu.Descriptor(), "menu ended ");
  SendAll(Pair.Menu.Descriptor(), "in order\n");
  Pair.Menu.Close();
  EXPECT_FALSE(GuardMenu(Pair.Guardian.Descriptor(), [] {}));
}

TEST(SayEndedInOrder, AnswersFalseWhenTheGuardianIsGone) {
  TSocketPair Pair;
  Pair.Guardian.Close();
  // No SIGPIPE: the test process would die of it.
  EXPECT_FALSE(SayEndedInOrder(Pair.Menu.Descriptor()));
}

// Runs the guardian's watch in a child process; its exit code tells whether it recovered.
pid_t StartWatchingChild(TSocketPair& Pair) {
  const pid_t Child = fork();
  if (Child == 0) {
    Pair.Menu.Close();
    const bool Recovered = GuardMenu(Pair.Guardian.Descriptor(), [] {});
    _exit(Recovered ? 1 : 0);
  }
  Pair.Guardian.Close();
  return Child;
}

TEST(TGuardian, DismissTellsTheGuardianAndReapsIt) {
  TSocketPair Pair;
  const pid_t Child = StartWatchingChild(Pair);
  ASSERT_GT(Child, 0);
  int Status = -1;
  {
    TGuardian Guardian(Pair.Menu.Release(), Child);
    EXPECT_EQ(Guardian.ProcessId(), Child);
    // While the menu runs the guardian waits.
    EXPECT_EQ(waitpid(Child, &Status, WNOHANG), 0);
    Guardian.Dismiss();
    EXPECT_EQ(Guardian.ProcessId(), -1);
    // Reaped: no zombie is left for anybody to wait for.
    EXPECT_EQ(waitpid(Child, &Status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    Guardian.Dismiss();  // a second time does nothing
  }
}

TEST(TGuardian, DestructionIsAnOrderlyEnd) {
  // The exit code is only visible if the child is not reaped by the guardian object; so the
  // child reports through a pipe instead.
  int Report[2];
  ASSERT_EQ(pipe(Report), 0);
  TSocketPair Pair;
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    close(Report[0]);
    Pair.Menu.Close();
    const char Answer = GuardMenu(Pair.Guardian.Descriptor(), [] {}) ? 'R' : 'N';
    (void)!write(Report[1], &Answer, 1);
    _exit(0);
  }
  close(Report[1]);
  Pair.Guardian.Close();
  { TGuardian Guardian(Pair.Menu.Release(), Child); }
  char Answer = 0;
  EXPECT_EQ(read(Report[0], &Answer, 1), 1);
  EXPECT_EQ(Answer, 'N') << "the guardian recovered after an orderly end";
  close(Report[0]);
  EXPECT_EQ(waitpid(Child, nullptr, WNOHANG), -1) << "not reaped";
}

TEST(TGuardian, KilledMenuMakesTheGuardianRecover) {
  // A "menu" process starts its guardian and is then killed with SIGKILL; the guardian, now
  // an orphan, must recover and end. It reports through a pipe that only it holds.
  int Report[2];
  ASSERT_EQ(pipe(Report), 0);
  int Ready[2];
  ASSERT_EQ(pipe(Ready), 0);
  const pid_t Menu = fork();
  ASSERT_GE(Menu, 0);
  if (Menu == 0) {
    TSocketPair Pair;
    const pid_t Guardian = fork();
    if (Guardian == 0) {
      close(Ready[1]);
      Pair.Menu.Close();
      GuardMenu(Pair.Guardian.Descriptor(), [&] { (void)!write(Report[1], "recovered", 9); });
      _exit(0);
    }
    close(Report[1]);
    Pair.Guardian.Close();
    TGuardian Held(Pair.Menu.Release(), Guardian);
    (void)!write(Ready[1], "r", 1);
    pause();  // until killed: Held's destructor never runs
    _exit(3);
  }
  close(Report[1]);
  close(Ready[1]);
  char Byte = 0;
  ASSERT_EQ(read(Ready[0], &Byte, 1), 1);
  close(Ready[0]);
  ASSERT_EQ(kill(Menu, SIGKILL), 0);
  ASSERT_EQ(waitpid(Menu, nullptr, 0), Menu);
  std::string Said;
  char Buffer[32];
  ssize_t Count;
  // Reads to the end: the pipe closes when the guardian process has ended.
  while ((Count = read(Report[0], Buffer, sizeof(Buffer))) > 0) Said.append(Buffer, static_cast<size_t>(Count));
  close(Report[0]);
  EXPECT_EQ(Said, "recovered");
}

TEST(TGuardian, NotStartedWithoutAnXServer) {
  // SDL's video is not running on X11 here (not running at all): there is nothing to guard.
  EXPECT_EQ(TGuardian::Start({"Section", "Key", "0"}), nullptr);
}

TEST(GuardianInvocation, OnlyTheMarkerAsFirstArgument) {
  struct TCase {
    std::vector<std::string> Arguments;
    bool IsGuardian;
  };
  const TCase Cases[] = {
      {{"menu"}, false},
      {{"menu", "--menu-guardian"}, true},
      {{"menu", "--menu-guardian", "A", "B", "0", "1024 768 0 0 0"}, true},
      {{"menu", "x", "--menu-guardian"}, false},
      {{"menu", "--menu-guardian-x"}, false},
      {{"menu", "--MENU-GUARDIAN"}, false},
  };
  for (const TCase& Case : Cases) {
    std::vector<std::string> Copy = Case.Arguments;
    std::vector<char*> Argv;
    for (std::string& Argument : Copy) Argv.push_back(Argument.data());
    Argv.push_back(nullptr);
    EXPECT_EQ(IsGuardianInvocation(static_cast<int>(Case.Arguments.size()), Argv.data()), Case.IsGuardian)
        << testing::PrintToString(Case.Arguments);
  }
}

// Runs RunGuardian in a child with the given arguments and descriptor 3, a private profile
// folder and no display; answers its exit code and the profile file's text afterwards.
struct TGuardianRun {
  int ExitCode = -1;
  std::string Profile;
};

enum class TMenuEnd { InOrder, Abrupt, NoConnection };

TGuardianRun RunGuardianProcess(std::vector<std::string> Arguments, TMenuEnd End) {
  const std::filesystem::path Folder = std::filesystem::temp_directory_path() /
                                       ("guardian-test-" + std::to_string(getpid()) + "-" + std::to_string(rand()));
  std::filesystem::create_directories(Folder);
  TSocketPair Pair;
  const pid_t Child = fork();
  if (Child == 0) {
    setenv("XDG_CONFIG_HOME", Folder.c_str(), 1);
    unsetenv("DISPLAY");
    Pair.Menu.Close();
    if (End == TMenuEnd::NoConnection)
      close(GuardianConnectionDescriptor);
    else
      dup2(Pair.Guardian.Descriptor(), GuardianConnectionDescriptor);
    std::vector<char*> Argv;
    for (std::string& Argument : Arguments) Argv.push_back(Argument.data());
    Argv.push_back(nullptr);
    _exit(RunGuardian(static_cast<int>(Arguments.size()), Argv.data()));
  }
  Pair.Guardian.Close();
  if (End == TMenuEnd::InOrder) SayEndedInOrder(Pair.Menu.Descriptor());
  Pair.Menu.Close();
  TGuardianRun Run;
  int Status = 0;
  waitpid(Child, &Status, 0);
  Run.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  std::ifstream File(Folder / "win.ini");
  std::stringstream Text;
  Text << File.rdbuf();
  Run.Profile = Text.str();
  std::filesystem::remove_all(Folder);
  return Run;
}

const std::string Layout = "1024 768 0 0 1 59 58 0 0 1 1 60";

TEST(RunGuardian, AfterAnAbruptEndWritesTheOrderedValue) {
  const TGuardianRun Run =
      RunGuardianProcess(GuardianArguments({"Dustrover97", "Action", "0"}, Layout), TMenuEnd::Abrupt);
  EXPECT_EQ(Run.ExitCode, 0);
  EXPECT_NE(Run.Profile.find("[Dustrover97]"), std::string::npos) << Run.Profile;
  EXPECT_NE(Run.Profile.find("Action=0"), std::string::npos) << Run.Profile;
}

TEST(RunGuardian, AfterAnOrderlyEndWritesNothing) {
  const TGuardianRun Run =
      RunGuardianProcess(GuardianArguments({"Dustrover97", "Action", "0"}, Layout), TMenuEnd::InOrder);
  EXPECT_EQ(Run.ExitCode, 0);
  EXPECT_EQ(Run.Profile, "");
}

TEST(RunGuardian, RefusesToRunWithoutItsOrdersOrConnection) {
  struct TCase {
    std::vector<std::string> Arguments;
    TMenuEnd End;
  };
  std::vector<std::string> TooFew = GuardianArguments({"S", "K", "0"}, Layout);
  TooFew.pop_back();
  const TCase Cases[] = {
      {GuardianArguments({"S", "K", "0"}, "not a layout"), TMenuEnd::Abrupt},
      {TooFew, TMenuEnd::Abrupt},
      {GuardianArguments({"S", "K", "0"}, Layout), TMenuEnd::NoConnection},
  };
  for (const TCase& Case : Cases) {
    const TGuardianRun Run = RunGuardianProcess(Case.Arguments, Case.End);
    EXPECT_EQ(Run.ExitCode, 2) << testing::PrintToString(Case.Arguments);
    EXPECT_EQ(Run.Profile, "") << "a guardian that refused to run must not write";
  }
}

}  // namespace
