#include "app/AccessCodes.h"

#include <array>
#include <cstring>

namespace {

struct TCodeEntry {
  const char* Text;
  TAccessCodes::TCode Code;
};

// Tested in this order.
constexpr std::array<TCodeEntry, 3> CodeTable{{
    {"kexlip5", TAccessCodes::TCode::Level5},
    {"kexlip6", TAccessCodes::TCode::Level6},
    {"quirbalent", TAccessCodes::TCode::Cheat},
}};

}  // namespace

bool TAccessCodes::TypedEquals(const char* Code) const { return std::strcmp(FTypedKeys, Code) == 0; }

bool TAccessCodes::TypedDiverges(const char* Code) const {
  return std::strncmp(FTypedKeys, Code, static_cast<size_t>(FTypedCount)) != 0;
}

void TAccessCodes::Accept(char C, const std::function<void(TCode)>& Matched) {
  const bool Wanted = (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9');
  if (!Wanted || FTypedCount >= 255) return;
  FTypedKeys[FTypedCount] = C;
  ++FTypedCount;
  FTypedKeys[FTypedCount] = '\0';
  // Every code is tested on every character; the text stays in the buffer after a match,
  // so a later code of the table cannot match the same text.
  for (const TCodeEntry& Entry : CodeTable) {
    if (TypedEquals(Entry.Text)) {
      FTypedCount = 0;
      Matched(Entry.Code);
    }
  }
  bool DivergesFromAll = true;
  for (const TCodeEntry& Entry : CodeTable) DivergesFromAll = DivergesFromAll && TypedDiverges(Entry.Text);
  if (DivergesFromAll) FTypedCount = 0;
}
