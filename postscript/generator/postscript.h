#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "pclxl/generator/generator_output.h"
#include "pclxl/generator/pdl_generator.h"
#include "postscript/library/pslib_context.h"

class GDitherMatrix;
class GMedia;

// The PostScript Level 2 generator: the last stage of the printer's chain
// when the printer holds it as its generator. Document, page, job and
// pass-through commands become the structured document that its output
// context writes (header, prolog, setup, pages, trailer); the context's
// full buffers, and its flushes at every page end, document end, abort and
// before pass-through data, reach the job's output channel through
// GGeneratorOutput, so that the first refused write is answered once and
// stops the job's output.
//
// Raw mode (job setting 600 not 0) writes no document structure: no
// title, header, page setup or trailer, and pass-through data goes to the
// channel as it stands, for applications that write their own PostScript.
//
// Settings read at document start, from the job's settings (246): 247
// copies, 248 output bin, 249 with 323/324 the resolution, 250 and 325
// the rendering enhancements, 252 economy mode, 253 duplex, 277 patterns,
// 296 grey, 442 extended print area, 570 TrueType download format, 571
// device-font filter, 574 binary data, 575 mirror, 576 negative, 577 and
// 578 Ctrl-D around the job, 580 ASCII85 data, 581 error handler, 582 to
// 584 halftone screen, 600 raw mode, 605 and 608 set-up strings. Page
// settings (256): 257 copies, 258 tray, 259 medium, 265 orientation, 954
// rotated media. Configuration: 85 tray map (tray to media position), 192
// size table, 330 dither matrices, 533/537 and 607/609 text tables.
//
// Stored part after the generator base's: version 1, option A (16-bit),
// the pending status (16-bit), the output-ok flag (32-bit), the x and y
// resolution (16-bit each) and the colour flag (32-bit).
class GPostScript : public GPDLGenerator, private PSLIBSink {
 public:
  static constexpr int16_t kDefaultResolution = 600;
  // Letter, in points, when the page names no medium.
  static constexpr int16_t kDefaultPageWidth = 612;
  static constexpr int16_t kDefaultPageHeight = 792;
  // The coordinate modes: none yet, device dots with y down, application
  // points with y up.
  static constexpr int32_t kNoCoordinates = 0;
  static constexpr int32_t kDeviceCoordinates = 1;
  static constexpr int32_t kApplicationCoordinates = 2;
  // TrueType download formats: Type 1 built from the outlines, Type 3,
  // Type 42.
  static constexpr uint16_t kType1Download = 1;
  static constexpr uint16_t kType3Download = 2;
  static constexpr uint16_t kType42Download = 8;
  // Image scaling: as the image is, or dithered with the dither entry.
  static constexpr int32_t kPlainScaling = 0;
  static constexpr int32_t kDitheredScaling = 2;

  // What the text output keeps of the page's font selection.
  struct PageFontRecord {
    std::string name;
    std::array<int32_t, 2> counters{};
    float scaleX = 1;
    float scaleY = 1;
    bool bold = false;
    bool italic = false;
  };

  GPostScript();
  GPostScript(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
              int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode);
  // A new output context; the settings-derived fields are copied, the
  // job's own state (current medium, raw mode, application flags,
  // coordinate mode) is not.
  GPostScript(const GPostScript& other);
  // As the copy; a channel the stage opened itself is deleted.
  GPostScript& operator=(const GPostScript& other);
  ~GPostScript() override;

  RWCollectable* NewInstance() const override { return new GPostScript; }
  RWCollectable* Clone() const override { return new GPostScript(*this); }
  RWClassID ClassID() const override { return kGPostScriptClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPostScriptClassID || GPDLGenerator::IsKindOf(id); }
  // The generator base's answer and equal option A, colour flags and
  // current points.
  bool SameContent(const MPersistentObject& other) const override;
  uint16_t SendTo(GPeripheral& target) override;
  // The composite's reset, a fresh output context, and the job's own
  // state cleared.
  void ResetJob() override;

  uint16_t DocumentStart(GDocumentStart& start) override;
  uint16_t DocumentEnd(GDocumentEnd& end) override;
  uint16_t PageStart(GPageStart& start) override;
  uint16_t PageEnd(GPageEnd& end) override;
  uint16_t JobAbort(GJobAbort& abort) override;
  // Only data meant for this generator (target 768) is taken. Answers the
  // write's status; the pending status stays for the next operation.
  uint16_t PassThrough(GPassThroughCommand& data) override;
  // Selector 19 sends the drawing procedures again; any other makes sure
  // they were sent, with the font procedures in raw mode.
  uint16_t DownloadHeader(GDownloadHeaderCommand& command) override;

