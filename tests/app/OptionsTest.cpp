// The options dialog: its layout, the focus and tab order, the switches read from and written
// to the profile section by mouse and by keyboard, and its life under the main window.
#include "forms/HeadlessTestSupport.h"

#include "app/ProfileSection.h"
#include "app/main.h"
#include "app/options.h"
#include "forms/Application.h"
#include "os/HeadlessScreen.h"
#include "os/Profile.h"
#include "os/ProfileFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

using namespace HeadlessTest;
namespace fs = std::filesystem;

namespace {

// A fresh $XDG_CONFIG_HOME for one test, so the profile file starts absent; the old value
// comes back afterwards.
class TConfigHome {
public:
  TConfigHome() {
    std::string Template = (fs::temp_directory_path() / "options-test-XXXXXX").string();
    if (!::mkdtemp(Template.data())) throw std::runtime_error("mkdtemp failed");
    FPath = Template;
    if (const char* Old = std::getenv("XDG_CONFIG_HOME")) FOld = Old;
    ::setenv("XDG_CONFIG_HOME", FPath.c_str(), 1);
  }
  TConfigHome(const TConfigHome&) = delete;
  TConfigHome& operator=(const TConfigHome&) = delete;
  ~TConfigHome() {
    if (FOld) ::setenv("XDG_CONFIG_HOME", FOld->c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
    std::error_code Ignored;
    fs::remove_all(FPath, Ignored);
  }

private:
  fs::path FPath;
  std::optional<std::string> FOld;
};

std::optional<std::string> Stored(const char* Key) {
  return TProfileFile(TProfileFile::SystemProfilePath()).ReadString(ProfileSection, Key);
}

// The whole profile file, or nothing while it does not exist.
std::optional<std::string> ProfileBytes() {
  std::ifstream In(TProfileFile::SystemProfilePath(), std::ios::binary);
  if (!In) return std::nullopt;
  std::ostringstream Out;
  Out << In.rdbuf();
  return Out.str();
}

// The profile file's inode and bytes: a write replaces the file, so even a write of the same
// values changes the inode. Nothing while the file does not exist.
std::optional<std::pair<ino_t, std::string>> ProfileIdentity() {
  struct stat Status {};
  if (::stat(TProfileFile::SystemProfilePath().c_str(), &Status) != 0) return std::nullopt;
  return std::make_pair(Status.st_ino, ProfileBytes().value_or(""));
}

// The options dialog while it is shown modally, or nullptr.
TForm3* OpenDialog() {
  for (TCustomForm* Form : Screen->Forms())
    if (auto* Dialog = dynamic_cast<TForm3*>(Form); Dialog && Dialog->Visible() && Dialog->Modal()) return Dialog;
  return nullptr;
}

TPoint CloseBoxMiddle(const TCustomForm& Form) {
  const TRect Box = Form.CloseBoxScreenRect();
  return {Box.Left + Box.Width() / 2, Box.Top + Box.Height() / 2};
}

class OptionsTest : public testing::Test {
protected:
  void Click(const TControl& Control) {
    const TPoint P = Middle(Control);
    Headless.Click(P.X, P.Y);
  }

