#pragma once
// Helpers for the main window tests: a program folder with the four pictures, a fresh profile
// file per test, the working directory given back after each test, and a scripted run of the
// menu on the headless screen.
#include "app/ProfileSection.h"
#include "app/main.h"
#include "forms/Application.h"
#include "forms/ErrorBox.h"
#include "os/HeadlessScreen.h"
#include "os/Profile.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

// Readable failure messages for the geometry types.
inline void PrintTo(const TPoint& P, std::ostream* Out) { *Out << "{" << P.X << ", " << P.Y << "}"; }
inline void PrintTo(const TRect& R, std::ostream* Out) {
  *Out << "{" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << "}";
}
inline void PrintTo(const TDisplayMode& M, std::ostream* Out) {
  *Out << M.Width << "x" << M.Height << "x" << M.BitsPerPixel;
}

namespace MenuTest {

namespace fs = std::filesystem;

constexpr char Escape = 27;
constexpr char Enter = 13;
constexpr char Backspace = 8;

// One colour per picture, so that every pixel on the screen tells which picture it came from.
// All come back unchanged from a 16-bit screen: SDL widens a 6-bit green of 63 to 0xFE, not
// 0xFF, so green is kept at 0xF6, which goes there and back exactly.
constexpr uint32_t Menu1Colour = 0xFF0000;
constexpr uint32_t Menu2Colour = 0x00F600;
constexpr uint32_t Credits1Colour = 0x0000FF;
constexpr uint32_t Credits2Colour = 0xFFF600;
constexpr uint32_t Black = 0x000000;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
  TTempFolder() {
    std::string Template = (fs::temp_directory_path() / "menu-app-test-XXXXXX").string();
    if (!::mkdtemp(Template.data())) throw std::runtime_error("mkdtemp failed");
    FPath = Template;
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder() {
    std::error_code Ignored;
    fs::remove_all(FPath, Ignored);
  }
  const fs::path& Path() const { return FPath; }
  fs::path operator/(const fs::path& Name) const { return FPath / Name; }

private:
  fs::path FPath;
};

// Gives the process its working directory back when the test ends.
class TWorkingDirectoryGuard {
public:
  TWorkingDirectoryGuard() : FSaved(fs::current_path()) {}
  TWorkingDirectoryGuard(const TWorkingDirectoryGuard&) = delete;
  TWorkingDirectoryGuard& operator=(const TWorkingDirectoryGuard&) = delete;
  ~TWorkingDirectoryGuard() {
    std::error_code Ignored;
    fs::current_path(FSaved, Ignored);
  }

private:
  fs::path FSaved;
};

// Sets an environment variable for the life of the guard, then restores the old value.
class TEnvironmentGuard {
public:
  TEnvironmentGuard(std::string Name, const std::string& Value) : FName(std::move(Name)) {
    if (const char* Old = std::getenv(FName.c_str())) FSaved = Old;
    ::setenv(FName.c_str(), Value.c_str(), 1);
  }
  TEnvironmentGuard(const TEnvironmentGuard&) = delete;
  TEnvironmentGuard& operator=(const TEnvironmentGuard&) = delete;
  ~TEnvironmentGuard() {
    if (FSaved) ::setenv(FName.c_str(), FSaved->c_str(), 1);
    else ::unsetenv(FName.c_str());
  }

private:
  std::string FName;
  std::optional<std::string> FSaved;
};

using TSurfaceHolder = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

inline void SaveSurface(SDL_Surface* Surface, const fs::path& FileName) {
  TSurfaceHolder Holder(Surface, &SDL_FreeSurface);
  if (!Surface) throw std::runtime_error(std::string("cannot create a surface: ") + SDL_GetError());
  if (SDL_SaveBMP(Surface, FileName.c_str()) != 0)
    throw std::runtime_error(std::string("cannot save ") + FileName.string() + ": " + SDL_GetError());
}

// A 24-bit picture whose pixel colour (0xRRGGBB) is given per position.
inline void WriteBitmap(const fs::path& FileName, const std::function<uint32_t(int32_t, int32_t)>& ColourAt,
                        int32_t Width = 640, int32_t Height = 480) {
  SDL_Surface* Surface = SDL_CreateRGBSurfaceWithFormat(0, Width, Height, 24, SDL_PIXELFORMAT_RGB24);
  if (Surface) {
    for (int32_t Y = 0; Y < Height; ++Y) {
      auto* Row = static_cast<uint8_t*>(Surface->pixels) + Y * Surface->pitch;
      for (int32_t X = 0; X < Width; ++X) {
        const uint32_t Colour = ColourAt(X, Y);
        Row[3 * X] = static_cast<uint8_t>(Colour >> 16);
        Row[3 * X + 1] = static_cast<uint8_t>(Colour >> 8);
        Row[3 * X + 2] = static_cast<uint8_t>(Colour);
      }
    }
  }
  SaveSurface(Surface, FileName);
}

inline void WriteSolidBitmap(const fs::path& FileName, uint32_t Colour) {
  WriteBitmap(FileName, [Colour](int32_t, int32_t) { return Colour; });
}

// An 8-bit paletted 640x480 picture: every pixel is palette entry 200, which holds Colour; the
// other entries hold colours that appear nowhere else in the tests.
inline void WritePalettedBitmap(const fs::path& FileName, uint32_t Colour) {
  SDL_Surface* Surface = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 8, SDL_PIXELFORMAT_INDEX8);
  if (Surface) {
    std::vector<SDL_Color> Colours(256);
    for (size_t I = 0; I < Colours.size(); ++I)
      Colours[I] = {static_cast<uint8_t>(I), 0x40, static_cast<uint8_t>(255 - I), 255};
    Colours[200] = {static_cast<uint8_t>(Colour >> 16), static_cast<uint8_t>(Colour >> 8), static_cast<uint8_t>(Colour),
                    255};
    SDL_SetPaletteColors(Surface->format->palette, Colours.data(), 0, 256);
    SDL_FillRect(Surface, nullptr, 200);
  }
  SaveSurface(Surface, FileName);
}

