#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pclxl/testing/collecting_sink.h"
#include "pclxl/testing/strict_pclxl_reader.h"
#include "pclxl/xl_font_operators.h"
#include "pclxl/xl_graphics_state_operators.h"
#include "pclxl/xl_image_operators.h"
#include "pclxl/xl_path_operators.h"
#include "pclxl/xl_session_operators.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

void Data(XLStream* s, const Bytes& data) {
  XLWriteEmbeddedLength(s, data.size());
  XLWriteRawBytes(s, data);
}

void WriteSessionLevel(XLStream* s) {
  XLVendorUnique(s, 0x71762002, uint8_t{1});
  XLVendorUnique(s, 0x71762008);
  XLVendorUniqueTwoBytes(s, 0x71762003, 4, 5);
  XLVendorUniqueByteAndWord(s, 0x71762004, 6, 0x1234);
  XLVendorUniqueWithData(s, 0x71762005, 7, 8, Bytes{1, 2, 3});
  XLVendorUniqueValues values;
  values.attr5 = 5;
  values.attr4 = 4;
  values.attr3 = 3;
  values.attr2 = 2;
  values.attr1 = 1;
  values.attr6 = 6;
  values.attr9 = 9;
  XLVendorUniqueFromTable(s, 13, values);
  XLComment(s, Text("note"));
  XLEchoComment(s, Text("echo"));
  XLQuery(s, Text("KEY"));
  XLBeginFontHeader(s, Text("0TT"), 0);
  XLReadFontHeader(s, 8);
  Data(s, Bytes{0, 0, 0, 1, 0, 0, 0, 0});
  XLEndFontHeader(s);
  XLBeginChar(s, Text("0TT"));
  XLReadChar(s, 0x41, 4);
  Data(s, Bytes{1, 1, 0, 0});
  XLEndChar(s);
  XLBeginStream(s, Text("S1"));
  XLReadStream(s, 2);
  Data(s, Bytes{0x85, 0x86});
  XLEndStream(s);
  XLBeginRastPattern(s, 1, 0, uint16_t{8}, uint16_t{1}, XLPair<uint16_t>{16, 16}, 1, 0);
  XLReadRastPattern(s, uint16_t{0}, uint16_t{1}, 0);
  Data(s, Bytes{0xAA, 0, 0, 0});
  XLEndRastPattern(s);
}

void WriteGraphicsState(XLStream* s) {
  const float white[] = {1, 1, 1};
  const float xy[] = {0.64f, 0.33f};
  XLSetColorTreatment(s, 1);
  XLSetColorTreatmentByObject(s, 1, 2, 3);
  XLSetNeutralAxis(s, 0, 1, 0);
  XLSetNeutralAxis(s, XLObjectType::Raster, 1);
  XLSetAdaptiveHalftoning(s, 1, 1, 0);
  XLSetAdaptiveHalftoning(s, XLObjectType::All, 0);
  XLSetColorTrapping(s, 2);
  XLSetHalftoneMethodDevice(s, 1);
  XLSetHalftoneMethodByObject(s, 0, 1, 2, XLPair<uint16_t>{3, 4});
  XLSetHalftoneMethodMatrix(s, XLPair<uint16_t>{2, 2}, 2, 0);
  Data(s, Bytes{10, 20, 30, 40});
  XLPushGS(s);
  XLSetColorSpaceColorimetric(s, 5, 1, xy, white, white, white);
  XLSetColorSpaceColorimetricExtended(s, 6, {xy, white, xy, white, xy, white});
  XLSetColorSpaceWithPalette(s, 1, 2, Bytes{0, 255});
  XLPopGS(s);
  XLSetBrushSourceGrayLevel(s, uint8_t{128});
  XLSetBrushSourceGrayLevel(s, 0.5f);
  XLSetBrushSourceNull(s, 0);
  XLSetBrushSourcePattern(s, 1);
  XLSetBrushSourcePattern(s, 2, XLPair<uint16_t>{32, 32});
  XLSetBrushSourceRGB(s, Bytes{255, 0, 0});
  XLSetBrushSourceRGB(s, white);
  XLSetBrushSourcePrimary(s, 2, Bytes{1, 2, 3});
  XLSetPenSourceGrayLevel(s, uint8_t{0});
  XLSetPenSourceGrayLevel(s, 1.0f);
  XLSetPenSourceNull(s, 0);
  XLSetPenSourcePattern(s, 1, XLPair<uint16_t>{8, 8});
  XLSetPenSourceRGB(s, Bytes{0, 0, 255});
  XLSetPenSourceRGB(s, white);
  XLSetPenSourcePrimary(s, 2, Bytes{4, 5, 6});
  XLSetPenWidth(s, uint16_t{5});
  XLSetPenWidth(s, 0.5f);
  XLSetLineDash(s, std::vector<uint16_t>{10, 5}, uint16_t{2});
  XLSetLineDash(s, std::vector<uint16_t>{4});
  XLSetLineDashSolid(s, 0);
  XLSetLineCap(s, 1);
  XLSetLineJoin(s, 0);
  XLSetMiterLimit(s, uint16_t{10});
  XLSetMiterLimit(s, 4.0f);
  XLSetFillMode(s, 1);
  XLSetPageDefaultCTM(s);
  XLSetPageOrigin(s, XLPair<int16_t>{100, -100});
  XLSetPageRotation(s, int16_t{90});
  XLSetPageRotation(s, 45.0f);
  XLSetPageScale(s, XLPair<float>{2, 0.5f});
  XLSetPaintTxMode(s, 0);
  XLSetSourceTxMode(s, 1);
  XLSetROP(s, 0xCC);
  XLSetClipMode(s, 0);
  XLSetClipRectangle(s, XLBox<int16_t>{-1, 0, 300, 20}, 0);
  XLSetClipIntersect(s, 1);
  XLSetClipToPage(s);
}

