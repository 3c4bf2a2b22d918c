#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "graphics/fonts/bit_set.h"
#include "graphics/fonts/downloaded_font.h"
#include "graphics/fonts/font_info.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

class GPlatformFont;
class GTextString;

// The shared body of a font: its description and metrics, the job-wide
// font ID and change count, the codes the job used, and the record of its
// download to the printer. GFont handles share a body through its use
// count. The rendering host derives the concrete body (glyph images, face
// data, the preparation hooks).
//
// Widths come from the platform font, the host's object that the OS
// factory makes for each new body; a body without one has no widths.
//
// Stored part after the root's: version 1; the description (resolution,
// font value 2 and the vertical sizes 16-bit; font values 6 to 8 32-bit;
// font value 9 unsigned 16-bit; font value 10 32-bit; font values 11 and
// 12 as floats; the height 16-bit; font values 14 and 15 32-bit; the
// horizontal sizes 16-bit; the four codes unsigned 16-bit; the face name;
// font value 22 32-bit; the download mode 16-bit); the metrics (float
// metrics 1 and 2 as 32-bit whole numbers, truncated; metric value 3
// unsigned 16-bit; metric values 4 to 6 32-bit; the flags unsigned 32-bit;
// float metric 8 as a truncated 32-bit number; metric values 9 and 10
// 32-bit); the platform font as an object reference; the font ID and the
// change count (32-bit each). A restore sets the context to 0. The save
// mark, use count, downloaded font, used codes and generator places are
// not stored.
class GFontImp : public MPersistentObject {
 public:
  // The font ID from the process-wide counter; no platform font (a restore
  // brings it).
  GFontImp();
  // A new body: the font ID from the process-wide counter and the platform
  // font that the OS factory makes for it.
  GFontImp(uintptr_t context, const GFontInfo& info, const GFontMetrics& metrics);
  ~GFontImp() override;

  bool IsKindOf(RWClassID id) const override { return id == kGFontImpClassID || MPersistentObject::IsKindOf(id); }
  // Equal root parts, descriptions and measures (GFontMetrics::SameMeasures),
  // and the same platform font or platform fonts of equal content (a
  // missing one makes them differ; two missing are equal).
  bool SameContent(const MPersistentObject& other) const override;

  // Two queries whose meaning is the host's.
  virtual int32_t GetKind() const = 0;
  virtual int32_t GetHostQuery() const = 0;