inline std::string ReadBytes(const fs::path& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  std::ostringstream Out;
  Out << In.rdbuf();
  return Out.str();
}

inline void WriteBytes(const fs::path& FileName, const std::string& Bytes) {
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  Out << Bytes;
  if (!Out) throw std::runtime_error("cannot write " + FileName.string());
}

// Cuts a picture file short: its headers stay whole, most of its pixel rows are gone.
inline void TruncateBitmap(const fs::path& FileName) {
  const std::string Bytes = ReadBytes(FileName);
  WriteBytes(FileName, Bytes.substr(0, Bytes.size() / 3));
}

// The topmost error box on the screen, or nullptr.
inline const TErrorBox* ShownErrorBox() {
  if (!Screen) return nullptr;
  const auto& Windows = Screen->Windows();
  for (auto It = Windows.rbegin(); It != Windows.rend(); ++It)
    if (const auto* Box = dynamic_cast<const TErrorBox*>(*It)) return Box;
  return nullptr;
}

inline TPoint CentreOf(const TControl& Control) {
  const TRect R = Control.ScreenRect();
  return {R.Left + R.Width() / 2, R.Top + R.Height() / 2};
}

inline void ClickCentreOf(const TControl& Control, THeadlessScreen& Headless) {
  const TPoint Centre = CentreOf(Control);
  Headless.Click(Centre.X, Centre.Y);
}

// One run of the menu on a headless screen. Steps given to AtIdle run one at a time, each when
// the program waits for input and none is scripted; a step may look at the state and script
// more input. Once the steps are used up, or a step scripts no input, the wait answers with a
// window-system close, so every run ends.
class TMenuRun {
public:
  explicit TMenuRun(const fs::path& ExeName, int32_t Width = 640, int32_t Height = 480,
                    std::vector<TDisplayMode> Modes = {})
      : FApp(std::make_unique<THeadlessScreen>(Width, Height, std::move(Modes)), ExeName.string()) {
    Headless().OnIdle = [this] {
      if (FSteps.empty()) {
        FReachedEndOfScript = true;
        return;
      }
      const std::function<void()> Step = std::move(FSteps.front());
      FSteps.pop_front();
      Step();
      // A step that scripts nothing is the script's end: the wait answers with a close.
      if (!Headless().HasPendingInput()) FReachedEndOfScript = true;
    };
  }

  TApplication& App() { return FApp; }
  THeadlessScreen& Headless() { return static_cast<THeadlessScreen&>(FApp.Backend()); }

  void AtIdle(std::function<void()> Step) { FSteps.push_back(std::move(Step)); }

  template <class TForm = TMainForm, class... Args>
  TForm& CreateForm(Args&&... Arguments) {
    return FApp.CreateForm<TForm>(std::forward<Args>(Arguments)...);
  }
  void Run() { FApp.Run(); }
  void DestroyForms() { FApp.DestroyForms(); }

  // True when the program still waited for input once the script was used up: the run did not
  // end by itself but by the close that answers an empty script.
  bool ReachedEndOfScript() const { return FReachedEndOfScript; }
  size_t StepsLeft() const { return FSteps.size(); }

private:
  TApplication FApp;
  std::deque<std::function<void()>> FSteps;
  bool FReachedEndOfScript = false;
};

// Every test gets a program folder holding the four pictures (and nothing named "menu": the
// executable's name only tells the folder), a fresh profile and its working directory back.
class TMenuTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteSolidBitmap(ProgramFolder / "menu1.bmp", Menu1Colour);
    WriteSolidBitmap(ProgramFolder / "menu2.bmp", Menu2Colour);
    WriteSolidBitmap(ProgramFolder / "credits1.bmp", Credits1Colour);
    WriteSolidBitmap(ProgramFolder / "credits2.bmp", Credits2Colour);
    // Start somewhere else, so that only the move to the program's folder finds the pictures.
    fs::current_path(ElsewhereFolder.Path());
  }

  fs::path ExeName() const { return ProgramFolder / "menu"; }

  fs::path ProfileFile() const { return ConfigFolder / "win.ini"; }
  // The value under Key in the menu's section, or nullopt when the key is missing.
  std::optional<std::string> ProfileValue(const char* Key) const {
    constexpr char Missing[] = "\x01missing\x01";
    char Buffer[256];
    GetProfileStringA(ProfileSection, Key, Missing, Buffer, sizeof Buffer);
    if (std::string(Buffer) == Missing) return std::nullopt;
    return std::string(Buffer);
  }
  void SetProfileValue(const char* Key, const char* Value) const {
    ASSERT_TRUE(WriteProfileStringA(ProfileSection, Key, Value)) << Key << "=" << Value;
  }

  TTempFolder ProgramFolder;
  TTempFolder ElsewhereFolder;
  TTempFolder ConfigFolder;
  TEnvironmentGuard ConfigHome{"XDG_CONFIG_HOME", ConfigFolder.Path().string()};
  // Last, so that the working directory is given back before the folders go.
  TWorkingDirectoryGuard WorkingDirectory;
};

}  // namespace MenuTest