void WritePaths(XLStream* s) {
  XLNewPath(s);
  XLSetCursor(s, XLPair<int16_t>{100, 200});
  XLSetCursorWithMeasure(s, XLPair<float>{1.5f, 2}, 0, XLPair<float>{600, 600});
  XLSetCursorRel(s, XLPair<int32_t>{-5, 5});
  XLLinePath(s, XLPair<int16_t>{10, 10});
  XLLinePath(s, uint16_t{2}, 3);
  Data(s, Bytes{1, 0, 2, 0, 3, 0, 4, 0});
  XLLineRelPath(s, XLPair<uint16_t>{1, 2});
  XLLineRelPath(s, uint16_t{3}, 1);
  Data(s, Bytes{1, 0xFF, 2, 0xFE, 3, 0xFD});
  XLBezierPath(s, XLPair<int16_t>{1, 2}, XLPair<int16_t>{3, 4}, XLPair<int16_t>{5, 6});
  XLBezierPath(s, uint16_t{3}, 3);
  Data(s, Bytes{1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0});
  XLBezierRelPath(s, XLPair<float>{1, 2}, XLPair<float>{3, 4}, XLPair<float>{5, 6});
  XLBezierRelPath(s, uint16_t{3}, 1);
  Data(s, Bytes{1, 2, 3, 4, 5, 6});
  XLCloseSubPath(s);
  XLSetPathToClip(s);
  XLSetClipReplace(s, 1);
  XLArcPath(s, XLBox<int16_t>{0, 0, 100, 50}, XLPair<int16_t>{100, 25}, XLPair<int16_t>{0, 25}, 1);
  XLChord(s, XLBox<uint16_t>{0, 0, 10, 10}, XLPair<uint16_t>{10, 5}, XLPair<uint16_t>{0, 5});
  XLChordPath(s, XLBox<int16_t>{0, 0, 10, 10}, XLPair<int16_t>{0, 5}, XLPair<int16_t>{10, 5});
  XLPie(s, XLBox<int32_t>{0, 0, 10, 10}, XLPair<int32_t>{10, 5}, XLPair<int32_t>{5, 0});
  XLPiePath(s, XLBox<int16_t>{0, 0, 10, 10}, XLPair<int16_t>{10, 5}, XLPair<int16_t>{5, 0});
  XLEllipse(s, XLBox<float>{0, 0, 20.5f, 10});
  XLEllipsePath(s, XLBox<int16_t>{0, 0, 20, 10});
  XLRectangle(s, XLBox<uint16_t>{1, 2, 3, 4});
  XLRectanglePath(s, XLBox<int16_t>{100, 100, 200, 150});
  XLRoundRectangle(s, XLBox<int16_t>{0, 0, 50, 50}, XLPair<float>{5, 5});
  XLRoundRectanglePath(s, XLBox<int16_t>{0, 0, 50, 50}, XLPair<uint16_t>{8, 8});
  XLPaintPath(s);
}

