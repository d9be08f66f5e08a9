#pragma once
// A form on an 800x600 headless screen holding a picture container with two hot-spot buttons
// side by side. Normal and highlighted pictures carry distinct patterns, so that any pixel taken
// from the wrong picture or the wrong place shows.
#include "forms/TestPictures.h"
#include "forms/TestScreen.h"

#include "controls/MatButton1.h"
#include "controls/MatContainer1.h"
#include "forms/Application.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

class PictureMapFixture : public testing::Test {
protected:
  static constexpr int32_t NormalSeed = 1;
  static constexpr int32_t HighlightedSeed = 2;
  static constexpr uint32_t FormRgb = 0xC0C0C0;  // clBtnFace
  // The form lies at 30,20 and the container at 10,5 in it: the container's 0,0 is the screen's 40,25.
  static constexpr TPoint Origin{40, 25};
  static constexpr TRect ContainerOnScreen{40, 25, 680, 505};

  PictureMapFixture()
      : App(TestScreen::NewHeadless(800, 600)), Headless(TestScreen::Headless(App)), Form(App.CreateForm<TForm>()) {
    Form.SetBorderStyle(TFormBorderStyle::bsNone);
    Form.SetBounds(30, 20, 760, 570);
    Form.SetColor(clBtnFace);
    Container = &Form.InsertControl(std::make_unique<MatContainer>());
    Container->SetBounds(10, 5, 640, 480);
    Container->Picture1().SetBitmap(TestPictures::PatternBitmap(640, 480, NormalSeed));
    Container->Picture2().SetBitmap(TestPictures::PatternBitmap(640, 480, HighlightedSeed));
    First = &Container->InsertControl(std::make_unique<MatButton>());
    First->SetBounds(100, 100, 80, 40);
    Second = &Container->InsertControl(std::make_unique<MatButton>());
    Second->SetBounds(180, 100, 60, 40);
    Form.Show();
    App.ProcessMessages();
  }

  static uint32_t Normal(int32_t X, int32_t Y) { return TestPictures::PatternRgb(X - Origin.X, Y - Origin.Y, NormalSeed); }
  static uint32_t Highlighted(int32_t X, int32_t Y) {
    return TestPictures::PatternRgb(X - Origin.X, Y - Origin.Y, HighlightedSeed);
  }
  static TRect OnScreen(const TControl& Button) { return Button.BoundsRect().Offset(Origin.X, Origin.Y); }

  // The screen as it should be with the given rectangles highlighted and the rest of the
  // container showing its normal picture.
  static std::function<uint32_t(int32_t, int32_t)> Expected(std::vector<TRect> HighlightedRects) {
    return [HighlightedRects](int32_t X, int32_t Y) -> uint32_t {
      const TPoint P{X, Y};
      if (!TRect{30, 20, 790, 590}.Contains(P)) return 0x000000;
      if (!ContainerOnScreen.Contains(P)) return FormRgb;
      for (const TRect& R : HighlightedRects)
        if (R.Contains(P)) return Highlighted(X, Y);
      return Normal(X, Y);
    };
  }

  testing::AssertionResult ScreenShows(const std::function<uint32_t(int32_t, int32_t)>& Want) const {
    int Wrong = 0;
    std::ostringstream Report;
    const TPoint Size = Headless.Size();
    for (int32_t Y = 0; Y < Size.Y; ++Y)
      for (int32_t X = 0; X < Size.X; ++X) {
        const uint32_t Expect = Want(X, Y), Got = Headless.Pixel(X, Y);
        if (Expect == Got) continue;
        if (Wrong++ < 5) Report << " (" << X << "," << Y << "): " << std::hex << Got << " instead of " << Expect << std::dec;
      }
    if (Wrong == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << Wrong << " pixels differ:" << Report.str();
  }

  void MoveTo(TPoint P) {
    Headless.MouseMove(P.X, P.Y);
    App.ProcessMessages();
  }

  TApplication App;
  THeadlessScreen& Headless;
  TForm& Form;
  MatContainer* Container = nullptr;
  MatButton* First = nullptr;
  MatButton* Second = nullptr;
};
