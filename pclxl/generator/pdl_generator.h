#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "device/driver/font_escape_check.h"
#include "foundation/rw_cstring.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/paint.h"
#include "graphics/fonts/downloaded_font_cache.h"
#include "graphics/fonts/downloaded_font_owner.h"
#include "graphics/fonts/glyph_code_mapper.h"
#include "model/objects/object_ref.h"
#include "pclxl/generator/generator_output.h"
#include "pclxl/generator/printer_memory_budget.h"
#include "pipeline/peripheral_composite.h"

class GDeviceFontDescription;
class GDeviceFontListComposite;
class GFont;
class MAssociationList;
struct GDeviceFontRequest;
class GGraphicsDevice;

// The base of the page-description generators, the stage at the end of the
// printer's chain that turns commands into a printer language. It keeps
// what every language shares:
// - whether a job is open and whether scan lines are being sent;
// - the open-path depth and the clip-definition flag, by which a drawing
//   operation knows whether it starts and paints its own path or adds to
//   one being sent;
// - the two font objects of the language (the downloaded-font cache and
//   the glyph-code mapper), which the language's class makes and this base
//   deletes;
// - the printer's font list and the printer-memory budget that downloaded
//   fonts consume;
// - the job's output channel, taken at document start as every writing
//   stage takes it, and the GGeneratorOutput through which the language's
//   bytes reach it (whose pending status and output-ok flag each language
//   stores among its own fields).
// Its children are stages installed in front of the language (add-ons):
// they see the page and document ends before the generator and every other
// command after it.
//
// A generator is also what the paints apply themselves to and what the
// user-interface side asks about font selection texts.
//
// Stored part after the composite's: version 1, the job flag, the
// scan-line flag (32-bit each), the path depth (16-bit) and the
// clip-definition flag (32-bit). Nothing else is stored; a restore deletes
// the font objects, which the language's restore makes anew.
class GPDLGenerator : public GPeripheralComposite,
                      public GPaintTarget,
                      public GFontEscapeCheck,
                      public GDownloadedFontOwner {
 public:
  // Configuration keys the base reads: the printer's font memory in units
  // of kMemoryUnit bytes, and the printer's font list.
  static constexpr int32_t kMemoryLimitKey = 202;
  static constexpr int32_t kDeviceFontListKey = 414;
  static constexpr uint32_t kMemoryUnit = 10485;

  // Raster-operation codes of the mix modes 1 to 16.
  using FontCodeTable = std::array<uint16_t, 16>;
  static constexpr FontCodeTable kMixModeCodes = {0, 5, 10, 15, 80, 85, 90, 95, 160, 165, 170, 175, 240, 245, 252, 255};

  ~GPDLGenerator() override;

  bool IsKindOf(RWClassID id) const override {
    return id == kGPDLGeneratorClassID || GPeripheralComposite::IsKindOf(id);
  }
  // The composite's answer, and equal flags, path depths and progress.
  bool SameContent(const MPersistentObject& other) const override;

  // Document and page ends reach the children first and this generator
  // after them; every other command reaches this generator first and the
  // children only when it answered 0. A nonzero answer of this generator
  // becomes an error command carrying it and the command. An error or a
  // no-op, whether it comes in or a child answers it, passes on untouched.
  GCommand* ProcessCommand(GCommand* command) override;

  // The attribute handlers' answers are dropped by the caller, so a write
  // that fails meanwhile stays pending: the command's own handler, or the
  // next operation that answers the status, reports it.
  void ApplyChangedAttributes(int32_t key) override;
  // Rebuilds the configuration and shares one initial and one current
  // state with the children, then tells the parents.
  void NotifyChanged(GPeripheral* changed) override;

  // Opens the job: takes the job's output channel and the graphics device,
  // and sets the memory budget from the configuration. Answers 0,
  // kNoOutputChannel or the channel's answer to Open.
  uint16_t DocumentStart(GDocumentStart& start) override;
  // The languages call this first and stop on a nonzero answer.
  uint16_t PageStart(GPageStart& start) override;
  // Text settings send nothing to a printer language.
  uint16_t ApplyStringAttribute(GStringAttribute& attribute) override;

  // The memory budget's release and consume; both answer the bytes left.
  uint32_t ReleaseMemory(uint32_t bytes) override;
  uint32_t ConsumeMemory(uint32_t bytes) override;
  // Removes a downloaded font from the printer.
  uint16_t DeleteFont(const RWCString& fontName) override = 0;
  // The paints, which each language sends its own way.
  uint16_t SetPenPaint(GPaint& paint) override = 0;
  uint16_t SetPenColor(GColorPaint& paint) override = 0;
  uint16_t SetBrushPaint(GPaint& paint) override = 0;
  uint16_t SetBrushColor(GColorPaint& paint) override = 0;
  // What the printer can do with a font, as a mask of the language's; the
  // base answers 1.
  virtual int32_t GetFontCapabilities(const GFont& font);
  // Looks for a printer font that serves the request (which also carries
  // what a match hands out), under the request kind and the code mode. The
  // base matches nothing: code 0, no printer font, answer 1.
  virtual int32_t MatchDeviceFont(GDeviceFontRequest& request, int32_t kind, int32_t codeMode, uint16_t& code);
  // The raster-operation code of a mix mode, from the language's table.
  virtual uint16_t LookupFontCode(int32_t mixMode);
  // Whether a font's selection text can be sent; the base says no.
  int32_t IsFontEscapeUsable(const RWCString& selection) override;

  // The printer's font list (configuration key 414), or a new empty list
  // when the configuration has none; it becomes the list in use.
  GDeviceFontListComposite* GetDeviceFontList();
  GDeviceFontListComposite* DeviceFontListInUse() const;

  bool IsInPath() const { return pathDepth_ > 0; }
  bool IsDefiningClip() const { return definingClip_; }
  void SetDefiningClip(bool defining) { definingClip_ = defining; }
  bool IsInJob() const { return inJob_; }
  bool IsInScanLines() const { return inScanLines_; }
  bool IsProgressOn() const { return progress_; }
  int16_t PathDepth() const { return pathDepth_; }

  GGraphicsDevice* GetGraphicsDevice() const { return device_; }
  GPrinterMemoryBudget& MemoryBudget() { return budget_; }
  const GPrinterMemoryBudget& MemoryBudget() const { return budget_; }
  GDownloadedFontCache* DownloadedFontCache() const { return fontCache_.get(); }
  // The way of the language's bytes into the job's output channel.
  GGeneratorOutput& Output() { return output_; }
  const GGeneratorOutput& Output() const { return output_; }
  // The pending status, cleared; 0 while the attributes of a command are
  // being applied (see ApplyChangedAttributes).
  uint16_t TakeStatus() { return applyingAttributes_ ? 0 : output_.TakeStatus(); }
  GGlyphCodeMapper* GlyphCodeMapper() const { return glyphMapper_.get(); }

 protected:
  GPDLGenerator() = default;
  GPDLGenerator(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
                int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode);
  // Takes the flags, the path depth, progress and the output's pending
  // status and output-ok flag; starts with no font
  // objects, zeroed counters, no device, no font list in use and a fresh
  // budget.
  GPDLGenerator(const GPDLGenerator& other);
  // As the copy; the font objects held are deleted.
  GPDLGenerator& operator=(const GPDLGenerator& other);

  void Fields(GFieldArchive& archive) override;

  // The raster-operation code of a mix mode 1 to 16 in a table; other
  // numbers wrap into the table.
  static uint16_t LookupIn(const FontCodeTable& table, int32_t mixMode);

  // The font queries' answers that the languages share. A match request
  // starts from its kind's answer: 32 for kind 0, 48 for kinds 1 and 2,
  // and for any other kind kNoDeviceFontSearch, which the languages answer
  // at once without looking at the printer's fonts. A printer font found
  // replaces the answer with kDeviceFontFound, or kDimmFontFound when the
  // font sits on a font DIMM (locations 4 to 7).
  static constexpr int32_t kNoDeviceFontSearch = 4;
  static constexpr int32_t kDeviceFontFound = 8;
  static constexpr int32_t kDimmFontFound = 72;
  static int32_t MatchRequestAnswer(int32_t kind);
  static int32_t DeviceFontFoundAnswer(const GDeviceFontDescription& found);

  // The languages' own state changes.
  void SetInJob(bool inJob) { inJob_ = inJob; }
  void SetInScanLines(bool inScanLines) { inScanLines_ = inScanLines; }
  void EnterPath() { ++pathDepth_; }
  void LeavePath() {
    if (pathDepth_ > 0) --pathDepth_;
  }
  void ResetPathDepth() { pathDepth_ = 0; }
  void SetDownloadedFontCache(std::unique_ptr<GDownloadedFontCache> cache) { fontCache_ = std::move(cache); }
  void SetGlyphCodeMapper(std::unique_ptr<GGlyphCodeMapper> mapper) { glyphMapper_ = std::move(mapper); }
  // A full buffer of the language's stream, to the job's channel while
  // output is ok, with checkpoints while progress is on.
  void WriteOutput(const uint8_t* bytes, uint32_t count) {
    output_.Write(OutputChannel(), bytes, count, IsProgressOn());
  }
  // Three numbers the languages keep for their font bookkeeping.
  std::array<int32_t, 3>& FontCounters() { return fontCounters_; }

  // What the languages share of reading the settings and of a job's frame.
  //
  // The value object of the association whose key object is a value
  // attribute of key 0 holding number (a tray or size map).
  static MPersistentObject* FindMappedValue(MAssociationList* map, int16_t number);
  // The job's resolution from group 249 (323 and 324); 600 x 600 unless
  // both are there.
  void ReadJobResolution(uint16_t& x, uint16_t& y);
  // The dither matrices of the configuration (key 330) to choose from.
  std::vector<GObjectRef> ConfiguredDitherMatrices();
  // Job setting 986 holds printer commands outside the language (job-control
  // lines or the maker's own escapes) that must reach the printer as they
  // stand: after flush has emptied the language's stream, each text goes
  // to the channel byte for byte.
  void WriteRawJobStrings(const std::function<void()>& flush);
  // A page starts from the job's initial graphic state, and the page's own
  // transform counts as changed so that it is applied before the page's
  // first drawing. Answers the graphic state (null without one).
  GState* TakeInitialGraphicState();
  // The x and y scale of the transform in the current graphic state; a
  // missing transform or a zero factor counts as 1, so that callers may
  // divide by it.
  GScale CurrentTransformScale();
  // After an abort: no job, no scan lines, no path, no clip being defined,
  // and the second and third font counters back to 0.
  void ForgetAbortedJob();

 private:
  // The limit from configuration key 202; without it (or with a negative
  // value, which no printer has) the limit stays.
  void ApplyMemoryLimit();
  // Forgets everything that a copy does not take.
  void ResetUncopied();

  GGeneratorOutput output_;
  bool applyingAttributes_ = false;
  bool inJob_ = false;
  bool inScanLines_ = false;
  std::unique_ptr<GDownloadedFontCache> fontCache_;
  std::unique_ptr<GGlyphCodeMapper> glyphMapper_;
  std::array<int32_t, 3> fontCounters_{};
  int16_t pathDepth_ = 0;
  bool definingClip_ = false;
  // Neither counted nor owned: the device outlives its job.
  GGraphicsDevice* device_ = nullptr;
  GObjectRef deviceFontList_;
  GPrinterMemoryBudget budget_;
  bool progress_ = true;
};
