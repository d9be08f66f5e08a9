// The three profile functions over the system profile file in $XDG_CONFIG_HOME.
#include "ProfileTestSupport.h"

#include "os/Profile.h"
#include "os/ProfileFile.h"

#include <cstring>

using namespace ProfileTest;

namespace {

class ProfileFunctionsTest : public testing::Test {
protected:
  TTempFolder FFolder;
  fs::path FConfig = FFolder / "config";
  TScopedEnvironment FEnvironment{"XDG_CONFIG_HOME", FConfig.string()};
  fs::path FPath = FConfig / "win.ini";

  void WriteProfile(const std::string& Bytes) {
    fs::create_directories(FConfig);
    WriteBytes(FPath, Bytes);
  }
};

TEST_F(ProfileFunctionsTest, SystemProfileIsWinIniInConfigHome) {
  EXPECT_EQ(TProfileFile::SystemProfilePath(), FPath);
}

TEST_F(ProfileFunctionsTest, ConfigHomeDefaultsToDotConfigInHome) {
  const TScopedEnvironment Home("HOME", FFolder.Path().string());
  for (const std::optional<std::string>& Value : {std::optional<std::string>(), std::optional<std::string>(""),
                                                  std::optional<std::string>("relative/config")}) {
    const TScopedEnvironment Config("XDG_CONFIG_HOME", Value);
    EXPECT_EQ(TProfileFile::SystemProfilePath(), FFolder / ".config" / "win.ini");
  }
}

TEST_F(ProfileFunctionsTest, WriteCreatesFolderAndReadsBack) {
  EXPECT_TRUE(WriteProfileStringA("Dustrover97", "Action", "3"));
  EXPECT_EQ(ReadBytes(FPath), "[Dustrover97]\nAction=3\n");
  EXPECT_EQ(GetProfileIntA("Dustrover97", "Action", 0), 3);
  char Buffer[256];
  EXPECT_EQ(GetProfileStringA("DUSTROVER97", "action", "x", Buffer, sizeof Buffer), 1u);
  EXPECT_STREQ(Buffer, "3");
}

TEST_F(ProfileFunctionsTest, NoSectionGivesDefaults) {
  WriteProfile("[Other]\nSoundSwitch=0\n");
  EXPECT_EQ(GetProfileIntA("Dustrover97", "SoundSwitch", 1), 1);
  EXPECT_EQ(GetProfileIntA("Dustrover97", "QuirBalent", 0), 0);
  char Buffer[256];
  EXPECT_EQ(GetProfileStringA("Dustrover97", "OkExeVersion", "1.0", Buffer, sizeof Buffer), 3u);
  EXPECT_STREQ(Buffer, "1.0");
}

TEST_F(ProfileFunctionsTest, NoFileGivesDefaults) {
  EXPECT_EQ(GetProfileIntA("Dustrover97", "SoundSwitch", 1), 1);
  char Buffer[8];
  EXPECT_EQ(GetProfileStringA("Dustrover97", "OkExeVersion", "1.0", Buffer, sizeof Buffer), 3u);
  EXPECT_STREQ(Buffer, "1.0");
  EXPECT_FALSE(fs::exists(FConfig));  // reading creates nothing
}

TEST_F(ProfileFunctionsTest, PresentButEmptyTextIsNotDefault) {
  WriteProfile("[Dustrover97]\nOkExeVersion=\nSoundSwitch=\n");
  char Buffer[256];
  std::memset(Buffer, 'z', sizeof Buffer);
  EXPECT_EQ(GetProfileStringA("Dustrover97", "OkExeVersion", "1.0", Buffer, sizeof Buffer), 0u);
  EXPECT_STREQ(Buffer, "");
  EXPECT_EQ(GetProfileIntA("Dustrover97", "SoundSwitch", 1), 1);
}

TEST_F(ProfileFunctionsTest, TextIsCutToBufferSize) {
  const std::string Long(300, 'v');
  WriteProfile("[S]\nk=" + Long + "\n");
  char Buffer[256];
  std::memset(Buffer, 'z', sizeof Buffer);
  EXPECT_EQ(GetProfileStringA("S", "k", "", Buffer, sizeof Buffer), 255u);
  EXPECT_EQ(std::string(Buffer), Long.substr(0, 255));
  char Small[4] = {'z', 'z', 'z', 'z'};
  EXPECT_EQ(GetProfileStringA("S", "missing", "default", Small, sizeof Small), 3u);
  EXPECT_EQ(std::string(Small, 4), std::string("def\0", 4));
  char One[1] = {'z'};
  EXPECT_EQ(GetProfileStringA("S", "k", "", One, 1), 0u);
  EXPECT_EQ(One[0], '\0');
  char Untouched[2] = {'z', 'z'};
  EXPECT_EQ(GetProfileStringA("S", "k", "", Untouched, 0), 0u);
  EXPECT_EQ(Untouched[0], 'z');
}

TEST_F(ProfileFunctionsTest, ZeroByteInFileEndsTheText) {
  WriteProfile(std::string("[S]\nk=ab\0cd\n", 12));
  char Buffer[16];
  EXPECT_EQ(GetProfileStringA("S", "k", "", Buffer, sizeof Buffer), 2u);
  EXPECT_STREQ(Buffer, "ab");
}

TEST_F(ProfileFunctionsTest, NullArguments) {
  char Buffer[16];
  EXPECT_EQ(GetProfileStringA("S", nullptr, "d", Buffer, sizeof Buffer), 1u);
  EXPECT_STREQ(Buffer, "d");
  EXPECT_EQ(GetProfileStringA("S", "k", nullptr, Buffer, sizeof Buffer), 0u);
  EXPECT_STREQ(Buffer, "");
  EXPECT_EQ(GetProfileStringA("S", "k", "d", nullptr, 16), 0u);
  EXPECT_EQ(GetProfileIntA(nullptr, "k", 4), 4);
  EXPECT_FALSE(WriteProfileStringA("S", "k", nullptr));
  EXPECT_FALSE(WriteProfileStringA(nullptr, "k", "v"));
  EXPECT_FALSE(WriteProfileStringA("S", nullptr, "v"));
  EXPECT_FALSE(fs::exists(FConfig));
}

TEST_F(ProfileFunctionsTest, RefusedAndFailedWritesAnswerFalseAndChangeNothing) {
  WriteProfile("[S]\nk=1\n");
  EXPECT_FALSE(WriteProfileStringA("S", "k", "1\n[T]"));
  EXPECT_FALSE(WriteProfileStringA("S]", "k", "1"));
  EXPECT_EQ(ReadBytes(FPath), "[S]\nk=1\n");
  fs::remove(FPath);
  fs::create_directory(FPath);
  EXPECT_FALSE(WriteProfileStringA("S", "k", "2"));
  EXPECT_TRUE(fs::is_directory(FPath));
  EXPECT_EQ(ListFolder(FConfig), std::vector<std::string>{"win.ini"});
}

}  // namespace
