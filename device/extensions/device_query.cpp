#include "device/extensions/device_query.h"

GDeviceQuery::GDeviceQuery(GDeviceQueryProvider* provider, GDriver* driver, const RWWString& printerName)
    : provider_(provider), driver_(driver), printerName_(printerName) {}
