#include "controls/MatContainer1.h"

#include "forms/Application.h"
#include "forms/LayoutValues.h"

#include <nlohmann/json.hpp>

void PaintBitmapPart(TCanvas& Canvas, const TRect& Dest, TBitmap& Bitmap, const TRect& Source) {
  const HPALETTE Palette = Bitmap.Palette();
  HPALETTE Previous = nullptr;
  if (Palette) {
    Previous = SelectPalette(Canvas.Handle(), Palette, true);
    RealizePalette(Canvas.Handle());
  }
  Canvas.CopyRect(Dest, Bitmap.Canvas(), Source);
  if (Palette) SelectPalette(Canvas.Handle(), Previous, true);
}

MatContainer::MatContainer() {
  FPicture1 = std::make_unique<TPicture>();
  FPicture1->OnChange = [this](TObject* Sender) { Picture1Changed(Sender); };
  FPicture2 = std::make_unique<TPicture>();
  SetControlStyle(csAcceptsControls | csOpaque);
}

MatContainer::~MatContainer() {
  FPicture1.reset();
  FPicture2.reset();
}

HPALETTE MatContainer::GetPalette() { return FPicture1->HasGraphic() ? FPicture1->Bitmap().Palette() : nullptr; }

void MatContainer::Picture1Changed(TObject*) {
  if (FPicture1->HasGraphic()) {
    RequestPaletteRealize();
    Update();
  }
  Invalidate();
}

bool MatContainer::RequestPaletteRealize() {
  TBitmap* Graphic = FPicture1->Graphic();
  if (!Visible() || Loading() || !Graphic || !Graphic->PaletteModified()) return false;
  if (!Graphic->Palette()) {
    Graphic->SetPaletteModified(false);
    return false;
  }
  TCustomForm* Form = ParentForm();
  if (!Form || !Form->Active() || !Form->HandleAllocated() || !Application) return false;
  Application->PostMessage(Form, WM_QUERYNEWPALETTE, 0, 0);
  Graphic->SetPaletteModified(false);
  return true;
}

void MatContainer::Paint() {
  TCanvas& C = Canvas();
  if (Designing()) {
    C.Pen = {clBlack, 1, TPenStyle::Dash};
    C.Brush.Style = TBrushStyle::Clear;
    C.Rectangle({0, 0, Width(), Height()});
  }
  // An empty bitmap copies as black, which would paint over the outline: at design time an
  // empty container shows its outline on what lies beneath it.
  if (FPicture1 && !(Designing() && FPicture1->Bitmap().Empty())) {
    const TRect Area{0, 0, Width(), Height()};
    PaintBitmapPart(C, Area, FPicture1->Bitmap(), Area);
  }
}

bool MatContainer::SetProperty(const std::string& Name, const nlohmann::ordered_json& Value) {
  if (Name != "Picture1" && Name != "Picture2") return TCustomControl::SetProperty(Name, Value);
  // Layouts store a picture as {"Graphic": "TBitmap"}: an empty bitmap.
  if (!Value.is_object() || Value.size() != 1 || LayoutString(Value.at("Graphic")) != "TBitmap")
    throw ELayoutError("a stored picture must be {\"Graphic\": \"TBitmap\"}");
  (Name == "Picture1" ? *FPicture1 : *FPicture2).SetBitmap(TBitmap());
  return true;
}
