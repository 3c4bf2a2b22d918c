#include "platform/system_version.h"

namespace platform {

bool QueryVersionEx(uint32_t, SystemVersionInfo&) { return false; }

uint32_t QueryVersion() { return 0; }

ProductOptionsKey::ProductOptionsKey() = default;

ProductOptionsKey::~ProductOptionsKey() = default;

bool ProductOptionsKey::Read(const WideChar*, uint8_t*, uint32_t&) { return false; }

}  // namespace platform
