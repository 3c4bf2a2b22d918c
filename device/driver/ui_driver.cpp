#include "device/driver/ui_driver.h"

#include <mutex>

#include "device/driver/font_escape_check.h"
#include "device/driver/tree_lookup.h"
#include "model/attributes/configuration.h"

namespace {

// A yes-or-no of the device description that is decided once for the
// process: by the first question asked with a description at hand.
class ProcessWideCapability {
 public:
  explicit ProcessWideCapability(int32_t key) : key_(key) {}

  bool Answer(GConfiguration* configuration) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (!decided_ && configuration != nullptr) {
      value_ = FindValue(configuration, key_) == 1;
      decided_ = true;
    }
    return value_;
  }

  void Reset() {
    const std::lock_guard<std::mutex> hold(lock_);
    decided_ = false;
    value_ = false;
  }

 private:
  const int32_t key_;
  std::mutex lock_;
  bool decided_ = false;
  bool value_ = false;
};

ProcessWideCapability& Capability1100() {
  static ProcessWideCapability capability(1100);
  return capability;
}

ProcessWideCapability& Capability1025() {
  static ProcessWideCapability capability(1025);
  return capability;
}

}  // namespace

void GUIDriver::GetText1(RWWString& text) { text = RWWString(); }

RWWString GUIDriver::GetText2() { return RWWString(); }

int32_t GUIDriver::IsFontEscapeUsable(const RWCString& selection) {
  auto* check = dynamic_cast<GFontEscapeCheck*>(FindGenerator());
  return check != nullptr ? check->IsFontEscapeUsable(selection) : 0;
}

bool GUIDriver::IsCapability1100() { return Capability1100().Answer(GetConfiguration()); }

bool GUIDriver::IsCapability1025() { return Capability1025().Answer(GetConfiguration()); }

void GUIDriver::ResetCapabilities() {
  Capability1100().Reset();
  Capability1025().Reset();
}