void WriteText(XLStream* s) {
  XLSetFont(s, Text("0TT"), 50.0f, 629);
  XLSetFontPCLSelect(s, Text("\x1b(8U\x1b(s0p12h10v0s0b3T"));
  XLSetCharAttributes(s, 0);
  XLSetCharAngle(s, int16_t{90});
  XLSetCharAngle(s, 0.0f);
  XLSetCharScale(s, XLPair<float>{1, 1});
  XLSetCharShear(s, XLPair<int16_t>{0, 0});
  XLSetCharShear(s, XLPair<float>{0.31623f, 0});
  XLSetCharBoldValue(s, 0.015f);
  XLSetCharSubMode(s, Bytes{0});
  const int16_t spacing[] = {10, 12};
  XLText(s, Text("AB"), spacing);
  XLText(s, std::vector<uint16_t>{0x100, 0x101}, {}, spacing);
  XLTextPath(s, Text("C"));
  XLTextPath(s, std::vector<uint16_t>{65}, std::span(spacing, 1), std::span(spacing + 1, 1));
}

void WriteRaster(XLStream* s) {
  const XLPair<uint16_t> pairs[] = {{2, 3}, {300, 4}};
  XLSetColorSpace(s, 1);
  XLBeginImage(s, 0, 2, uint16_t{3}, uint16_t{2}, XLPair<uint16_t>{30, 20});
  XLReadImage(s, uint16_t{0}, uint16_t{1}, 0, uint8_t{4});
  Data(s, Bytes{1, 2, 3, 0});
  XLReadImage(s, uint32_t{1}, uint32_t{1}, 0);
  Data(s, Bytes{4, 5, 6, 0});
  XLEndImage(s);
  XLBeginImage(s, 0, 2, uint32_t{100}, uint32_t{1}, XLPair<uint16_t>{100, 1});
  XLReadImage(s, uint16_t{0}, uint16_t{1}, 1);
  Data(s, Bytes{0x9D, 0x00, 0x9D, 0x00});
  XLEndImage(s);
  XLBeginRastPattern(s, 1, 0, uint32_t{8}, uint32_t{2}, XLPair<uint16_t>{8, 8}, 2, 0);
  XLReadRastPattern(s, uint32_t{0}, uint32_t{2}, 0);
  Data(s, Bytes{0x0F, 0, 0, 0, 0xF0, 0, 0, 0});
  XLEndRastPattern(s);
  XLBeginScan(s);
  XLScanLineRel(s, 10, 20, pairs);
  XLScanLineRelCompact(s, 10, 21, pairs);
  XLEndScan(s);
  XLScanSingleLine(s, 10, 22, std::span(pairs, 1));
}

