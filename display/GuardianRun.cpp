// The guardian's own side. Kept apart from the menu's side (Guardian.cpp, which needs SDL), so
// that a guardian executable of its own links only X and the profile functions.
#include "display/DesktopLayout.h"
#include "display/Guardian.h"
#include "display/GuardianWatch.h"
#include "os/Profile.h"

#include <csignal>
#include <cstring>
#include <optional>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum TArgument { Marker = 1, Section, Key, Value, Layout, ArgumentCount };

}  // namespace

std::vector<std::string> GuardianArguments(const TGuardianOrders& Orders, const std::string& Layout) {
  return {"menu-guardian", GuardianMarker, Orders.Section, Orders.Key, Orders.Value, Layout};
}

bool IsGuardianInvocation(int argc, char** argv) {
  return argc > Marker && std::strcmp(argv[Marker], GuardianMarker) == 0;
}

int RunGuardian(int argc, char** argv) {
  if (argc != ArgumentCount || !IsGuardianInvocation(argc, argv)) return 2;
  const std::optional<TDesktopLayout> Desktop = DesktopLayoutFromText(argv[Layout]);
  struct stat Connection{};
  // Started by hand, without a connection from a menu, there is nothing to guard.
  if (!Desktop || fstat(GuardianConnectionDescriptor, &Connection) != 0 || !S_ISSOCK(Connection.st_mode)) return 2;
  // It ends with the menu, through the connection; signals meant for the menu's group or the
  // terminal must not end it early and leave a later crash uncovered.
  for (int Signal : {SIGINT, SIGHUP, SIGTERM, SIGPIPE}) std::signal(Signal, SIG_IGN);
  // Started from memory or as /proc/self/exe, it would show as a number or "exe" in ps.
  prctl(PR_SET_NAME, "menu-guardian");
  GuardMenu(GuardianConnectionDescriptor, [&] {
    RestoreDesktopLayout(*Desktop);
    WriteProfileStringA(argv[Section], argv[Key], argv[Value]);
  });
  close(GuardianConnectionDescriptor);
  return 0;
}
