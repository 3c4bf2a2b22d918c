#include "pclxl/testing/strict_pclxl_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace strict_pclxl {
namespace {

// ---------------------------------------------------------------------------
// Data types. A set of accepted types is a bit mask: bit (kind * 6 + element).

constexpr uint32_t TypeBit(ValueKind kind, ElementType element) {
  return 1u << (static_cast<int>(kind) * 6 + static_cast<int>(element));
}
constexpr uint32_t TypeBits(ValueKind kind, std::initializer_list<ElementType> elements) {
  uint32_t bits = 0;
  for (ElementType element : elements) bits |= TypeBit(kind, element);
  return bits;
}

using K = ValueKind;
using E = ElementType;
constexpr uint32_t kUByte = TypeBit(K::kScalar, E::kUByte);
constexpr uint32_t kUInt16 = TypeBit(K::kScalar, E::kUInt16);
constexpr uint32_t kUInt32 = TypeBit(K::kScalar, E::kUInt32);
constexpr uint32_t kSInt16 = TypeBit(K::kScalar, E::kSInt16);
constexpr uint32_t kReal32 = TypeBit(K::kScalar, E::kReal32);
constexpr uint32_t kAnyScalar =
    TypeBits(K::kScalar, {E::kUByte, E::kUInt16, E::kUInt32, E::kSInt16, E::kSInt32, E::kReal32});
constexpr uint32_t kUByteArray = TypeBit(K::kArray, E::kUByte);
constexpr uint32_t kUInt16Array = TypeBit(K::kArray, E::kUInt16);
constexpr uint32_t kSInt16Array = TypeBit(K::kArray, E::kSInt16);
constexpr uint32_t kReal32Array = TypeBit(K::kArray, E::kReal32);
constexpr uint32_t kUInt16XY = TypeBit(K::kXY, E::kUInt16);
constexpr uint32_t kSInt16XY = TypeBit(K::kXY, E::kSInt16);
constexpr uint32_t kReal32XY = TypeBit(K::kXY, E::kReal32);
constexpr uint32_t kUByteXY = TypeBit(K::kXY, E::kUByte);
constexpr uint32_t kPointXY = TypeBits(K::kXY, {E::kUByte, E::kUInt16, E::kSInt16, E::kSInt32, E::kReal32});
constexpr uint32_t kPointBox = TypeBits(K::kBox, {E::kUByte, E::kUInt16, E::kSInt16, E::kSInt32, E::kReal32});

size_t ElementSize(ElementType element) {
  switch (element) {
    case E::kUByte:
      return 1;
    case E::kUInt16:
    case E::kSInt16:
      return 2;
    default:
      return 4;
  }
}

const char* ElementName(ElementType element) {
  static const char* const kNames[] = {"ubyte", "uint16", "uint32", "sint16", "sint32", "real32"};
  return kNames[static_cast<int>(element)];
}

// ---------------------------------------------------------------------------
// Attributes: identifier, name, accepted types.

struct AttributeInfo {
  uint8_t id;
  const char* name;
  uint32_t types;
};

const AttributeInfo kAttributes[] = {
    {0x02, "PaletteDepth", kUByte},
    {0x03, "ColorSpace", kUByte},
    {0x04, "NullBrush", kUByte},
    {0x05, "NullPen", kUByte},
    {0x06, "PaletteData", kUByteArray},
    {0x08, "PatternSelectID", kSInt16},
    {0x09, "GrayLevel", kUByte | kReal32},
    {0x0B, "RGBColor", kUByteArray | kReal32Array},
    {0x0C, "PatternOrigin", kSInt16XY},
    {0x0D, "NewDestinationSize", kUInt16XY},
    {0x0E, "PrimaryArray", kUByteArray},
    {0x0F, "PrimaryDepth", kUByte},
    {0x11, "ColorimetricColorSpace", kUByte},
    {0x12, "XYChromaticities", kReal32Array},
    {0x13, "WhiteReferencePoint", kReal32Array},
    {0x14, "CRGBMinMax", kReal32Array},
    {0x15, "GammaGain", kReal32Array},
    // The device's second colorimetric set, real32 arrays 0x16 to 0x1B.
    {0x16, "ColorimetricData1", kReal32Array},
    {0x17, "ColorimetricData2", kReal32Array},
    {0x18, "ColorimetricData3", kReal32Array},
    {0x19, "ColorimetricData4", kReal32Array},
    {0x1A, "ColorimetricData5", kReal32Array},
    {0x1B, "ColorimetricData6", kReal32Array},
    {0x1D, "AllObjectTypes", kUByte},
    {0x1E, "TextObjects", kUByte},
    {0x1F, "VectorObjects", kUByte},
    {0x20, "RasterObjects", kUByte},
    {0x21, "DeviceMatrix", kUByte},
    {0x22, "DitherMatrixDataType", kUByte},
    {0x23, "DitherOrigin", kUInt16XY | kSInt16XY},
    {0x24, "MediaDestination", kUByte},
    {0x25, "MediaSize", kUByte | kUByteArray},
    {0x26, "MediaSource", kUByte},
    {0x27, "MediaType", kUByteArray},
    {0x28, "Orientation", kUByte},
    {0x29, "PageAngle", kSInt16 | kReal32},
    {0x2A, "PageOrigin", kPointXY},
    {0x2B, "PageScale", kUByteXY | kUInt16XY | kReal32XY},
    {0x2C, "ROP3", kUByte},
    {0x2D, "TxMode", kUByte},
    {0x2F, "CustomMediaSize", kUInt16XY | kReal32XY},
    {0x30, "CustomMediaSizeUnits", kUByte},
    {0x31, "PageCopies", kUInt16},
    {0x32, "DitherMatrixSize", kUInt16XY},
    {0x33, "DitherMatrixDepth", kUByte},
    {0x34, "SimplexPageMode", kUByte},
    {0x35, "DuplexPageMode", kUByte},
    {0x36, "DuplexPageSide", kUByte},
    {0x41, "ArcDirection", kUByte},
    {0x42, "BoundingBox", kPointBox},
    {0x43, "DashOffset", kUInt16 | kSInt16 | kReal32},
    {0x44, "EllipseDimension", kUByteXY | kUInt16XY | kReal32XY},
    {0x45, "EndPoint", kPointXY},
    {0x46, "FillMode", kUByte},
    {0x47, "LineCapStyle", kUByte},
    {0x48, "LineJoinStyle", kUByte},
    {0x49, "MiterLength", kUByte | kUInt16 | kReal32},
    {0x4A, "LineDashStyle", kUByteArray | kUInt16Array | kSInt16Array | kReal32Array},
    {0x4B, "PenWidth", kUByte | kUInt16 | kReal32},
    {0x4C, "Point", kPointXY},
    {0x4D, "NumberOfPoints", kUByte | kUInt16},
    {0x4E, "SolidLine", kUByte},
    {0x4F, "StartPoint", kPointXY},
    {0x50, "PointType", kUByte},
    {0x51, "ControlPoint1", kPointXY},
    {0x52, "ControlPoint2", kPointXY},
    {0x53, "ClipRegion", kUByte},
    {0x54, "ClipMode", kUByte},
    {0x62, "ColorDepth", kUByte},
    {0x63, "BlockHeight", kUInt16 | kUInt32},
    {0x64, "ColorMapping", kUByte},
    {0x65, "CompressMode", kUByte},
    {0x67, "DestinationSize", kUInt16XY},
    {0x68, "PatternPersistence", kUByte},
    {0x69, "PatternDefineID", kSInt16},
    {0x6B, "SourceHeight", kUInt16 | kUInt32},
    {0x6C, "SourceWidth", kUInt16 | kUInt32},
    {0x6D, "StartLine", kUInt16 | kUInt32},
    {0x6E, "PadBytesMultiple", kUByte},
    {0x73, "NumberOfScanLines", kUInt16},
    {0x78, "ColorTreatment", kUByte},
    {0x81, "CommentData", kUByteArray},
    {0x82, "DataOrg", kUByte},
    {0x86, "Measure", kUByte},
    {0x88, "SourceType", kUByte},
    {0x89, "UnitsPerMeasure", kUInt16XY | kReal32XY},
    {0x8A, "QueryKey", kUByteArray},
    {0x8B, "StreamName", kUByteArray},
    {0x8C, "StreamDataLength", kUInt32},
    {0x8D, "PCLSelectFont", kUByteArray},
    {0x8F, "ErrorReport", kUByte},
    {0x91, "VUExtension", kUInt32},
    {0x92, "VUDataLength", kUInt32},
    {0x93, "VUAttr1", kAnyScalar},
    {0x94, "VUAttr2", kAnyScalar},
    {0x95, "VUAttr3", kAnyScalar},
    {0x96, "VUAttr4", kAnyScalar},
    {0x97, "VUAttr5", kAnyScalar},
    {0x98, "VUAttr6", kAnyScalar},
    {0x99, "VUAttr7", kAnyScalar},
    {0x9A, "VUAttr8", kAnyScalar},
    {0x9B, "VUAttr9", kAnyScalar},
    {0x9C, "VUAttr10", kAnyScalar},
    {0x9D, "VUAttr11", kAnyScalar},
    {0x9E, "VUAttr12", kAnyScalar},
    {0xA1, "CharAngle", kSInt16 | kReal32},
    {0xA2, "CharCode", kUInt16},
    {0xA3, "CharDataSize", kUInt16 | kUInt32},
    {0xA4, "CharScale", kUInt16XY | kReal32XY},
    {0xA5, "CharShear", kSInt16XY | kReal32XY},
    {0xA6, "CharSize", kUByte | kUInt16 | kReal32},
    {0xA7, "FontHeaderLength", kUInt16},
    {0xA8, "FontName", kUByteArray},
    {0xA9, "FontFormat", kUByte},
    {0xAA, "SymbolSet", kUInt16},
    {0xAB, "TextData", kUByteArray | kUInt16Array},
    {0xAC, "CharSubModeArray", kUByteArray},
    {0xAD, "WritingMode", kUByte},
    {0xAF, "XSpacingData", kUByteArray | kSInt16Array | kUInt16Array},
    {0xB0, "YSpacingData", kUByteArray | kSInt16Array | kUInt16Array},
    {0xB1, "CharBoldValue", kReal32},
};

const AttributeInfo* FindAttribute(uint8_t id) {
  for (const AttributeInfo& info : kAttributes) {
    if (info.id == id) return &info;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Operators: where each may stand and the attribute sets it takes.

// Levels of a job, each inside the one before.
enum class Level : uint8_t { kNone, kSession, kSource, kPage };

// Blocks that admit only their own operators until they are closed.
enum class Block : uint8_t { kNone, kImage, kRastPattern, kScan, kFontHeader, kChar, kStream };
const char* BlockName(Block block) {
  static const char* const kNames[] = {"nothing",       "an image",    "a raster pattern", "a scan",
                                       "a font header", "a character", "a stream"};
  return kNames[static_cast<int>(block)];
}

enum class Role : uint8_t {
  kPlain,        // needs at least its level
  kOpensLevel,   // needs exactly its level and enters the next
  kClosesLevel,  // needs exactly its level and leaves it
  kOpensBlock,
  kInBlock,
  kClosesBlock,
};

struct Form {
  std::vector<std::string_view> required = {};
  std::vector<std::string_view> optional = {};
  bool data = false;
};

struct OperatorInfo {
  uint8_t tag;
  const char* name;
  Level level;
  Role role;
  Block block;
  std::vector<Form> forms;
};

const std::vector<std::string_view> kPageOptions = {"MediaType",       "MediaSource",    "MediaDestination",
                                                    "SimplexPageMode", "DuplexPageMode", "DuplexPageSide"};
const std::vector<std::string_view> kVendorAttributes = {"VUAttr1", "VUAttr2",  "VUAttr3",  "VUAttr4",
                                                         "VUAttr5", "VUAttr6",  "VUAttr7",  "VUAttr8",
                                                         "VUAttr9", "VUAttr10", "VUAttr11", "VUAttr12"};

std::vector<Form> PaintSourceForms(std::string_view nullAttribute) {
  return {{{"GrayLevel"}},
          {{nullAttribute}},
          {{"PatternSelectID"}, {"NewDestinationSize"}},
          {{"RGBColor"}},
          {{"PrimaryDepth", "PrimaryArray"}}};
}

std::vector<Form> ObjectTypeForms() {
  return {{{"TextObjects", "VectorObjects", "RasterObjects"}},
          {{"AllObjectTypes"}},
          {{"TextObjects"}},
          {{"VectorObjects"}},
          {{"RasterObjects"}}};
}

const std::vector<Form> kNoAttributes = {{}};
const std::vector<Form> kArcForms = {{{"BoundingBox", "StartPoint", "EndPoint"}}};
const std::vector<Form> kBoxForms = {{{"BoundingBox"}}};
const std::vector<Form> kRoundBoxForms = {{{"BoundingBox", "EllipseDimension"}}};
const std::vector<Form> kPointListForms = {{{"NumberOfPoints", "PointType"}, {}, true}, {{"EndPoint"}}};
const std::vector<Form> kCurveForms = {{{"NumberOfPoints", "PointType"}, {}, true},
                                       {{"ControlPoint1", "ControlPoint2", "EndPoint"}}};
const std::vector<Form> kTextForms = {{{"TextData"}, {"XSpacingData", "YSpacingData"}}};
const std::vector<std::string_view> kImageAttributes = {"ColorMapping", "ColorDepth", "SourceWidth", "SourceHeight",
                                                        "DestinationSize"};

std::vector<std::string_view> Plus(std::vector<std::string_view> names, std::initializer_list<std::string_view> more) {
  names.insert(names.end(), more);
  return names;
}

std::vector<Form> One(std::string_view attribute) { return {{{attribute}}}; }

const std::vector<OperatorInfo>& Operators() {
  using L = Level;
  using R = Role;
  using B = Block;
  // clang-format off
  static const std::vector<OperatorInfo> table = {
      {0x41, "BeginSession", L::kNone, R::kOpensLevel, B::kNone, {{{"UnitsPerMeasure", "Measure"}, {"ErrorReport"}}}},
      {0x42, "EndSession", L::kSession, R::kClosesLevel, B::kNone, kNoAttributes},
      {0x43, "BeginPage", L::kSource, R::kOpensLevel, B::kNone,
       {{{"Orientation", "MediaSize"}, kPageOptions},
        {{"Orientation", "CustomMediaSize", "CustomMediaSizeUnits"}, kPageOptions}}},
      {0x44, "EndPage", L::kPage, R::kClosesLevel, B::kNone, {{{}, {"PageCopies", "MediaSource"}}}},
      {0x46, "VendorUnique", L::kSource, R::kPlain, B::kNone,
       {{{"VUExtension"}, kVendorAttributes}, {{"VUExtension", "VUDataLength"}, kVendorAttributes, true}}},
      {0x47, "Comment", L::kNone, R::kPlain, B::kNone, {{{}, {"CommentData"}}}},
      {0x48, "OpenDataSource", L::kSession, R::kOpensLevel, B::kNone, {{{"SourceType", "DataOrg"}}}},
      {0x49, "CloseDataSource", L::kSource, R::kClosesLevel, B::kNone, kNoAttributes},
      {0x4A, "EchoComment", L::kNone, R::kPlain, B::kNone, {{{}, {"CommentData"}}}},
      {0x4B, "Query", L::kSource, R::kPlain, B::kNone, One("QueryKey")},
      {0x4F, "BeginFontHeader", L::kSource, R::kOpensBlock, B::kFontHeader, {{{"FontName", "FontFormat"}}}},
      {0x50, "ReadFontHeader", L::kSource, R::kInBlock, B::kFontHeader, {{{"FontHeaderLength"}, {}, true}}},
      {0x51, "EndFontHeader", L::kSource, R::kClosesBlock, B::kFontHeader, kNoAttributes},
      {0x52, "BeginChar", L::kSource, R::kOpensBlock, B::kChar, One("FontName")},
      {0x53, "ReadChar", L::kSource, R::kInBlock, B::kChar, {{{"CharCode", "CharDataSize"}, {}, true}}},
      {0x54, "EndChar", L::kSource, R::kClosesBlock, B::kChar, kNoAttributes},
      {0x55, "RemoveFont", L::kSource, R::kPlain, B::kNone, One("FontName")},
      {0x56, "SetCharAttributes", L::kPage, R::kPlain, B::kNone, One("WritingMode")},
      {0x58, "SetColorTreatment", L::kPage, R::kPlain, B::kNone,
       {{{"ColorTreatment"}}, {{"TextObjects", "VectorObjects", "RasterObjects"}}}},
      {0x5B, "BeginStream", L::kSource, R::kOpensBlock, B::kStream, One("StreamName")},
      {0x5C, "ReadStream", L::kSource, R::kInBlock, B::kStream, {{{"StreamDataLength"}, {}, true}}},
      {0x5D, "EndStream", L::kSource, R::kClosesBlock, B::kStream, kNoAttributes},
      {0x5E, "ExecStream", L::kSource, R::kPlain, B::kNone, One("StreamName")},
      {0x5F, "RemoveStream", L::kSource, R::kPlain, B::kNone, One("StreamName")},
      {0x60, "PopGS", L::kPage, R::kPlain, B::kNone, kNoAttributes},
      {0x61, "PushGS", L::kPage, R::kPlain, B::kNone, kNoAttributes},
      {0x62, "SetClipReplace", L::kPage, R::kPlain, B::kNone, One("ClipRegion")},
      {0x63, "SetBrushSource", L::kPage, R::kPlain, B::kNone, PaintSourceForms("NullBrush")},
      {0x64, "SetCharAngle", L::kPage, R::kPlain, B::kNone, One("CharAngle")},
      {0x65, "SetCharScale", L::kPage, R::kPlain, B::kNone, One("CharScale")},
      {0x66, "SetCharShear", L::kPage, R::kPlain, B::kNone, One("CharShear")},
      {0x67, "SetClipIntersect", L::kPage, R::kPlain, B::kNone, One("ClipRegion")},
      {0x68, "SetClipRectangle", L::kPage, R::kPlain, B::kNone, {{{"ClipRegion", "BoundingBox"}}}},
      {0x69, "SetClipToPage", L::kPage, R::kPlain, B::kNone, kNoAttributes},
      {0x6A, "SetColorSpace", L::kPage, R::kPlain, B::kNone,
       {{{"ColorSpace"}},
        {{"ColorSpace", "PaletteDepth", "PaletteData"}},
        {{"ColorSpace", "ColorimetricColorSpace", "XYChromaticities", "WhiteReferencePoint", "CRGBMinMax",
          "GammaGain"}},
        {{"ColorSpace", "ColorimetricData1", "ColorimetricData2", "ColorimetricData3", "ColorimetricData4",
          "ColorimetricData5", "ColorimetricData6"}}}},
      {0x6B, "SetCursor", L::kPage, R::kPlain, B::kNone, {{{"Point"}}, {{"Point", "Measure", "UnitsPerMeasure"}}}},
      {0x6C, "SetCursorRel", L::kPage, R::kPlain, B::kNone, One("Point")},
      {0x6D, "SetHalftoneMethod", L::kPage, R::kPlain, B::kNone,
       {{{"DeviceMatrix"}},
        {{"TextObjects", "VectorObjects", "RasterObjects"}, {"DitherOrigin"}},
        {{"DitherMatrixSize", "DitherMatrixDepth", "DitherMatrixDataType"}, {"DitherOrigin"}, true}}},
      {0x6E, "SetFillMode", L::kPage, R::kPlain, B::kNone, One("FillMode")},
      {0x6F, "SetFont", L::kPage, R::kPlain, B::kNone, {{{"FontName", "CharSize", "SymbolSet"}}, {{"PCLSelectFont"}}}},
      {0x70, "SetLineDash", L::kPage, R::kPlain, B::kNone, {{{"LineDashStyle"}, {"DashOffset"}}, {{"SolidLine"}}}},
      {0x71, "SetLineCap", L::kPage, R::kPlain, B::kNone, One("LineCapStyle")},
      {0x72, "SetLineJoin", L::kPage, R::kPlain, B::kNone, One("LineJoinStyle")},
      {0x73, "SetMiterLimit", L::kPage, R::kPlain, B::kNone, One("MiterLength")},
      {0x74, "SetPageDefaultCTM", L::kPage, R::kPlain, B::kNone, kNoAttributes},
      {0x75, "SetPageOrigin", L::kPage, R::kPlain, B::kNone, One("PageOrigin")},
      {0x76, "SetPageRotation", L::kPage, R::kPlain, B::kNone, One("PageAngle")},
      {0x77, "SetPageScale", L::kPage, R::kPlain, B::kNone, One("PageScale")},
      {0x78, "SetPaintTxMode", L::kPage, R::kPlain, B::kNone, One("TxMode")},
      {0x79, "SetPenSource", L::kPage, R::kPlain, B::kNone, PaintSourceForms("NullPen")},
      {0x7A, "SetPenWidth", L::kPage, R::kPlain, B::kNone, One("PenWidth")},
      {0x7B, "SetROP", L::kPage, R::kPlain, B::kNone, One("ROP3")},
      {0x7C, "SetSourceTxMode", L::kPage, R::kPlain, B::kNone, One("TxMode")},
      {0x7D, "SetCharBoldValue", L::kPage, R::kPlain, B::kNone, One("CharBoldValue")},
      {0x7E, "SetNeutralAxis", L::kPage, R::kPlain, B::kNone, ObjectTypeForms()},
      {0x7F, "SetClipMode", L::kPage, R::kPlain, B::kNone, One("ClipMode")},
      {0x80, "SetPathToClip", L::kPage, R::kPlain, B::kNone, kNoAttributes},
      {0x81, "SetCharSubMode", L::kPage, R::kPlain, B::kNone, One("CharSubModeArray")},
      {0x84, "CloseSubPath", L::kPage, R::kPlain, B::kNone, kNoAttributes},
      {0x85, "NewPath", L::kPage, R::kPlain, B::kNone, kNoAttributes},
      {0x86, "PaintPath", L::kPage, R::kPlain, B::kNone, kNoAttributes},
      {0x91, "ArcPath", L::kPage, R::kPlain, B::kNone, {{{"BoundingBox", "StartPoint", "EndPoint"}, {"ArcDirection"}}}},
      {0x92, "SetColorTrapping", L::kPage, R::kPlain, B::kNone, One("AllObjectTypes")},
      {0x93, "BezierPath", L::kPage, R::kPlain, B::kNone, kCurveForms},
      {0x94, "SetAdaptiveHalftoning", L::kPage, R::kPlain, B::kNone, ObjectTypeForms()},
      {0x95, "BezierRelPath", L::kPage, R::kPlain, B::kNone, kCurveForms},
      {0x96, "Chord", L::kPage, R::kPlain, B::kNone, kArcForms},
      {0x97, "ChordPath", L::kPage, R::kPlain, B::kNone, kArcForms},
      {0x98, "Ellipse", L::kPage, R::kPlain, B::kNone, kBoxForms},
      {0x99, "EllipsePath", L::kPage, R::kPlain, B::kNone, kBoxForms},
      {0x9B, "LinePath", L::kPage, R::kPlain, B::kNone, kPointListForms},
      {0x9D, "LineRelPath", L::kPage, R::kPlain, B::kNone, kPointListForms},
      {0x9E, "Pie", L::kPage, R::kPlain, B::kNone, kArcForms},
      {0x9F, "PiePath", L::kPage, R::kPlain, B::kNone, kArcForms},
      {0xA0, "Rectangle", L::kPage, R::kPlain, B::kNone, kBoxForms},
      {0xA1, "RectanglePath", L::kPage, R::kPlain, B::kNone, kBoxForms},
      {0xA2, "RoundRectangle", L::kPage, R::kPlain, B::kNone, kRoundBoxForms},
      {0xA3, "RoundRectanglePath", L::kPage, R::kPlain, B::kNone, kRoundBoxForms},
      {0xA8, "Text", L::kPage, R::kPlain, B::kNone, kTextForms},
      {0xA9, "TextPath", L::kPage, R::kPlain, B::kNone, kTextForms},
      {0xB0, "BeginImage", L::kPage, R::kOpensBlock, B::kImage, {{kImageAttributes}}},
      {0xB1, "ReadImage", L::kPage, R::kInBlock, B::kImage,
       {{{"StartLine", "BlockHeight", "CompressMode"}, {"PadBytesMultiple"}, true}}},
      {0xB2, "EndImage", L::kPage, R::kClosesBlock, B::kImage, kNoAttributes},
      {0xB3, "BeginRastPattern", L::kSource, R::kOpensBlock, B::kRastPattern,
       {{Plus(kImageAttributes, {"PatternDefineID", "PatternPersistence"})}}},
      {0xB4, "ReadRastPattern", L::kSource, R::kInBlock, B::kRastPattern,
       {{{"StartLine", "BlockHeight", "CompressMode"}, {}, true}}},
      {0xB5, "EndRastPattern", L::kSource, R::kClosesBlock, B::kRastPattern, kNoAttributes},
      {0xB6, "BeginScan", L::kPage, R::kOpensBlock, B::kScan, kNoAttributes},
      {0xB8, "EndScan", L::kPage, R::kClosesBlock, B::kScan, kNoAttributes},
      {0xB9, "ScanLineRel", L::kPage, R::kInBlock, B::kScan, {{{}, {"NumberOfScanLines"}, true}}},
      {0xBF, "PassThrough", L::kSource, R::kPlain, B::kNone, {{{}, {}, true}}},
  };
  // clang-format on
  return table;
}

const OperatorInfo* FindOperator(uint8_t tag) {
  for (const OperatorInfo& info : Operators()) {
    if (info.tag == tag) return &info;
  }
  return nullptr;
}

bool Contains(const std::vector<std::string_view>& names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool Matches(const Form& form, const std::vector<Attribute>& attributes) {
  for (std::string_view name : form.required) {
    const bool present = std::any_of(attributes.begin(), attributes.end(),
                                     [name](const Attribute& attribute) { return attribute.name == name; });
    if (!present) return false;
  }
  return std::all_of(attributes.begin(), attributes.end(), [&form](const Attribute& attribute) {
    return Contains(form.required, attribute.name) || Contains(form.optional, attribute.name);
  });
}

// ---------------------------------------------------------------------------
// The reader.

struct Fault {
  size_t offset;
  std::string message;
};

// What an open image or raster pattern declared, for checking its blocks.
struct ImageState {
  double width = 0;
  double height = 0;
  double depth = 0;
  double mapping = 0;
};

class Reader {
 public:
  Reader(std::span<const uint8_t> bytes, const ReadOptions& options, ReadResult& result)
      : bytes_(bytes), options_(options), result_(result) {}

  void Run() {
    if (options_.expectHeader) ReadHeader();
    while (!fault_ && position_ < bytes_.size()) ReadToken();
    if (!fault_) CheckEnd();
    if (fault_) {
      result_.error = fault_->message;
      result_.errorOffset = fault_->offset;
    }
  }

 private:
  void Fail(size_t offset, std::string message) {
    if (!fault_) fault_ = Fault{offset, std::move(message)};
  }

  bool Available(size_t count) const { return bytes_.size() - position_ >= count; }

  uint32_t ReadUnsigned(size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(bytes_[position_ + i]) << (8 * i);
    position_ += size;
    return value;
  }

  double ReadElement(ElementType element) {
    const uint32_t raw = ReadUnsigned(ElementSize(element));
    switch (element) {
      case E::kSInt16:
        return static_cast<int16_t>(raw);
      case E::kSInt32:
        return static_cast<int32_t>(raw);
      case E::kReal32: {
        float value;
        std::memcpy(&value, &raw, sizeof value);
        return value;
      }
      default:
        return raw;
    }
  }

  void ReadHeader() {
    static constexpr std::string_view kBinding = ") QV-PCL XL";
    StreamHeader header;
    const std::string_view text(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
    const size_t lineEnd = text.find('\n');
    if (text.substr(0, kBinding.size()) != kBinding) return Fail(0, "stream does not start with \") QV-PCL XL\"");
    if (lineEnd == std::string_view::npos) return Fail(0, "stream header has no line feed");
    position_ = kBinding.size();
    if (!ReadClassNumber(text, header.majorClass) || !ReadClassNumber(text, header.minorClass)) {
      return Fail(position_, "stream header lacks \";major;minor\" class numbers");
    }
    static constexpr std::string_view kComment = ";Comment";
    if (text.substr(position_, kComment.size()) != kComment) return Fail(position_, "stream header lacks \";Comment\"");
    position_ += kComment.size();
    if (position_ > lineEnd) return Fail(lineEnd, "stream header ends inside \";Comment\"");
    header.comment = std::string(text.substr(position_, lineEnd - position_));
    position_ = lineEnd + 1;
    result_.header = std::move(header);
  }

  bool ReadClassNumber(std::string_view text, int32_t& number) {
    if (position_ >= text.size() || text[position_] != ';') return false;
    ++position_;
    const size_t start = position_;
    number = 0;
    while (position_ < text.size() && text[position_] >= '0' && text[position_] <= '9' && position_ - start < 9) {
      number = number * 10 + (text[position_] - '0');
      ++position_;
    }
    return position_ > start;
  }

  void ReadToken() {
    const uint8_t tag = bytes_[position_];
    if ((tag >= 0xC0 && tag <= 0xC5) || (tag >= 0xC8 && tag <= 0xCD) || (tag >= 0xD0 && tag <= 0xD5) ||
        (tag >= 0xE0 && tag <= 0xE5)) {
      return ReadValue();
    }
    if (tag == 0xF8) return ReadAttributeId();
    if (tag == 0xFA || tag == 0xFB) return Fail(position_, "embedded data that no operator reads");
    if (tag == 0xF9) return Fail(position_, "two-byte attribute identifier (not written by this system)");
    ReadOperator();
  }

  void ReadValue() {
    const size_t start = position_;
    if (pendingValue_) return Fail(start, "value not followed by an attribute identifier");
    const uint8_t tag = bytes_[position_++];
    Value value;
    value.element = static_cast<ElementType>(tag & 0x07);
    size_t count = 1;
    switch (tag & 0xF8) {
      case 0xC0:
        value.kind = K::kScalar;
        break;
      case 0xD0:
        value.kind = K::kXY;
        count = 2;
        break;
      case 0xE0:
        value.kind = K::kBox;
        count = 4;
        break;
      default:
        value.kind = K::kArray;
        if (!ReadArrayLength(count)) return;
        break;
    }
    if (!Available(count * ElementSize(value.element))) return Fail(start, "value runs past the end of the stream");
    value.numbers.reserve(count);
    for (size_t i = 0; i < count; ++i) value.numbers.push_back(ReadElement(value.element));
    pendingValue_ = std::move(value);
    pendingValueOffset_ = start;
  }

  bool ReadArrayLength(size_t& count) {
    if (!Available(1)) {
      Fail(position_, "array without its length");
      return false;
    }
    const uint8_t lengthTag = bytes_[position_];
    if (lengthTag != 0xC0 && lengthTag != 0xC1) {
      Fail(position_, "array length is not a ubyte or uint16");
      return false;
    }
    ++position_;
    const size_t size = lengthTag == 0xC0 ? 1 : 2;
    if (!Available(size)) {
      Fail(position_, "array length runs past the end of the stream");
      return false;
    }
    count = ReadUnsigned(size);
    return true;
  }

  void ReadAttributeId() {
    const size_t start = position_;
    if (!pendingValue_) return Fail(start, "attribute identifier without a value");
    if (!Available(2)) return Fail(start, "attribute identifier runs past the end of the stream");
    const uint8_t id = bytes_[position_ + 1];
    position_ += 2;
    const AttributeInfo* info = FindAttribute(id);
    if (info == nullptr) return Fail(start, "unknown attribute identifier " + Hex(id));
    if ((info->types & TypeBit(pendingValue_->kind, pendingValue_->element)) == 0) {
      return Fail(pendingValueOffset_, std::string(info->name) + " does not take a " + pendingValue_->TypeName());
    }
    const bool repeated = std::any_of(attributes_.begin(), attributes_.end(),
                                      [id](const Attribute& attribute) { return attribute.id == id; });
    if (repeated) return Fail(start, std::string(info->name) + " given twice");
    attributes_.push_back(Attribute{id, info->name, std::move(*pendingValue_)});
    pendingValue_.reset();
  }

  void ReadOperator() {
    const size_t start = position_;
    if (pendingValue_) return Fail(pendingValueOffset_, "value not followed by an attribute identifier");
    const OperatorInfo* info = FindOperator(bytes_[position_]);
    if (info == nullptr) return Fail(start, "unknown operator " + Hex(bytes_[position_]));
    ++position_;
    Operation operation;
    operation.offset = start;
    operation.tag = info->tag;
    operation.name = info->name;
    operation.attributes = std::move(attributes_);
    attributes_.clear();
    const Form* form = MatchForm(*info, operation);
    if (form == nullptr) return;
    if (options_.checkNesting && !CheckPlace(*info, start)) return;
    if (form->data && !ReadEmbeddedData(operation)) return;
    CheckContents(operation);
    if (!fault_) result_.operations.push_back(std::move(operation));
  }

  const Form* MatchForm(const OperatorInfo& info, const Operation& operation) {
    for (const Form& form : info.forms) {
      if (Matches(form, operation.attributes)) return &form;
    }
    std::string names;
    for (const Attribute& attribute : operation.attributes) names += " " + std::string(attribute.name);
    Fail(operation.offset, std::string(info.name) + " does not take the attribute set {" + names + " }");
    return nullptr;
  }

  bool ReadEmbeddedData(Operation& operation) {
    const size_t start = position_;
    if (!Available(1) || (bytes_[position_] != 0xFA && bytes_[position_] != 0xFB)) {
      Fail(start, std::string(operation.name) + " is not followed by embedded data");
      return false;
    }
    operation.longDataFrame = bytes_[position_] == 0xFA;
    ++position_;
    const size_t lengthSize = operation.longDataFrame ? 4 : 1;
    if (!Available(lengthSize)) {
      Fail(start, "embedded-data length runs past the end of the stream");
      return false;
    }
    const size_t length = ReadUnsigned(lengthSize);
    if (!Available(length)) {
      Fail(start, "embedded data of " + std::to_string(length) + " bytes runs past the end of the stream");
      return false;
    }
    operation.hasData = true;
    operation.data.assign(bytes_.begin() + position_, bytes_.begin() + position_ + length);
    position_ += length;
    return true;
  }

  // ---- where operators stand

  bool CheckPlace(const OperatorInfo& info, size_t offset) {
    const std::string name = info.name;
    if (block_ != Block::kNone && info.block != block_) {
      Fail(offset, name + " inside " + BlockName(block_));
      return false;
    }
    switch (info.role) {
      case Role::kOpensLevel:
      case Role::kClosesLevel:
        if (level_ != info.level) {
          Fail(offset, name + " out of order (" + LevelName(level_) + ")");
          return false;
        }
        level_ = static_cast<Level>(static_cast<int>(level_) + (info.role == Role::kOpensLevel ? 1 : -1));
        if (info.tag == 0x43) graphicsStates_ = 0;
        return true;
      case Role::kOpensBlock:
        if (block_ != Block::kNone) {
          Fail(offset, name + " inside " + BlockName(block_));
          return false;
        }
        block_ = info.block;
        break;
      case Role::kInBlock:
      case Role::kClosesBlock:
        if (block_ != info.block) {
          Fail(offset, name + " outside " + BlockName(info.block));
          return false;
        }
        if (info.role == Role::kClosesBlock) block_ = Block::kNone;
        break;
      case Role::kPlain:
        break;
    }
    if (level_ < info.level) {
      Fail(offset, name + " outside " + LevelName(info.level));
      return false;
    }
    return true;
  }

  static std::string LevelName(Level level) {
    static const char* const kNames[] = {"before any session", "a session", "a data source", "a page"};
    return kNames[static_cast<int>(level)];
  }

  void CheckEnd() {
    if (pendingValue_ || !attributes_.empty()) return Fail(position_, "attributes without an operator at the end");
    if (!options_.checkNesting || !options_.requireClosed) return;
    if (block_ != Block::kNone) return Fail(position_, std::string("stream ends inside ") + BlockName(block_));
    if (level_ != Level::kNone) return Fail(position_, "stream ends inside " + LevelName(level_));
  }

  // ---- contents of attributes and embedded data

  void CheckContents(const Operation& operation) {
    switch (operation.tag) {
      case 0x46:
        if (operation.hasData) CheckDataLength(operation, operation.Number("VUDataLength"));
        break;
      case 0x50:
        CheckDataLength(operation, operation.Number("FontHeaderLength"));
        break;
      case 0x53:
        CheckDataLength(operation, operation.Number("CharDataSize"));
        break;
      case 0x5C:
        CheckDataLength(operation, operation.Number("StreamDataLength"));
        break;
      case 0x60:
      case 0x61:
        CheckGraphicsStateStack(operation);
        break;
      case 0x63:
      case 0x79:
        CheckColor(operation);
        break;
      case 0x6A:
        colorSpace_ = operation.Number("ColorSpace");
        break;
      case 0x6D:
        if (operation.hasData) CheckDitherMatrix(operation);
        break;
      case 0x93:
      case 0x95:
      case 0x9B:
      case 0x9D:
        if (operation.hasData) CheckPointList(operation);
        break;
      case 0xA8:
      case 0xA9:
        CheckTextSpacing(operation);
        break;
      case 0xB0:
      case 0xB3:
        image_ = ImageState{operation.Number("SourceWidth"), operation.Number("SourceHeight"),
                            operation.Number("ColorDepth"), operation.Number("ColorMapping")};
        break;
      case 0xB1:
      case 0xB4:
        CheckImageBlock(operation);
        break;
      case 0xB9:
        CheckScanLines(operation);
        break;
      default:
        break;
    }
  }

  void CheckDataLength(const Operation& operation, double declared) {
    if (static_cast<double>(operation.data.size()) != declared) {
      Fail(operation.offset, std::string(operation.name) + " declares " + Number(declared) + " bytes but " +
                                 std::to_string(operation.data.size()) + " follow");
    }
  }

  void CheckGraphicsStateStack(const Operation& operation) {
    if (operation.tag == 0x61) {
      ++graphicsStates_;
    } else if (options_.checkNesting && graphicsStates_-- == 0) {
      Fail(operation.offset, "PopGS without a PushGS on this page");
    }
  }

  void CheckColor(const Operation& operation) {
    const Attribute* rgb = operation.Find("RGBColor");
    if (rgb != nullptr && rgb->value.numbers.size() != 3) {
      Fail(operation.offset, "RGBColor has " + std::to_string(rgb->value.numbers.size()) + " components");
    }
  }

  void CheckDitherMatrix(const Operation& operation) {
    if (operation.Number("DitherMatrixDepth") != 2) return Fail(operation.offset, "dither matrix depth is not 8 bits");
    CheckDataLength(operation, operation.Number("DitherMatrixSize", 0) * operation.Number("DitherMatrixSize", 1));
  }

  void CheckPointList(const Operation& operation) {
    const double points = operation.Number("NumberOfPoints");
    const double type = operation.Number("PointType");
    if (type < 0 || type > 3) return Fail(operation.offset, "PointType " + Number(type) + " is not a data type");
    const bool curve = operation.tag == 0x93 || operation.tag == 0x95;
    if (curve && std::fmod(points, 3) != 0) {
      return Fail(operation.offset,
                  std::string(operation.name) + " with " + Number(points) + " points, not a multiple of 3");
    }
    CheckDataLength(operation, points * 2 * (type < 2 ? 1 : 2));
  }

  void CheckTextSpacing(const Operation& operation) {
    const size_t characters = operation.Find("TextData")->value.numbers.size();
    for (const char* name : {"XSpacingData", "YSpacingData"}) {
      const Attribute* spacing = operation.Find(name);
      if (spacing != nullptr && spacing->value.numbers.size() != characters) {
        return Fail(operation.offset, std::string(name) + " has " + std::to_string(spacing->value.numbers.size()) +
                                          " entries for " + std::to_string(characters) + " characters");
      }
    }
  }

  void CheckImageBlock(const Operation& operation) {
    if (!image_) return;
    const double startLine = operation.Number("StartLine");
    const double blockHeight = operation.Number("BlockHeight");
    if (startLine + blockHeight > image_->height) {
      return Fail(operation.offset, "rows " + Number(startLine) + " to " + Number(startLine + blockHeight) +
                                        " pass the source height " + Number(image_->height));
    }
    if (operation.Number("CompressMode") != 0) return;
    const double bits = DepthBits(image_->depth);
    const double components = image_->mapping == 1 ? 1 : ColorComponents();
    if (bits == 0 || components == 0) return;
    const Attribute* pad = operation.Find("PadBytesMultiple");
    const double multiple = pad != nullptr ? pad->value.numbers[0] : 4;
    double rowBytes = std::ceil(image_->width * bits * components / 8);
    if (multiple > 0) rowBytes = std::ceil(rowBytes / multiple) * multiple;
    CheckDataLength(operation, rowBytes * blockHeight);
  }

  static double DepthBits(double depth) { return depth == 0 ? 1 : depth == 1 ? 4 : depth == 2 ? 8 : 0; }
  double ColorComponents() const { return colorSpace_ == 1 ? 1 : colorSpace_ == 2 ? 3 : 0; }

  // Each line: start-coordinate type, x, y, pair count (uint16), pair type,
  // then the pairs.
  void CheckScanLines(const Operation& operation) {
    const Attribute* lines = operation.Find("NumberOfScanLines");
    const size_t lineCount = lines != nullptr ? static_cast<size_t>(lines->value.numbers[0]) : 1;
    const std::vector<uint8_t>& data = operation.data;
    size_t at = 0;
    for (size_t line = 0; line < lineCount; ++line) {
      if (!ScanLineFits(data, at)) return Fail(operation.offset, "ScanLineRel data is cut short");
    }
    if (at != data.size()) {
      Fail(operation.offset, "ScanLineRel data has " + std::to_string(data.size() - at) + " bytes left over");
    }
  }

  static bool ScanLineFits(const std::vector<uint8_t>& data, size_t& at) {
    if (data.size() - at < 1 || data[at] > 3) return false;
    const size_t coordinateSize = data[at] < 2 ? 1 : 2;
    at += 1;
    if (data.size() - at < 2 * coordinateSize + 3) return false;
    at += 2 * coordinateSize;
    const size_t pairs = data[at] | (data[at + 1] << 8);
    const uint8_t pairType = data[at + 2];
    at += 3;
    if (pairType > 3) return false;
    const size_t pairBytes = 2 * pairs * (pairType < 2 ? 1 : 2);
    if (data.size() - at < pairBytes) return false;
    at += pairBytes;
    return true;
  }

  static std::string Hex(uint8_t byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte);
    return text;
  }

  static std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
  }

  std::span<const uint8_t> bytes_;
  const ReadOptions& options_;
  ReadResult& result_;
  size_t position_ = 0;
  std::optional<Fault> fault_;
  std::optional<Value> pendingValue_;
  size_t pendingValueOffset_ = 0;
  std::vector<Attribute> attributes_;
  Level level_ = Level::kNone;
  Block block_ = Block::kNone;
  int graphicsStates_ = 0;
  double colorSpace_ = -1;
  std::optional<ImageState> image_;
};

std::string FormatNumber(double value, ElementType element) {
  char text[32];
  if (element == E::kReal32) {
    std::snprintf(text, sizeof text, "%g", value);
  } else {
    std::snprintf(text, sizeof text, "%.0f", value);
  }
  return text;
}

bool Printable(const Value& value) {
  return value.kind == K::kArray && value.element == E::kUByte && !value.numbers.empty() &&
         std::all_of(value.numbers.begin(), value.numbers.end(),
                     [](double number) { return number >= 0x20 && number < 0x7F && number != '"'; });
}

std::string FormatValue(const Attribute& attribute) {
  const Value& value = attribute.value;
  if (Printable(value)) return value.TypeName() + "\"" + value.Text() + "\"";
  // Extension codes read best in hexadecimal.
  if (attribute.name == "VUExtension") {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(value.numbers[0]));
    return value.TypeName() + "(" + text + ")";
  }
  std::string text = value.TypeName() + "(";
  for (size_t i = 0; i < value.numbers.size(); ++i) {
    if (i > 0) text += ",";
    text += FormatNumber(value.numbers[i], value.element);
  }
  return text + ")";
}

std::string FormatData(const Operation& operation) {
  constexpr size_t kShown = 32;
  std::string text = std::string(" data=") + (operation.longDataFrame ? "long[" : "short[") +
                     std::to_string(operation.data.size()) + "]";
  for (size_t i = 0; i < std::min(operation.data.size(), kShown); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X", operation.data[i]);
    text += (i == 0 ? ":" : " ") + std::string(byte);
  }
  if (operation.data.size() > kShown) text += " ...";
  return text;
}

}  // namespace

std::string Value::TypeName() const {
  static const char* const kSuffixes[] = {"", "_array", "_xy", "_box"};
  return std::string(ElementName(element)) + kSuffixes[static_cast<int>(kind)];
}

std::string Value::Text() const {
  std::string text;
  for (double number : numbers) text += static_cast<char>(static_cast<uint8_t>(number));
  return text;
}

const Attribute* Operation::Find(std::string_view attributeName) const {
  for (const Attribute& attribute : attributes) {
    if (attribute.name == attributeName) return &attribute;
  }
  return nullptr;
}

double Operation::Number(std::string_view attributeName, size_t index) const {
  const Attribute* attribute = Find(attributeName);
  if (attribute == nullptr || index >= attribute->value.numbers.size()) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  return attribute->value.numbers[index];
}

std::vector<std::string> ReadResult::OperatorNames() const {
  std::vector<std::string> names;
  for (const Operation& operation : operations) names.emplace_back(operation.name);
  return names;
}

ReadResult ReadStrictly(std::span<const uint8_t> bytes, const ReadOptions& options) {
  ReadResult result;
  Reader(bytes, options, result).Run();
  return result;
}

std::string FormatOperation(const Operation& operation) {
  std::string text(operation.name);
  for (const Attribute& attribute : operation.attributes) {
    text += " " + std::string(attribute.name) + "=" + FormatValue(attribute);
  }
  if (operation.hasData) text += FormatData(operation);
  return text;
}

std::string Disassemble(const ReadResult& result) {
  std::string text;
  if (result.header) {
    text += "Header " + std::to_string(result.header->majorClass) + "." + std::to_string(result.header->minorClass) +
            " \"" + result.header->comment + "\"\n";
  }
  for (const Operation& operation : result.operations) text += FormatOperation(operation) + "\n";
  if (!result.Ok()) text += "error at " + std::to_string(result.errorOffset) + ": " + result.error + "\n";
  return text;
}

}  // namespace strict_pclxl
