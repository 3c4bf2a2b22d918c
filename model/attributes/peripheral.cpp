#include "model/attributes/peripheral.h"

uint16_t GPeripheral::ApplyValueAttribute(GValueAttribute&) { return 0; }

uint16_t GPeripheral::ApplyStringAttribute(GStringAttribute&) { return 0; }

uint16_t GPeripheral::ApplyEnumAttribute(GEnumAttribute&) { return 0; }

uint16_t GPeripheral::ApplyRangeAttribute(GRangeAttribute&) { return 0; }
