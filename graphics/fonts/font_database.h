#pragma once

#include <cstdint>

// The job's font database. So far it holds only the process-wide counter
// that gives every font body its font ID; the job's bodies keyed by font
// ID, and their saving beside spooled pages, come with the job font
// database.
class GFontDatabase {
 public:
  // The counter's value, raised by one, under the counter's lock (a lock
  // that fails is fatal). IDs are unique in the process: the counter only
  // grows, wrapping after 2^32 IDs.
  static uint32_t NextFontId();
};