// What the strict reader reads back from WriteEveryOperator: every attribute
// set in the order, types and values that the operator functions promise.
const char* const kEveryOperatorListing = R"listing(Header 3.0 " every operator"
BeginSession UnitsPerMeasure=uint16_xy(600,600) Measure=ubyte(0) ErrorReport=ubyte(3)
OpenDataSource SourceType=ubyte(0) DataOrg=ubyte(1)
VendorUnique VUExtension=uint32(0x71762002) VUAttr1=ubyte(1)
VendorUnique VUExtension=uint32(0x71762008)
VendorUnique VUExtension=uint32(0x71762003) VUAttr1=ubyte(4) VUAttr2=ubyte(5)
VendorUnique VUExtension=uint32(0x71762004) VUAttr1=ubyte(6) VUAttr2=uint16(4660)
VendorUnique VUExtension=uint32(0x71762005) VUAttr2=ubyte(7) VUAttr1=uint16(8) VUDataLength=uint32(3) data=short[3]:01 02 03
VendorUnique VUExtension=uint32(0x7176300A) VUAttr5=uint32(5) VUAttr4=uint16(4) VUAttr3=uint16(3) VUAttr2=uint16(2) VUAttr1=uint16(1) VUAttr6=ubyte(6) VUAttr9=uint16(9)
Comment CommentData=ubyte_array"note"
EchoComment CommentData=ubyte_array"echo"
Query QueryKey=ubyte_array"KEY"
BeginFontHeader FontName=ubyte_array"0TT" FontFormat=ubyte(0)
ReadFontHeader FontHeaderLength=uint16(8) data=short[8]:00 00 00 01 00 00 00 00
EndFontHeader
BeginChar FontName=ubyte_array"0TT"
ReadChar CharCode=uint16(65) CharDataSize=uint32(4) data=short[4]:01 01 00 00
EndChar
BeginStream StreamName=ubyte_array"S1"
ReadStream StreamDataLength=uint32(2) data=short[2]:85 86
EndStream
BeginRastPattern ColorMapping=ubyte(1) ColorDepth=ubyte(0) SourceWidth=uint16(8) SourceHeight=uint16(1) DestinationSize=uint16_xy(16,16) PatternDefineID=sint16(1) PatternPersistence=ubyte(0)
ReadRastPattern StartLine=uint16(0) BlockHeight=uint16(1) CompressMode=ubyte(0) data=short[4]:AA 00 00 00
EndRastPattern
BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaType=ubyte_array"Plain" MediaSource=ubyte(1)
SetColorTreatment ColorTreatment=ubyte(1)
SetColorTreatment TextObjects=ubyte(1) VectorObjects=ubyte(2) RasterObjects=ubyte(3)
SetNeutralAxis TextObjects=ubyte(0) VectorObjects=ubyte(1) RasterObjects=ubyte(0)
SetNeutralAxis RasterObjects=ubyte(1)
SetAdaptiveHalftoning TextObjects=ubyte(1) VectorObjects=ubyte(1) RasterObjects=ubyte(0)
SetAdaptiveHalftoning AllObjectTypes=ubyte(0)
SetColorTrapping AllObjectTypes=ubyte(2)
SetHalftoneMethod DeviceMatrix=ubyte(1)
SetHalftoneMethod TextObjects=ubyte(0) VectorObjects=ubyte(1) RasterObjects=ubyte(2) DitherOrigin=uint16_xy(3,4)
SetHalftoneMethod DitherMatrixSize=uint16_xy(2,2) DitherMatrixDepth=ubyte(2) DitherMatrixDataType=ubyte(0) data=short[4]:0A 14 1E 28
PushGS
SetColorSpace ColorSpace=ubyte(5) ColorimetricColorSpace=ubyte(1) XYChromaticities=real32_array(0.64,0.33) WhiteReferencePoint=real32_array(1,1,1) CRGBMinMax=real32_array(1,1,1) GammaGain=real32_array(1,1,1)
SetColorSpace ColorSpace=ubyte(6) ColorimetricData1=real32_array(0.64,0.33) ColorimetricData2=real32_array(1,1,1) ColorimetricData3=real32_array(0.64,0.33) ColorimetricData4=real32_array(1,1,1) ColorimetricData5=real32_array(0.64,0.33) ColorimetricData6=real32_array(1,1,1)
SetColorSpace ColorSpace=ubyte(1) PaletteDepth=ubyte(2) PaletteData=ubyte_array(0,255)
PopGS
SetBrushSource GrayLevel=ubyte(128)
SetBrushSource GrayLevel=real32(0.5)
SetBrushSource NullBrush=ubyte(0)
SetBrushSource PatternSelectID=sint16(1)
SetBrushSource PatternSelectID=sint16(2) NewDestinationSize=uint16_xy(32,32)
SetBrushSource RGBColor=ubyte_array(255,0,0)
SetBrushSource RGBColor=real32_array(1,1,1)
SetBrushSource PrimaryDepth=ubyte(2) PrimaryArray=ubyte_array(1,2,3)
SetPenSource GrayLevel=ubyte(0)
SetPenSource GrayLevel=real32(1)
SetPenSource NullPen=ubyte(0)
SetPenSource PatternSelectID=sint16(1) NewDestinationSize=uint16_xy(8,8)
SetPenSource RGBColor=ubyte_array(0,0,255)
SetPenSource RGBColor=real32_array(1,1,1)
SetPenSource PrimaryDepth=ubyte(2) PrimaryArray=ubyte_array(4,5,6)
SetPenWidth PenWidth=uint16(5)
SetPenWidth PenWidth=real32(0.5)
SetLineDash LineDashStyle=uint16_array(10,5) DashOffset=uint16(2)
SetLineDash LineDashStyle=uint16_array(4)
SetLineDash SolidLine=ubyte(0)
SetLineCap LineCapStyle=ubyte(1)
SetLineJoin LineJoinStyle=ubyte(0)
SetMiterLimit MiterLength=uint16(10)
SetMiterLimit MiterLength=real32(4)
SetFillMode FillMode=ubyte(1)
SetPageDefaultCTM
SetPageOrigin PageOrigin=sint16_xy(100,-100)
SetPageRotation PageAngle=sint16(90)
SetPageRotation PageAngle=real32(45)
SetPageScale PageScale=real32_xy(2,0.5)
SetPaintTxMode TxMode=ubyte(0)
SetSourceTxMode TxMode=ubyte(1)
SetROP ROP3=ubyte(204)
SetClipMode ClipMode=ubyte(0)
SetClipRectangle BoundingBox=sint16_box(-1,0,300,20) ClipRegion=ubyte(0)
SetClipIntersect ClipRegion=ubyte(1)
SetClipToPage
NewPath
SetCursor Point=sint16_xy(100,200)
SetCursor Point=real32_xy(1.5,2) Measure=ubyte(0) UnitsPerMeasure=real32_xy(600,600)
SetCursorRel Point=sint32_xy(-5,5)
LinePath EndPoint=sint16_xy(10,10)
LinePath NumberOfPoints=uint16(2) PointType=ubyte(3) data=short[8]:01 00 02 00 03 00 04 00
LineRelPath EndPoint=uint16_xy(1,2)
LineRelPath NumberOfPoints=uint16(3) PointType=ubyte(1) data=short[6]:01 FF 02 FE 03 FD
BezierPath ControlPoint1=sint16_xy(1,2) ControlPoint2=sint16_xy(3,4) EndPoint=sint16_xy(5,6)
BezierPath NumberOfPoints=uint16(3) PointType=ubyte(3) data=short[12]:01 00 02 00 03 00 04 00 05 00 06 00
BezierRelPath ControlPoint1=real32_xy(1,2) ControlPoint2=real32_xy(3,4) EndPoint=real32_xy(5,6)
BezierRelPath NumberOfPoints=uint16(3) PointType=ubyte(1) data=short[6]:01 02 03 04 05 06
CloseSubPath
SetPathToClip
SetClipReplace ClipRegion=ubyte(1)
ArcPath BoundingBox=sint16_box(0,0,100,50) StartPoint=sint16_xy(100,25) EndPoint=sint16_xy(0,25) ArcDirection=ubyte(1)
Chord BoundingBox=uint16_box(0,0,10,10) StartPoint=uint16_xy(10,5) EndPoint=uint16_xy(0,5)
ChordPath BoundingBox=sint16_box(0,0,10,10) StartPoint=sint16_xy(0,5) EndPoint=sint16_xy(10,5)
Pie BoundingBox=sint32_box(0,0,10,10) StartPoint=sint32_xy(10,5) EndPoint=sint32_xy(5,0)
PiePath BoundingBox=sint16_box(0,0,10,10) StartPoint=sint16_xy(10,5) EndPoint=sint16_xy(5,0)
Ellipse BoundingBox=real32_box(0,0,20.5,10)
EllipsePath BoundingBox=sint16_box(0,0,20,10)
Rectangle BoundingBox=uint16_box(1,2,3,4)
RectanglePath BoundingBox=sint16_box(100,100,200,150)
RoundRectangle BoundingBox=sint16_box(0,0,50,50) EllipseDimension=real32_xy(5,5)
RoundRectanglePath BoundingBox=sint16_box(0,0,50,50) EllipseDimension=uint16_xy(8,8)
PaintPath
SetFont FontName=ubyte_array"0TT" CharSize=real32(50) SymbolSet=uint16(629)
SetFont PCLSelectFont=ubyte_array(27,40,56,85,27,40,115,48,112,49,50,104,49,48,118,48,115,48,98,51,84)
SetCharAttributes WritingMode=ubyte(0)
SetCharAngle CharAngle=sint16(90)
SetCharAngle CharAngle=real32(0)
SetCharScale CharScale=real32_xy(1,1)
SetCharShear CharShear=sint16_xy(0,0)
SetCharShear CharShear=real32_xy(0.31623,0)
SetCharBoldValue CharBoldValue=real32(0.015)
SetCharSubMode CharSubModeArray=ubyte_array(0)
Text TextData=ubyte_array"AB" XSpacingData=sint16_array(10,12)
Text TextData=uint16_array(256,257) YSpacingData=sint16_array(10,12)
TextPath TextData=ubyte_array"C"
TextPath TextData=uint16_array(65) XSpacingData=sint16_array(10) YSpacingData=sint16_array(12)
SetColorSpace ColorSpace=ubyte(1)
BeginImage ColorMapping=ubyte(0) ColorDepth=ubyte(2) SourceWidth=uint16(3) SourceHeight=uint16(2) DestinationSize=uint16_xy(30,20)
ReadImage StartLine=uint16(0) BlockHeight=uint16(1) CompressMode=ubyte(0) PadBytesMultiple=ubyte(4) data=short[4]:01 02 03 00
ReadImage StartLine=uint32(1) BlockHeight=uint32(1) CompressMode=ubyte(0) data=short[4]:04 05 06 00
EndImage
BeginImage ColorMapping=ubyte(0) ColorDepth=ubyte(2) SourceWidth=uint32(100) SourceHeight=uint32(1) DestinationSize=uint16_xy(100,1)
ReadImage StartLine=uint16(0) BlockHeight=uint16(1) CompressMode=ubyte(1) data=short[4]:9D 00 9D 00
EndImage
BeginRastPattern ColorMapping=ubyte(1) ColorDepth=ubyte(0) SourceWidth=uint32(8) SourceHeight=uint32(2) DestinationSize=uint16_xy(8,8) PatternDefineID=sint16(2) PatternPersistence=ubyte(0)
ReadRastPattern StartLine=uint32(0) BlockHeight=uint32(2) CompressMode=ubyte(0) data=short[8]:0F 00 00 00 F0 00 00 00
EndRastPattern
BeginScan
ScanLineRel data=short[16]:03 0A 00 14 00 02 00 02 02 00 03 00 2C 01 04 00
ScanLineRel data=short[16]:03 0A 00 15 00 02 00 02 02 00 03 00 2C 01 04 00
EndScan
BeginScan
ScanLineRel data=short[10]:03 0A 00 16 00 01 00 00 02 03
EndScan
ExecStream StreamName=ubyte_array"S1"
PassThrough data=long[5]:1B 2A 70 30 58
EndPage PageCopies=uint16(1)
BeginPage Orientation=ubyte(1) CustomMediaSize=uint16_xy(8,12) CustomMediaSizeUnits=ubyte(0)
EndPage PageCopies=uint16(2) MediaSource=ubyte(3)
BeginPage Orientation=ubyte(3) MediaSize=ubyte(26)
EndPage MediaSource=ubyte(4)
BeginPage Orientation=ubyte(2) CustomMediaSize=uint16_xy(100,200) CustomMediaSizeUnits=ubyte(1) MediaType=ubyte_array"Bond" MediaSource=ubyte(5)
EndPage
RemoveStream StreamName=ubyte_array"S1"
RemoveFont FontName=ubyte_array"0TT"
CloseDataSource
EndSession
)listing";

