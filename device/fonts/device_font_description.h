#pragma once

#include <cstdint>

#include "device/fonts/int_array.h"
#include "foundation/rw_cstring.h"
#include "model/objects/persistent_object.h"

// One font that lives in the printer (add-on ROM, disk, flash or font
// DIMM): the name applications ask for, the name the printer selects it
// by, the symbol sets it carries and what the generators match a request
// against.
//
// Stored part after the root's: version 2, the face and device names, the
// primary symbol set, the symbol-set count and codes (32-bit), the weight
// (16-bit), italic, family, pitch flag and format (32-bit), the height
// (16-bit), then the lookup id (16-bit) and the location (32-bit), which
// version 1 lacks.
class GDeviceFontDescription : public MPersistentObject {
 public:
  // Where the font lives.
  enum Location : int32_t { kRomAddOn = 1, kDisk = 2, kFlash = 3, kDimm = 4, kFlaggedDimm = 7 };

  static uint32_t FormatVersion() { return 2; }

  GDeviceFontDescription() = default;
  GDeviceFontDescription(const RWCString& faceName, const RWCString& deviceName, int32_t primarySymbolSet,
                         const GIntArray& symbolSets, uint16_t weight, int32_t italic, int32_t family,
                         int32_t pitchFlag, int32_t format, int16_t height, uint16_t lookupId, int32_t location);
  GDeviceFontDescription(const GDeviceFontDescription& other) = default;
  GDeviceFontDescription& operator=(const GDeviceFontDescription& other) = default;

  const RWCString& GetFaceName() const { return faceName_; }
  const RWCString& GetDeviceName() const { return deviceName_; }
  int32_t GetPrimarySymbolSet() const { return primarySymbolSet_; }
  const GIntArray& GetSymbolSets() const { return symbolSets_; }
  uint16_t GetWeight() const { return weight_; }
  int32_t GetItalic() const { return italic_; }
  int32_t GetFamily() const { return family_; }
  int32_t GetPitchFlag() const { return pitchFlag_; }
  int32_t GetFormat() const { return format_; }
  int16_t GetHeight() const { return height_; }
  uint16_t GetLookupId() const { return lookupId_; }
  int32_t GetLocation() const { return location_; }
  // Formats 1, 2 and 5 scale; format 0 is a bitmap font of one height.
  bool IsScalable() const { return format_ == 1 || format_ == 2 || format_ == 5; }

  // The readers under the names the page-description generators use, which
  // count the field's place in the record:
  //   GetText1    device name (the selection text)
  //   GetName     face name
  //   GetValue44  weight           GetValue60  1 when scalable, else 0
  //   GetValue48  italic           GetValue64  height
  //   GetValue52  family           GetValue66  lookup id
  //   GetValue56  pitch flag       GetValue68  location
  const RWCString& GetText1() const { return GetDeviceName(); }
  const RWCString& GetName() const { return GetFaceName(); }
  uint16_t GetValue44() const { return GetWeight(); }
  int32_t GetValue48() const { return GetItalic(); }
  int32_t GetValue52() const { return GetFamily(); }
  int32_t GetValue56() const { return GetPitchFlag(); }
  int32_t GetValue60() const { return IsScalable() ? 1 : 0; }
  int16_t GetValue64() const { return GetHeight(); }
  uint16_t GetValue66() const { return GetLookupId(); }
  int32_t GetValue68() const { return GetLocation(); }

  RWCollectable* NewInstance() const override { return new GDeviceFontDescription; }
  RWCollectable* Clone() const override { return new GDeviceFontDescription(*this); }
  RWClassID ClassID() const override { return kGDeviceFontDescriptionClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGDeviceFontDescriptionClassID || MPersistentObject::IsKindOf(id);
  }
  // Same class and key and every field equal, the symbol sets in order.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  // Reads versions 1 and 2; a version-1 record gets lookup id and location
  // 0. The symbol-set count is checked against the bytes left.
  void Fields(GFieldArchive& archive) override;

 private:
  RWCString faceName_;
  RWCString deviceName_;
  int32_t primarySymbolSet_ = 0;
  GIntArray symbolSets_;
  uint16_t weight_ = 0;
  int32_t italic_ = 0;
  int32_t family_ = 0;
  int32_t pitchFlag_ = 0;
  int32_t format_ = 0;
  int16_t height_ = 0;
  uint16_t lookupId_ = 0;
  int32_t location_ = 0;
};
