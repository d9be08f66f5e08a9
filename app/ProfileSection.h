#pragma once
// The menu's section of the system profile and its keys. The names, value texts and defaults are
// fixed because other programs read and write the same section.
#include <cstdint>

inline constexpr char ProfileSection[] = "Dustrover97";

// The menu result of the last run, "0" to "6"; written once at program end, read by other programs.
inline constexpr char ActionKey[] = "Action";

// Sound effects on (1) or off; read and written by the options dialog.
inline constexpr char SoundSwitchKey[] = "SoundSwitch";
inline constexpr int32_t SoundSwitchDefault = 1;

// CD audio on (1) or off; read and written by the options dialog.
inline constexpr char CDMusicSwitchKey[] = "CDMusicSwitch";
inline constexpr int32_t CDMusicSwitchDefault = 1;

// The cheat flag; read at every activation of the main window, written "1" by the cheat code.
inline constexpr char QuirBalentKey[] = "QuirBalent";
inline constexpr int32_t QuirBalentDefault = 0;

// The version text shown on the menu; written only by other programs.
inline constexpr char OkExeVersionKey[] = "OkExeVersion";
inline constexpr char OkExeVersionDefault[] = "1.0";