// One job that calls every operator function of the library.
void WriteEveryOperator(XLStream* s) {
  XLWriteStreamHeader(s, 3, 0, " every operator");
  XLBeginSession(s, XLPair<uint16_t>{600, 600}, 0, uint8_t{3});
  XLOpenDataSource(s, 0, uint8_t{1});
  WriteSessionLevel(s);
  XLBeginPage(s, 0, 2, Text("Plain"), uint8_t{1});
  WriteGraphicsState(s);
  WritePaths(s);
  WriteText(s);
  WriteRaster(s);
  XLExecStream(s, Text("S1"));
  XLPassThrough(s, Text("\x1b*p0X"));
  XLEndPage(s, uint16_t{1});
  XLBeginPageCustomSize(s, 1, XLPair<uint16_t>{8, 12}, 0);
  XLEndPage(s, uint16_t{2}, uint8_t{3});
  XLBeginPage(s, 3, 26);
  XLEndPage(s, std::nullopt, uint8_t{4});
  XLBeginPageCustomSize(s, 2, XLPair<uint16_t>{100, 200}, 1, Text("Bond"), uint8_t{5});
  XLEndPage(s);
  XLRemoveStream(s, Text("S1"));
  XLRemoveFont(s, Text("0TT"));
  XLCloseDataSource(s);
  XLEndSession(s);
}

