#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/fonts/font_imp.h"
#include "model/objects/persistent_object.h"

class GByteBuffer;
class GGraphicsDevice;
class GTTFontFile;
class GTextString;

// The start of a glyph's metrics as the host's glyph images come with
// them: offsets and size in pixels and rows.
struct GGlyphMetrics {
  int16_t xOffset = 0;
  int16_t yOffset = 0;
  int16_t width = 0;
  int16_t height = 0;
};

// The font that text graphics and face downloads hold: a handle on a
// shared body (GFontImp), counted by the body's use count, and the job's
// graphics device. Copies share the body. The font interface forwards to
// the body; a handle without a body (default-constructed) must not be
// asked.
//
// The rendering host derives the concrete handle: its two queries and the
// glyph image.
//
// Stored part after the root's: version 1, the device's handle, the body's
// font ID and change count (32-bit each; a handle without a body stores
// 0xFFFFFFFF for both). The body itself travels in the job's font database:
// saving a handle marks its body for saving and enters it into the device's
// database (once: an entry holds one use however often its handles are
// saved). A restored handle finds its device in the driver server's render
// table by the handle and its body in that device's database by font ID,
// at the stored change count or a newer one; finding none, it has no body.
class GFont : public MPersistentObject {
 public:
  // No body.
  GFont() = default;
  // Counts itself on the body.
  GFont(GFontImp* body, GGraphicsDevice* device);
  GFont(const GFont& other);
  GFont& operator=(const GFont&) = delete;
  // Drops its use of the body: the last use deletes the body; otherwise the
  // body's context, which belonged to this handle's user, is cleared.
  ~GFont() override;

  bool IsKindOf(RWClassID id) const override { return id == kGFontClassID || MPersistentObject::IsKindOf(id); }
  // Equal root parts and the same body or bodies of equal content.
  bool SameContent(const MPersistentObject& other) const override;

  // The host's queries. The first is the font's kind: 1 makes text and
  // faces be prepared in mode 1, anything else in mode 2.
  virtual int32_t GetKind() const = 0;
  virtual int32_t GetHostQuery() const = 0;

  // The font interface, each forwarding to the body.
  virtual const GFontInfo& GetFontInfo() const { return body_->GetFontInfo(); }
  virtual const GFontMetrics& GetMetricsRecord() const { return body_->GetMetricsRecord(); }
  virtual uintptr_t GetContext() const { return body_->GetContext(); }
  virtual int16_t GetFontValue2() const { return body_->GetFontValue2(); }
  virtual int16_t GetResolution() const { return body_->GetResolution(); }
  virtual int16_t GetVerticalSize1() const { return body_->GetVerticalSize1(); }
  virtual int16_t GetVerticalSize2() const { return body_->GetVerticalSize2(); }
  virtual int16_t GetVerticalSize3() const { return body_->GetVerticalSize3(); }
  virtual int32_t GetFontValue6() const { return body_->GetFontValue6(); }
  virtual int32_t GetFontValue7() const { return body_->GetFontValue7(); }
  virtual int32_t GetFontValue8() const { return body_->GetFontValue8(); }
  virtual uint16_t GetFontValue9() const { return body_->GetFontValue9(); }
  virtual int32_t GetFontValue10() const { return body_->GetFontValue10(); }
  virtual float GetFontValue11() const { return body_->GetFontValue11(); }
  virtual float GetFontValue12() const { return body_->GetFontValue12(); }
  virtual int16_t GetHeight() const { return body_->GetHeight(); }
  virtual int32_t GetFontValue14() const { return body_->GetFontValue14(); }
  virtual int32_t GetFontValue15() const { return body_->GetFontValue15(); }
  virtual int16_t GetHorizontalSize1() const { return body_->GetHorizontalSize1(); }
  virtual int16_t GetHorizontalSize2() const { return body_->GetHorizontalSize2(); }
  virtual uint16_t GetFirstCode() const { return body_->GetFirstCode(); }
  virtual uint16_t GetLastCode() const { return body_->GetLastCode(); }
  virtual uint16_t GetDefaultCode() const { return body_->GetDefaultCode(); }
  virtual uint16_t GetBreakCode() const { return body_->GetBreakCode(); }
  virtual const RWCString& GetName() const { return body_->GetName(); }
  virtual int32_t GetFontValue22() const { return body_->GetFontValue22(); }
  virtual GFloatValue GetFloatMetric1() const { return body_->GetFloatMetric1(); }
  virtual GFloatValue GetFloatMetric8() const { return body_->GetFloatMetric8(); }
  virtual GFloatValue GetFloatMetric2() const { return body_->GetFloatMetric2(); }
  virtual int32_t GetMetric4() const { return body_->GetMetric4(); }
  virtual int32_t GetMetric5() const { return body_->GetMetric5(); }
  virtual int32_t GetMetric6() const { return body_->GetMetric6(); }
  virtual uint16_t GetMetric3() const { return body_->GetMetric3(); }
  virtual uint32_t GetFlags() const { return body_->GetFlags(); }
  virtual bool GetTextWidths(const GTextString& text, std::vector<int16_t>& widths) {
    return body_->GetTextWidths(text, widths);
  }
  virtual bool GetRangeWidths(uint16_t first, uint16_t last, std::vector<int16_t>& widths) {
    return body_->GetRangeWidths(first, last, widths);
  }
  virtual int32_t PlatformQueryA(int32_t a, int32_t b) { return body_->PlatformQueryA(a, b); }
  virtual int32_t PlatformQueryB(int32_t a, int32_t b) { return body_->PlatformQueryB(a, b); }
  virtual int16_t GetGeneratorValue16() const { return body_->GetGeneratorValue16(); }
  virtual void SetGeneratorValue16(int16_t value) { body_->SetGeneratorValue16(value); }
  virtual int32_t GetGeneratorValue32() const { return body_->GetGeneratorValue32(); }
  virtual void SetGeneratorValue32(int32_t value) { body_->SetGeneratorValue32(value); }