  // The font interface, answered from the body's fields.
  virtual const GFontInfo& GetFontInfo() const { return info_; }
  virtual const GFontMetrics& GetMetricsRecord() const { return metrics_; }
  virtual uintptr_t GetContext() const { return context_; }
  virtual int16_t GetFontValue2() const { return info_.fontValue2; }
  virtual int16_t GetResolution() const { return info_.resolution; }
  virtual int16_t GetVerticalSize1() const { return info_.verticalSize1; }
  virtual int16_t GetVerticalSize2() const { return info_.verticalSize2; }
  virtual int16_t GetVerticalSize3() const { return info_.verticalSize3; }
  virtual int32_t GetFontValue6() const { return info_.fontValue6; }
  virtual int32_t GetFontValue7() const { return info_.fontValue7; }
  virtual int32_t GetFontValue8() const { return info_.fontValue8; }
  virtual uint16_t GetFontValue9() const { return info_.fontValue9; }
  virtual int32_t GetFontValue10() const { return info_.fontValue10; }
  virtual float GetFontValue11() const { return info_.fontValue11; }
  virtual float GetFontValue12() const { return info_.fontValue12; }
  virtual int16_t GetHeight() const { return info_.height; }
  virtual int32_t GetFontValue14() const { return info_.fontValue14; }
  virtual int32_t GetFontValue15() const { return info_.fontValue15; }
  virtual int16_t GetHorizontalSize1() const { return info_.horizontalSize1; }
  virtual int16_t GetHorizontalSize2() const { return info_.horizontalSize2; }
  virtual uint16_t GetFirstCode() const { return info_.firstCode; }
  virtual uint16_t GetLastCode() const { return info_.lastCode; }
  virtual uint16_t GetDefaultCode() const { return info_.defaultCode; }
  virtual uint16_t GetBreakCode() const { return info_.breakCode; }
  virtual const RWCString& GetName() const { return info_.faceName; }
  virtual int32_t GetFontValue22() const { return info_.fontValue22; }
  virtual GFloatValue GetFloatMetric1() const { return metrics_.floatMetric1; }
  virtual GFloatValue GetFloatMetric2() const { return metrics_.floatMetric2; }
  virtual GFloatValue GetFloatMetric8() const { return metrics_.floatMetric8; }
  virtual int32_t GetMetric4() const { return metrics_.metric4; }
  virtual int32_t GetMetric5() const { return metrics_.metric5; }
  virtual int32_t GetMetric6() const { return metrics_.metric6; }
  virtual uint16_t GetMetric3() const { return metrics_.metric3; }
  virtual uint32_t GetFlags() const { return metrics_.flags; }
  // Sets the save mark, by which the job's database knows what to write.
  virtual void MarkForSave() { saveMark_ = true; }
  // Takes what a newer stored copy of this body knows; nothing here.
  virtual void UpdateFrom(GFontImp& other);
  // Raises the change count by one, unless it is at its largest value;
  // answers it.
  virtual uint32_t BumpChangeCount();
  // The width of each code of the text, in order; a code without a width
  // gets the default code's. False, with the widths from that code on left
  // 0, when the default code has none either.
  virtual bool GetTextWidths(const GTextString& text, std::vector<int16_t>& widths);
  // The widths of the codes first to last (position k for code first + k):
  // codes outside the font's range get the default code's width, the rest
  // come from one range query, or one by one when that fails (a code
  // without a width then getting the default code's). False when a default
  // width was needed and there is none.
  virtual bool GetRangeWidths(uint16_t first, uint16_t last, std::vector<int16_t>& widths);
  // The platform font's further queries, given the height plus vertical
  // size 2 (16-bit); 0 without a platform font.
  virtual int32_t PlatformQueryA(int32_t a, int32_t b);
  virtual int32_t PlatformQueryB(int32_t a, int32_t b);
  // Whether the body can download and prepare; 1 here.
  virtual int32_t IsReady() { return 1; }
  // The host's hooks: send one glyph (with the font's own encoding,
  // font value 10), prepare the face data or a text for the printer.
  virtual int32_t DownloadGlyph(uint32_t code, int32_t encoding) = 0;
  virtual int32_t PrepareFace(int32_t mode, void* faceData) = 0;
  virtual int32_t PrepareText(GTextString& text, int32_t mode) = 0;
  // Two places the generators keep per font.
  virtual int16_t GetGeneratorValue16() const { return generatorValue16_; }
  virtual void SetGeneratorValue16(int16_t value) { generatorValue16_ = value; }
  virtual int32_t GetGeneratorValue32() const { return generatorValue32_; }
  virtual void SetGeneratorValue32(int32_t value) { generatorValue32_ = value; }

  void SetContext(uintptr_t context) { context_ = context; }
  uint32_t GetFontId() const { return fontId_; }
  uint32_t GetChangeCount() const { return changeCount_; }
  // For the job's database, which lets a body that handles use take the
  // change count of a newer stored copy.
  void SetChangeCount(uint32_t count) { changeCount_ = count; }
  bool IsMarkedForSave() const { return saveMark_; }
  void ClearSaveMark() { saveMark_ = false; }
  GPlatformFont* GetPlatformFont() const;

  // Handles and database entries on the body.
  int16_t UseCount() const { return useCount_; }
  void AddUse() { ++useCount_; }
  // Answers the uses left.
  int16_t DropUse() { return --useCount_; }

  GDownloadedFontRef* GetDownloadedFontRef() const { return downloaded_.get(); }
  void SetDownloadedFontRef(std::unique_ptr<GDownloadedFontRef> font) { downloaded_ = std::move(font); }
  std::unique_ptr<GDownloadedFontRef> TakeDownloadedFontRef() { return std::move(downloaded_); }
  void SetDownloadMode(int16_t mode) { info_.downloadMode = mode; }

  GBitSet& UsedCodes() { return usedCodes_; }

 protected:
  // A new body with the host's platform font given (null for none).
  GFontImp(uintptr_t context, const GFontInfo& info, const GFontMetrics& metrics,
           std::unique_ptr<MPersistentObject> platformFont);
  GFontImp(const GFontImp&) = delete;

  void Fields(GFieldArchive& archive) override;

  // For the host's body, which may learn its metrics late (UpdateFrom).
  GFontMetrics& Metrics() { return metrics_; }

 private:
  // The default code's width into width, asked of the platform font only
  // while width is still empty; false when the font has none.
  bool DefaultWidth(std::optional<int16_t>& width);
  int16_t PlatformSize() const;

  bool saveMark_ = false;
  uintptr_t context_ = 0;
  uint32_t changeCount_ = 0;
  uint32_t fontId_;
  int16_t useCount_ = 0;
  GFontInfo info_;
  GFontMetrics metrics_;
  // A GPlatformFont, or empty.
  GObjectRef platformFont_;
  std::unique_ptr<GDownloadedFontRef> downloaded_;
  GBitSet usedCodes_;
  int16_t generatorValue16_ = 0;
  int32_t generatorValue32_ = 0;
};
