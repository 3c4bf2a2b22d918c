#include "model/attributes/graphic_state_attribute.h"

void GGraphicStateAttribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  archive.Version(FormatVersion());
}
