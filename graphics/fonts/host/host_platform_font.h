#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "graphics/fonts/platform_font.h"
#include "model/objects/object_ref.h"

class GTTFontFile;

// The host's platform font of a TrueType font: widths are the advances of
// the font's hmtx, scaled from font units to the body's em size and rounded
// to the nearest whole unit (halves away from zero), found through the
// TrueType reader by the glyph of each code in the font's own encoding. A
// code without a glyph has no width. The two further queries have nothing
// to answer for a font file and answer 0.
//
// Stored part after the root's: version 1, the TrueType handle as an
// object reference, the em size (16-bit) and the encoding (32-bit); a
// restored platform font answers again once the process's pool holds its
// font.
class GHostPlatformFont final : public GPlatformFont {
 public:
  GHostPlatformFont() = default;
  // Takes the handle over; em in the body's units.
  GHostPlatformFont(GTTFontFile* file, int16_t em, int32_t encoding);
  GHostPlatformFont(const GHostPlatformFont& other) = default;

  bool GetRangeWidths(uintptr_t context, uint16_t first, uint16_t last, std::span<int16_t> widths) override;
  bool GetCodeWidth(uintptr_t context, uint16_t code, int16_t& width) override;
  int32_t QueryA(uintptr_t, int16_t, int32_t, int32_t) override { return 0; }
  int32_t QueryB(uintptr_t, int16_t, int32_t, int32_t) override { return 0; }

  // The TrueType handle; null when there is none.
  GTTFontFile* GetFontFile() const;
  int16_t GetEm() const { return em_; }
  int32_t GetEncoding() const { return encoding_; }

  RWCollectable* NewInstance() const override { return new GHostPlatformFont; }
  RWCollectable* Clone() const override { return new GHostPlatformFont(*this); }
  RWClassID ClassID() const override { return kGHostPlatformFontClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGHostPlatformFontClassID || MPersistentObject::IsKindOf(id);
  }
  // Same class and key, em size and encoding, and handles of the same
  // content (two missing are equal).
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // The font's units per em; none without a usable head.
  std::optional<uint16_t> UnitsPerEm(uint32_t context) const;
  // The scaled advance of the code's glyph; false when it has none.
  bool Width(uint32_t context, uint16_t unitsPerEm, uint16_t code, int16_t& width) const;

  // A GTTFontFile, or empty.
  GObjectRef file_;
  int16_t em_ = 0;
  int32_t encoding_ = 0;
};
