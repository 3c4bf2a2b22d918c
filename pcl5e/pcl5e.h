#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "device/media/media.h"
#include "foundation/rw_cstring.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/palette_table.h"
#include "graphics/point.h"
#include "graphics/rectangle.h"
#include "model/objects/object_ref.h"
#include "pcl5e/pcl_formatter.h"
#include "pcl5e/pcl_out_stream.h"
#include "pclxl/generator/generator_output.h"
#include "pclxl/generator/pdl_generator.h"

class GDitherMatrix;

// The PCL 5e generator: the last stage of the printer's chain, which turns
// the commands of a job into PCL 5e with HP-GL/2 vector graphics. Its bytes
// go through one 8,192-byte stream (the templates of pcl_templates.h are
// expanded into it by the formatter) and reach the job's output channel
// through GGeneratorOutput, so that the first refused write is answered
// once and stops the job's output.
//
// The operations are spread over files by what they do: the frame of a job
// (the object, its stored form, document, page and job operations, the page
// set-up from the media settings, pass-through data) here in pcl5e.cpp,
// the switch between the PCL and GL/2 contexts with the state each side
// restores in pcl5e_contexts.cpp, the graphic attributes in
// pcl5e_attributes.cpp. Vectors, raster, pens and fills, soft fonts and
// text come in files of their own.
//
// The printer keeps two contexts: PCL (cursor, raster, fonts, page set-up)
// and GL/2 (vectors). Each side has state that the other side changes
// under it; the dirty bits record what must be sent again on return:
// - PCL side (sent when GL/2 is left): kPclSourceTransparency,
//   kPclPatternTransparency, kPclLogicalOperation;
// - GL/2 side (sent when GL/2 is entered): kGl2Transparency,
//   kGl2MergeControl, kGl2InputWindow.
//
// Settings are read by key, depth first: the job's (246) at document start,
// the page's (256) at page start. Configuration lists read here:
// - 85, the tray map: an association list from a value attribute of key 0
//   holding the tray to a value attribute holding the printer's code;
// - 192, the paper-size table: from a value attribute of key 0 holding the
//   size id to a selection string whose text is the size command (a
//   template) and whose value is below 0x4000 for a standard size;
// - 196, the media-type list: children whose key text names the type and
//   whose value is its code;
// - 189, the media table, for the largest medium of the registration;
// - 330, the dither matrices; 112/136, the capability bits.
//
// Stored part after the generator base's: version 1, the pattern id
// (16-bit), the pending status (16-bit), the output-ok flag (32-bit), the x
// and y resolution (16-bit each) and the two colour models (32-bit each).
class GPcl5e : public GPDLGenerator, private GPclStreamSink {
 public:
  static constexpr int32_t kStreamBufferSize = 8192;
  static constexpr uint16_t kDefaultResolution = 600;
  // Pass-through data for this language carries this target.
  static constexpr uint16_t kPassThroughTarget = 788;

  // PCL dirty bits.
  static constexpr uint32_t kPclSourceTransparency = 1U << 0;
  static constexpr uint32_t kPclPatternTransparency = 1U << 1;
  static constexpr uint32_t kPclLogicalOperation = 1U << 2;
  // GL/2 dirty bits; bit 0 of an EnterGL2 mask asks for a transparent
  // source first.
  static constexpr uint32_t kGl2SourceTransparent = 1U << 0;
  static constexpr uint32_t kGl2Transparency = 1U << 1;
  static constexpr uint32_t kGl2MergeControl = 1U << 2;
  static constexpr uint32_t kGl2InputWindow = 1U << 3;

  // Drawing flags.
  static constexpr uint32_t kPenSet = 1U << 0;
  static constexpr uint32_t kBrushSet = 1U << 1;

  // Clip modes.
  static constexpr int32_t kNoClip = 0;
  static constexpr int32_t kRectangleClip = 1;
  static constexpr int32_t kOtherClip = 2;

