#pragma once

#include <cstdint>

#include "platform/system_version.h"
#include "platform/wide_char.h"

// Which Windows system the module runs on, as a small OS code with the
// version and build numbers. Several parts of the system adapt to the family.
struct GOSVersion {
  // 4 Win32s; 5 to 8 the Windows 95 family; 9 NT 4.0 workstation; 10 an NT
  // server; 13 NT 5.0 build 2195 or a workstation with a product suite; 14 NT
  // 5.x of another build. 0 when the system was not classified.
  uint32_t osCode = 0;
  // major version << 16 | minor version.
  uint32_t version = 0;
  // The low 16 bits of the system's build number; 0 when only the old
  // version query answered.
  uint32_t build = 0;

  bool operator==(const GOSVersion& other) const = default;
};

// What the detection asks of the system. The platform answers by default;
// tests answer for systems they cannot run on.
class GSystemVersionQueries {
 public:
  virtual ~GSystemVersionQueries() = default;
  virtual bool QueryVersionEx(uint32_t recordSize, platform::SystemVersionInfo& info) = 0;
  virtual uint32_t QueryVersion() = 0;
  // Opens the product-options key for the reads that follow.
  virtual bool OpenProductOptions() = 0;
  // Reads a value of that key into a buffer of size bytes; size becomes the
  // bytes read. False when the value is missing or does not fit.
  virtual bool ReadProductOption(const WideChar* name, uint8_t* buffer, uint32_t& size) = 0;
};

// Classifies the running system: true with the record filled, or false with
// the record untouched.
bool DetectOperatingSystem(GOSVersion& record);
bool DetectOperatingSystem(GOSVersion& record, GSystemVersionQueries& system);

// What GOSFactory::GetOSVersion answers: the classified system; for a system
// that the classification does not know (NT 6 and later), OS code 0 with the
// version and build that the extended query answers, so that the version
// tells a later system from the old ones; zeros when no query answers.
GOSVersion QueryOSVersion();
GOSVersion QueryOSVersion(GSystemVersionQueries& system);

// Folds an OS code into its family: 1; 2 (codes 2 to 4); 3 (5); 4 (the NT
// codes 9 to 11, 13, 14); 6 (12); 0 for every other code.
uint32_t MapOSVersionToFamily(const GOSVersion& record);
