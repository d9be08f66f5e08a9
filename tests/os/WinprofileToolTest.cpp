// The winprofile command: its answers on stdout, its complaints on stderr, its exit codes.
#include "ProfileTestSupport.h"

#include <fcntl.h>

using namespace ProfileTest;

namespace {

struct TRun {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

class WinprofileToolTest : public testing::Test {
protected:
  void SetUp() override {
    if (!fs::exists(FProgram)) GTEST_SKIP() << FProgram << " is not built";
  }

  // Runs winprofile with Arguments, XDG_CONFIG_HOME set to the test's folder; stdout goes to
  // OutPath when given.
  TRun Run(const std::vector<std::string>& Arguments, const std::string& OutPath = "") {
    const fs::path Out = OutPath.empty() ? FFolder / "stdout" : fs::path(OutPath);
    const fs::path Err = FFolder / "stderr";
    TRun Result;
    Result.ExitCode = RunInChild([&] {
      const int OutFile = ::open(Out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int ErrFile = ::open(Err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (OutFile < 0 || ErrFile < 0 || ::dup2(OutFile, 1) < 0 || ::dup2(ErrFile, 2) < 0) return 126;
      ::setenv("XDG_CONFIG_HOME", FConfig.c_str(), 1);
      std::vector<char*> Argv{const_cast<char*>(FProgram.c_str())};
      for (const std::string& Argument : Arguments) Argv.push_back(const_cast<char*>(Argument.c_str()));
      Argv.push_back(nullptr);
      ::execv(FProgram.c_str(), Argv.data());
      return 127;
    });
    if (OutPath.empty()) Result.Out = ReadBytes(Out);
    Result.Err = ReadBytes(Err);
    return Result;
  }

  std::string Profile() const { return ReadBytes(FConfig / "win.ini"); }

  const fs::path FProgram = MENU_BINARY_DIR "/winprofile";
  TTempFolder FFolder;
  fs::path FConfig = FFolder / "config";
};

TEST_F(WinprofileToolTest, GetOfMissingKeyPrintsDefault) {
  const TRun Run = this->Run({"get", "Dustrover97", "Action", "none"});
  EXPECT_EQ(Run.ExitCode, 0);
  EXPECT_EQ(Run.Out, "none\n");
  EXPECT_EQ(Run.Err, "");
  EXPECT_FALSE(fs::exists(FConfig));
}

TEST_F(WinprofileToolTest, SetWritesAndPrintsValue) {
  const TRun Set = Run({"set", "Dustrover97", "Action", "4"});
  EXPECT_EQ(Set.ExitCode, 0);
  EXPECT_EQ(Set.Out, "4\n");
  EXPECT_EQ(Set.Err, "");
  EXPECT_EQ(Profile(), "[Dustrover97]\nAction=4\n");
  const TRun Get = Run({"get", "dustrover97", "ACTION", "0"});
  EXPECT_EQ(Get.ExitCode, 0);
  EXPECT_EQ(Get.Out, "4\n");
  const TRun Empty = Run({"set", "Dustrover97", "Empty", ""});
  EXPECT_EQ(Empty.ExitCode, 0);
  EXPECT_EQ(Run({"get", "Dustrover97", "Empty", "default"}).Out, "\n");
}

TEST_F(WinprofileToolTest, GetIntReadsTheNumber) {
  fs::create_directories(FConfig);
  WriteBytes(FConfig / "win.ini", "[S]\nhex=0x10\nword=yes\nempty=\n");
  EXPECT_EQ(Run({"get-int", "S", "hex", "5"}).Out, "16\n");
  EXPECT_EQ(Run({"get-int", "S", "word", "5"}).Out, "0\n");
  EXPECT_EQ(Run({"get-int", "S", "empty", "-5"}).Out, "-5\n");
  const TRun Missing = Run({"get-int", "S", "missing", "+7"});
  EXPECT_EQ(Missing.ExitCode, 0);
  EXPECT_EQ(Missing.Out, "7\n");
}

TEST_F(WinprofileToolTest, GetGivesAtMost255Characters) {
  fs::create_directories(FConfig);
  WriteBytes(FConfig / "win.ini", "[S]\nk=" + std::string(300, 'v') + "\n");
  EXPECT_EQ(Run({"get", "S", "k", ""}).Out, std::string(255, 'v') + "\n");
}

TEST_F(WinprofileToolTest, RefusedWriteSaysWhyAndExitsOne) {
  fs::create_directories(FConfig);
  WriteBytes(FConfig / "win.ini", "[S]\nk=1\n");
  for (const std::vector<std::string>& Arguments :
       {std::vector<std::string>{"set", "S", "a=b", "1"}, {"set", "S", "k", "1\n[T]"}, {"set", "[S]", "k", "1"}}) {
    const TRun Run = this->Run(Arguments);
    EXPECT_EQ(Run.ExitCode, 1) << Arguments[2];
    EXPECT_EQ(Run.Out, "");
    EXPECT_NE(Run.Err.find("refused"), std::string::npos) << Run.Err;
  }
  EXPECT_EQ(Profile(), "[S]\nk=1\n");
}

TEST_F(WinprofileToolTest, FailedWriteSaysWhyAndExitsOne) {
  fs::create_directories(FConfig / "win.ini");
  const TRun Run = this->Run({"set", "S", "k", "1"});
  EXPECT_EQ(Run.ExitCode, 1);
  EXPECT_EQ(Run.Out, "");
  EXPECT_NE(Run.Err.find("win.ini"), std::string::npos) << Run.Err;
  EXPECT_NE(Run.Err.find("folder"), std::string::npos) << Run.Err;
}

TEST_F(WinprofileToolTest, WrongArgumentsPrintUsageAndExitTwo) {
  const std::vector<std::vector<std::string>> Cases = {
      {},
      {"get"},
      {"get", "S", "k"},
      {"get", "S", "k", "d", "extra"},
      {"set", "S", "k"},
      {"remove", "S", "k", "d"},
      {"get-int", "S", "k", "one"},
      {"get-int", "S", "k", "1x"},
      {"get-int", "S", "k", ""},
      {"get-int", "S", "k", "2147483648"},
      {"get-int", "S", "k", "+-1"},
  };
  for (const std::vector<std::string>& Arguments : Cases) {
    const TRun Run = this->Run(Arguments);
    EXPECT_EQ(Run.ExitCode, 2) << testing::PrintToString(Arguments);
    EXPECT_EQ(Run.Out, "");
    EXPECT_NE(Run.Err.find("usage: winprofile"), std::string::npos) << testing::PrintToString(Arguments);
  }
  EXPECT_FALSE(fs::exists(FConfig));
}

TEST_F(WinprofileToolTest, HelpGoesToStdout) {
  const TRun Run = this->Run({"--help"});
  EXPECT_EQ(Run.ExitCode, 0);
  EXPECT_NE(Run.Out.find("usage: winprofile"), std::string::npos);
}

TEST_F(WinprofileToolTest, AnswerThatCannotBePrintedExitsOne) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const TRun Run = this->Run({"get", "S", "k", "d"}, "/dev/full");
  EXPECT_EQ(Run.ExitCode, 1);
  EXPECT_NE(Run.Err.find("cannot write"), std::string::npos) << Run.Err;
}

}  // namespace