  // Capability bits (configuration 112/136) this generator keeps.
  enum Capability : uint32_t {
    kFontCapability = 0,
    kPatternPenCapability = 1,
    kMergeControlCapability = 2,
    kSwappedLandscapeCapability = 3,
    kNoCentringCapability = 4,
    kRectangleFormCapability = 8,
    kCustomPaperACapability = 9,
    kCustomPaperCommandCapability = 10,
    kNoDuplexCommandCapability = 11,
  };

  // The palette ids; kNoPalette means none was selected on this page.
  static constexpr uint8_t kNoPalette = 10;
  static constexpr uint8_t kUnknownPen = 255;

  // Pens and fills last sent: kept by the pen and fill code, forgotten at
  // every page start.
  struct PenFillCache {
    uint8_t currentPen = kUnknownPen;
    int16_t lastFillType = -1;
    int16_t lastPenWidth = -1;
    bool dashedLine = false;
    // Red, green, blue and the palette they were sent under.
    std::array<uint8_t, 4> penColour{};
    std::array<uint8_t, 4> fillColour{};
    bool gl2FillSent = false;
    bool pclFillSent = false;
  };

  // The font selection last sent; reset at page start and document end.
  struct TextState {
    RWCString fontName = RWCString("No Font");
    int32_t fontId = 0;
    float height = 0;
    int16_t symbolSet = 0;
    int16_t vertical = 0;
    float labelAngle = 0;
    float scaleX = 1;
    float scaleY = 1;
    bool syntheticItalic = false;
    bool syntheticBold = false;
    int8_t textPath = 0;
    int16_t selectedFontId = -1;
  };

  GPcl5e();
  GPcl5e(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key, int32_t addOnListKey,
         int32_t addOnKind, int32_t addOnMode);
  // The copy gets its own new stream and no current medium.
  GPcl5e(const GPcl5e& other);
  GPcl5e& operator=(const GPcl5e& other);
  ~GPcl5e() override;

  RWCollectable* NewInstance() const override { return new GPcl5e; }
  RWCollectable* Clone() const override { return new GPcl5e(*this); }
  RWClassID ClassID() const override { return kGPcl5eClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPcl5eClassID || GPDLGenerator::IsKindOf(id); }
  // The generator base's answer, equal pattern ids, colour models and
  // recorded cursor positions.
  bool SameContent(const MPersistentObject& other) const override;
  uint16_t SendTo(GPeripheral& target) override;
  // The composite's reset, then every field of the job to its reset value.
  void ResetJob() override;

  uint16_t DocumentStart(GDocumentStart& start) override;
  uint16_t DocumentEnd(GDocumentEnd& end) override;
  uint16_t PadOutput(GCommand& command) override;
  uint16_t PageStart(GPageStart& start) override;
  uint16_t PageEnd(GPageEnd& end) override;
  uint16_t JobAbort(GJobAbort& abort) override;
  uint16_t PassThrough(GPassThroughCommand& data) override;

  // Graphic attributes (pcl5e_attributes.cpp). Each answers the pending
  // status.
  uint16_t ApplyBrush(GBrush& brush) override;
  uint16_t ApplyNoBrush(GNoBrush& brush) override;
  uint16_t ApplyNoPen(GNoPen& pen) override;
  uint16_t ApplyPen(GPen& pen) override;
  uint16_t ApplyDashedPen(GDashedPen& pen) override;
  uint16_t ApplyCap(GCap& cap) override;
  uint16_t ApplyJoint(GJoint& joint) override;
  uint16_t ApplyMiterJoint(GMiterJoint& joint) override;
  uint16_t ApplyFillMode(GFillMode& mode) override;
  // Clips are kept and sent as the GL/2 input window on the next entry.
  uint16_t ApplyClipToPage(GClipToPage& clip) override;
  uint16_t ApplyClipToRectangle(GClipToRectangle& clip) override;
  uint16_t ApplyClipToSingleRectangle(GClipToSingleRectangle& clip) override;
  uint16_t ApplyClipToPath(GClipToPath& clip) override;
  uint16_t ApplyValueAttribute(GValueAttribute& attribute) override;
  uint16_t ApplyStringAttribute(GStringAttribute& attribute) override;
  uint16_t ApplyRangeAttribute(GRangeAttribute& attribute) override;
  uint16_t ApplyEnumAttribute(GEnumAttribute& attribute) override;
  uint16_t ApplyTransform(GTransformAttribute& transform) override;
  int32_t IsFontEscapeUsable(const RWCString& selection) override;

