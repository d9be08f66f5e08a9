#pragma once
// Driving and reading the headless screen in tests: steps run each time the program waits for
// input, the pixels of a rectangle of the presented frame, and the middle of a control.
#include "forms/Controls.h"
#include "os/HeadlessScreen.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace HeadlessTest {

// Runs the next step each time the program waits with no input left, for instance inside the
// nested loop of a modal form. A step may script input and look at the forms. Waits after the
// last step are counted; with nothing scripted the screen answers them with a close request.
class TIdleScript {
public:
  using TStep = std::function<void()>;

  TIdleScript(THeadlessScreen& Screen, std::vector<TStep> Steps) : FScreen(Screen), FSteps(std::move(Steps)) {
    FScreen.OnIdle = [this] {
      if (FNext < FSteps.size()) FSteps[FNext++]();
      else ++FWaitsAfterLastStep;
    };
  }
  TIdleScript(const TIdleScript&) = delete;
  TIdleScript& operator=(const TIdleScript&) = delete;
  ~TIdleScript() { FScreen.OnIdle = nullptr; }

  size_t StepsRun() const { return FNext; }
  // Non-zero when the program still waited for input after the last step had run.
  int WaitsAfterLastStep() const { return FWaitsAfterLastStep; }

private:
  THeadlessScreen& FScreen;
  std::vector<TStep> FSteps;
  size_t FNext = 0;
  int FWaitsAfterLastStep = 0;
};

// The presented pixels of R (screen coordinates), row by row, as 0xRRGGBB.
inline std::vector<uint32_t> Pixels(const THeadlessScreen& Screen, const TRect& R) {
  std::vector<uint32_t> Result;
  for (int32_t Y = R.Top; Y < R.Bottom; ++Y)
    for (int32_t X = R.Left; X < R.Right; ++X) Result.push_back(Screen.Pixel(X, Y));
  return Result;
}

inline TPoint Middle(const TControl& Control) {
  const TRect R = Control.ScreenRect();
  return {R.Left + R.Width() / 2, R.Top + R.Height() / 2};
}

}  // namespace HeadlessTest
