#include "graphics/colour/color.h"

void GColor::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  archive.Version(FormatVersion());
}
