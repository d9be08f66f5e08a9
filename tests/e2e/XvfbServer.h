#pragma once
// A private X server for one test: Xvfb on a free display number with a 1024x768 24-bit screen,
// optionally offering a 640x480 mode beside it. Destruction gives the screen back its 1024x768
// mode and ends the server, also when the test failed.
#include "e2e/ChildProcess.h"
#include "e2e/TempFolder.h"
#include "e2e/XDisplay.h"

#include <memory>
#include <string>

class TXvfbServer {
public:
  enum class TModes {
    DesktopOnly,  // only 1024x768: a switch to 640x480 must fail
    With640x480,  // 640x480 added, so the display mode really switches
  };

  // Starts the server and waits until it accepts connections; throws with the server's log
  // when it does not come up.
  explicit TXvfbServer(TModes Modes = TModes::With640x480);
  ~TXvfbServer();
  TXvfbServer(const TXvfbServer&) = delete;
  TXvfbServer& operator=(const TXvfbServer&) = delete;

  const TXDisplay& Display() const { return FDisplay; }
  // What the server printed, for failure messages.
  std::string LogText() const;

private:
  void Add640x480Mode() const;

  TTempFolder FFolder;
  std::unique_ptr<TChildProcess> FServer;
  TXDisplay FDisplay{""};
};
