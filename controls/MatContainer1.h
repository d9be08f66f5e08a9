#pragma once
// A picture container: a windowed control that paints its normal picture 1:1 from its
// top-left corner and keeps a highlighted picture for the hot-spot buttons placed on it.
#include "forms/Controls.h"
#include "forms/Picture.h"

#include <memory>

// Copies Source of Bitmap to Dest of Canvas with the bitmap's palette selected as a
// background palette while it copies; the palette selected before is selected again.
void PaintBitmapPart(TCanvas& Canvas, const TRect& Dest, TBitmap& Bitmap, const TRect& Source);

class MatContainer : public TCustomControl {
public:
  MatContainer();
  ~MatContainer() override;

  TPicture& Picture1() { return *FPicture1; }
  TPicture& Picture2() { return *FPicture2; }
  // Copy the given picture's contents into the container's own pictures.
  void SetPicture1(const TPicture& Value) { FPicture1->Assign(Value); }
  void SetPicture2(const TPicture& Value) { FPicture2->Assign(Value); }

  HPALETTE GetPalette() override;
  bool SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) override;

protected:
  void Paint() override;

private:
  void Picture1Changed(TObject* Sender);
  // Asks the form to realize palettes again when a new picture brought one; true when asked.
  bool RequestPaletteRealize();

  std::unique_ptr<TPicture> FPicture1;
  std::unique_ptr<TPicture> FPicture2;
};
