#pragma once
// The old platform's DirectDraw display interface, kept with its names, codes and reference
// counting, over the program's screen backend: the "application window" whose cooperative level
// is set is the screen itself, and a display mode switch is the screen's exclusive mode.
#include "os/ScreenBackend.h"

#include <cstdint>

using HRESULT = int32_t;

constexpr HRESULT DD_OK = 0;
// Failure codes with the old platform's values: negative when read as signed numbers.
constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005);
constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
constexpr HRESULT DDERR_INVALIDMODE = static_cast<HRESULT>(0x88760096);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = static_cast<HRESULT>(0x887600E1);
constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = static_cast<HRESULT>(0x88760231);
constexpr HRESULT DDERR_HWNDALREADYSET = static_cast<HRESULT>(0x88760232);
constexpr HRESULT DDERR_UNSUPPORTEDMODE = static_cast<HRESULT>(0x8876024E);

// Cooperative level flags.
constexpr uint32_t DDSCL_FULLSCREEN = 0x01;
constexpr uint32_t DDSCL_ALLOWREBOOT = 0x02;
constexpr uint32_t DDSCL_NOWINDOWCHANGES = 0x04;
constexpr uint32_t DDSCL_NORMAL = 0x08;
constexpr uint32_t DDSCL_EXCLUSIVE = 0x10;

// A reference-counted display object. The screen given to SetCooperativeLevel must outlive it.
class IDirectDraw {
public:
  // DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN takes the screen for display mode switches; DDSCL_NORMAL
  // gives it back (and the desktop its mode, if this object switched it).
  virtual HRESULT SetCooperativeLevel(TScreenBackend* Window, uint32_t Flags) = 0;
  // Switches the screen to this mode; DDERR_NOEXCLUSIVEMODE before the exclusive level is set,
  // DDERR_INVALIDMODE (nothing changed) when the screen has no such mode.
  virtual HRESULT SetDisplayMode(uint32_t Width, uint32_t Height, uint32_t BitsPerPixel) = 0;
  virtual uint32_t AddRef() = 0;
  // The last release gives the desktop its mode back, if this object switched it, and frees
  // the object. Returns the references left.
  virtual uint32_t Release() = 0;

protected:
  virtual ~IDirectDraw() = default;
};

// Creates a display object for the primary display (DriverGuid nullptr) into *Object, with one
// reference. OuterUnknown must be nullptr: the object cannot be aggregated.
HRESULT DirectDrawCreate(const void* DriverGuid, IDirectDraw** Object, void* OuterUnknown);
