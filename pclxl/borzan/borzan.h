#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "foundation/rw_cstring.h"
#include "graphics/bitmaps/bitmap.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/gray_conversion.h"
#include "graphics/point.h"
#include "pclxl/generator/generator_output.h"
#include "pclxl/generator/pdl_generator.h"
#include "pclxl/xl_stream.h"
#include "pclxl/xl_tags.h"

class GBorzanFontRef;
class GClip;
class GDeviceFontDescription;
class GDitherMatrix;
class GFont;
class GMedia;
class GTextString;
namespace xl_font {
struct CharRecord;
struct HeaderBlock;
}  // namespace xl_font

// The PCL XL generator: the last stage of the printer's chain, which turns
// every command it receives into PCL XL through one buffered stream. The
// operations are spread over files by what they do: the frame of a job
// here (the session and data source around the job, the page set-up from
// the media settings, pass-through data and padding), the colour treatment
// of pages, the graphic attributes, shapes and paths, raster output and
// fonts each in a borzan_*.cpp of their own. The stream's full buffers and
// the flushes at the fixed points (page end, document start and end,
// padding, pass-through) go to the job's output channel through
// GGeneratorOutput, so that the first refused write is answered once and
// stops the job's output.
//
// Settings are read by key, depth first, from the job sub-state (246), the
// page sub-state (256) and the configuration: where a key occurs more than
// once in a sub-state, the first node of that key in depth-first order is
// the one that counts. Job setting 325 (the halftone choice) is read that
// way too, so the dither-off flag and the dither matrix's third selector
// come from the same node.
//
// Configuration lists read here:
// - 85, the tray map: an association list whose key objects are value
//   attributes of key 0 holding a tray number, and whose value objects are
//   value attributes holding the printer's media-source number;
// - 192, the size map: an association list whose key objects are value
//   attributes of key 0 holding a size id, and whose value objects are
//   text attributes holding the format's standard media-size name
//   ("LETTER", "A4", ...), sent as it stands;
// - 330, the dither matrices the job's matrix is chosen from;
// - 561 and 562, the protocol class the printer understands.
//
// Stored part after the generator base's: version 1, the font-download
// flag and the pending status (16-bit each), the output-ok flag (32-bit),
// the x and y resolution (16-bit each) and the colour flag (32-bit).
class GBorzan : public GPDLGenerator, private XLFlushSink {
 public:
  static constexpr int32_t kStreamBufferSize = 8192;
  static constexpr uint16_t kDefaultResolution = 600;
  static constexpr uint16_t kNoMediaSource = 0xFFFF;
  static constexpr uint16_t kUnsetSide = 0xFFFF;
  // What the pen and the brush paint with: a colour, a pattern, a pattern
  // that lets the page show through, or nothing.
  static constexpr int32_t kColourSource = 0;
  static constexpr int32_t kPatternSource = 1;
  static constexpr int32_t kSeeThroughSource = 2;
  static constexpr int32_t kNoSource = 3;
  // The font selection after the selected font was removed: no font name
  // equals it.
  static constexpr const char* kNoFont = "No Font";

  // The font selection and text attributes last sent; the text operations
  // compare against them. Reset at every page start and document end.
  struct TextState {
    RWCString selection;
    float characterSize = 0;
    uint16_t symbolSet = 0;
    float boldValue = 0;
    float shearX = 0;
    float shearY = 0;
    float scaleX = 1;
    float scaleY = 1;
    float angle = 0;
    uint8_t subMode = 0;
    uint8_t writingMode = 0;

    bool operator==(const TextState&) const = default;
  };

  GBorzan();
  GBorzan(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key, int32_t addOnListKey,
          int32_t addOnKind, int32_t addOnMode);
  // A new stream; the settings-derived fields, the current point, the side
  // counter and the duplex value are copied, the current medium is not.
  GBorzan(const GBorzan& other);
  // As the copy; a channel the stage opened itself is deleted.
  GBorzan& operator=(const GBorzan& other);
  ~GBorzan() override;

