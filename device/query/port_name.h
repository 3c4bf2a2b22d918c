#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"

// The kind of port a printer is connected to, by its name.
enum GPortClass : int32_t {
  kOtherPort = 0,
  kNamedPort = 1,     // any other name ending in ':'
  kFilePort = 2,      // "FILE:"
  kParallelPort = 3,  // "LPT1" to "LPT9", with or without ':'
  kSerialPort = 4,    // "COM1" to "COM9", with or without ':'
  kNetworkShare = 5,  // "\\server\printer"
};

// Classifies the port name; letters compare in any case.
GPortClass ClassifyPortName(const RWWString& portName);