  // Fonts and paints are written with the drawing and text output, which
  // this generator does not have yet: these write nothing and answer the
  // pending status.
  uint16_t DeleteFont(const RWCString& fontName) override;
  uint16_t SetPenPaint(GPaint& paint) override;
  uint16_t SetPenColor(GColorPaint& paint) override;
  uint16_t SetBrushPaint(GPaint& paint) override;
  uint16_t SetBrushColor(GColorPaint& paint) override;

  // The scaling of images: dithered with the dither entry for grey jobs
  // below 1200 dots per inch that have one, plain otherwise.
  int32_t ImageScalingMode() const;

  // What the drawing, image and font output share.
  PSLIBContext& Context() { return *context_; }
  const PSLIBContext& Context() const { return *context_; }
  int16_t OptionA() const { return optionA_; }
  int16_t XResolution() const { return xResolution_; }
  int16_t YResolution() const { return yResolution_; }
  bool IsColour() const { return colour_; }
  bool UsesPatterns() const { return patterns_; }
  bool IsEnhancedResolution() const { return enhancedResolution_; }
  uint16_t CompressionOption() const { return compression_; }
  GDitherMatrix* DitherEntry() const { return ditherEntry_; }
  GMedia* CurrentMedia() const { return currentMedia_; }
  int32_t RawMode() const { return rawMode_; }
  int32_t CoordinateMode() const { return coordinateMode_; }
  bool IsOriginTranslated() const { return originTranslated_; }
  bool HasAppFlag0() const { return appFlag0_; }
  bool HasAppFlag30() const { return appFlag30_; }
  int32_t PageCount() const { return pageCount_; }
  bool IsHeaderPending() const { return headerPending_; }
  bool FontProceduresSent() const { return type3ProceduresSent_ && type42ProceduresSent_; }
  uint16_t TrueTypeDownloadFormat() const { return trueTypeFormat_; }
  uint16_t DeviceFontFilter() const { return deviceFontFilter_; }
  bool FontNumberingStarted() const { return fontNumbering_; }
  int32_t HighestFontId() const { return highestFontId_; }
  PageFontRecord& PageFont() { return pageFont_; }
  int16_t CurrentPointX() const { return currentX_; }
  int16_t CurrentPointY() const { return currentY_; }
  void SetCurrentPoint(int16_t x, int16_t y) {
    currentX_ = x;
    currentY_ = y;
  }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  void Write(const uint8_t* bytes, uint32_t count) override;
  void CopyOwnFields(const GPostScript& other);
  // The job's own state, which neither a copy nor a new job keeps.
  void ClearJobState();

  GState* JobSettings() { return FindStateFor(kDocumentStateKey); }
  GState* PageSettings() { return FindStateFor(kPageStateKey); }
  // Document start.
  void ReadAppFlags();
  void ReadOutputSettings();
  void ReadDataSettings();
  void ReadFontSettings();
  void ReadPageDeviceSettings();
  void ChooseDitherEntry();
  // Page start, in the order the page device wants its entries.
  void ReadPageCopiesAndOrientation();
  void SelectMediaSource();
  // The current medium's size in points, or Letter without one.
  std::pair<int16_t, int16_t> SelectMedia();
  void SetPageSizeFor(std::pair<int16_t, int16_t> size);
  // Whether the size table lists the size as a standard sheet.
  bool IsStandardSize(int16_t sizeId);
  void SetColourStrings();
  void WriteHeaderIfPending();
  // The font procedures inside the drawing procedures' dictionary, once a
  // document.
  void SendFontProcedures(bool withEncodings);

  int16_t optionA_ = 1;
  GMedia* currentMedia_ = nullptr;
  int16_t xResolution_ = kDefaultResolution;
  int16_t yResolution_ = kDefaultResolution;
  bool colour_ = false;
  std::unique_ptr<PSLIBContext> context_;
  bool patterns_ = true;
  bool enhancedResolution_ = false;
  uint16_t compression_ = 1;
  GDitherMatrix* ditherEntry_ = nullptr;
  bool headerPending_ = false;
  int32_t pageCount_ = 0;
  bool appFlag0_ = false;
  bool appFlag30_ = false;
  int32_t coordinateMode_ = kNoCoordinates;
  bool originTranslated_ = false;
  int16_t currentX_ = 0;
  int16_t currentY_ = 0;
  int16_t lastMediaSource_ = -1;
  std::string lastMediaType_;
  uint16_t deviceFontFilter_ = 2;
  bool fontNumbering_ = false;
  uint16_t trueTypeFormat_ = kType1Download;
  int32_t highestFontId_ = -1;
  PageFontRecord pageFont_;
  int32_t rawMode_ = 0;
  bool type3ProceduresSent_ = false;
  bool type42ProceduresSent_ = false;
};