  RWCollectable* NewInstance() const override { return new GBorzan; }
  RWCollectable* Clone() const override { return new GBorzan(*this); }
  RWClassID ClassID() const override { return kGBorzanClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGBorzanClassID || GPDLGenerator::IsKindOf(id); }
  // The generator base's answer and equal font-download flags, colour
  // flags and current points.
  bool SameContent(const MPersistentObject& other) const override;
  uint16_t SendTo(GPeripheral& target) override;
  // The composite's reset; the side counter and duplex value become unset.
  void ResetJob() override;

  uint16_t DocumentStart(GDocumentStart& start) override;
  uint16_t DocumentEnd(GDocumentEnd& end) override;
  uint16_t PadOutput(GCommand& command) override;
  uint16_t PageStart(GPageStart& start) override;
  uint16_t PageEnd(GPageEnd& end) override;
  uint16_t JobAbort(GJobAbort& abort) override;
  uint16_t PassThrough(GPassThroughCommand& data) override;

  // RemoveFont for the font; when it is the selected one, the next text
  // selects its font again.
  uint16_t DeleteFont(const RWCString& fontName) override;
  // 4, plus 16 for a font that can go out as outlines and 28 for one that
  // can go out as bitmaps; a bitmap font that a printer font serves answers
  // that printer font's answer instead.
  int32_t GetFontCapabilities(const GFont& font) override;
  // The request kind's answer; unless that stops the search, the first
  // printer font that serves the request becomes the request's printer
  // font and gives the answer and the code: under code mode 0 the symbol
  // set of the printer font's primary character set, under code mode 1
  // that of the request's own character set.
  int32_t MatchDeviceFont(GDeviceFontRequest& request, int32_t kind, int32_t codeMode, uint16_t& code) override;
  uint16_t LookupFontCode(int32_t mixMode) override;
  int32_t IsFontEscapeUsable(const RWCString& selection) override;

  // Graphic attributes: clips, line attributes, pens and brushes, the
  // printer's colour extensions and the page transform. Each clears the
  // changed flag of what it applied, so that it is sent once until it
  // changes, and answers the pending status.
  //
  // Clips. Exterior clipping is defined for even-odd regions only, so an
  // exterior clip always selects the even-odd clip mode; an interior clip
  // selects the mode of its fill rule, and a clip without one leaves the
  // mode as it is.
  uint16_t ApplyClipToPage(GClipToPage& clip) override;
  // The path is sent to this generator with the clip-definition flag set,
  // so that it builds the path without painting it.
  uint16_t ApplyClipToPath(GClipToPath& clip) override;
  // One rectangle as a clip rectangle; more as a path of rectangles. An
  // empty list clips to the empty rectangle at the origin, its bounds.
  uint16_t ApplyClipToRectangle(GClipToRectangle& clip) override;
  uint16_t ApplyClipToSingleRectangle(GClipToSingleRectangle& clip) override;
  // Line ends, corners and the fill rule; kinds the language lacks (and
  // the fill mode "not set") write nothing.
  uint16_t ApplyCap(GCap& cap) override;
  uint16_t ApplyJoint(GJoint& joint) override;
  uint16_t ApplyMiterJoint(GMiterJoint& joint) override;
  uint16_t ApplyFillMode(GFillMode& mode) override;
  // The line style and width, then the pen's paint, which applies itself
  // to this generator. Dash lists of 1 to 20 lengths are sent as dashes;
  // the format takes no other length, so other pens draw solid lines.
  uint16_t ApplyPen(GPen& pen) override;
  uint16_t ApplyDashedPen(GDashedPen& pen) override;
  uint16_t ApplyBrush(GBrush& brush) override;
  uint16_t ApplyNoPen(GNoPen& pen) override;
  uint16_t ApplyNoBrush(GNoBrush& brush) override;
  // A solid colour, preceded by its colour space: RGB for colour jobs,
  // the job's grey level otherwise. Each source sends its own colour space
  // because images change it between graphics.
  uint16_t SetPenColor(GColorPaint& paint) override;
  uint16_t SetBrushColor(GColorPaint& paint) override;
  // A paint's bitmap, sent as raster pattern 1 and selected; the null
  // source when the bitmap cannot be sent. A pattern that lets the page
  // show through paints with the see-through kind.
  uint16_t SetPenPaint(GPaint& paint) override;
  uint16_t SetBrushPaint(GPaint& paint) override;
  // The printer's own colour-map and halftone extensions with the device
  // code of the setting. A halftone spooled with the enhanced class is
  // sent as a plain one.
  uint16_t ApplyColorMap(GColorMap& map) override;
  uint16_t ApplyHalftone(GHalftone& halftone) override;
  uint16_t ApplyHalftoneEnhanced(GHalftoneEnhanced& halftone) override;
  // Moves, turns and scales the page from its default position; only
  // inside a page. A scale factor that is not positive would mirror or
  // collapse the page, so such a transform is refused as a whole.
  uint16_t ApplyTransform(GTransformAttribute& transform) override;
  // Settings that mean nothing to the language: marked applied only.
  uint16_t ApplyValueAttribute(GValueAttribute& attribute) override;
  uint16_t ApplyStringAttribute(GStringAttribute& attribute) override;
  uint16_t ApplyRangeAttribute(GRangeAttribute& attribute) override;
  uint16_t ApplyEnumAttribute(GEnumAttribute& attribute) override;

