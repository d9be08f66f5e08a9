// The display mode with the real program on a private X server: 640x480 with 16-bit colours
// while the menu runs, the desktop's 1024x768 back after every road out (also when the menu is
// killed or crashes and its guardian has to step in), and a menu that keeps the desktop's mode
// where the server offers no 640x480.
#include "e2e/MenuHarness.h"
#include "e2e/ProcessTable.h"

#include <csignal>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace std::chrono_literals;

const std::string DesktopMode = "1024x768";
const std::string MenuMode = "640x480";
const std::string EarlierChoice = "[Dustrover97]\nAction=4\n";
constexpr char GuardianName[] = "menu-guardian";

std::string ProfileWithAction(const std::string& Action) { return "[Dustrover97]\nAction=" + Action + "\n"; }

// Waits until the screen shows Mode; answers the mode seen last, for the failure message.
std::string WaitForMode(const TMenuRun& Menu, const std::string& Mode, std::chrono::milliseconds Timeout = 30s) {
  std::string Seen;
  WaitUntil(
      [&] {
        Seen = Menu.ScreenMode();
        return Seen == Mode;
      },
      Timeout);
  return Seen;
}

struct TScreenProbe {
  const char* What;
  int X;
  int Y;
  TRgb Expected;
};

// Waits until one picture of the screen shows every probe, so that a window still being painted
// is not judged; then reports each probe that does not hold on the picture taken last.
TScreenImage ExpectScreenShows(const TMenuRun& Menu, std::initializer_list<TScreenProbe> Probes) {
  std::optional<TScreenImage> Screen;
  WaitUntil(
      [&] {
        Screen = Menu.Screenshot();
        for (const TScreenProbe& Probe : Probes)
          if (Screen->Pixel(Probe.X, Probe.Y) != Probe.Expected) return false;
        return true;
      },
      30s, 100ms);
  for (const TScreenProbe& Probe : Probes)
    EXPECT_EQ(Screen->Pixel(Probe.X, Probe.Y), Probe.Expected) << Probe.What << " at " << Probe.X << "," << Probe.Y;
  return *Screen;
}

std::string Describe(const std::vector<TProcessEntry>& Processes) {
  std::ostringstream Text;
  for (const TProcessEntry& Process : Processes) Text << "\n  " << Process.Describe();
  return Text.str();
}

// The processes of one menu run: the menu and the guardian it starts. All of them carry the
// run's own configuration folder in their environment, which tells them from any other process
// on the machine, also after the menu has gone and the guardian has been handed to init.
class TRunProcesses {
public:
  explicit TRunProcesses(const TMenuRun& Menu)
      : FMenu(Menu.Pid()), FEnvironmentEntry("XDG_CONFIG_HOME=" + Menu.ProfilePath().parent_path().string()) {}

  // A guardian that stayed is ended here, so that a failing test leaves nothing running. The
  // menu itself is its run's to end.
  ~TRunProcesses() {
    for (const TProcessEntry& Process : StillRunning())
      if (Process.Pid != FMenu) ::kill(Process.Pid, SIGKILL);
  }

  TRunProcesses(const TRunProcesses&) = delete;
  TRunProcesses& operator=(const TRunProcesses&) = delete;

  // Waits until the menu has started its guardian: a child process of that name, named so from
  // the start on its command line and by the kernel once it has renamed itself.
  bool WaitForGuardian(std::chrono::milliseconds Timeout) {
    return WaitUntil(
        [&] {
          for (const TProcessEntry& Process : AllProcesses())
            if (Process.ParentPid == FMenu && !Process.IsZombie() &&
                (Process.Name == GuardianName || Process.FirstArgument == GuardianName)) {
              FGuardian = Process;
              return true;
            }
          return false;
        },
        Timeout);
  }

  const std::optional<TProcessEntry>& Guardian() const { return FGuardian; }

  // Every process of the run that still runs; a zombie has ended and does not count.
  std::vector<TProcessEntry> StillRunning() const {
    std::vector<TProcessEntry> Running;
    for (const TProcessEntry& Process : AllProcesses()) {
      if (Process.IsZombie()) continue;
      const bool IsTheGuardian =
          FGuardian && Process.Pid == FGuardian->Pid && Process.StartTime == FGuardian->StartTime;
      if (IsTheGuardian || HasEnvironmentEntry(Process.Pid, FEnvironmentEntry)) Running.push_back(Process);
    }
    return Running;
  }

  // Waits until no process of the run runs any more; answers those still running at the deadline.
  std::vector<TProcessEntry> WaitUntilAllEnded(std::chrono::milliseconds Timeout) const {
    std::vector<TProcessEntry> Running;
    WaitUntil(
        [&] {
          Running = StillRunning();
          return Running.empty();
        },
        Timeout, 100ms);
    return Running;
  }

private:
  pid_t FMenu;
  std::string FEnvironmentEntry;
  std::optional<TProcessEntry> FGuardian;
};

