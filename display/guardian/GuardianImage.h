#pragma once
// The guardian's own executable, built into the menu, for TGuardian::Start to start from memory.
#include <span>

std::span<const unsigned char> GuardianImage();
