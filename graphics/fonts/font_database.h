#pragma once

#include <cstdint>

class GGraphicsDevice;

// The job's font database, owned by the job's graphics device. So far it
// holds the device and the process-wide counter that gives every font body
// its font ID; the job's bodies keyed by font ID, and their saving beside
// spooled pages, come with the job font database.
class GFontDatabase {
 public:
  explicit GFontDatabase(GGraphicsDevice* device) : device_(device) {}
  GFontDatabase(const GFontDatabase&) = delete;
  GFontDatabase& operator=(const GFontDatabase&) = delete;

  GGraphicsDevice* GetDevice() const { return device_; }

  // The counter's value, raised by one, under the counter's lock (a lock
  // that fails is fatal). IDs are unique in the process: the counter only
  // grows, wrapping after 2^32 IDs.
  static uint32_t NextFontId();

 private:
  // The owner; its handle names the job to the TrueType pool.
  GGraphicsDevice* device_;
};
