#include "os/FontLibrary.h"

#include "os/Exceptions.h"

namespace {

// Shipped inside the executable so that it runs without files of its own. The old platform's
// dialog fonts become Liberation Sans, which has Arial's metrics, close to theirs. A strong
// binding puts the alias ahead of fontconfig's own choices (DejaVu Sans for unknown names)
// and of the locale's language preferences.
constexpr const char* AliasConfig = R"(<?xml version="1.0"?>
<fontconfig>
  <alias binding="strong">
    <family>MS Sans Serif</family>
    <prefer><family>Liberation Sans</family></prefer>
  </alias>
  <alias binding="strong">
    <family>MS Shell Dlg</family>
    <prefer><family>Liberation Sans</family></prefer>
  </alias>
</fontconfig>
)";

struct TPatternDeleter {
  void operator()(FcPattern* Pattern) const { FcPatternDestroy(Pattern); }
};
using TPatternPtr = std::unique_ptr<FcPattern, TPatternDeleter>;

const FcChar8* FcText(const std::string& Text) { return reinterpret_cast<const FcChar8*>(Text.c_str()); }

}  // namespace

TFontLibrary::TTtfSession::TTtfSession() {
  if (TTF_Init() != 0) throw Exception(std::string("Cannot start the font renderer: ") + TTF_GetError());
}

TFontLibrary::TTtfSession::~TTtfSession() { TTF_Quit(); }

TFontLibrary::TFontLibrary(const std::string& ConfigFile) : FConfig(FcConfigCreate()) {
  if (!FConfig) throw std::bad_alloc();
  // The same steps as fontconfig's own initialisation, plus the aliases after the system's
  // rules so that they have the last word. Font lists come from fontconfig's caches; only a
  // folder whose cache is missing or stale is scanned.
  if (!FcConfigParseAndLoad(FConfig.get(), ConfigFile.empty() ? nullptr : FcText(ConfigFile), FcTrue))
    throw Exception("Cannot load the font configuration" +
                    (ConfigFile.empty() ? std::string() : " \"" + ConfigFile + "\""));
  if (!FcConfigParseAndLoadFromMemory(FConfig.get(), reinterpret_cast<const FcChar8*>(AliasConfig), FcTrue))
    throw Exception("Cannot load the font aliases");
  if (!FcConfigBuildFonts(FConfig.get())) throw Exception("Cannot read the list of installed fonts");
}

TFontLibrary::~TFontLibrary() = default;

const TFontFace& TFontLibrary::Face(const std::string& Name, int32_t PixelHeight, bool Bold) {
  TFaceKey Key{Name, PixelHeight, Bold};
  auto Found = FFaces.find(Key);
  if (Found == FFaces.end()) Found = FFaces.emplace(std::move(Key), OpenFace(Name, PixelHeight, Bold)).first;
  return *Found->second;
}

std::unique_ptr<TFontFace> TFontLibrary::OpenFace(const std::string& Name, int32_t PixelHeight, bool Bold) const {
  if (PixelHeight <= 0)
    throw Exception("Font \"" + Name + "\" has no valid height (" + std::to_string(PixelHeight) + " pixels)");

  TPatternPtr Pattern(FcPatternCreate());
  if (!Pattern) throw std::bad_alloc();
  FcPatternAddString(Pattern.get(), FC_FAMILY, FcText(Name));
  FcPatternAddDouble(Pattern.get(), FC_PIXEL_SIZE, PixelHeight);
  FcPatternAddInteger(Pattern.get(), FC_WEIGHT, Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcConfigSubstitute(FConfig.get(), Pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(Pattern.get());

  FcResult Result = FcResultNoMatch;
  const TPatternPtr Match(FcFontMatch(FConfig.get(), Pattern.get(), &Result));
  FcChar8* File = nullptr;
  if (!Match || FcPatternGetString(Match.get(), FC_FILE, 0, &File) != FcResultMatch || !File)
    throw Exception("Font \"" + Name + "\" is not installed");

  int Index = 0;
  FcPatternGetInteger(Match.get(), FC_INDEX, 0, &Index);
  // fontconfig asks for synthetic bold when the best match has no bold face of its own.
  FcBool Embolden = FcFalse;
  FcPatternGetBool(Match.get(), FC_EMBOLDEN, 0, &Embolden);
  return std::make_unique<TFontFace>(reinterpret_cast<const char*>(File), Index, PixelHeight, Embolden == FcTrue);
}
