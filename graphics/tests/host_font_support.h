#pragma once

#include "graphics/fonts/truetype/tt_font_pool.h"

// What the font host's tests share.
namespace host_font_testing {

// DejaVu Sans as Debian installs it (system_fonts::kDejaVuSans, whose
// header only the native build has); wine reaches it through drive Z:.
inline constexpr char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Lets go of the process's pool, which making a host font creates, at the
// end of a test; the test's fonts must be gone by then.
struct PoolGuard {
  PoolGuard() = default;
  PoolGuard(const PoolGuard&) = delete;
  PoolGuard& operator=(const PoolGuard&) = delete;
  ~PoolGuard() {
    if (GTTFontPool::Instance() != nullptr) GTTFontPool::Instance()->ReleaseAll();
    GTTFontPool::Destroy();
  }
};

}  // namespace host_font_testing
