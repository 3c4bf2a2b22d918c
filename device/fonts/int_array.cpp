#include "device/fonts/int_array.h"

#include <algorithm>

uint32_t GIntArray::CountOf(int32_t value) const { return static_cast<uint32_t>(std::count(begin(), end(), value)); }