  // The host's glyph image of a code: the image (1 bit per pixel, most
  // significant bit first, rows padded to 32 bits) into image, its metrics
  // into metrics; answers the image's size. The base has no images and
  // answers 0.
  virtual uint32_t GetGlyphImage(uint16_t code, int32_t option, GGlyphMetrics& metrics,
                                 std::unique_ptr<GByteBuffer>& image);
  // The host's TrueType reader of an outline font, through which the
  // generators read the tables and glyph outlines they download; it stays
  // the font's. The base reads no TrueType data and answers null.
  virtual GTTFontFile* GetTrueTypeFile() const { return nullptr; }

  GFontImp* GetBody() const { return body_; }
  GDownloadedFontRef* GetDownloadedFontRef() const { return body_->GetDownloadedFontRef(); }
  void SetDownloadedFontRef(std::unique_ptr<GDownloadedFontRef> font) { body_->SetDownloadedFontRef(std::move(font)); }
  std::unique_ptr<GDownloadedFontRef> TakeDownloadedFontRef() { return body_->TakeDownloadedFontRef(); }
  int16_t GetDownloadMode() const { return body_->GetFontInfo().downloadMode; }
  void SetDownloadMode(int16_t mode) { body_->SetDownloadMode(mode); }
  void SetContext(uintptr_t context) { body_->SetContext(context); }
  // Stores a new device; answers the one held before.
  GGraphicsDevice* SwapDevice(GGraphicsDevice* device);
  GGraphicsDevice* GetDevice() const { return device_; }

  // Adds every code of the text to the codes the job used; answers the
  // text's length.
  uint16_t MarkCodesUsed(const GTextString& text);
  // Downloads every code the job used, ascending, with the font's own
  // encoding (font value 10). Answers whether the body is ready when the
  // last download succeeded, else 0 (also when no code was used).
  int32_t DownloadUsedCodes();
  // The body's preparation of a text or of the face: 1 at once for a font
  // the printer holds, 0 when the body is not ready.
  int32_t PrepareText(GTextString& text, int32_t mode);
  int32_t PrepareFace(int32_t mode, void* faceData);

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // 1 when the font needs no preparation, 0 when the body cannot prepare,
  // -1 when the body's hook decides.
  int32_t PreparationGate() const;
  // Drops this handle's use of the body, if it has one, and forgets it.
  void ReleaseBody();
  // What saving the handle does besides writing it.
  void EnterBodyForSave() const;
  // The device and body a restored handle names, when it read them whole.
  void FindRestoredBody(bool read, uint32_t handle, uint32_t fontId, uint32_t changeCount);

  GFontImp* body_ = nullptr;
  // Neither counted nor owned: the device outlives its job's fonts.
  GGraphicsDevice* device_ = nullptr;
};
