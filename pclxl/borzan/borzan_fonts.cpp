#include "pclxl/borzan/borzan.h"
#include "pclxl/borzan/text_bytes.h"
#include "pclxl/xl_font_operators.h"

uint16_t GBorzan::DeleteFont(const RWCString& fontName) {
  XLRemoveFont(Stream(), Bytes(View(fontName)));
  if (textState_.selection == fontName) textState_.selection = RWCString(kNoFont);
  return TakeStatus();
}