  // The stream header line, with the maker's notice and version unless
  // noComment is set.
  void WriteStreamHeader(bool noComment);
  // The protocol class from configuration keys 561 and 562; 2.0 when one
  // is missing or the application asks for class 2.0 output.
  void GetProtocolClass(int32_t& major, int32_t& minor);
  // Whether the printer's protocol class is at least major.minor.
  bool SupportsProtocolClass(int32_t major, int32_t minor);

  // What the drawing, raster, colour and text operations share.
  XLStream* Stream() const { return stream_.get(); }
  TextState& GetTextState() { return textState_; }
  void ResetTextState() { textState_ = TextState(); }
  uint16_t XResolution() const { return xResolution_; }
  uint16_t YResolution() const { return yResolution_; }
  bool IsColour() const { return colour_; }
  bool UsesPatterns() const { return patterns_; }
  bool IsDitherOff() const { return ditherOff_; }
  bool HasTextFlag() const { return textFlag_; }
  uint16_t ImageTreatment() const { return imageTreatment_; }
  uint16_t PhotoOverride() const { return photoOverride_; }
  GDitherMatrix* DitherMatrix() const { return ditherMatrix_; }
  GMedia* CurrentMedium() const { return currentMedium_; }
  uint16_t PageCopies() const { return pageCopies_; }
  uint16_t FontDownload() const { return fontDownload_; }
  uint16_t SideCounter() const { return sideCounter_; }
  uint16_t CurrentDuplex() const { return currentDuplex_; }
  bool DuplexControl() const { return duplexControl_; }
  void SetDuplexControl(bool on) { duplexControl_ = on; }
  int32_t CurrentPointX() const { return currentX_; }
  int32_t CurrentPointY() const { return currentY_; }
  void SetCurrentPoint(int16_t x, int16_t y) {
    currentX_ = x;
    currentY_ = y;
  }
  int32_t Transparency() const { return transparency_; }
  void SetTransparency(int32_t transparency) { transparency_ = transparency; }
  int32_t PenKind() const { return penKind_; }
  void SetPenKind(int32_t kind) { penKind_ = kind; }
  int32_t BrushKind() const { return brushKind_; }
  void SetBrushKind(int32_t kind) { brushKind_ = kind; }
  // The job's colour-to-grey conversion: the graphics device's, the
  // standard one without a device.
  GGrayFunction GrayConversion() const;

  // Raster output: images of the display list, the bitmaps of pattern
  // paints, and the raster operation (borzan_raster.cpp).
  //
  // The packing stage of an image's rows and the CompressMode it is sent
  // with.
  enum class RowPacking : uint8_t { kPad, kPackBits, kDeltaRow, kAdaptive, kJpeg };
  struct RowCompression {
    RowPacking packing = RowPacking::kPad;
    uint8_t compressMode = 0;
    bool operator==(const RowCompression&) const = default;
  };
  // The compression of an image from the job's image treatment. Anything
  // but plain rows and PackBits needs protocol class 2.1; an older printer
  // gets PackBits. JPEG goes only to a colour image that passes the
  // photographic test, asked only when the treatment allows JPEG.
  static RowCompression ChooseRowCompression(uint16_t treatment, bool supportsClass21,
                                             const std::function<bool()>& isColourPhotograph);