// --- While the menu runs -----------------------------------------------------------------------

// Colours with all three channels in use, each exactly on a step of its 5-, 6- or 5-bit channel,
// so that a 16-bit screen shows them unchanged and a swapped or mis-sized channel shows up.
constexpr TMenuPictures StepColours{
    .Menu1 = TRgb{0x5A3C9C},
    .Menu2 = TRgb{0xC5A15A},
    .Credits1 = TRgb{0x29B973},
    .Credits2 = TRgb{0xD57D29},
};
// A colour between the steps of every channel: a 16-bit back buffer cannot hold it.
constexpr TRgb BetweenSteps{0x808080};
// Where menu1 has a block of that colour: clear of the hot spots and of the version label.
constexpr int BlockLeft = 480, BlockTop = 20, BlockRight = 620, BlockBottom = 90;

// Moon1Button: left 29, top 115, width 114, height 131.
constexpr int Moon1X = 29 + 114 / 2, Moon1Y = 115 + 131 / 2;

TEST(DisplayModeTest, WhileTheMenuRunsTheScreenIs640x480WithSixteenBitColours) {
  for (TRgb Colour : {StepColours.Menu1, StepColours.Menu2, StepColours.Credits1, StepColours.Credits2})
    ASSERT_TRUE(ShowsUnchangedIn16Bit(Colour)) << "the test's colour #" << std::hex << Colour.Value;
  ASSERT_FALSE(ShowsUnchangedIn16Bit(BetweenSteps));

  TXvfbServer Server;
  ASSERT_EQ(Server.Display().ScreenMode(), DesktopMode);
  TMenuRun Menu(Server.Display());
  Menu.WriteSolidPictures(StepColours);
  Menu.WriteFile("menu1.bmp", BmpFromPixels(640, 480, [](int X, int Y) {
                   const bool InBlock = X >= BlockLeft && X < BlockRight && Y >= BlockTop && Y < BlockBottom;
                   return InBlock ? BetweenSteps : StepColours.Menu1;
                 }));
  ASSERT_TRUE(Menu.StartAndWaitForWindow());

  EXPECT_EQ(WaitForMode(Menu, MenuMode), MenuMode);
  const TScreenImage Shown = ExpectScreenShows(Menu, {
                                                         {"top-left corner", 0, 0, StepColours.Menu1},
                                                         {"inside", 10, 10, StepColours.Menu1},
                                                         {"bottom-right corner", 639, 479, StepColours.Menu1},
                                                         {"left of the block", BlockLeft - 1, 50, StepColours.Menu1},
                                                     });
  // The block shows the colour as the 16-bit mode has it: changed, onto a step of every
  // channel, and no further from it than one step.
  const TRgb Block = Shown.Pixel((BlockLeft + BlockRight) / 2, (BlockTop + BlockBottom) / 2);
  EXPECT_NE(Block, BetweenSteps) << "a colour between the steps came through unchanged: the back buffer is not 16-bit";
  EXPECT_TRUE(ShowsUnchangedIn16Bit(Block)) << "the block shows #" << std::hex << Block.Value;
  EXPECT_LE(std::abs(Block.Red() - BetweenSteps.Red()), 9) << "the block shows #" << std::hex << Block.Value;
  EXPECT_LE(std::abs(Block.Green() - BetweenSteps.Green()), 5) << "the block shows #" << std::hex << Block.Value;
  EXPECT_LE(std::abs(Block.Blue() - BetweenSteps.Blue()), 9) << "the block shows #" << std::hex << Block.Value;

  // The highlighted picture through the same 16-bit screen.
  Menu.MoveMouse(Moon1X, Moon1Y);
  ExpectScreenShows(Menu, {
                              {"the first moon's centre", Moon1X, Moon1Y, StepColours.Menu2},
                              {"the first moon's top-left pixel", 29, 115, StepColours.Menu2},
                              {"the first moon's bottom-right pixel", 29 + 113, 115 + 130, StepColours.Menu2},
                              {"beside the first moon", 29 + 114, Moon1Y, StepColours.Menu1},
                              {"away from the moons", 10, 10, StepColours.Menu1},
                          });
  EXPECT_EQ(Menu.ScreenMode(), MenuMode) << "the mode is held while the menu runs";

  Menu.Key("Escape");
  EXPECT_EQ(Menu.WaitForExit(60s), TExitStatus::Exited(0));
}

// --- Every road out ----------------------------------------------------------------------------

struct TRoadOut {
  const char* Name;
  std::function<void(TMenuRun&)> Take;
  TExitStatus Ending;
  std::string Action;  // the result the road leaves under Action
  bool InOrder;        // the menu ends in order: it gives the mode back and writes the result itself
};

void PrintTo(const TRoadOut& Road, std::ostream* Out) { *Out << Road.Name; }

class TDisplayModeRoadTest : public ::testing::TestWithParam<TRoadOut> {};

