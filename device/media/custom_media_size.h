#pragma once

#include <cstdint>
#include <optional>

#include "foundation/rw_cstring.h"
#include "model/attributes/attribute.h"

// The length units of paper sizes.
enum GLengthUnit : int32_t {
  kHundredthsOfInch = 0,
  kMillimetres = 1,
  kTenThousandthsOfInch = 2,
  kMicrometres = 3,
};

// A width and a height in one length unit.
struct GUnitSize {
  uint32_t width = 0;
  uint32_t height = 0;

  bool operator==(const GUnitSize&) const = default;
};

// Converts both values of a size from one unit into another: each product
// with the unit ratio's multiplier divided by its divisor, rounded to
// nearest with halves up (850 hundredths of an inch are 216 mm). The
// arithmetic runs in 64 bits; a result that does not fit 32 bits answers
// false and leaves the size as it was. The same unit, or a code outside
// 0..3, leaves the size unchanged.
bool ConvertSizeUnits(int32_t from, int32_t to, GUnitSize& size);

// A size in the unit taken to device dots: rounded to ten-thousandths of an
// inch first, then times the dots per inch over 10000, truncated; empty
// when a result does not fit 32 bits.
std::optional<GUnitSize> SizeInDots(int32_t unit, GUnitSize size, uint16_t xDotsPerInch, uint16_t yDotsPerInch);

// A paper size that is not one of the device's fixed media: a custom size
// or a form of the operating system. It holds an id (which the media built
// from it carry as their size id), a name and a width and height in one of
// the four length units.
//
// Stored part after the attribute's: version 1, the id (16-bit), the name,
// the unit code (32-bit), width and height (32-bit each).
class GCustomMediaSize : public GAttribute {
 public:
  GCustomMediaSize() = default;
  explicit GCustomMediaSize(int32_t key) : GAttribute(key) {}
  GCustomMediaSize(int16_t id, const RWCString& name, int32_t unit, uint32_t width, uint32_t height, int32_t key);
  // A size measured in dots at a resolution, taken to hundredths of an inch
  // (truncating) and then converted to the unit. A resolution of 0, or a
  // size that does not fit the unit, leaves the size 0 x 0 in that unit.
  GCustomMediaSize(int16_t id, const RWCString& name, uint16_t xDotsPerInch, uint16_t yDotsPerInch, int32_t unit,
                   uint32_t widthInDots, uint32_t heightInDots, int32_t key);
  GCustomMediaSize(const GCustomMediaSize& other) = default;
  GCustomMediaSize& operator=(const GCustomMediaSize& other) = default;

  int16_t GetId() const { return id_; }
  void SetId(int16_t id) { id_ = id; }
  const RWCString& GetName() const { return name_; }
  void SetName(const RWCString& name) { name_ = name; }
  int32_t GetUnit() const { return unit_; }
  GUnitSize GetSize() const { return size_; }
  // Sets the size in the present unit, without conversion.
  void SetSize(GUnitSize size) { size_ = size; }
  void SetSize(uint32_t width, uint32_t height) { size_ = {width, height}; }
  // Sets unit and size together, without conversion.
  void SetUnitAndSize(int32_t unit, GUnitSize size);
  void SetUnitAndSize(int32_t unit, uint32_t width, uint32_t height) { SetUnitAndSize(unit, {width, height}); }
  // Converts the size into the unit and keeps that unit; false, changing
  // nothing, when the converted size does not fit 32 bits.
  bool ConvertTo(int32_t unit);
  // The size in the unit (the stored values for the stored unit, whatever
  // its code); empty when it does not fit 32 bits.
  std::optional<GUnitSize> GetSizeIn(int32_t unit) const;
  // The size in device dots at the resolution; empty when it does not fit
  // 32 bits.
  std::optional<GUnitSize> GetSizeInDots(uint16_t xDotsPerInch, uint16_t yDotsPerInch) const {
    return SizeInDots(unit_, size_, xDotsPerInch, yDotsPerInch);
  }

  RWCollectable* NewInstance() const override { return new GCustomMediaSize; }
  RWCollectable* Clone() const override { return new GCustomMediaSize(*this); }
  RWClassID ClassID() const override { return kGCustomMediaSizeClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGCustomMediaSizeClassID || GAttribute::IsKindOf(id); }
  // Same class, key, id and name, and the same size: compared as stored in
  // one unit, else both in micrometres.
  bool SameContent(const MPersistentObject& other) const override;
  // Hands nothing on; answers 0.
  uint16_t SendTo(GPeripheral&) override { return 0; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int16_t id_ = 0;
  RWCString name_;
  int32_t unit_ = kHundredthsOfInch;
  GUnitSize size_;
};
