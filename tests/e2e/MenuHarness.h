#pragma once
// What an end-to-end test of the menu includes: the real program, run under a private X server
// and driven like a player would.
//
//   TXvfbServer Server;                       // its own Xvfb, 1024x768 with a 640x480 mode
//   TMenuRun Menu(Server.Display());          // a fresh folder with the program and a config folder
//   Menu.WriteSolidPictures();                // four plain-coloured pictures beside it
//   Menu.WriteProfile("[Dustrover97]\nAction=4\n");
//   ASSERT_TRUE(Menu.StartAndWaitForWindow());
//   ASSERT_EQ(Menu.WaitForPixel(10, 10, PlainPictures.Menu1), PlainPictures.Menu1);
//   Menu.Key("Escape");
//   EXPECT_EQ(Menu.WaitForExit(), TExitStatus::Exited(0));
//   EXPECT_EQ(Menu.ProfileValue("Action"), "0");
//
// Everything waits by asking again until a deadline, and everything started is ended and
// removed when its owner goes, also when the test fails.
#include "e2e/BmpWriter.h"
#include "e2e/ExitStatus.h"
#include "e2e/MenuPictures.h"
#include "e2e/MenuRun.h"
#include "e2e/Rgb.h"
#include "e2e/Rgb565.h"
#include "e2e/ScreenImage.h"
#include "e2e/TempFolder.h"
#include "e2e/WaitUntil.h"
#include "e2e/XDisplay.h"
#include "e2e/XvfbServer.h"
