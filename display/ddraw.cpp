#include "display/ddraw.h"

#include <limits>
#include <new>

namespace {

constexpr uint32_t KnownCooperativeFlags =
    DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_NOWINDOWCHANGES | DDSCL_NORMAL | DDSCL_EXCLUSIVE;

class TDirectDraw final : public IDirectDraw {
public:
  HRESULT SetCooperativeLevel(TScreenBackend* Window, uint32_t Flags) override {
    if ((Flags & ~KnownCooperativeFlags) != 0) return DDERR_INVALIDPARAMS;
    const bool Exclusive = (Flags & DDSCL_EXCLUSIVE) != 0;
    const bool FullScreen = (Flags & DDSCL_FULLSCREEN) != 0;
    const bool Normal = (Flags & DDSCL_NORMAL) != 0;
    // Exclusive and full-screen go together; normal goes with neither.
    if (Exclusive != FullScreen || Normal == Exclusive) return DDERR_INVALIDPARAMS;
    if (Normal) {
      GiveBackDisplayMode();
      FExclusiveScreen = nullptr;
      return DD_OK;
    }
    if (Window == nullptr) return DDERR_INVALIDPARAMS;
    if (FExclusiveScreen != nullptr && FExclusiveScreen != Window) return DDERR_HWNDALREADYSET;
    FExclusiveScreen = Window;
    return DD_OK;
  }

  HRESULT SetDisplayMode(uint32_t Width, uint32_t Height, uint32_t BitsPerPixel) override {
    constexpr uint32_t Largest = std::numeric_limits<int32_t>::max();
    if (Width == 0 || Height == 0 || BitsPerPixel == 0 || Width > Largest || Height > Largest || BitsPerPixel > 32)
      return DDERR_INVALIDPARAMS;
    if (FExclusiveScreen == nullptr) return DDERR_NOEXCLUSIVEMODE;
    const TDisplayMode Mode{static_cast<int32_t>(Width), static_cast<int32_t>(Height), static_cast<int32_t>(BitsPerPixel)};
    if (!FExclusiveScreen->SetExclusiveMode(Mode)) return DDERR_INVALIDMODE;
    FSwitched = true;
    return DD_OK;
  }

  uint32_t AddRef() override { return ++FReferences; }

  uint32_t Release() override {
    const uint32_t Left = --FReferences;
    if (Left == 0) {
      GiveBackDisplayMode();
      delete this;
    }
    return Left;
  }

private:
  ~TDirectDraw() override = default;

  void GiveBackDisplayMode() {
    if (!FSwitched) return;
    FSwitched = false;
    FExclusiveScreen->RestoreDesktopMode();
  }

  TScreenBackend* FExclusiveScreen = nullptr;  // not owned: the program's screen
  bool FSwitched = false;
  uint32_t FReferences = 1;
};

}  // namespace

HRESULT DirectDrawCreate(const void* DriverGuid, IDirectDraw** Object, void* OuterUnknown) {
  if (Object == nullptr) return DDERR_INVALIDPARAMS;
  *Object = nullptr;
  if (OuterUnknown != nullptr) return CLASS_E_NOAGGREGATION;
  // Only the primary display exists here.
  if (DriverGuid != nullptr) return DDERR_INVALIDDIRECTDRAWGUID;
  *Object = new (std::nothrow) TDirectDraw();
  return *Object != nullptr ? DD_OK : DDERR_OUTOFMEMORY;
}