TEST(XLOperators, EveryFunctionWritesAStreamTheStrictReaderAccepts) {
  SinkStream stream(61);
  WriteEveryOperator(stream);
  ASSERT_EQ(stream->error, kXLNoError);
  const strict_pclxl::ReadResult result = strict_pclxl::ReadStrictly(stream.Output());
  const std::string text = strict_pclxl::Disassemble(result);
  ASSERT_TRUE(result.Ok()) << text;
  EXPECT_EQ(text, kEveryOperatorListing);
}

// The session, page set-up, rectangle and page end of a minimal job, byte
// for byte, with the page attributes written one by one as the generator
// writes them.
TEST(XLOperators, MinimalJobBytes) {
  SinkStream stream;
  XLBeginSession(stream, XLPair<uint16_t>{600, 600}, 0, uint8_t{3});
  XLOpenDataSource(stream, 0, uint8_t{1});
  XLWriteUByte(stream, 0);
  XLWriteAttribute(stream, XLAttr::Orientation);
  XLWriteUByte(stream, 7);
  XLWriteAttribute(stream, XLAttr::MediaSource);
  XLWriteUByteArray(stream, Text("LETTER"));
  XLWriteAttribute(stream, XLAttr::MediaSize);
  XLWriteOperator(stream, XLOp::BeginPage);
  XLSetClipMode(stream, 0);
  XLNewPath(stream);
  XLRectanglePath(stream, XLBox<int16_t>{100, 100, 200, 150});
  XLPaintPath(stream);
  XLEndPage(stream, uint16_t{1});
  XLCloseDataSource(stream);
  XLEndSession(stream);
  // clang-format off
  const Bytes expected = {
      0xD1, 0x58, 0x02, 0x58, 0x02, 0xF8, 0x89, 0xC0, 0x00, 0xF8, 0x86, 0xC0, 0x03, 0xF8, 0x8F, 0x41,  //
      0xC0, 0x00, 0xF8, 0x88, 0xC0, 0x01, 0xF8, 0x82, 0x48,                                          //
      0xC0, 0x00, 0xF8, 0x28, 0xC0, 0x07, 0xF8, 0x26,                                                //
      0xC8, 0xC1, 0x06, 0x00, 'L',  'E',  'T',  'T',  'E',  'R',  0xF8, 0x25, 0x43,                  //
      0xC0, 0x00, 0xF8, 0x54, 0x7F, 0x85,                                                            //
      0xE3, 0x64, 0x00, 0x64, 0x00, 0xC8, 0x00, 0x96, 0x00, 0xF8, 0x42, 0xA1, 0x86,                  //
      0xC1, 0x01, 0x00, 0xF8, 0x31, 0x44, 0x49, 0x42};
  EXPECT_EQ(stream.Output(), expected);
}