  // Draws the visible part of the image: the part inside the printable
  // area of the page and inside the clip. Answers the pending status.
  uint16_t DrawRaster(GRasterGraphic& raster) override;
  // Kind 0 sends the raster operation; kind 1 also sets both transparency
  // modes, transparent for codes 0xA000 to 0xAFFF.
  uint16_t ApplyRasterOperation(GRasterOperation& operation) override;
  // Writes the source part of the bitmap onto the destination as an image,
  // or as raster pattern patternNumber. Writes nothing, and answers false,
  // when the rows come out at a depth the language cannot take (other than
  // 1, 4, 8 or 24 bits per pixel) or nothing of the image is left.
  bool DrawImage(const GBitmap& bitmap, const GRectangle& source, const GRectangle& destination, const GClip* clip,
                 bool rasterPattern, int16_t patternNumber);
  // Sends the paint's bitmap as raster pattern patternNumber, on a square
  // of the bitmap's smaller side, enlarged to the device's resolution when
  // asked. Answers 1 when the pattern was sent; 0 for a bitmap without
  // area or one that could not be sent.
  int32_t PreparePaintBitmap(const GPaint& paint, int16_t patternNumber);

  // Drawing: shapes, paths and scan lines. A shape starts a path of its
  // own (NewPath) unless a path is being sent, and then also paints it;
  // inside a path it only adds to it. Every operation leaves the current
  // point where its figure ends and answers the pending status.
  uint16_t DrawRectangle(GRectangleGraphic& rectangle) override;
  uint16_t DrawRoundRectangle(GShapeGraphic& shape) override;
  uint16_t DrawEllipse(GShapeGraphic& shape) override;
  uint16_t DrawChord(GShapeGraphic& shape) override;
  uint16_t DrawPie(GShapeGraphic& shape) override;
  uint16_t DrawArc(GShapeGraphic& shape) override;
  uint16_t DrawPath(GPathGraphic& path) override;
  uint16_t DrawPolygon(GPolygonGraphic& polygon) override;
  uint16_t BeginPolyline(const GPoint* points, uint32_t count) override;
  uint16_t DrawLineSegments(const GPoint* points, uint32_t count) override;
  uint16_t DrawPolyBezier(GPolyBezierGraphic& curve) override;
  uint16_t DrawBezierSegments(const GPoint* points, uint32_t count) override;
  uint16_t BeginScanLines() override;
  // Points come in pairs of one line: the first holds the line's y, each
  // further one the start and end x of a span.
  uint16_t DrawScanLines(const GPoint* points, uint32_t count) override;
  uint16_t EndScanLines() override;

  // Text (borzan_fonts.cpp, borzan_font_download.cpp). The string is
  // shown in a font the printer holds when one serves it, else in a font
  // downloaded for it: an outline font as TrueType (the printer scales it,
  // so one download serves every size), any other font as bitmaps of its
  // size. Only the glyphs a string needs and the printer lacks are sent;
  // when a download would overrun the printer's memory, the fonts used
  // longest ago are removed first. Answers the pending status.
  uint16_t DrawTextString(GTextStringGraphic& text) override;
  // Sends what of the font selection and character attributes differs
  // from the text state, and makes them the text state.
  void ApplyTextAttributes(const TextState& wanted);

 private:
  GPoint CurrentPoint() const { return {currentX_, currentY_}; }
  void StartShape();
  // Paints a path the shape started and moves the current point.
  uint16_t FinishShape(GPoint currentPoint);
  void MoveTo(const GPoint& point);
  void SendLines(std::span<const GPoint> points);
  using Segments = uint16_t (GBorzan::*)(const GPoint*, uint32_t);
  uint16_t DrawFromStart(const GPoint* start, Segments segments, const GPoint* points, uint32_t count);
  // ChordPath or PiePath, whose points run the other way for direction 0.
  uint16_t DrawClosedArc(GShapeGraphic& shape, XLOp op);
  // PaintPath, opaque while plain fills would otherwise come out
  // transparent.
  void Paint();
  bool PaintsOpaque(bool penCounts) const;
  void SetTxModes(uint8_t mode);

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t Flush(GBufferedOutStream& stream, uint32_t context, const uint8_t* bytes, int32_t count) override;
  void FlushStream() { XLFlush(stream_.get()); }
  XLStreamPtr NewStream();
  void CopyOwnFields(const GBorzan& other);

