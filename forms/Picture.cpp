#include "forms/Picture.h"

#include "os/BitmapFile.h"
#include "os/Exceptions.h"

#include <algorithm>

namespace {

std::string LowerExtension(const std::string& FileName) {
  const size_t Slash = FileName.find_last_of('/');
  const size_t Dot = FileName.find_last_of('.');
  if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash)) return {};
  std::string Extension = FileName.substr(Dot);
  std::transform(Extension.begin(), Extension.end(), Extension.begin(),
                 [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
  return Extension;
}

}  // namespace

void TPicture::LoadFromFile(const std::string& FileName) {
  const std::string Extension = LowerExtension(FileName);
  if (Extension != ".bmp") throw EInvalidGraphic("Unknown picture file extension (" + Extension + ")");
  auto Loaded = std::make_unique<TBitmap>(LoadBitmapFile(FileName));
  Loaded->SetPaletteModified(true);
  FGraphic = std::move(Loaded);
  Changed();
}

void TPicture::Assign(const TPicture& Source) {
  if (&Source == this) return;
  FGraphic = Source.FGraphic ? std::make_unique<TBitmap>(*Source.FGraphic) : nullptr;
  Changed();
}

void TPicture::Clear() {
  FGraphic.reset();
  Changed();
}

void TPicture::SetBitmap(const TBitmap& Bitmap) {
  FGraphic = std::make_unique<TBitmap>(Bitmap);
  Changed();
}

TBitmap& TPicture::Bitmap() { return FGraphic ? *FGraphic : FEmpty; }

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}