TEST(XLVendorUniqueFromTable, WritesTheAttributesOfTheEntrysLevel) {
  struct Case {
    const char* name;
    int32_t index;
    const char* listing;
  };
  // clang-format on
  const Case cases[] = {
      {"level_5_first_entry", 0, "VendorUnique VUExtension=uint32(0x7176301B)\n"},
      {"level_5_last_entry", 29, "VendorUnique VUExtension=uint32(0x7176301A)\n"},
      {"level_4", 4, "VendorUnique VUExtension=uint32(0x71763001) VUAttr5=uint32(5)\n"},
      {"level_3", 12,
       "VendorUnique VUExtension=uint32(0x71763009) VUAttr5=uint32(5) VUAttr4=uint16(4) VUAttr3=uint16(3) "
       "VUAttr2=uint16(2) VUAttr1=uint16(1)\n"},
      {"level_2", 16,
       "VendorUnique VUExtension=uint32(0x7176300D) VUAttr5=uint32(5) VUAttr4=uint16(4) VUAttr3=uint16(3) "
       "VUAttr2=uint16(2) VUAttr1=uint16(1) VUAttr6=ubyte(6) VUAttr9=uint16(9)\n"},
      {"level_1", 15,
       "VendorUnique VUExtension=uint32(0x7176300C) VUAttr5=uint32(5) VUAttr4=uint16(4) VUAttr3=uint16(3) "
       "VUAttr2=uint16(2) VUAttr1=uint16(1) VUAttr6=ubyte(6) VUAttr8=real32(8.5) VUAttr7=real32(7.5)\n"},
      {"level_3_after_level_1_run", 19,
       "VendorUnique VUExtension=uint32(0x71763010) VUAttr5=uint32(5) VUAttr4=uint16(4) VUAttr3=uint16(3) "
       "VUAttr2=uint16(2) VUAttr1=uint16(1)\n"},
  };
  const XLVendorUniqueValues values{5, 4, 3, 2, 1, 6, 8.5f, 7.5f, 9};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkStream stream;
    XLVendorUniqueFromTable(stream, c.index, values);
    const strict_pclxl::ReadResult result =
        strict_pclxl::ReadStrictly(stream.Output(), {.expectHeader = false, .checkNesting = false});
    EXPECT_EQ(strict_pclxl::Disassemble(result), c.listing);
  }
}

