#include "graphics/fonts/font_base.h"

void GFontBase::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
