#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// A print job as the job front end reads it from a job file (see
// JOB_FORMAT.md): the job's settings, then its pages one at a time. Plain
// values, so that a graphics device replays a page by visiting its items in
// order. Lengths are in points (1/72 inch); page positions count from the
// page's top left corner, y growing downwards.

struct GJobColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;

  bool operator==(const GJobColour&) const = default;
};

struct GJobPoint {
  double x = 0;
  double y = 0;

  bool operator==(const GJobPoint&) const = default;
};

// The outline of shapes: no colour means no outline.
struct GJobPen {
  std::optional<GJobColour> colour = GJobColour{};
  double width = 1;

  bool operator==(const GJobPen&) const = default;
};

// The inside of closed shapes: no colour means not filled.
struct GJobBrush {
  std::optional<GJobColour> colour;

  bool operator==(const GJobBrush&) const = default;
};

// A font by its file (a TrueType file; a relative path counts from the job
// file's folder) or by the family name that the host resolves to a system
// font file; exactly one of the two is set.
struct GJobFont {
  std::filesystem::path file;
  std::string family;
  double size = 12;

  bool operator==(const GJobFont&) const = default;
};

// A string of UTF-8 text whose baseline starts at origin.
struct GJobText {
  GJobFont font;
  GJobColour colour;
  GJobPoint origin;
  std::string text;
};

// A rectangle; with corner width and height above 0 a rounded one, whose
// corners are quarters of an ellipse of that size.
struct GJobRectangle {
  GJobPoint origin;
  double width = 0;
  double height = 0;
  double cornerWidth = 0;
  double cornerHeight = 0;
  GJobPen pen;
  GJobBrush brush;
};

// The ellipse inside the rectangle.
struct GJobEllipse {
  GJobPoint origin;
  double width = 0;
  double height = 0;
  GJobPen pen;
  GJobBrush brush;
};

// Straight lines through the points: a closed polygon (filled with the
// brush) or an open polyline (the brush is not used).
struct GJobPolygon {
  std::vector<GJobPoint> points;
  bool closed = true;
  GJobPen pen;
  GJobBrush brush;
};

// A segment of a path: a move starts a figure at points[0]; a line goes to
// points[0]; a Bézier curve goes through the control points points[0] and
// points[1] to points[2]; a close joins the figure's end to its start.
struct GJobPathSegment {
  enum class Kind : uint8_t { kMove, kLine, kBezier, kClose };
  Kind kind = Kind::kMove;
  std::vector<GJobPoint> points;

  bool operator==(const GJobPathSegment&) const = default;
};

// A path of one or more figures, filled (non-zero winding) when the brush
// has a colour and outlined with the pen.
struct GJobPath {
  std::vector<GJobPathSegment> segments;
  GJobPen pen;
  GJobBrush brush;
};

// An image file (BMP, PNM or JPEG; see image_loader.h) scaled into the
// rectangle. A relative path counts from the job file's folder; the file is
// read when the page is drawn, not when the job is read.
struct GJobImage {
  std::filesystem::path file;
  GJobPoint origin;
  double width = 0;
  double height = 0;
};

using GJobShape = std::variant<GJobText, GJobRectangle, GJobEllipse, GJobPolygon, GJobPath, GJobImage>;

// One drawing of a page with the job file's line that asked for it, so that
// a failure while drawing it (an image that does not load) can name it.
struct GJobItem {
  uint32_t line = 0;
  GJobShape shape;
};

enum class GJobOrientation : uint8_t { kPortrait, kLandscape };
enum class GJobDuplex : uint8_t { kNone, kLongEdge, kShortEdge };

struct GJobPage {
  // 1 for the job's first page.
  uint32_t number = 0;
  // The line of the page directive.
  uint32_t line = 0;
  // A paper size name ("A4", "Letter", ...), resolved by the device.
  std::string media;
  GJobOrientation orientation = GJobOrientation::kPortrait;
  std::vector<GJobItem> items;
};

// The watermark of the job: the text that the watermark filter has the
// device draw on the first or every page.
struct GJobWatermark {
  enum class Pages : uint8_t { kEvery, kFirst };
  enum class Angle : uint8_t { kDiagonal, kHorizontal, kCustom };
  // Style bits as the watermark settings keep them.
  static constexpr uint16_t kBold = 1;
  static constexpr uint16_t kItalic = 2;
  static constexpr uint16_t kUnderline = 4;
  static constexpr uint16_t kStrikeOut = 8;

  std::string text;
  // A font face name; empty leaves the choice to the device.
  std::string face;
  uint16_t pointSize = 72;
  uint16_t style = 0;
  Pages pages = Pages::kEvery;
  Angle angle = Angle::kDiagonal;
  // Degrees counter-clockwise, for Angle::kCustom.
  int16_t customAngle = 0;
  // The colour components that are on; none on gives grey.
  bool red = false;
  bool green = false;
  bool blue = false;
  // 0 (full colour) to 255 (white) for the components that are off.
  uint8_t lightness = 200;

  bool operator==(const GJobWatermark&) const = default;
};

struct GJobSettings {
  std::string name;
  uint16_t copies = 1;
  GJobDuplex duplex = GJobDuplex::kNone;
  // Dots per inch of the output, both directions.
  uint16_t resolution = 600;
  // The media and orientation of pages that name none.
  std::string media = "A4";
  GJobOrientation orientation = GJobOrientation::kPortrait;
  std::optional<GJobWatermark> watermark;
};