TEST_P(TDisplayModeRoadTest, GivesTheDesktopItsModeBackAndLeavesNoProcess) {
  const TRoadOut& Road = GetParam();
  TXvfbServer Server;
  ASSERT_EQ(Server.Display().ScreenMode(), DesktopMode);
  TMenuRun Menu(Server.Display());
  Menu.WriteSolidPictures();
  Menu.WriteProfile(EarlierChoice);
  ASSERT_TRUE(Menu.StartAndWaitForWindow());
  TRunProcesses Processes(Menu);
  // The road is taken on a menu that shows its pictures, holds the 640x480 mode and is guarded.
  ASSERT_EQ(Menu.WaitForPixel(10, 10, PlainPictures.Menu1), PlainPictures.Menu1);
  ASSERT_EQ(WaitForMode(Menu, MenuMode), MenuMode);
  ASSERT_TRUE(Processes.WaitForGuardian(30s)) << "the menu runs without a " << GuardianName;

  Road.Take(Menu);

  const TExitStatus Ending = Menu.WaitForExit(60s);
  EXPECT_EQ(Ending, Road.Ending);
  if (Road.InOrder && Ending == Road.Ending) {
    // Done before the end, not left to the guardian.
    EXPECT_EQ(Menu.ScreenMode(), DesktopMode) << "the mode when the menu had ended";
    EXPECT_EQ(Menu.ProfileText(), ProfileWithAction(Road.Action)) << "the profile when the menu had ended";
  }
  // Once nothing of the run is left, nothing changes the mode or the profile any more.
  const std::vector<TProcessEntry> Left = Processes.WaitUntilAllEnded(30s);
  EXPECT_TRUE(Left.empty()) << "still running after the menu's end (the guardian was "
                            << Processes.Guardian()->Describe() << "):" << Describe(Left);
  EXPECT_EQ(Menu.ScreenMode(), DesktopMode);
  EXPECT_EQ(Menu.ProfileText(), ProfileWithAction(Road.Action));
}

INSTANTIATE_TEST_SUITE_P(
    DisplayMode, TDisplayModeRoadTest,
    ::testing::Values(
        TRoadOut{"Escape", [](TMenuRun& Menu) { Menu.Key("Escape"); }, TExitStatus::Exited(0), "0", true},
        TRoadOut{"FirstMoon", [](TMenuRun& Menu) { Menu.Click(Moon1X, Moon1Y); }, TExitStatus::Exited(0), "1", true},
        TRoadOut{"LevelCode", [](TMenuRun& Menu) { Menu.Type("kexlip5"); }, TExitStatus::Exited(0), "5", true},
        TRoadOut{"SIGTERM", [](TMenuRun& Menu) { Menu.Signal(SIGTERM); }, TExitStatus::Exited(0), "0", true},
        TRoadOut{"SIGHUP", [](TMenuRun& Menu) { Menu.Signal(SIGHUP); }, TExitStatus::Exited(0), "0", true},
        TRoadOut{"SIGKILL", [](TMenuRun& Menu) { Menu.Signal(SIGKILL); }, TExitStatus::Signalled(SIGKILL), "0",
                 false},
        TRoadOut{"Crash", [](TMenuRun& Menu) { Menu.Signal(SIGSEGV); }, TExitStatus::Signalled(SIGSEGV), "0",
                 false}),
    [](const ::testing::TestParamInfo<TRoadOut>& Info) { return std::string(Info.param.Name); });

// --- Without a 640x480 mode --------------------------------------------------------------------

TEST(DisplayModeTest, Without640x480TheMenuRunsInTheDesktopModeAtTheTopLeftOnBlack) {
  TXvfbServer Server(TXvfbServer::TModes::DesktopOnly);
  // Not black, so that black can only be the menu's window.
  const TRgb Desktop{0x00FF00};
  Server.Display().SetRootColour(Desktop);
  ASSERT_EQ(Server.Display().Pixel(700, 100), Desktop) << "the bare desktop must not look like the window";
  TMenuRun Menu(Server.Display());
  Menu.WriteSolidPictures();
  Menu.WriteProfile(EarlierChoice);
  ASSERT_TRUE(Menu.StartAndWaitForWindow());

  ExpectScreenShows(Menu, {
                              {"the menu picture", 10, 10, PlainPictures.Menu1},
                              {"the menu picture's last pixel", 639, 479, PlainPictures.Menu1},
                              {"right of the picture", 700, 100, Black},
                              {"below the picture", 100, 600, Black},
                              {"towards the bottom-right corner", 1000, 700, Black},
                          });
  EXPECT_EQ(Menu.ScreenMode(), DesktopMode);

  Menu.Key("Escape");
  EXPECT_EQ(Menu.WaitForExit(60s), TExitStatus::Exited(0));
  EXPECT_EQ(Menu.ProfileText(), ProfileWithAction("0"));
  EXPECT_EQ(Menu.ScreenMode(), DesktopMode);
}

}  // namespace