TEST(XLVendorUniqueFromTable, RefusesAnIndexOutsideTheTable) {
  for (int32_t index : {-1, 30, 1000}) {
    SCOPED_TRACE(index);
    SinkStream stream;
    XLVendorUniqueFromTable(stream, index, {});
    EXPECT_EQ(stream->error, kXLValueOutOfRange);
    EXPECT_TRUE(stream.Output().empty());
  }
}

TEST(XLScanLineRel, FramesOneLineInEachForm) {
  const XLPair<uint16_t> small[] = {{1, 2}, {255, 3}};
  const XLPair<uint16_t> wide[] = {{1, 256}};
  struct Case {
    const char* name;
    std::function<void(XLStream*)> write;
    Bytes expected;
  };
  // clang-format off
  const Case cases[] = {
      {"one_line_uint16_pairs", [&](XLStream* s) { XLScanLineRel(s, -1, 20, small); },
       {0xB9, 0xFB, 16, 3, 0xFF, 0xFF, 20, 0, 2, 0, 2, 1, 0, 2, 0, 255, 0, 3, 0}},
      {"compact_sends_bytes_up_to_255", [&](XLStream* s) { XLScanLineRelCompact(s, 5, 6, small); },
       {0xB9, 0xFB, 12, 3, 5, 0, 6, 0, 2, 0, 0, 1, 2, 255, 3}},
      {"compact_falls_back_to_uint16", [&](XLStream* s) { XLScanLineRelCompact(s, 5, 6, wide); },
       {0xB9, 0xFB, 12, 3, 5, 0, 6, 0, 1, 0, 2, 1, 0, 0, 1}},
      {"single_line_between_begin_and_end_scan", [&](XLStream* s) { XLScanSingleLine(s, 0, 0, {}); },
       {0xB6, 0xB9, 0xFB, 8, 3, 0, 0, 0, 0, 0, 0, 0, 0xB8}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkStream stream;
    c.write(stream);
    EXPECT_EQ(stream.Output(), c.expected);
  }
}

TEST(XLScanLineRel, UsesTheLongLengthFromTwoHundredFiftySixBytes) {
  for (size_t pairs : {size_t{61}, size_t{62}}) {
    SCOPED_TRACE(pairs);
    SinkStream stream;
    XLBeginScan(stream);
    XLScanLineRel(stream, 0, 0, std::vector<XLPair<uint16_t>>(pairs, XLPair<uint16_t>{1, 1}));
    XLEndScan(stream);
    const strict_pclxl::ReadResult result =
        strict_pclxl::ReadStrictly(stream.Output(), {.expectHeader = false, .checkNesting = false});
    ASSERT_TRUE(result.Ok()) << result.error;
    const strict_pclxl::Operation& line = result.operations[1];
    EXPECT_EQ(line.data.size(), 8 + 4 * pairs);
    EXPECT_EQ(line.longDataFrame, pairs == 62);
  }
}

// Counts that do not fit their field stop the stream before any byte of the
// operator is written.
TEST(XLOperators, LengthsBeyondTheirFieldsStopTheStream) {
  struct Case {
    const char* name;
    std::function<void(XLStream*)> write;
  };
  const Case cases[] = {
      {"scan_line_pairs", [](XLStream* s) { XLScanLineRel(s, 0, 0, std::vector<XLPair<uint16_t>>(65536)); }},
      {"text_characters", [](XLStream* s) { XLText(s, Bytes(65536, 'A')); }},
      {"font_name", [](XLStream* s) { XLBeginChar(s, Bytes(70000, 'F')); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SinkStream stream;
    c.write(stream);
    EXPECT_EQ(stream->error, kXLValueOutOfRange);
    EXPECT_TRUE(stream.Output().empty());
  }
}

TEST(XLPassThrough, WritesTheOperatorThenLongEmbeddedData) {
  SinkStream stream;
  XLPassThrough(stream, Text("abc"));
  EXPECT_EQ(stream.Output(), (Bytes{0xBF, 0xFA, 3, 0, 0, 0, 'a', 'b', 'c'}));
}

}  // namespace
