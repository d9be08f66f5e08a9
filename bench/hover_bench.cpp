// The cost of one hover change against one full repaint, on the headless screen with the main
// window shown and activated with the demo pictures. A hover change is timed from the mouse
// move to the presented rectangle: the move is scripted, then ProcessMessages handles the
// input, moves the hover, paints the invalid area and presents it. The reference is one
// repaint and present of the whole 640x480 screen.
//
//   build-bench/bench_hover [--benchmark_repetitions=N]
//
// Goal: a hover change costs under a tenth of a full repaint, and under 200 us.
#include "app/main.h"
#include "forms/Application.h"
#include "os/HeadlessScreen.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr double HoverLimitMicroseconds = 200.0;
constexpr double HoverShareOfRepaint = 0.1;

// The main window as the menu shows it: 640x480 with the 16-bit mode available, so the
// display switch succeeds and forms paint into an RGB565 back buffer as on the real screen.
class TShownMenu {
public:
  TShownMenu()
      : FApplication(std::make_unique<THeadlessScreen>(640, 480, std::vector<TDisplayMode>{{640, 480, 32},
                                                                                          {640, 480, 16}}),
                     std::string(MENU_BINARY_DIR) + "/menu") {
    FApplication.Initialize();
    FForm = &FApplication.CreateForm<TMainForm>();
    FForm->Show();
    FApplication.ProcessMessages();
    FApplication.ProcessMessages();
  }

  TApplication& Application() { return FApplication; }
  THeadlessScreen& Backend() { return static_cast<THeadlessScreen&>(FApplication.Backend()); }
  TMainForm& Form() { return *FForm; }

  // Empty when the menu is ready to measure; otherwise what is wrong.
  std::string Problem() {
    if (Backend().CurrentMode() != TDisplayMode{640, 480, 16}) return "the display did not switch to 640x480x16";
    if (Screen->ActiveForm() != FForm) return "the main window is not active";
    if (!FForm->MatContainer1->Picture1().HasGraphic() || !FForm->MatContainer1->Picture2().HasGraphic())
      return "the demo pictures were not loaded from " MENU_BINARY_DIR " (build target demo_pictures_files)";
    return {};
  }

private:
  TApplication FApplication;
  TMainForm* FForm = nullptr;
};

TShownMenu* Menu = nullptr;

TPoint CentreOf(const TControl& Control) {
  const TRect R = Control.ScreenRect();
  return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
}

// Moves the mouse onto a moon, then off it onto the bare picture, one hover change per
// iteration; each must present exactly the moon's rectangle.
void BM_HoverChange(benchmark::State& State) {
  THeadlessScreen& Backend = Menu->Backend();
  TApplication& App = Menu->Application();
  const TPoint OnMoon = CentreOf(*Menu->Form().Moon2Button);
  const TPoint OffMoon{OnMoon.X, 40};  // above the moons, on the container itself
  const TRect MoonRect = Menu->Form().Moon2Button->ScreenRect();
  bool Inside = Menu->Form().Moon2Button->MouseInside();
  int64_t PresentedPixels = 0;
  Backend.ResetCounts();
  for (auto _ : State) {
    const TPoint Target = Inside ? OffMoon : OnMoon;
    Backend.MouseMove(Target.X, Target.Y);
    App.ProcessMessages();
    Inside = !Inside;
    for (const TRect& R : Backend.LastPresented()) PresentedPixels += int64_t{R.Width()} * R.Height();
  }
  if (Backend.PresentCount() != static_cast<int>(State.iterations()) || Backend.LastPresented().size() != 1 ||
      Backend.LastPresented().front() != MoonRect || Menu->Form().Moon2Button->MouseInside() != Inside)
    State.SkipWithError("a hover change did not present exactly the moon's rectangle");
  State.counters["px_presented"] =
      benchmark::Counter(static_cast<double>(PresentedPixels), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HoverChange)->Unit(benchmark::kMicrosecond);

// The reference: the whole screen invalidated, repainted and presented once.
void BM_FullRepaint(benchmark::State& State) {
  THeadlessScreen& Backend = Menu->Backend();
  Backend.ResetCounts();
  for (auto _ : State) {
    Screen->InvalidateAll();
    Screen->PaintInvalid();
  }
  if (Backend.PresentCount() != static_cast<int>(State.iterations()) || Backend.LastPresented().size() != 1 ||
      Backend.LastPresented().front() != TRect{0, 0, 640, 480})
    State.SkipWithError("a full repaint did not present the whole screen");
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

// The console report, keeping each benchmark's per-iteration times (the median over
// repetitions when there are several) for the comparison at the end.
class TKeepingReporter : public benchmark::ConsoleReporter {
public:
  struct TFigures {
    double RealMicroseconds = 0;
    double CpuMicroseconds = 0;
    bool Median = false;
  };

  // Colours only on a terminal, so that a saved report stays plain text.
  TKeepingReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& Reports) override {
    ConsoleReporter::ReportRuns(Reports);
    for (const Run& R : Reports) {
      if (R.error_occurred) continue;
      const bool IsMedian = R.run_type == Run::RT_Aggregate && R.aggregate_name == "median";
      if (R.run_type == Run::RT_Aggregate && !IsMedian) continue;
      TFigures& F = FFigures[R.run_name.function_name];
      if (F.Median && !IsMedian) continue;
      const double ToMicroseconds = 1e6 / benchmark::GetTimeUnitMultiplier(R.time_unit);
      F = {R.GetAdjustedRealTime() * ToMicroseconds, R.GetAdjustedCPUTime() * ToMicroseconds, IsMedian};
    }
  }

  const TFigures* Find(const std::string& Name) const {
    auto It = FFigures.find(Name);
    return It == FFigures.end() ? nullptr : &It->second;
  }

private:
  std::map<std::string, TFigures> FFigures;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  TShownMenu Shown;
  if (const std::string Problem = Shown.Problem(); !Problem.empty()) {
    std::fprintf(stderr, "bench_hover: %s\n", Problem.c_str());
    return 1;
  }
  Menu = &Shown;

  TKeepingReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  Menu = nullptr;

  const auto* Hover = Reporter.Find("BM_HoverChange");
  const auto* Repaint = Reporter.Find("BM_FullRepaint");
  if (!Hover || !Repaint) return 0;  // filtered out, or failed (reported above)
  const double Share = Hover->CpuMicroseconds / Repaint->CpuMicroseconds;
  const bool Met = Share < HoverShareOfRepaint && Hover->CpuMicroseconds < HoverLimitMicroseconds;
  std::printf("\n%-34s %12s %12s\n", "per operation", "hover change", "full repaint");
  std::printf("%-34s %9.1f us %9.1f us\n", "CPU time", Hover->CpuMicroseconds, Repaint->CpuMicroseconds);
  std::printf("%-34s %9.1f us %9.1f us\n", "wall time", Hover->RealMicroseconds, Repaint->RealMicroseconds);
  std::printf("hover / full repaint (CPU): %.3f (goal < %.1f); hover %.1f us (goal < %.0f us): goal %s\n", Share,
              HoverShareOfRepaint, Hover->CpuMicroseconds, HoverLimitMicroseconds, Met ? "met" : "MISSED");
  return 0;
}
