// The main window around the options dialog: coming back from it reloads the pictures and shows
// the menu view, and keys typed in it never reach the main window.
#include "MenuTestSupport.h"

#include "app/options.h"

namespace MenuTest {
namespace {

// Pictures written over the first ones while the menu runs, again exact on a 16-bit screen.
constexpr uint32_t NewMenu1Colour = 0xFF00FF;
constexpr uint32_t NewMenu2Colour = 0x00F6FF;
constexpr uint32_t NewCredits1Colour = 0xF6F6F6;
constexpr uint32_t NewCredits2Colour = 0xDE0000;

TForm3* ShownOptionsDialog() {
  for (TCustomForm* Form : Screen->Forms())
    if (auto* Dialog = dynamic_cast<TForm3*>(Form); Dialog && Dialog->Visible() && Dialog->Modal()) return Dialog;
  return nullptr;
}

enum class TDialogEnd { Confirmed, Cancelled };

class MainFormOptions : public TMenuTest, public ::testing::WithParamInterface<TDialogEnd> {
protected:
  void CloseDialog(TForm3& Dialog, THeadlessScreen& Headless) {
    ClickCentreOf(GetParam() == TDialogEnd::Confirmed ? *Dialog.Button1 : *Dialog.Button2, Headless);
  }
};

TEST_P(MainFormOptions, ReturnFromTheDialogReloadsAllFourPictures) {
  TMenuRun Menu(ExeName(), 640, 480, {{640, 480, 32}, {640, 480, 16}});
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  Menu.AtIdle([&] {
    WriteSolidBitmap(ProgramFolder / "menu1.bmp", NewMenu1Colour);
    WriteSolidBitmap(ProgramFolder / "menu2.bmp", NewMenu2Colour);
    WriteSolidBitmap(ProgramFolder / "credits1.bmp", NewCredits1Colour);
    WriteSolidBitmap(ProgramFolder / "credits2.bmp", NewCredits2Colour);
    ClickCentreOf(*Form.OptionsButton, Headless);
  });
  Menu.AtIdle([&] {
    TForm3* Dialog = ShownOptionsDialog();
    ASSERT_NE(Dialog, nullptr);
    EXPECT_EQ(Headless.Pixel(20, 20), Menu1Colour) << "nothing is reloaded while the dialog is open";
    CloseDialog(*Dialog, Headless);
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownOptionsDialog(), nullptr);
    EXPECT_EQ(ShownErrorBox(), nullptr);
    EXPECT_EQ(Screen->ActiveForm(), &Form);
    EXPECT_TRUE(Form.MatContainer1->Visible());
    EXPECT_FALSE(Form.credits->Visible());
    EXPECT_EQ(Headless.Pixel(20, 20), NewMenu1Colour);
    // The mouse rests where the dialog's button was; a hot spot there lights up from the new picture.
    const TPoint Mouse = Menu.App().MousePosition();
    bool OverHotSpot = false;
    for (const MatButton* Button : {Form.Moon1Button, Form.Moon2Button, Form.Moon3Button, Form.Moon4Button,
                                    Form.OptionsButton, Form.CreditsButton, Form.ExitButton})
      OverHotSpot = OverHotSpot || Button->ScreenRect().Contains(Mouse);
    EXPECT_EQ(Headless.Pixel(Mouse.X, Mouse.Y), OverHotSpot ? NewMenu2Colour : NewMenu1Colour);
    const TPoint Moon = CentreOf(*Form.Moon1Button);
    Headless.MouseMove(Moon.X, Moon.Y);
  });
  Menu.AtIdle([&] {
    const TPoint Moon = CentreOf(*Form.Moon1Button);
    EXPECT_EQ(Headless.Pixel(Moon.X, Moon.Y), NewMenu2Colour);
    ClickCentreOf(*Form.CreditsButton, Headless);
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(Headless.Pixel(20, 20), NewCredits1Colour);
    const TPoint Ok = CentreOf(*Form.OkButton);
    Headless.MouseMove(Ok.X, Ok.Y);
  });
  Menu.AtIdle([&] {
    const TPoint Ok = CentreOf(*Form.OkButton);
    EXPECT_EQ(Headless.Pixel(Ok.X, Ok.Y), NewCredits2Colour);
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
  EXPECT_EQ(Form.MenuAction(), 0);
}

TEST_P(MainFormOptions, ReturnFromTheDialogRecoversFromAFailedLoadAndShowsTheMenuView) {
  fs::remove(ProgramFolder / "credits1.bmp");
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  Menu.AtIdle([&] {
    ASSERT_NE(ShownErrorBox(), nullptr);
    Headless.Type(std::string(1, Enter));
  });
  Menu.AtIdle([&] {
    EXPECT_TRUE(Form.credits->Visible()) << "the failed activation did not switch the view";
    WriteSolidBitmap(ProgramFolder / "credits1.bmp", Credits1Colour);
    ClickCentreOf(*Form.OptionsButton, Headless);
  });
  Menu.AtIdle([&] {
    TForm3* Dialog = ShownOptionsDialog();
    ASSERT_NE(Dialog, nullptr);
    CloseDialog(*Dialog, Headless);
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownErrorBox(), nullptr);
    EXPECT_TRUE(Form.MatContainer1->Visible());
    EXPECT_FALSE(Form.credits->Visible());
    EXPECT_EQ(Form.credits->Picture1().Bitmap().Width(), 640);
    EXPECT_EQ(Form.credits->Picture2().Bitmap().Width(), 640);
    // With the view switched a single Escape ends the menu.
    Headless.Type(std::string(1, Escape));
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
  EXPECT_FALSE(Menu.ReachedEndOfScript());
  EXPECT_EQ(Form.MenuAction(), 0);
}

INSTANTIATE_TEST_SUITE_P(DialogEnds, MainFormOptions, ::testing::Values(TDialogEnd::Confirmed, TDialogEnd::Cancelled),
                         [](const ::testing::TestParamInfo<TDialogEnd>& Info) {
                           return std::string(Info.param == TDialogEnd::Confirmed ? "Confirmed" : "Cancelled");
                         });

using MainFormOptionsKeys = TMenuTest;

TEST_F(MainFormOptionsKeys, KeysTypedInTheDialogReachNeitherEscapeNorTheAccessCodes) {
  SetProfileValue(ActionKey, "4");
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  Menu.AtIdle([&] {
    Headless.Type("kexl");
    ClickCentreOf(*Form.OptionsButton, Headless);
  });
  Menu.AtIdle([&] {
    TForm3* Dialog = ShownOptionsDialog();
    ASSERT_NE(Dialog, nullptr);
    Headless.Type(std::string("ip5") + Escape + "kexlip6");
  });
  Menu.AtIdle([&] {
    TForm3* Dialog = ShownOptionsDialog();
    ASSERT_NE(Dialog, nullptr) << "Escape does not close the dialog";
    EXPECT_EQ(Form.AccessCodes().TypedCount(), 4);
    ClickCentreOf(*Dialog->Button2, Headless);
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(ShownOptionsDialog(), nullptr);
    EXPECT_EQ(Form.MenuAction(), 0);
    // The code begun before the dialog goes on where it stopped.
    Headless.Type("ip5");
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
  EXPECT_FALSE(Menu.ReachedEndOfScript());
  EXPECT_EQ(Form.MenuAction(), 5);
  Menu.DestroyForms();
  EXPECT_EQ(ProfileValue(ActionKey), "5");
}

TEST_F(MainFormOptionsKeys, ReturnFromTheDialogReadsTheProfileAgainButNeverHidesTheNotice) {
  TMenuRun Menu(ExeName());
  TMainForm& Form = Menu.CreateForm();
  THeadlessScreen& Headless = Menu.Headless();
  auto OpenAndCancel = [&](const std::function<void()>& BeforeOpening) {
    Menu.AtIdle([&, BeforeOpening] {
      BeforeOpening();
      ClickCentreOf(*Form.OptionsButton, Headless);
    });
    Menu.AtIdle([&] {
      TForm3* Dialog = ShownOptionsDialog();
      ASSERT_NE(Dialog, nullptr);
      ClickCentreOf(*Dialog->Button2, Headless);
    });
  };
  OpenAndCancel([&] {
    EXPECT_FALSE(Form.CheatBox->Visible());
    EXPECT_EQ(Form.VersionLabel->Caption(), "v1.0");
    SetProfileValue(QuirBalentKey, "1");
    SetProfileValue(OkExeVersionKey, "2.0");
  });
  OpenAndCancel([&] {
    EXPECT_TRUE(Form.CheatBox->Visible());
    EXPECT_EQ(Form.VersionLabel->Caption(), "v2.0");
    SetProfileValue(QuirBalentKey, "0");
    SetProfileValue(OkExeVersionKey, std::string(60, '9').c_str());
  });
  OpenAndCancel([&] {
    EXPECT_TRUE(Form.CheatBox->Visible()) << "activation only ever shows the notice";
    EXPECT_EQ(Form.VersionLabel->Caption(), "v" + std::string(60, '9'));
    EXPECT_NE(Headless.Pixel(639, 465), Menu1Colour) << "the long label reaches the screen's edge";
    SetProfileValue(OkExeVersionKey, "3");
  });
  Menu.AtIdle([&] {
    EXPECT_EQ(Form.VersionLabel->Caption(), "v3");
    EXPECT_EQ(Headless.Pixel(639, 465), Menu1Colour) << "nothing is left of the longer label";
    EXPECT_TRUE(Form.CheatBox->Visible());
    EXPECT_EQ(ProfileValue(QuirBalentKey), "0");
  });
  Menu.Run();
  EXPECT_EQ(Menu.StepsLeft(), 0u);
}

}  // namespace
}  // namespace MenuTest
