#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"
#include "graphics/colour/rgb_color.h"
#include "model/attributes/peripheral.h"
#include "model/objects/object_ref.h"

class GGraphicsDevice;
class GMedia;

// The watermark as the graphics device builds its font and draws it: the
// text, a font description in the order the device's font request takes
// it, the colour and the placement values, which the device interprets.
struct GWatermarkDescription {
  RWWString text;
  int32_t textLength = 0;
  RWWString faceName;
  // Negative: the character height in dots of the page's resolution.
  int32_t height = 0;
  int32_t width = 0;
  int32_t characterSet = 1;
  int32_t outputPrecision = 4;
  int32_t clipPrecision = 0;
  int32_t quality = 0;
  int32_t pitchAndFamily = 0;
  int32_t weight = 400;
  int32_t italic = 0;
  int32_t underline = 0;
  int32_t strikeOut = 0;
  int16_t pointSize = 0;
  GRGBColor colour;
  int16_t lightness = 0;
  int32_t placement1 = 0;
  int32_t placement2 = 0;
  int32_t angleMode = 0;
  int32_t customAngle = 0;
};

// Puts a text watermark on the first page or on every page of a job. At
// document start it reads the watermark description (key 379 of the
// document state); at each page start that needs a watermark it keeps a
// copy of the page's medium, and at that page's end it asks the job's
// graphics device for the graphic that draws the text and sends it just
// before the page end. The device builds the font and draws; a device that
// answers no font or no graphic leaves the page without a watermark, and
// so does a page whose start carried no medium.
//
// The filter keeps no attribute state. A job without a watermark for this
// filter switches it off.
//
// Stored part after the peripheral's: version 1 alone. Nothing of a job is
// stored or copied: a restore or a copy starts without one.
class GWatermarkFilter : public GPeripheral {
 public:
  // The description in the document state, and its keys.
  static constexpr int32_t kDescriptionKey = 379;
  static constexpr int32_t kOwnerKey = 381;
  static constexpr int32_t kPagesKey = 382;
  static constexpr int32_t kTextKey = 385;
  static constexpr int32_t kFaceNameKey = 386;
  static constexpr int32_t kCharacterSetKey = 387;
  static constexpr int32_t kStyleKey = 388;
  static constexpr int32_t kPointSizeKey = 390;
  static constexpr int32_t kWidthKey = 392;
  static constexpr int32_t kAngleModeKey = 393;
  static constexpr int32_t kCustomAngleKey = 394;
  static constexpr int32_t kPlacement1Key = 396;
  static constexpr int32_t kPlacement2Key = 397;
  static constexpr int32_t kRedKey = 398;
  static constexpr int32_t kGreenKey = 399;
  static constexpr int32_t kBlueKey = 400;
  static constexpr int32_t kLightnessKey = 403;
  // The medium in a page state.
  static constexpr int32_t kPageMediumKey = 259;

  // Which pages get a watermark.
  enum Mode : int32_t { kOff = 0, kFirstPage = 1, kEveryPage = 2 };

  GWatermarkFilter() = default;
  GWatermarkFilter(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key)
      : GPeripheral(name, initialState, configuration, key, 0, 6, 2) {}
  // The stage part only; the copy starts without a job.
  GWatermarkFilter(const GWatermarkFilter& other) : GPeripheral(other) {}

  RWCollectable* NewInstance() const override { return new GWatermarkFilter; }
  RWCollectable* Clone() const override { return new GWatermarkFilter(*this); }
  RWClassID ClassID() const override { return kGWatermarkFilterClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGWatermarkFilterClassID || GPeripheral::IsKindOf(id); }

  GCommand* ProcessCommand(GCommand* command) override { return GPeripheral::ProcessCommand(command); }
  GCommand* ProcessComposite(GCommand* composite) override { return GPeripheral::ProcessComposite(composite); }
  // Page starts and ends are the filter's own; every other command goes to
  // its handler.
  GCommand* HandleCommand(GCommand* command) override;
  void PutAttribute(GAttribute*) override {}
  void ApplyChangedAttributes(int32_t) override {}
  uint32_t GetEmulatedFeatures() override { return 0; }

  // Reads the description and decides the mode; off switches the filter
  // off for the job. 0.
  uint16_t DocumentStart(GDocumentStart& start) override;
  // Both end the job's watermark without moving the job phase. 0.
  uint16_t DocumentEnd(GDocumentEnd& end) override;
  uint16_t JobAbort(GJobAbort& abort) override;

  // The colour of the watermark from the lightness and the three on/off
  // components: each component that is on is full, each that is off takes
  // the lightness (255 counts as 232); all on counts as all off. A
  // greyscale job takes the lightness in every component.
  void AdjustColor(int16_t lightness, int16_t& red, int16_t& green, int16_t& blue) const;

  Mode GetMode() const { return mode_; }
  bool IsActive() const { return active_ != 0; }
  const GWatermarkDescription& Description() const { return description_; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // Decides the mode from the description (null: off) and reads it when
  // the filter draws.
  void Configure(MPersistentObject* description);
  void ReadSettings(MPersistentObject& description);
  // Asks the device for the graphic of the page medium.
  void DrawWatermark();
  void ReleaseFont();
  void ResetWatermark();
  // Whether the page counted last gets a watermark.
  bool PageWanted() const;
  void KeepMedium(GState* pageState);
  GCommand* PrecedeByWatermark(GCommand* pageEnd);
  // Forgets everything of the job.
  void ClearJob();

  GGraphicsDevice* device_ = nullptr;
  int32_t pageCounter_ = 0;
  Mode mode_ = kOff;
  int32_t active_ = 0;
  GObjectRef pendingGraphic_;
  GObjectRef pageMedium_;
  GObjectRef nextMedium_;
  GWatermarkDescription description_;
  uint32_t font_ = 0;
  int32_t fontExtent_ = 0;
};