  // The paints and font removal belong to the pen-and-fill and soft-font
  // code; until it is in, they send nothing and answer the pending status.
  uint16_t SetPenPaint(GPaint& paint) override;
  uint16_t SetPenColor(GColorPaint& paint) override;
  uint16_t SetBrushPaint(GPaint& paint) override;
  uint16_t SetBrushColor(GColorPaint& paint) override;
  uint16_t DeleteFont(const RWCString& fontName) override;

  // Contexts (pcl5e_contexts.cpp). EnterGL2 sends the set-up when it is due
  // and the GL/2 state of mask that is dirty; LeaveGL2 the PCL state of mask
  // that is dirty, and with resetSetup makes the next entry send the set-up
  // again. SetGL2Mode: 0 leaves, 1 enters with no state, others nothing.
  void EnterGL2(uint32_t mask);
  void LeaveGL2(uint32_t mask, bool resetSetup);
  void SetGL2Mode(int32_t mode);
  void SetSourceTransparency(int32_t flag);
  void SetPatternTransparency(int32_t flag);
  void SelectPalette(uint8_t id);
  void SetOrientation(uint8_t code);
  // Moves the PCL cursor; an axis that is forced, or whose position is
  // unknown, is sent even when it seems unchanged.
  void SetCursor(int16_t x, int16_t y, bool forceX, bool forceY);
  // The same decision written into buffer at position, which advances.
  void FormatCursor(int16_t x, int16_t y, bool forceX, bool forceY, std::vector<uint8_t>& buffer, size_t& position);
  // The GL/2 pen width of a line dots wide; a width of 0 is the thinnest
  // line, one dot.
  void SetPenWidth(int16_t dots);
  void SetRotation(int16_t angle);
  // The scale of the current transform, each factor 1 when absent or 0.
  GScale GetTransformScale() { return CurrentTransformScale(); }
  struct Placement {
    GScale scale;
    GPoint offset;
    int16_t angle = 0;
  };
  // The current transform with its offset turned into page coordinates.
  Placement GetTransformPlacement();

  // Expands a template with parameters 'A', 'B', ... in order.
  void Send(std::string_view text, std::initializer_list<int32_t> parameters = {});
  void SendBytes(std::string_view bytes);
  // The stream's contents go to the channel now.
  void FlushStream();

