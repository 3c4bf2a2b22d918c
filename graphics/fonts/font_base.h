#pragma once

#include <cstdint>

#include "model/objects/persistent_object.h"

// An abstract root for font classes of the rendering host. It has no
// fields; its four operations are the host's to define.
//
// Stored part after the root's: the version word 1, read back and not
// examined.
class GFontBase : public MPersistentObject {
 public:
  GFontBase() = default;
  GFontBase(const GFontBase& other) = default;

  bool IsKindOf(RWClassID id) const override { return id == kGFontBaseClassID || MPersistentObject::IsKindOf(id); }
  // Equal root parts.
  bool SameContent(const MPersistentObject& other) const override { return MPersistentObject::SameContent(other); }

  virtual int32_t HostOperation1() = 0;
  virtual int32_t HostOperation2() = 0;
  virtual int32_t HostOperation3() = 0;
  virtual int32_t HostOperation4() = 0;

 protected:
  void Fields(GFieldArchive& archive) override;
};
