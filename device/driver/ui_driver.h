#pragma once

#include <cstdint>

#include "device/driver/driver.h"

// The user-interface side of the driver object, from which the printer's
// user-interface host derives: it answers the identity questions of the
// driver object for that side and adds two texts and the questions the
// property pages ask of the device.
class GUIDriver : public virtual GDriver {
 public:
  GUIDriver() = default;
  ~GUIDriver() override = default;

  // The first text, empty here; the host writes the printer's location.
  virtual void GetText1(RWWString& text);
  // The second text, empty here; the host answers one of its own. Not the
  // driver's name, which the const accessor of the driver object answers.
  virtual RWWString GetText2();
  using GDriver::GetText2;

  GGraphicsDevice* AsGraphicsDevice() override { return nullptr; }
  GUIDriver* AsUIDriver() override { return this; }
  void Invalidate(const GDriverKey& key) override { GDriver::Invalidate(key); }
  // The user-interface side keeps no job resources.
  void ReleaseJobResources() override {}

  // Whether the generator below the pipeline head can use the font
  // selection text: its answer, 0 without a generator that can tell.
  int32_t IsFontEscapeUsable(const RWCString& selection);
  // Whether value 1100 (respectively 1025) of the device description is 1.
  // Decided once for the process, by the first call that finds a
  // description, and shared by every driver object; until then false.
  bool IsCapability1100();
  bool IsCapability1025();

 protected:
  // Forgets both decisions, so that the next call decides again.
  static void ResetCapabilities();
};
