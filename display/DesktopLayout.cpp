#include "display/DesktopLayout.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <memory>
#include <charconv>

namespace {

struct TDisplayCloser {
  void operator()(Display* Connection) const { XCloseDisplay(Connection); }
};
struct TResourcesFreer {
  void operator()(XRRScreenResources* Resources) const { XRRFreeScreenResources(Resources); }
};
struct TCrtcInfoFreer {
  void operator()(XRRCrtcInfo* Info) const { XRRFreeCrtcInfo(Info); }
};
using TDisplayPtr = std::unique_ptr<Display, TDisplayCloser>;
using TResourcesPtr = std::unique_ptr<XRRScreenResources, TResourcesFreer>;
using TCrtcInfoPtr = std::unique_ptr<XRRCrtcInfo, TCrtcInfoFreer>;

bool HasRandr(Display* Connection) {
  int EventBase = 0;
  int ErrorBase = 0;
  return XRRQueryExtension(Connection, &EventBase, &ErrorBase) != 0;
}

TCrtcLayout LayoutOf(RRCrtc Crtc, const XRRCrtcInfo& Info) {
  TCrtcLayout Layout;
  Layout.Crtc = Crtc;
  Layout.Mode = Info.mode;
  Layout.X = Info.x;
  Layout.Y = Info.y;
  Layout.Rotation = Info.rotation;
  Layout.Outputs.assign(Info.outputs, Info.outputs + Info.noutput);
  return Layout;
}

// Errors of a request are answered by Xlib's default handler with the end of the process;
// while restoring, a refused request only means that this part could not be put back.
class TXErrorsTolerated {
public:
  TXErrorsTolerated() : FPrevious(XSetErrorHandler([](Display*, XErrorEvent*) { return 0; })) {}
  ~TXErrorsTolerated() { XSetErrorHandler(FPrevious); }
  TXErrorsTolerated(const TXErrorsTolerated&) = delete;
  TXErrorsTolerated& operator=(const TXErrorsTolerated&) = delete;

private:
  XErrorHandler FPrevious;
};

bool SetCrtc(Display* Connection, XRRScreenResources* Resources, const TCrtcLayout& Layout) {
  std::vector<RROutput> Outputs(Layout.Outputs.begin(), Layout.Outputs.end());
  return XRRSetCrtcConfig(Connection, Resources, Layout.Crtc, CurrentTime, Layout.X, Layout.Y, Layout.Mode,
                          static_cast<Rotation>(Layout.Rotation), Outputs.data(), static_cast<int>(Outputs.size())) ==
         RRSetConfigSuccess;
}

}  // namespace

std::optional<TDesktopLayout> ReadDesktopLayout() {
  TDisplayPtr Connection(XOpenDisplay(nullptr));
  if (!Connection || !HasRandr(Connection.get())) return std::nullopt;
  Display* X = Connection.get();
  const int Screen = DefaultScreen(X);
  const Window Root = RootWindow(X, Screen);
  TResourcesPtr Resources(XRRGetScreenResourcesCurrent(X, Root));
  if (!Resources) return std::nullopt;
  TDesktopLayout Layout;
  Layout.Width = DisplayWidth(X, Screen);
  Layout.Height = DisplayHeight(X, Screen);
  Layout.WidthMm = DisplayWidthMM(X, Screen);
  Layout.HeightMm = DisplayHeightMM(X, Screen);
  for (int Index = 0; Index < Resources->ncrtc; ++Index) {
    const RRCrtc Crtc = Resources->crtcs[Index];
    TCrtcInfoPtr Info(XRRGetCrtcInfo(X, Resources.get(), Crtc));
    if (Info && Info->mode != None) Layout.Crtcs.push_back(LayoutOf(Crtc, *Info));
  }
  return Layout;
}

