#pragma once
// Window messages, dispatched to controls by number.
#include <cstdint>

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct TMessage {
  uint32_t Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

// Numbers as on the platform the program was first written for.
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_WINDOWPOSCHANGED = 0x0047;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_QUERYNEWPALETTE = 0x030F;

// Notifications of the class library.
constexpr uint32_t CM_BASE = 0xB000;
constexpr uint32_t CM_MOUSEENTER = CM_BASE + 0x13;
constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 0x14;
// Sent to windowed controls for Enter and Escape before the focused control sees them;
// a control that acts on the key sets Result to 1.
constexpr uint32_t CM_DIALOGKEY = CM_BASE + 0x50;
// Posted to the application: make the topmost shown form the active one.
constexpr uint32_t CM_ACTIVATETOPFORM = CM_BASE + 0x100;

// Key-state flags carried in WPARAM of mouse messages and character messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_MBUTTON = 0x0010;

// Mouse positions travel in LPARAM as two signed 16-bit client coordinates.
inline LPARAM MakeMouseLParam(int32_t X, int32_t Y) {
  return static_cast<LPARAM>((static_cast<uint32_t>(static_cast<uint16_t>(Y)) << 16) |
                             static_cast<uint16_t>(X));
}
inline int32_t MouseX(LPARAM L) { return static_cast<int16_t>(static_cast<uint32_t>(L) & 0xFFFF); }
inline int32_t MouseY(LPARAM L) { return static_cast<int16_t>((static_cast<uint32_t>(L) >> 16) & 0xFFFF); }
