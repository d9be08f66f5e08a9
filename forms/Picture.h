#pragma once
// A picture holds at most one graphic (here always a bitmap) and reports every change.
#include "forms/Bitmap.h"
#include "forms/Object.h"

#include <memory>
#include <string>

class TPicture : public TObject {
public:
  TPicture() = default;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // Loads a ".bmp" file; throws EFOpenError or EInvalidGraphic and then keeps what it held.
  void LoadFromFile(const std::string& FileName);
  // Takes over the other picture's graphic; the pixels are shared, not copied.
  void Assign(const TPicture& Source);
  void Clear();
  // Holds a copy of Bitmap (sharing its pixels).
  void SetBitmap(const TBitmap& Bitmap);

  bool HasGraphic() const { return FGraphic != nullptr; }
  // The graphic as a bitmap; an empty bitmap when the picture holds none.
  TBitmap& Bitmap();
  TBitmap* Graphic() { return FGraphic.get(); }

  TNotifyEvent OnChange;

private:
  void Changed();

  std::unique_ptr<TBitmap> FGraphic;
  TBitmap FEmpty;
};
