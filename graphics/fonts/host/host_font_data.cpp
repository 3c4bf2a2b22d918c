#include "graphics/fonts/host/host_font_data.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GHostFontData>, kGHostFontDataClassID, kGHostFontDataClassName);

}  // namespace
