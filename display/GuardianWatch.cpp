#include "display/GuardianWatch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::string_view EndedInOrder = "menu ended in order\n";

}  // namespace

bool SayEndedInOrder(int Connection) {
  size_t Sent = 0;
  while (Sent < EndedInOrder.size()) {
    // No SIGPIPE when the guardian is gone: that is an answer here, not a reason to die.
    const ssize_t Count = send(Connection, EndedInOrder.data() + Sent, EndedInOrder.size() - Sent, MSG_NOSIGNAL);
    if (Count < 0 && errno == EINTR) continue;
    if (Count <= 0) return false;
    Sent += static_cast<size_t>(Count);
  }
  return true;
}

bool GuardMenu(int Connection, const std::function<void()>& Recover) {
  // One byte more than the word: anything longer is not the word.
  char Received[EndedInOrder.size() + 1];
  size_t Length = 0;
  for (;;) {
    char Chunk[64];
    const ssize_t Count = read(Connection, Chunk, sizeof(Chunk));
    if (Count < 0 && errno == EINTR) continue;
    // End of file, or an error that means the same: the menu's end is gone.
    if (Count <= 0) break;
    const size_t Room = sizeof(Received) - Length;
    const size_t Taken = std::min(Room, static_cast<size_t>(Count));
    std::memcpy(Received + Length, Chunk, Taken);
    Length += Taken;
  }
  if (std::string_view(Received, Length) == EndedInOrder) return false;
  Recover();
  return true;
}
