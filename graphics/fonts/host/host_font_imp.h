#pragma once

#include <cstdint>
#include <memory>

#include "graphics/fonts/font_imp.h"
#include "graphics/fonts/host/host_platform_font.h"

class GTTFontFile;

// The host's body of a TrueType file font. Its kind is 3: an outline
// TrueType font (bit value 2) that can also go out as bitmaps (bit value
// 1). The body is ready while its TrueType handle has font data whose file
// is open (a body restored from a job whose font the pool no longer holds,
// or whose font file is gone, is not). To
// download or prepare, it loads the glyphs' outlines and rendered images
// into the TrueType reader's caches, from which the generators take them.
// Its stored part is the body's.
class GHostFontImp final : public GFontImp {
 public:
  static constexpr int32_t kKind = 3;

  GHostFontImp() = default;
  // The platform font is given, not made by the OS factory: it needs the
  // font's TrueType handle and size, which the factory's font companion
  // operation cannot be told.
  GHostFontImp(uintptr_t context, const GFontInfo& info, const GFontMetrics& metrics,
               std::unique_ptr<GHostPlatformFont> platformFont);

  int32_t GetKind() const override { return kKind; }
  // This host asks nothing further of its fonts: 0.
  int32_t GetHostQuery() const override { return 0; }
  int32_t IsReady() override;
  // The code's glyph (in the encoding), its components and its image at the
  // body's size go into the caches; 1 on success, 0 on failure.
  int32_t DownloadGlyph(uint32_t code, int32_t encoding) override;
  // Reads the tables a download needs into the cache; 1 when the font has
  // every required table, else 0. The mode and face data are not used.
  int32_t PrepareFace(int32_t mode, void* faceData) override;
  // Downloads every code of the text in the font's own encoding; 1 when all
  // succeeded, else 0. The mode is not used.
  int32_t PrepareText(GTextString& text, int32_t mode) override;

  // The font's TrueType handle, which stays the body's; null when it has
  // none.
  GTTFontFile* GetTrueTypeFile() const;

  RWCollectable* NewInstance() const override { return new GHostFontImp; }
  RWClassID ClassID() const override { return kGHostFontImpClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGHostFontImpClassID || GFontImp::IsKindOf(id); }

 private:
  uint32_t FontContext() const { return static_cast<uint32_t>(GetContext()); }
};
