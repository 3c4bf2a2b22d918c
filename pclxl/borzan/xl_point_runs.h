#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "pclxl/xl_values.h"

// Relative path points in the fewest bytes: LineRelPath and BezierRelPath
// carry their points as embedded data of signed bytes (2 bytes a point) or
// of sint16 values (4 bytes a point). The points are cut into runs, each
// sent as one operator with its NumberOfPoints and PointType.
//
// The unit of the cut is one point for lines and one segment of three
// points for Bézier curves: a segment never straddles two runs. A unit fits
// a byte run when every x and y of it lies in -127..127. A byte run starts
// only where at least six points in a row fit (fewer would not pay for the
// second operator's attributes), except at the very start, where a path
// whose units all fit goes out as one byte run however short it is. A run
// is also cut where its point count would pass what NumberOfPoints holds.

enum XLPointType : uint8_t {
  kXLBytePoints = 1,
  kXLShortPoints = 3,
};

struct XLPointRun {
  XLPointType pointType;
  size_t firstUnit;
  size_t unitCount;

  bool operator==(const XLPointRun&) const = default;
};

// The runs of the deltas taken in units of unitSize points (1 or 3); a
// last incomplete unit is left out.
std::vector<XLPointRun> SplitPointRuns(std::span<const XLPair<int16_t>> deltas, size_t unitSize);

// The runs as LineRelPath operators (one point a unit), or as BezierRelPath
// operators (three points a unit), each followed by its points.
void XLWriteLineRuns(XLStream* stream, std::span<const XLPair<int16_t>> deltas);
void XLWriteBezierRuns(XLStream* stream, std::span<const XLPair<int16_t>> deltas);