  // What the other operations of the generator share.
  PclOutStream* Stream() const { return stream_.get(); }
  bool HasCapability(Capability bit) const { return (capabilities_ & (1U << bit)) != 0; }
  bool InGL2() const { return gl2Active_; }
  bool IsGL2SetUp() const { return gl2SetUp_; }
  uint32_t PclDirty() const { return pclDirty_; }
  uint32_t Gl2Dirty() const { return gl2Dirty_; }
  uint32_t DrawingFlags() const { return drawingFlags_; }
  uint8_t FillRule() const { return fillRule_; }
  int32_t ClipMode() const { return clipMode_; }
  const GRectangle& ClipRectangle() const { return clipRectangle_; }
  uint16_t XResolution() const { return xResolution_; }
  uint16_t YResolution() const { return yResolution_; }
  int16_t PageCounter() const { return pageCounter_; }
  int16_t DuplexValue() const { return duplexValue_; }
  uint16_t Copies() const { return copies_; }
  GMedia* CurrentMedia() const { return currentMedia_; }
  GDitherMatrix* DitherMatrix() const { return ditherMatrix_; }
  int16_t CursorX() const { return cursorX_; }
  int16_t CursorY() const { return cursorY_; }
  PenFillCache& PenFill() { return penFill_; }
  TextState& Text() { return textState_; }
  void ResetTextState() { textState_ = TextState(); }
  GPaletteTable& Palette() { return palette_; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t Flush(GBufferedOutStream& stream, uint32_t context, const uint8_t* bytes, int32_t count) override;
  void NewStream();
  void CopyOwnFields(const GPcl5e& other);
  void ResetFields();
  void ReadDeviceCapabilities();
  // Each axis decides whether it is sent; see SetCursor.
  bool CursorAxisDiffers(int16_t value, int16_t& recorded, bool& unknown, bool force);
  std::string CursorCommand(int16_t x, int16_t y, bool forceX, bool forceY);
  void ComposeGl2State(uint32_t mask, std::string& text);

  GState* JobSettings() { return FindStateFor(kDocumentStateKey); }
  GState* PageSettings() { return FindStateFor(kPageStateKey); }
  // Document start.
  void ReadJobSettings();
  void ChooseDitherMatrix();
  // Page start, in the order the printer wants the page set-up.
  void ResetPageCaches(uint8_t orientation);
  void SendDuplexMode();
  void SendPaperSource();
  // Answers whether the page's size is a custom one.
  // Answers whether the page's size is a custom one; a printer that turns
  // custom pages may change the orientation.
  bool SendMedia(uint8_t& orientation);
  void SendMediaType(const GMedia& media);
  void SendCustomMargins(const GMedia& media, uint8_t orientation);
  void SendRegistration(uint8_t orientation);
  const GMedia* LargestMedia(int16_t degrees);
  void SendPageFrame(bool custom, uint8_t orientation);
  void SendBackSideRegistration(uint8_t orientation);
  int32_t PatternWidth() const;

  uint32_t pclDirty_ = 0;
  uint32_t gl2Dirty_ = 0;
  std::unique_ptr<PclOutStream> stream_;
  GPclFormatter formatter_;
  bool gl2Active_ = false;
  bool gl2SetUp_ = false;
  bool transformScalingSent_ = false;
  uint32_t drawingFlags_ = kPenSet;
  uint8_t fillRule_ = 0;
  uint16_t logicalOperation_ = 240;
  int32_t patternTransparency_ = 1;
  int32_t sourceTransparency_ = 1;
  int32_t clipMode_ = kNoClip;
  int32_t sentClipMode_ = kNoClip;
  GRectangle clipRectangle_;
  int32_t edgeColourMode_ = 3;
  int32_t fillColourMode_ = 3;
  int16_t sentPaperSize_ = -1;
  int16_t pageCounter_ = -1;
  int16_t duplexValue_ = -1;
  bool logicalPage_ = false;
  uint32_t capabilities_ = 0;
  uint8_t selectedPalette_ = kNoPalette;
  uint8_t programmedPalette_ = kNoPalette;
  GPaletteTable palette_;
  PenFillCache penFill_;
  int16_t patternId_ = 1;
  uint8_t sentOrientation_ = 0;
  int16_t sentRotation_ = -1;
  bool cursorXUnknown_ = true;
  bool cursorYUnknown_ = true;
  GMedia* currentMedia_ = nullptr;
  GMedia rotatedMedia_;
  uint16_t xResolution_ = kDefaultResolution;
  uint16_t yResolution_ = kDefaultResolution;
  int32_t colourModel_ = 2;
  int32_t secondColourModel_ = 2;
  int32_t deviceColourLevel_ = 2;
  bool patternSetting_ = false;
  bool halftoneSetting_ = false;
  int16_t imageTreatment_ = 0;
  GDitherMatrix* ditherMatrix_ = nullptr;
  // The negated copy of the shared matrix that an inverted-grey job uses.
  GObjectRef ownMatrix_;
  GScale transformScale_;
  int16_t cursorX_ = 0;
  int16_t cursorY_ = 0;
  int16_t sentPaperSource_ = -1;
  std::string mediaTypeName_;
  TextState textState_;
  uint16_t copies_ = 1;
  // The last polygon sent outside a filled figure.
  GObjectRef keptPolygon_;
};
