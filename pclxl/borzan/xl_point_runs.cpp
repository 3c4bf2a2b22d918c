#include "pclxl/borzan/xl_point_runs.h"

#include <algorithm>

#include "pclxl/xl_path_operators.h"

namespace {

constexpr int16_t kByteLimit = 127;
// The fewest points in a row that are worth a byte run of their own.
constexpr size_t kByteRunPoints = 6;
constexpr size_t kMostPoints = 0xFFFF;

bool Fits(const XLPair<int16_t>& delta) {
  return delta.x >= -kByteLimit && delta.x <= kByteLimit && delta.y >= -kByteLimit && delta.y <= kByteLimit;
}

// The run being built is a 16-bit run (kShort), a 16-bit run whose last
// units fit and may start a byte run (kCandidate), or a byte run (kBytes).
enum class RunState { kShort, kCandidate, kBytes };

using PointListOperator = void (*)(XLStream*, uint16_t, uint8_t);

void AppendPoint(std::vector<uint8_t>& data, const XLPair<int16_t>& point, XLPointType type) {
  if (type == kXLBytePoints) {
    data.push_back(static_cast<uint8_t>(point.x));
    data.push_back(static_cast<uint8_t>(point.y));
    return;
  }
  for (const int16_t value : {point.x, point.y}) {
    const auto bits = static_cast<uint16_t>(value);
    data.push_back(static_cast<uint8_t>(bits & 0xFF));
    data.push_back(static_cast<uint8_t>(bits >> 8));
  }
}

void WriteRuns(XLStream* stream, std::span<const XLPair<int16_t>> deltas, size_t unitSize, PointListOperator op) {
  std::vector<uint8_t> data;
  for (const XLPointRun& run : SplitPointRuns(deltas, unitSize)) {
    const std::span<const XLPair<int16_t>> points = deltas.subspan(run.firstUnit * unitSize, run.unitCount * unitSize);
    data.clear();
    for (const XLPair<int16_t>& point : points) AppendPoint(data, point, run.pointType);
    op(stream, static_cast<uint16_t>(points.size()), run.pointType);
    XLWriteEmbeddedLength(stream, data.size());
    XLWriteRawBytes(stream, data);
  }
}

}  // namespace

std::vector<XLPointRun> SplitPointRuns(std::span<const XLPair<int16_t>> deltas, size_t unitSize) {
  std::vector<XLPointRun> runs;
  if (unitSize == 0) return runs;
  const size_t units = deltas.size() / unitSize;
  const size_t mostUnits = kMostPoints / unitSize;
  const auto unitFits = [&](size_t unit) {
    const auto points = deltas.subspan(unit * unitSize, unitSize);
    return std::all_of(points.begin(), points.end(), Fits);
  };
  const auto send = [&](XLPointType type, size_t first, size_t end) {
    while (first < end) {
      const size_t count = std::min(end - first, mostUnits);
      runs.push_back({type, first, count});
      first += count;
    }
  };

  RunState state = RunState::kShort;
  size_t runStart = 0;
  size_t candidate = 0;
  for (size_t unit = 0; unit < units; ++unit) {
    const bool fits = unitFits(unit);
    // A unit that does not fit ends the hope of a byte run; the 16-bit run
    // takes it.
    if (state == RunState::kCandidate && !fits) state = RunState::kShort;
    if (state == RunState::kShort && fits) {
      candidate = unit;
      state = RunState::kCandidate;
    } else if (state == RunState::kBytes && !fits) {
      send(kXLBytePoints, runStart, unit);
      runStart = unit;
      state = RunState::kShort;
    }
    if (state == RunState::kCandidate && (unit + 1 - candidate) * unitSize >= kByteRunPoints) {
      send(kXLShortPoints, runStart, candidate);
      runStart = candidate;
      state = RunState::kBytes;
    }
  }
  // Fitting units at the end of a 16-bit run stay in it, unless they are
  // the whole path.
  const bool bytes = state == RunState::kBytes || (state == RunState::kCandidate && candidate == runStart);
  send(bytes ? kXLBytePoints : kXLShortPoints, runStart, units);
  return runs;
}

void XLWriteLineRuns(XLStream* stream, std::span<const XLPair<int16_t>> deltas) {
  WriteRuns(stream, deltas, 1, [](XLStream* s, uint16_t n, uint8_t type) { XLLineRelPath(s, n, type); });
}

void XLWriteBezierRuns(XLStream* stream, std::span<const XLPair<int16_t>> deltas) {
  WriteRuns(stream, deltas, 3, [](XLStream* s, uint16_t n, uint8_t type) { XLBezierRelPath(s, n, type); });
}
