#include "model/objects/text_conversion.h"

int32_t NarrowToWide(const RWCString& narrow, RWWString& wide) {
  wide = RWWString::FromMultibyte(narrow);
  return 1;
}

int32_t WideToNarrow(const RWWString& wide, RWCString& narrow) {
  narrow = wide.IsAscii() ? wide.ToAscii() : wide.ToMultibyte();
  return 1;
}

int32_t WideToWide(const RWWString& from, RWWString& to) {
  to = from;
  return 1;
}