  TConfigHome ConfigHome;
  TApplication App{std::make_unique<THeadlessScreen>(640, 480)};
  THeadlessScreen& Headless = static_cast<THeadlessScreen&>(App.Backend());
};

TEST_F(OptionsTest, TheLayoutGivesTheDialogItsPropertiesAndControls) {
  TFormPtr<TForm3> Dialog = NewForm<TForm3>();
  EXPECT_EQ(Dialog->Caption(), "Options");
  EXPECT_EQ(Dialog->BorderStyle(), TFormBorderStyle::bsDialog);
  EXPECT_EQ(Dialog->ClientWidth(), 274);
  EXPECT_EQ(Dialog->ClientHeight(), 167);
  EXPECT_EQ(Dialog->Position(), TPosition::poScreenCenter);
  EXPECT_EQ(Dialog->Left(), 182);
  EXPECT_EQ(Dialog->Top(), 250);
  EXPECT_EQ(Dialog->Font().Name, "MS Sans Serif");
  EXPECT_EQ(Dialog->Font().Height, -11);
  EXPECT_EQ(Dialog->Font().Color, clWindowText);
  EXPECT_FALSE(Dialog->Font().Bold);
  EXPECT_TRUE(static_cast<bool>(Dialog->OnShow));

  struct TControlRow {
    TWinControl* Control;
    TWinControl* Parent;
    TRect Bounds;
    const char* Caption;
    int32_t TabOrder;
    bool TabStop;
  };
  const TControlRow Rows[] = {
      {Dialog->Button1, Dialog.get(), Bounds(112, 136, 75, 25), "Ok", 0, true},
      {Dialog->Button2, Dialog.get(), Bounds(192, 136, 75, 25), "Cancel", 1, true},
      {Dialog->GroupBox1, Dialog.get(), Bounds(8, 8, 257, 121), "Options", 2, false},
      {Dialog->soundswitch, Dialog->GroupBox1, Bounds(24, 32, 129, 17), "Sound effects", 0, true},
      {Dialog->CDSwitch, Dialog->GroupBox1, Bounds(24, 56, 121, 17), "CD audio", 1, true},
  };
  for (const TControlRow& Row : Rows) {
    SCOPED_TRACE(Row.Control->Name());
    EXPECT_EQ(Row.Control->Parent(), Row.Parent);
    EXPECT_EQ(Row.Control->BoundsRect(), Row.Bounds);
    EXPECT_EQ(Row.Control->Caption(), Row.Caption);
    EXPECT_EQ(Row.Control->TabOrder(), Row.TabOrder);
    EXPECT_EQ(Row.Control->TabStop(), Row.TabStop);
    EXPECT_TRUE(Row.Control->ParentFont());
  }
  // Creation order: the buttons first, then the group with its two boxes.
  ASSERT_EQ(Dialog->Controls().size(), 3u);
  EXPECT_EQ(Dialog->Controls()[0].get(), Dialog->Button1);
  EXPECT_EQ(Dialog->Controls()[1].get(), Dialog->Button2);
  EXPECT_EQ(Dialog->Controls()[2].get(), Dialog->GroupBox1);
  ASSERT_EQ(Dialog->GroupBox1->Controls().size(), 2u);
  EXPECT_EQ(Dialog->GroupBox1->Controls()[0].get(), Dialog->soundswitch);
  EXPECT_EQ(Dialog->GroupBox1->Controls()[1].get(), Dialog->CDSwitch);

  EXPECT_TRUE(Dialog->Button1->Default());
  EXPECT_EQ(Dialog->Button1->ModalResult(), mrOk);
  EXPECT_FALSE(Dialog->Button2->Default());
  EXPECT_EQ(Dialog->Button2->ModalResult(), mrCancel);
  // No cancel button: Escape does not close the dialog.
  EXPECT_FALSE(Dialog->Button1->Cancel());
  EXPECT_FALSE(Dialog->Button2->Cancel());
}

TEST_F(OptionsTest, OpensCentredWithTheFocusOnSoundEffectsAndTabsThroughTheControls) {
  std::vector<std::string> Visited;
  bool Centred = false, Active = false;
  const auto Record = [&] {
    const TWinControl* Focused = OpenDialog() ? OpenDialog()->ActiveControl() : nullptr;
    Visited.push_back(Focused ? Focused->Name() : "(none)");
  };
  const auto TypeAfterRecording = [&](const char* Key, bool Shift) {
    return [&, Key, Shift] {
      Record();
      Headless.Type(Key, Shift);
    };
  };
  TIdleScript Script(Headless, {[&] {
                                  TForm3* Dialog = OpenDialog();
                                  ASSERT_NE(Dialog, nullptr);
                                  const TRect R = Dialog->ScreenRect();
                                  Centred = std::abs(R.Left + R.Right - 640) <= 1 && std::abs(R.Top + R.Bottom - 480) <= 1;
                                  Active = Screen->ActiveForm() == Dialog;
                                  Record();
                                  Headless.Type("\t");
                                },
                                TypeAfterRecording("\t", false), TypeAfterRecording("\t", false),
                                TypeAfterRecording("\t", false), TypeAfterRecording("\t", true),
                                TypeAfterRecording("\t", true), TypeAfterRecording("\t", true),
                                TypeAfterRecording("\t", true), [&] {
                                  Record();
                                  if (TForm3* Dialog = OpenDialog()) Click(*Dialog->Button2);
                                }});
  ShowOptions();
  EXPECT_TRUE(Centred);
  EXPECT_TRUE(Active);
  EXPECT_EQ(Visited, (std::vector<std::string>{"soundswitch", "CDSwitch", "Button1", "Button2", "soundswitch",
                                               "Button2", "Button1", "CDSwitch", "soundswitch"}));
  EXPECT_EQ(Script.WaitsAfterLastStep(), 0);
}

// One run of the dialog. The script's letters click: s soundswitch, c CDSwitch, O Button1,
// C Button2, X the close box; any other character is typed. A missing stored value means the
// key is absent; missing values after mean the profile file is left exactly as it was.
struct TSwitchCase {
  const char* Name;
  std::optional<std::string> SoundBefore, CDBefore;
  bool SoundShown, CDShown;
  const char* Script;
  std::optional<std::string> SoundAfter, CDAfter;
};

const TSwitchCase SwitchCases[] = {
    // Confirming without changes writes both keys as shown; missing keys are created as "1".
    {"MissingKeysConfirmedByMouse", {}, {}, true, true, "O", "1", "1"},
    {"MissingKeysConfirmedByEnter", {}, {}, true, true, "\r", "1", "1"},
    {"StoredValuesConfirmedUnchangedByMouse", "0", "1", false, true, "O", "0", "1"},
    {"StoredValuesConfirmedUnchangedBySpaceOnOk", "1", "0", true, false, "\t\t ", "1", "0"},
    {"ChangesConfirmedByMouse", "1", "0", true, false, "scO", "0", "1"},
    {"ChangesConfirmedByKeyboard", "0", "1", false, true, " \t \r", "1", "0"},
    // Cancelling writes nothing, also after changes.
    {"ChangesCancelledByMouse", "1", "0", true, false, "scC", {}, {}},
    {"ChangesCancelledByEnterOnCancel", "1", "0", true, false, " \t \t\t\r", {}, {}},
    {"ChangesCancelledBySpaceOnCancel", "0", "0", false, false, " \t\t\t ", {}, {}},
    {"ChangesCancelledByTheCloseBox", "0", "1", false, true, "scX", {}, {}},
    {"MissingKeysStayMissingWhenCancelled", {}, {}, true, true, "sC", {}, {}},
    // A stored value other than 1 shows unchecked and is stored as "0" unless checked.
    {"OtherThanOneConfirmedByMouse", "2", "1", false, true, "O", "0", "1"},
    {"OtherThanOneConfirmedByEnter", "2", "-1", false, false, "\r", "0", "0"},
    {"OtherThanOneCheckedByMouse", "2", "yes", false, false, "scO", "1", "1"},
    {"OtherThanOneCheckedByKeyboard", "2", "0x10", false, false, "\t \r", "0", "1"},
    {"OtherThanOneCancelled", "2", "2", false, false, "scC", {}, {}},
    // The stored number counts, not its spelling.
    {"ANumberThatReadsOneIsOn", "+1", "0x1", true, true, "\r", "1", "1"},
};

class OptionsSwitchTest : public OptionsTest, public testing::WithParamInterface<TSwitchCase> {};

TEST_P(OptionsSwitchTest, ShowsTheStoredSwitchesAndStoresThemOnlyWhenConfirmed) {
  const TSwitchCase& Case = GetParam();
  WriteProfileStringA("Other Program", "Setting", "kept");
  if (Case.SoundBefore) WriteProfileStringA(ProfileSection, SoundSwitchKey, Case.SoundBefore->c_str());
  if (Case.CDBefore) WriteProfileStringA(ProfileSection, CDMusicSwitchKey, Case.CDBefore->c_str());
  const auto Before = ProfileIdentity();

  bool SoundShown = !Case.SoundShown, CDShown = !Case.CDShown;
  TIdleScript Script(Headless, {[&] {
    TForm3* Dialog = OpenDialog();
    ASSERT_NE(Dialog, nullptr);
    SoundShown = Dialog->soundswitch->Checked();
    CDShown = Dialog->CDSwitch->Checked();
    for (const char* Step = Case.Script; *Step; ++Step) {
      switch (*Step) {
        case 's': Click(*Dialog->soundswitch); break;
        case 'c': Click(*Dialog->CDSwitch); break;
        case 'O': Click(*Dialog->Button1); break;
        case 'C': Click(*Dialog->Button2); break;
        case 'X': {
          const TPoint P = CloseBoxMiddle(*Dialog);
          Headless.Click(P.X, P.Y);
          break;
        }
        default: Headless.Type(std::string(1, *Step));
      }
    }
  }});
  ShowOptions();

  // The script's last action closed the dialog.
  EXPECT_EQ(Script.StepsRun(), 1u);
  EXPECT_EQ(Script.WaitsAfterLastStep(), 0);
  EXPECT_FALSE(App.Terminated());
  EXPECT_EQ(OpenDialog(), nullptr);

  EXPECT_EQ(SoundShown, Case.SoundShown);
  EXPECT_EQ(CDShown, Case.CDShown);
  if (Case.SoundAfter) {
    EXPECT_EQ(Stored(SoundSwitchKey), Case.SoundAfter);
    EXPECT_EQ(Stored(CDMusicSwitchKey), Case.CDAfter);
    EXPECT_EQ(TProfileFile(TProfileFile::SystemProfilePath()).ReadString("Other Program", "Setting"), "kept");
  } else {
    EXPECT_EQ(ProfileIdentity(), Before);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionsSwitchTest, testing::ValuesIn(SwitchCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(OptionsTest, TheSoundSwitchIsWrittenBeforeTheCDSwitch) {
  TIdleScript Script(Headless, {[&] { Headless.Type("\r"); }});
  ShowOptions();
  const std::optional<std::string> Bytes = ProfileBytes();
  ASSERT_TRUE(Bytes);
  const size_t Sound = Bytes->find(SoundSwitchKey), CD = Bytes->find(CDMusicSwitchKey);
  ASSERT_NE(Sound, std::string::npos);
  ASSERT_NE(CD, std::string::npos);
  EXPECT_LT(Sound, CD);
}

TEST_F(OptionsTest, EscapeDoesNotCloseTheDialog) {
  bool OpenAfterEscape = false;
  TIdleScript Script(Headless, {[&] { Headless.Type("\x1b"); },
                                [&] {
                                  OpenAfterEscape = OpenDialog() != nullptr;
                                  Headless.Type("\r");
                                }});
  ShowOptions();
  EXPECT_TRUE(OpenAfterEscape);
  EXPECT_EQ(Script.WaitsAfterLastStep(), 0);
  EXPECT_EQ(Stored(SoundSwitchKey), "1");
  EXPECT_EQ(Stored(CDMusicSwitchKey), "1");
}

TEST_F(OptionsTest, TheDialogIsFreedWhenItCloses) {
  const size_t FormsBefore = Screen->Forms().size();
  TIdleScript Script(Headless, {[&] { Headless.Type("\r"); }});
  ShowOptions();
  EXPECT_EQ(Screen->Forms().size(), FormsBefore);
}

// The main window around the dialog: the menu's pictures lie beside the built menu, and the
// main window moves the working directory there; it is given back after the test.
class OptionsMenuTest : public testing::Test {
protected:
  OptionsMenuTest() : Main(App.CreateForm<TMainForm>()) {}
  ~OptionsMenuTest() override {
    std::error_code Ignored;
    fs::current_path(FWorkingDirectory, Ignored);
  }
  void SetUp() override {
    for (const char* Picture : {"menu1.bmp", "menu2.bmp", "credits1.bmp", "credits2.bmp"})
      ASSERT_TRUE(fs::exists(fs::path(MENU_BINARY_DIR) / Picture))
          << Picture << " is missing beside the built menu; the demo_pictures_files target draws it";
  }

  void Click(const TControl& Control) {
    const TPoint P = Middle(Control);
    Headless.Click(P.X, P.Y);
  }

  const fs::path FWorkingDirectory = fs::current_path();
  TConfigHome ConfigHome;
  TApplication App{std::make_unique<THeadlessScreen>(640, 480), MENU_BINARY_DIR "/menu"};
  THeadlessScreen& Headless = static_cast<THeadlessScreen&>(App.Backend());
  TMainForm& Main;
};

TEST_F(OptionsMenuTest, KeysAndPressesDoNotReachTheMenuWhileTheDialogIsOpenAndTheMenuComesBackAfter) {
  bool MenuActiveBefore = false, DialogActive = false, MenuUntouched = false, StillOpen = false;
  bool MenuActiveAfter = false, MenuViewAfter = false;
  std::string VersionWhileOpen, VersionAfter;
  TIdleScript Script(
      Headless,
      {[&] {
         MenuActiveBefore = Screen->ActiveForm() == &Main;
         Click(*Main.OptionsButton);
       },
       [&] {
         TForm3* Dialog = OpenDialog();
         ASSERT_NE(Dialog, nullptr);
         DialogActive = Screen->ActiveForm() == Dialog && !Main.Active();
         // Changes that only the menu's activation undoes: a new version text, the credits view.
         WriteProfileStringA(ProfileSection, OkExeVersionKey, "2.5");
         Main.credits->Show();
         Main.MatContainer1->Hide();
         Headless.Type("kexlip5\x1b");
         Click(*Main.Moon1Button);
         Headless.MouseMove(Middle(*Main.Moon4Button).X, Middle(*Main.Moon4Button).Y);
       },
       [&] {
         StillOpen = OpenDialog() != nullptr;
         MenuUntouched = Main.AccessCodes().TypedCount() == 0 && Main.MenuAction() == 0 && !App.Terminated() &&
                         !Main.Moon4Button->MouseInside() && Main.credits->Visible();
         VersionWhileOpen = Main.VersionLabel->Caption();
         Headless.Type("\r");
       },
       [&] {
         MenuActiveAfter = OpenDialog() == nullptr && Screen->ActiveForm() == &Main;
         MenuViewAfter = Main.MatContainer1->Visible() && !Main.credits->Visible();
         VersionAfter = Main.VersionLabel->Caption();
         // The menu takes keys again.
         Headless.Type("kexlip5");
       }});
  App.Run();

  EXPECT_TRUE(MenuActiveBefore);
  EXPECT_TRUE(DialogActive);
  EXPECT_TRUE(StillOpen);
  EXPECT_TRUE(MenuUntouched);
  EXPECT_EQ(VersionWhileOpen, "v1.0");
  EXPECT_TRUE(MenuActiveAfter);
  EXPECT_TRUE(MenuViewAfter);
  EXPECT_EQ(VersionAfter, "v2.5");
  EXPECT_EQ(Script.WaitsAfterLastStep(), 0);
  EXPECT_EQ(Main.MenuAction(), 5);
  EXPECT_EQ(Stored(SoundSwitchKey), "1");
  EXPECT_EQ(Stored(CDMusicSwitchKey), "1");
  App.DestroyForms();
  EXPECT_EQ(Stored(ActionKey), "5");
}

// A quit request while the dialog is open: the dialog closes as cancelled, then the program
// ends; the menu result is written once, when the main window is destroyed.
struct TQuitCase {
  const char* Name;
  void (*Quit)(THeadlessScreen& Headless);
};

const TQuitCase QuitCases[] = {
    {"WindowSystemClose", [](THeadlessScreen& Headless) { Headless.Close(); }},
    {"ApplicationTerminate",
     [](THeadlessScreen& Headless) {
       Application->Terminate();
       // Something to wait for, so that the wait does not answer with a close request of its own.
       Headless.MouseMove(0, 0);
     }},
};

class OptionsQuitTest : public OptionsMenuTest, public testing::WithParamInterface<TQuitCase> {};

TEST_P(OptionsQuitTest, AQuitRequestEndsTheProgramAfterTheDialogCloses) {
  bool DialogOpen = false;
  TIdleScript Script(Headless, {[&] { Click(*Main.OptionsButton); },
                                [&] {
                                  TForm3* Dialog = OpenDialog();
                                  DialogOpen = Dialog != nullptr;
                                  ASSERT_NE(Dialog, nullptr);
                                  Click(*Dialog->soundswitch);
                                  GetParam().Quit(Headless);
                                }});
  App.Run();

  EXPECT_TRUE(DialogOpen);
  EXPECT_TRUE(App.Terminated());
  EXPECT_EQ(Script.WaitsAfterLastStep(), 0);
  EXPECT_EQ(OpenDialog(), nullptr);
  // Cancelled: nothing written yet, not even the menu result.
  EXPECT_EQ(ProfileBytes(), std::nullopt);
  App.DestroyForms();
  EXPECT_EQ(Stored(ActionKey), "0");
  EXPECT_EQ(Stored(SoundSwitchKey), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionsQuitTest, testing::ValuesIn(QuitCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
