#include "pclxl/borzan/borzan_font_record.h"

GBorzanFontRef::GBorzanFontRef(GDownloadedFontOwner* owner) : GDownloadedFontRef(new GBorzanFontRecord(owner)) {}