  GState* JobSettings() { return FindStateFor(kDocumentStateKey); }
  GState* PageSettings() { return FindStateFor(kPageStateKey); }
  void NewFontObjects();
  // Document start, after the stream header.
  void ReadJobSettings();
  void ApplyPhotoOverride();
  void ChooseDitherMatrix();
  void BeginSession();
  // Page start, in the order the printer wants the page attributes.
  void SendDitherVendorCode();
  void SendOrientation();
  void SendDuplexMode();
  void SendMediaSource();
  void SendMediaSize();
  void SendCustomSize(const GMedia& medium);
  void DownloadDitherMatrix();
  uint8_t Orientation();
  // Closes the data source and the session of an open job.
  void CloseSession();

  // Text: the printer-side record that shows the font (found, or made
  // new), the font and attributes each kind of record is selected with,
  // and the Text operator.
  GBorzanFontRef* TextFontRecord(GFont& font, const GTextString& text);
  GBorzanFontRef* AddFontRecord(GFont& font, int32_t kind, int32_t encoding);
  const GDeviceFontDescription* FindDeviceFont(const GFontInfo& info, const GFontMetrics& metrics) const;
  // The font queries' search, which also sets the first font counter.
  const GDeviceFontDescription* FindQueriedDeviceFont(const GFontInfo& info, const GFontMetrics& metrics);
  void ShowWithDeviceFont(GTextStringGraphic& graphic, GFont& font, GBorzanFontRef& record);
  void ShowWithDownload(GTextStringGraphic& graphic, GFont& font, GBorzanFontRef& record);
  TextState DownloadedSelection(const GFont& font, const GBorzanFontRef& record) const;
  void WriteText(const GTextStringGraphic& graphic, const GTextString& codes);
  uint32_t NextUseStamp() { return static_cast<uint32_t>(++FontCounters()[2]); }

  // Downloads: headers and glyphs of the record's font, after room was
  // made for them in the printer's memory by removing other fonts (never
  // the one being sent).
  void MakeRoom(uint32_t bytes, GBorzanFontRef& sending);
  uint32_t SendHeaderBlocks(std::span<const xl_font::HeaderBlock> blocks);
  void SendCharRecords(GBorzanFontRef& record, std::span<const xl_font::CharRecord> records, uint32_t estimate);
  bool SendFontHeader(GFont& font, GBorzanFontRef& record, int32_t textEncoding);
  bool SendBitmapHeader(GFont& font, GBorzanFontRef& record);
  bool SendTrueTypeHeader(GFont& font, GBorzanFontRef& record, int32_t textEncoding);
  void SendSpecialGlyphs(GFont& font, GBorzanFontRef& record);
  // Sends the glyphs of the codes (the string re-coded for the record)
  // that the record has not sent; text holds the same string as the
  // font's own codes.
  void SendGlyphs(GFont& font, GBorzanFontRef& record, const GTextString& text, const GTextString& codes);

  // Colour treatment: after BeginPage, the neutral axis, halftone method,
  // adaptive halftoning, colour trapping and colour treatment that the
  // page's colour-control settings (797, then 1201) ask for.
  void SendColourTreatment();

  XLStreamPtr stream_;
  int32_t transparency_ = 0;
  int32_t penKind_ = 0;
  int32_t brushKind_ = 0;
  uint16_t fontDownload_ = 1;
  GMedia* currentMedium_ = nullptr;
  uint16_t xResolution_ = kDefaultResolution;
  uint16_t yResolution_ = kDefaultResolution;
  bool colour_ = false;
  bool patterns_ = false;
  bool ditherOff_ = false;
  uint16_t imageTreatment_ = 1;
  uint16_t photoOverride_ = 0;
  GDitherMatrix* ditherMatrix_ = nullptr;
  bool textFlag_ = false;
  int16_t currentX_ = 0;
  int16_t currentY_ = 0;
  uint16_t pageCopies_ = 1;
  uint16_t currentMediaSource_ = kNoMediaSource;
  std::string currentMediaType_;
  uint16_t sideCounter_ = kUnsetSide;
  bool duplexControl_ = true;
  uint16_t currentDuplex_ = kUnsetSide;
  TextState textState_;
};
