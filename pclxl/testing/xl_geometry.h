#pragma once

#include <string>
#include <vector>

#include "pclxl/testing/strict_pclxl_reader.h"

// Where things land on the pages of a PCL XL stream, for tests: a small
// decoder over what the strict reader read, which follows the page
// transform and the cursor of each page and collects every painted or clip
// path as figures in page (device) coordinates.
//
// The page transform starts as the identity at BeginPage and
// SetPageDefaultCTM, whatever the page's orientation. SetPageOrigin, SetPageRotation (degrees) and
// SetPageScale each concatenate onto it in the order they come, so that
// after origin o, angle a and scale s a point p lands at o + R(a)(s p).
// A positive angle turns the x axis toward the y axis, which points down
// the page. Turns by multiples of 90 degrees are exact, so a test may
// compare coordinates for equality.
//
// The cursor is kept in page coordinates: SetCursor and SetCursorRel move
// it, and the line and curve figures leave it at their last point. The box
// figures (rectangles, ellipses, arcs, chords, pies) leave it where it was.
//
// Figures gather from NewPath on; PaintPath and SetClipReplace each record
// the figures gathered so far as one path, and the figures stay until the
// next NewPath, as the printer keeps its current path.
namespace xl_geometry {

struct Point {
  double x = 0;
  double y = 0;

  bool operator==(const Point&) const = default;
};

struct Box {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  bool operator==(const Box&) const = default;
};

struct Figure {
  // The operator that added it: "RectanglePath", "LineRelPath", ...
  std::string shape;
  // A box figure: the corners of its bounding box as given (left-top,
  // right-top, right-bottom, left-bottom), each transformed. A line or
  // curve figure: the point it starts from, then every point it names
  // (for curves the two control points and the end point of each segment).
  std::vector<Point> points;
  // The smallest upright box around the points.
  Box bounds;
};

struct Path {
  // "PaintPath" or "SetClipReplace".
  std::string closedBy;
  std::vector<Figure> figures;
};

struct Page {
  std::vector<Path> paths;
};

struct Geometry {
  std::vector<Page> pages;
  // Empty when every operator was decoded; otherwise where and why the
  // decoder stopped (what it decoded before stays in pages).
  std::string error;

  bool Ok() const { return error.empty(); }
};

// The geometry of each page (BeginPage to EndPage) of a stream that was
// read without a fault; a stream with a fault decodes to no pages and the
// reader's error.
Geometry Decode(const strict_pclxl::ReadResult& result);

}  // namespace xl_geometry
