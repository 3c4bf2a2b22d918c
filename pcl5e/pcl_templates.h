#pragma once

#include <string_view>

// The command templates that the PCL 5e generator expands with GPclFormatter.
// Letters A to H are the parameters the caller sets before each expansion;
// heights are in 1/7200 inch, positions and sizes in device dots unless said
// otherwise.
namespace pcl_template {

// Job and page set-up.
// A = device resolution.
inline constexpr std::string_view kJobStartWithResolution = "#1BE#1B*l1R#1B&u%fA%A0D#1B*t%fA%A0R";
inline constexpr std::string_view kJobStart = "#1BE#1B&u%fA%A0D#1B*t%fA%A0R";
// A = setting value.
inline constexpr std::string_view kPrintQuality = "#1B*o%fA%A0M";
inline constexpr std::string_view kEconomyMode = "#1B&b%fA%A0F";
// A = 0 simplex, 1 long edge, 2 short edge.
inline constexpr std::string_view kDuplexMode = "#1B&l%fA%A0S";
// A = tray code.
inline constexpr std::string_view kPaperSource = "#1B&l%fA%A0H";
// A = media type code.
inline constexpr std::string_view kMediaTypeByNumber = "#1B&l%fA%A0M";
// A = name length + 1; the name follows.
inline constexpr std::string_view kMediaTypeByName = "#1B&n%fA%A0Wd";
// The print direction back to the page's own.
inline constexpr std::string_view kPrintDirectionUpright = "#1B&a0P";
// A, B = width and height in dots, C, D = x and y resolution; the size is
// sent in decipoints, rounded up.
inline constexpr std::string_view kCustomPaperSize = "#1B&f%fA720*C+1-C/%A0i%fB720*D+1-D/%A0J";
inline constexpr std::string_view kFixedPaperSize = "#1B&l101A";
inline constexpr std::string_view kNoOffsets = "#1B&l0u0Z";
inline constexpr std::string_view kTopMarginZero = "#1B&l0E";
inline constexpr std::string_view kPushCursor = "#1B*pR";
// A = orientation code, B, C = printable width and height, D, E = x and y
// resolution, F = printable origin x, G = top offset in decipoints (0).
inline constexpr std::string_view kEdgeToEdgePageRecord =
    "#1B&a10W%fF720*D/%I2%fG%I2%fA%I1#00%fB720*D/%I2%fC720*E/%I2#1B&l0E#1B&a0L";
// A, B = size in dots, C, D = x and y resolution.
inline constexpr std::string_view kPictureFrameSize = "#1B*c%fA720*C+1-C/%A0x%fB720*D+1-D/%A0Y";
inline constexpr std::string_view kPictureFrameAnchorRotated = "#1B*c0T#1B&l1C#1B&l17E";
inline constexpr std::string_view kPictureFrameAnchor = "#1B*c0T";
// A = offset in decipoints.
inline constexpr std::string_view kBackSideRegistration = "#1B&l-%fA%A0Z";
// A = copies.
inline constexpr std::string_view kCopiesFormFeed = "#1B&l%fA%A0X#0C";
// Registration: A = paper width and B = printable height (turned pages: height
// and printable width), C, D = left and top offset, all in decipoints.
inline constexpr std::string_view kJobSeparationAndTray = "#1B&f%fB%A0f%fA%A0G#1B&l%fC%A0u%fD%A0Z";
// A = 0 to 3.
inline constexpr std::string_view kOrientation = "#1B&l%fA%A0O";
// A = x, B = y; the single-axis forms take their coordinate in A.
inline constexpr std::string_view kCursor = "#1B*p%fA%A0x%fB%A0Y";
inline constexpr std::string_view kCursorX = "#1B*p%fA%A0X";
inline constexpr std::string_view kCursorY = "#1B*p%fA%A0Y";
// E = palette id.
inline constexpr std::string_view kSelectPalette = "#1B&p%fE%A0S";

// Switching between PCL and GL/2 and the state each side restores.
inline constexpr std::string_view kEnterGL2 = "#1B%%B";
// A, B = x and y resolution.
inline constexpr std::string_view kGL2DefaultScaling = "SC0,%f1016A/1 10000/+%F6,0,-%f1016B/1 10000/+%F6,2";
// C, D = pattern anchor.
inline constexpr std::string_view kGL2SetUpWithPatternPen = "WUAC%fC%A0,%fD%A0SP1PP1PW0TD1IW";
inline constexpr std::string_view kGL2SetUp = "WUAC%fC%A0,%fD%A0SP1PW0TD1IW";
inline constexpr std::string_view kGL2InputRelativeWindow = "IR0,100,0,100";
// A = raster operation.
inline constexpr std::string_view kGL2MergeControl = "MC1,%fA%A0";
// B = transparency.
inline constexpr std::string_view kGL2Transparency = "TR%fB%A0";
inline constexpr std::string_view kGL2InputWindowReset = "IW";
// C, D, E, F = left, top, right, bottom.
inline constexpr std::string_view kGL2InputWindow = "IW%fC1-%A0,%fD1-%A0,%fE%A0,%fF%A0";
inline constexpr std::string_view kLeaveGL2 = "#1B%%0A";
// A = raster operation.
inline constexpr std::string_view kLogicalOperation = "#1B*l%fA%A0O";
// B = source transparency flag.
inline constexpr std::string_view kSourceTransparencyMode = "#1B*v%f1B-%A0N";
// C = pattern transparency flag.
inline constexpr std::string_view kPatternTransparencyMode = "#1B*v%f1C-%A0O";
inline constexpr std::string_view kPatternTransparent = "#1B*v0O";
inline constexpr std::string_view kPatternOpaque = "#1B*v1O";
inline constexpr std::string_view kSourceTransparent = "#1B*v0N";
inline constexpr std::string_view kSourceOpaque = "#1B*v1N";
inline constexpr std::string_view kGL2Opaque = "TR0";
inline constexpr std::string_view kGL2Transparent = "TR1";

// GL/2 transform. A = angle for the print direction; in the scaling, A, B =
// scale factors x 20000, E, F = origin.
inline constexpr std::string_view kPrintDirection = "#1B&a%fA%A0P";
inline constexpr std::string_view kGL2TransformScaling = "SC%fE%A0,%fA 20000/%F7,%fF%A0,-%fB 20000/%F7,2";
inline constexpr std::string_view kGL2Rotation = "RO%fA%A0";

// Line attributes. A = cap code, join code, miter limit or width in dots.
inline constexpr std::string_view kLineCap = "LA1,%fA%A0";
inline constexpr std::string_view kLineJoin = "LA2,%fA%A0";
inline constexpr std::string_view kMiterLimit = "LA2,1,3,%fA%A0";
// A = width in dots, B = resolution; sent in millimetres, with a thousandth
// added so that a width exact in millimetres keeps its last digit in single
// precision.
inline constexpr std::string_view kPenWidth = "PW%fA25.4*B/1 1000/+%F3";
// Dash pattern: the user line type, one gap per dash (A = length), then the
// line type with A = sum of the lengths and B = resolution.
inline constexpr std::string_view kUserLineType = "UL1";
inline constexpr std::string_view kUserLineTypeGap = ",%fA%A0";
inline constexpr std::string_view kLineType = "LT1,%fA25*B/%F2,1";
inline constexpr std::string_view kSolidLine = "LT";

// Polygon mode and fills. A = fill rule.
inline constexpr std::string_view kPolygonModeStart = "PM0";
inline constexpr std::string_view kPolygonModeClose = "PM1";
inline constexpr std::string_view kPolygonModeEnd = "PM2";
inline constexpr std::string_view kFillPolygon = "FP%fA%A0";
inline constexpr std::string_view kEdgePolygon = "EP";

// Vectors. A, B = point.
inline constexpr std::string_view kPenUp = "PU%fA%A0,%fB%A0";
inline constexpr std::string_view kPenDown = "PD%fA%A0,%fB%A0";
inline constexpr std::string_view kPenDownBezier = "PDBZ";
inline constexpr std::string_view kPointContinued = "%fA%A0,%fB%A0,";
inline constexpr std::string_view kPoint = "%fA%A0,%fB%A0";
inline constexpr std::string_view kPenDownThenPenDown = "PD%fA%A0,%fB%A0PD";

// Polyline encoded. A, B = point; C, D = rectangle size.
inline constexpr std::string_view kEncodedMoveTo = "PE=<%fA%G0%fB%G0;";
inline constexpr std::string_view kEncodedPoint = "%fA%G0%fB%G0";
inline constexpr std::string_view kEncodedLastPoint = "%fA%G0%fB%G0;";
inline constexpr std::string_view kEncodedRectangleSides = "PE%fC%G0%f0%G0%f0%G0%fD%G0%f0C-%G0%f0%G0%f0%G0%f0D-%G0;";

// Rectangles. A, B = corner, C, D = size. The window-reset forms start with
// "IW".
inline constexpr std::string_view kFillRectangle = "PU%fA%A0,%fB%A0RR%fC%A0,%fD%F1";
inline constexpr std::string_view kFillRectangleQuick = "PU%fA%A0,%fB%A0RQ%fC%A0,%fD%A0";
inline constexpr std::string_view kWindowResetFillRectangle = "IWPU%fA%A0,%fB%A0RR%fC%A0,%fD%F1";
inline constexpr std::string_view kWindowResetFillRectangleQuick = "IWPU%fA%A0,%fB%A0RQ%fC%A0,%fD%A0";
// A, B = start, C = length, D = 100 x the y scale: a row 1.9 dots high.
inline constexpr std::string_view kScanLineRun = "PU%fA%A0,%fB%A0RR%fC%A0,%f190D/%F1";

// Rounded rectangles. A, B, C, D = left, top, right, bottom; E, F = corner
// radii.
inline constexpr std::string_view kRoundRectangleStart = "PU%fAE+%A0,%fB%A0";
// Equal radii: four sides joined by 90-degree arcs about the corner centres.
inline constexpr std::string_view kRoundRectangleArcs =
    "PD%fCE-%A0,%fB%A0AA%fCE-%A0,%fBF+%A0,90"
    "PD%fC%A0,%fDF-%A0AA%fCE-%A0,%fDF-%A0,90"
    "PD%fAE+%A0,%fD%A0AA%fAE+%A0,%fDF-%A0,90"
    "PD%fA%A0,%fBF+%A0AA%fAE+%A0,%fBF+%A0,90"
    "PD%fCE-%A0,%fB%A0";
// Unequal radii: each corner one Bezier whose control points lie 0.46 of the
// radius from the corner.
inline constexpr std::string_view kRoundRectangleBeziers =
    "PD%fCE-%A0,%fB%A0BZ%fCE0.46*-%A0,%fB%A0,%fC%A0,%fBF0.46*+%A0,%fC%A0,%fBF+%A0"
    "PD%fC%A0,%fDF-%A0BZ%fC%A0,%fDF0.46*-%A0,%fCE0.46*-%A0,%fD%A0,%fCE-%A0,%fD%A0"
    "PD%fAE+%A0,%fD%A0BZ%fAE0.46*+%A0,%fD%A0,%fA%A0,%fDF0.46*-%A0,%fA%A0,%fDF-%A0"
    "PD%fA%A0,%fBF+%A0BZ%fA%A0,%fBF0.46*+%A0,%fAE0.46*+%A0,%fB%A0,%fAE+%A0,%fB%A0"
    "PD%fCE-%A0,%fB%A0";

// Raster. B = width, C = height in pixels; in the scaled start A = x
// resolution, D, E = destination width and height in dots.
inline constexpr std::string_view kRasterStartMonochrome = "#1B*r%fB%A0s1A";
inline constexpr std::string_view kRasterStart = "#1B*r%fB%A0s%fC%A0t1A";
inline constexpr std::string_view kRasterStartScaled = "#1B*t%f720D*A/%F1h%f720E*A/%F1V#1B*r%fB%A0s%fC%A0t3A";
inline constexpr std::string_view kRasterCompressionTiff = "#1B*b2M";
inline constexpr std::string_view kRasterCompressionDeltaRow = "#1B*b3M";
inline constexpr std::string_view kRasterCompressionAdaptive = "#1B*b5M";
// A = byte count.
inline constexpr std::string_view kRasterTransfer = "#1B*b%fA%A0W";
inline constexpr std::string_view kRasterEnd = "#1B*rC";
inline constexpr std::string_view kRasterPresentation = "#1B*r0F";

// Palettes and colour. A, B, C = red, green, blue, D = entry.
inline constexpr std::string_view kPaletteEntry = "#1B*v%fA%A0a%fB%A0b%fC%A0c%fD%A0I";
// Palette definitions: A = palette id, B = colour space (2).
inline constexpr std::string_view kPaletteDirect = "#1B&p%fA%A0i6c%fA%A0S#1B*v6W%fB%I1#03#08#08#08#08";
inline constexpr std::string_view kPaletteIndexed1 = "#1B&p%fA%A0i6c%fA%A0S#1B*v6W%fB%I1#01#01#08#08#08";
inline constexpr std::string_view kPaletteIndexed4 = "#1B&p%fA%A0i6c%fA%A0S#1B*v6W%fB%I1#01#04#08#08#08";
inline constexpr std::string_view kPaletteIndexed8 = "#1B&p%fA%A0i6c%fA%A0S#1B*v6W%fB%I1#01#08#08#08#08";
// C = treatment, D = halftone.
inline constexpr std::string_view kPaletteTreatment = "#1B*o3W#06#04%fC%I1#1B*t%fD%A0J";
// C, D, E = the three bytes of one driver configuration entry.
inline constexpr std::string_view kDriverConfiguration = "#1B*o4W#09%fC%I1%fD%I1%fE%I1";
inline constexpr std::string_view kMonochromePrintMode = "#1B&b1M";

// User patterns. A = pattern id, B = width, C = height, D = resolution, E =
// bits per pixel.
inline constexpr std::string_view kUserPatternResolution =
    "#1b*c%fA%A0G#1b*c%fB7+8/iC*12+%A0W#14#00#01#00%fC%I2%fB%I2%fD%I2%fD%I2";
inline constexpr std::string_view kUserPattern = "#1b*c%fA%A0G#1b*c%fBE*7+8/iC*8+%A0W#01#00%fE%H1#00%fC%I2%fB%I2";

// Pens and fills. A, B, C = red, green, blue, D = pen or entry, E = pen or
// fill type.
inline constexpr std::string_view kPenColor = "PC%fD%A0,%fA%A0,%fB%A0,%fC%A0";
inline constexpr std::string_view kScreenedShading = "SV1,%fA%A0";
inline constexpr std::string_view kScreenedPattern = "SV22,%fA%A0";
inline constexpr std::string_view kSelectPen = "SP%fE%A0";
inline constexpr std::string_view kFillType = "FT%fE%A0";
inline constexpr std::string_view kFillTypeParameter = ",%fA%A0CF2";
inline constexpr std::string_view kPatternFill = "#1B*c%fA%A0G#1B*v4T";
inline constexpr std::string_view kSolidBlackFill = "#1B*v0T";
inline constexpr std::string_view kSolidWhiteFill = "#1B*v1T";
inline constexpr std::string_view kSolidColorFill = "#1B*v0T#1B*v%fA%A0a%fB%A0b%fC%A0c%fD%A0I#1B*v%fD%A0S";

// Soft fonts. A = font id, character code or byte count.
inline constexpr std::string_view kFontId = "#1B*c%fA%A0D";
inline constexpr std::string_view kCharacterCode = "#1B*c%fA%A0E";
inline constexpr std::string_view kFontHeader = "#1B)s%fA%A0W";
inline constexpr std::string_view kCharacterData = "#1B(s%fA%A0W";
inline constexpr std::string_view kDeleteFont = "#1B*c%fA%A0d2F";

// Font selection. A = height; the size expressions round it to a multiple
// of 25 and give the pitch 12000 / height and the point size height / 100.
inline constexpr std::string_view kPitchExpression = "%f12000 25 2/A+25/i25*/%F2";
inline constexpr std::string_view kPointSizeExpression = "%f25 2/A+25/i25*100/%F2";
inline constexpr std::string_view kFontPitchAndHeight = "#1B(s%f12000 25 2/A+25/i25*/%F2h%f25 2/A+25/i25*100/%F2V";
// D = name length; the name follows.
inline constexpr std::string_view kFontNameOperation2 = "#1B&n%fD1+%A0W#02";
inline constexpr std::string_view kFontNameOperation1 = "#1B&n%fD1+%A0W#01";
inline constexpr std::string_view kFontNameOperation0 = "#1B&n%fD1+%A0W%0";
inline constexpr std::string_view kProportionalFontHeight = "#1B(s1p%f25 2/A+25/i25*100/%F2V";
// A = x resolution x x scale, B = pitch value, C = height.
inline constexpr std::string_view kFixedFontPitchAndHeight = "#1B(s0p%fAB/%F2h%f25 2/C+25/i25*100/%F2V";
inline constexpr std::string_view kTextPath = "#1B&c%fA%A0T";
inline constexpr std::string_view kSelectFontById = "#1B(%fA%A0X";

// GL/2 labels. A, B = direction run and rise, or font id, or height.
inline constexpr std::string_view kLabelDirection = "DI%fA%A0,%fB%A0";
inline constexpr std::string_view kLabelDirectionDefault = "DI1,0";
inline constexpr std::string_view kLabelOrigin = "LO21";
inline constexpr std::string_view kLabelFontId = "FI%fA%A0";
inline constexpr std::string_view kLabelFontHeight = "SD4,%f25 2/A+25/i25*100/%F2";

}  // namespace pcl_template
