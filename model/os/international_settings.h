#pragma once

#include <memory>

class GLocaleInfo;
class GOSFactory;

// The user's international settings, read from the values under the user's
// "Control Panel\International" key through the factory: each value present
// there replaces the record's default, numbers read as decimal text (so the
// locale "00000409" gives 409) and texts cut at 127 bytes. Without the key
// the record keeps all its defaults.
std::unique_ptr<GLocaleInfo> ReadInternationalSettingsFrom(GOSFactory& factory);
