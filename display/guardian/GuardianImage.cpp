// The bytes of the guardian's executable, taken in whole by the assembler at build time, so the
// menu stays one self-contained file. MENU_GUARDIAN_PATH names the executable (a compile definition).
#include "display/guardian/GuardianImage.h"

#ifndef MENU_GUARDIAN_PATH
#error "MENU_GUARDIAN_PATH must name the guardian executable"
#endif

asm(".pushsection .rodata\n"
    ".balign 16\n"
    "MenuGuardianImageStart:\n"
    ".incbin \"" MENU_GUARDIAN_PATH "\"\n"
    "MenuGuardianImageEnd:\n"
    ".popsection\n");

extern "C" const unsigned char MenuGuardianImageStart[];
extern "C" const unsigned char MenuGuardianImageEnd[];

std::span<const unsigned char> GuardianImage() { return {MenuGuardianImageStart, MenuGuardianImageEnd}; }
