// The guardian as an executable of its own: small enough to be embedded into the menu and
// started from memory (see TGuardian::Start), so that it costs far less than the menu's own
// executable started again.
#include "display/Guardian.h"

int main(int argc, char** argv) { return RunGuardian(argc, argv); }