bool RestoreDesktopLayout(const TDesktopLayout& Layout) {
  TDisplayPtr Connection(XOpenDisplay(nullptr));
  if (!Connection || !HasRandr(Connection.get())) return false;
  Display* X = Connection.get();
  const int Screen = DefaultScreen(X);
  const Window Root = RootWindow(X, Screen);
  TXErrorsTolerated Tolerated;
  // Nobody else changes the configuration half-way through.
  XGrabServer(X);
  TResourcesPtr Resources(XRRGetScreenResourcesCurrent(X, Root));
  bool Restored = Resources != nullptr;
  if (Resources) {
    std::vector<const TCrtcLayout*> Changed;
    for (const TCrtcLayout& Wanted : Layout.Crtcs) {
      TCrtcInfoPtr Info(XRRGetCrtcInfo(X, Resources.get(), Wanted.Crtc));
      if (!Info) continue;
      if (LayoutOf(Wanted.Crtc, *Info) == Wanted) continue;
      // A CRTC that reaches past the screen size to come must be off while the size changes.
      if (Info->mode != None && (Info->x + static_cast<int>(Info->width) > Layout.Width ||
                                 Info->y + static_cast<int>(Info->height) > Layout.Height))
        XRRSetCrtcConfig(X, Resources.get(), Wanted.Crtc, CurrentTime, 0, 0, None, RR_Rotate_0, nullptr, 0);
      Changed.push_back(&Wanted);
    }
    if (DisplayWidth(X, Screen) != Layout.Width || DisplayHeight(X, Screen) != Layout.Height)
      XRRSetScreenSize(X, Root, Layout.Width, Layout.Height, Layout.WidthMm, Layout.HeightMm);
    for (const TCrtcLayout* Wanted : Changed) Restored = SetCrtc(X, Resources.get(), *Wanted) && Restored;
  }
  XUngrabServer(X);
  XSync(X, False);
  return Restored;
}

namespace {

template <typename TNumber>
void Append(std::string& Text, TNumber Number) {
  char Digits[24];
  const auto End = std::to_chars(Digits, Digits + sizeof(Digits), Number).ptr;
  if (!Text.empty()) Text += ' ';
  Text.append(Digits, End);
}

// Reads blank-separated numbers; no stream library, so the guardian stays small.
class TNumberReader {
public:
  explicit TNumberReader(const std::string& Text) : FNext(Text.data()), FEnd(Text.data() + Text.size()) {}
  template <typename TNumber>
  bool Read(TNumber& Number) {
    while (FNext < FEnd && *FNext == ' ') ++FNext;
    const auto [End, Error] = std::from_chars(FNext, FEnd, Number);
    if (Error != std::errc() || (End < FEnd && *End != ' ')) return false;
    FNext = End;
    return true;
  }
  bool AtEnd() {
    while (FNext < FEnd && *FNext == ' ') ++FNext;
    return FNext == FEnd;
  }

private:
  const char* FNext;
  const char* FEnd;
};

}  // namespace

std::string DesktopLayoutToText(const TDesktopLayout& Layout) {
  std::string Text;
  for (int32_t Number : {Layout.Width, Layout.Height, Layout.WidthMm, Layout.HeightMm}) Append(Text, Number);
  Append(Text, Layout.Crtcs.size());
  for (const TCrtcLayout& Crtc : Layout.Crtcs) {
    Append(Text, Crtc.Crtc);
    Append(Text, Crtc.Mode);
    Append(Text, Crtc.X);
    Append(Text, Crtc.Y);
    Append(Text, Crtc.Rotation);
    Append(Text, Crtc.Outputs.size());
    for (uint64_t Output : Crtc.Outputs) Append(Text, Output);
  }
  return Text;
}

std::optional<TDesktopLayout> DesktopLayoutFromText(const std::string& Text) {
  // Counts are bounded so that a damaged text cannot ask for huge allocations.
  constexpr size_t MaxCount = 64;
  TNumberReader Input(Text);
  TDesktopLayout Layout;
  size_t CrtcCount = 0;
  if (!Input.Read(Layout.Width) || !Input.Read(Layout.Height) || !Input.Read(Layout.WidthMm) ||
      !Input.Read(Layout.HeightMm) || !Input.Read(CrtcCount))
    return std::nullopt;
  if (Layout.Width <= 0 || Layout.Height <= 0 || CrtcCount > MaxCount) return std::nullopt;
  for (size_t Index = 0; Index < CrtcCount; ++Index) {
    TCrtcLayout Crtc;
    size_t OutputCount = 0;
    if (!Input.Read(Crtc.Crtc) || !Input.Read(Crtc.Mode) || !Input.Read(Crtc.X) || !Input.Read(Crtc.Y) ||
        !Input.Read(Crtc.Rotation) || !Input.Read(OutputCount) || OutputCount > MaxCount)
      return std::nullopt;
    Crtc.Outputs.resize(OutputCount);
    for (uint64_t& Output : Crtc.Outputs)
      if (!Input.Read(Output)) return std::nullopt;
    Layout.Crtcs.push_back(std::move(Crtc));
  }
  if (!Input.AtEnd()) return std::nullopt;
  return Layout;
}
