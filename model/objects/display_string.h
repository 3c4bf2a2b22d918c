#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "model/objects/persistent_object.h"

// A text to show, given by a string resource ID in a named module or
// literally. The host's display-string loader resolves it: the default
// text, replaced by the module's string with this ID when the ID is not 0.
//
// Stored contents after the base part: version 1, the module name, the
// default text, the string ID (unsigned 16-bit).
class GDisplayString : public MPersistentObject {
 public:
  GDisplayString() = default;
  // A null text stands for an empty one.
  GDisplayString(int16_t stringId, const char* defaultText, const char* moduleName);

  RWCollectable* NewInstance() const override { return new GDisplayString; }
  RWCollectable* Clone() const override { return new GDisplayString(*this); }
  RWClassID ClassID() const override { return kGDisplayStringClassID; }
  // Equal IDs, default texts and module names.
  bool SameContent(const MPersistentObject& other) const override;

  // 0 means no resource string: the default text is shown.
  int16_t StringId() const { return stringId_; }
  const RWCString& DefaultText() const { return defaultText_; }
  // The resource DLL that holds the string; empty for the module's own.
  const RWCString& ModuleName() const { return moduleName_; }
  void SetStringId(int16_t stringId) { stringId_ = stringId; }
  void SetDefaultText(const RWCString& text) { defaultText_ = text; }
  void SetModuleName(const RWCString& name) { moduleName_ = name; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int16_t stringId_ = 0;
  RWCString defaultText_;
  RWCString moduleName_;
};
