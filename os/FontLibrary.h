#pragma once
// Fonts by name: fontconfig picks the font file for a name, SDL_ttf opens it. The library
// ships its own aliases for the old platform's user interface fonts, so that layouts made
// with them keep their sizes on any machine that has Liberation Sans.
#include "os/FontFace.h"

#include <fontconfig/fontconfig.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class TFontLibrary {
public:
  // Starts from the system's fontconfig configuration, or from the configuration file
  // ConfigFile when one is given; the shipped aliases are added to either.
  explicit TFontLibrary(const std::string& ConfigFile = {});
  ~TFontLibrary();
  TFontLibrary(const TFontLibrary&) = delete;
  TFontLibrary& operator=(const TFontLibrary&) = delete;

  // The face that fontconfig picks for Name, PixelHeight pixels per em (the character height
  // of the old platform's negative font heights). Opened once and kept while the library
  // lives. Throws Exception when no font file can be found at all.
  const TFontFace& Face(const std::string& Name, int32_t PixelHeight, bool Bold = false);

private:
  // Keeps SDL_ttf initialised; declared first so that every face is closed before TTF_Quit.
  class TTtfSession {
  public:
    TTtfSession();
    ~TTtfSession();
    TTtfSession(const TTtfSession&) = delete;
    TTtfSession& operator=(const TTtfSession&) = delete;
  };

  struct TConfigDeleter {
    void operator()(FcConfig* Config) const { FcConfigDestroy(Config); }
  };

  struct TFaceKey {
    std::string Name;
    int32_t PixelHeight = 0;
    bool Bold = false;
    friend auto operator<=>(const TFaceKey&, const TFaceKey&) = default;
  };

  std::unique_ptr<TFontFace> OpenFace(const std::string& Name, int32_t PixelHeight, bool Bold) const;

  TTtfSession FTtfSession;
  std::unique_ptr<FcConfig, TConfigDeleter> FConfig;
  std::map<TFaceKey, std::unique_ptr<TFontFace>> FFaces;
};
