#pragma once
// The guardian's connection with the menu: the menu holds one end of a socket pair, the guardian
// the other. At an orderly end the menu says so and closes its end; any other end of the menu
// (killed, crashed, aborted) closes the end without that word, and the kernel does the closing.
#include <functional>

// The menu's side: says that it ended in order. False when the guardian is already gone.
bool SayEndedInOrder(int Connection);

// The guardian's side: blocks in read until the menu's end is closed (no wake-ups meanwhile),
// then runs Recover unless the menu said it ended in order. Answers whether Recover ran.
bool GuardMenu(int Connection, const std::function<void()>& Recover);
