#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/glyph_rasterizer.h"

// Glyph outlines compared as TrueType points: fontTools' points of a glyph
// (written by scripts/glyph_points.py) against the system's cubic outline
// brought back to quadratic points.
namespace outline_points {

// A point in half font units, so that the midpoints TrueType leaves
// implied are whole numbers.
struct HalfPoint {
  int64_t x;
  int64_t y;
  bool on;
  // An on-curve midpoint that the font leaves implied.
  bool implied = false;
  bool operator==(const HalfPoint&) const = default;
};

// The system's point against the font's: equal, except that an implied
// midpoint may come out truncated to whole font units (half a unit off).
inline bool Matches(const HalfPoint& system, const HalfPoint& font) {
  if (!font.implied) return system.x == font.x && system.y == font.y && system.on == font.on;
  return system.on && std::llabs(system.x - font.x) <= 1 && std::llabs(system.y - font.y) <= 1;
}
using Contour = std::vector<HalfPoint>;
using Glyphs = std::map<uint32_t, std::vector<Contour>>;

// The contours of each glyph in the file, by glyph index, with the implied
// on-curve midpoints between two off-curve points written out. Lines that
// start with '#' are comments.
inline Glyphs ReadFontToolsContours(const std::string& path) {
  Glyphs glyphs;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    uint32_t index = 0;
    size_t contours = 0;
    fields >> index >> contours;
    std::vector<Contour>& glyph = glyphs[index];
    for (size_t k = 0; k < contours; ++k) {
      size_t count = 0;
      fields >> count;
      Contour points;
      for (size_t i = 0; i < count; ++i) {
        int64_t x = 0;
        int64_t y = 0;
        int on = 0;
        fields >> x >> y >> on;
        points.push_back({2 * x, 2 * y, on != 0});
      }
      Contour full;
      for (size_t i = 0; i < points.size(); ++i) {
        const HalfPoint& next = points[(i + 1) % points.size()];
        full.push_back(points[i]);
        if (!points[i].on && !next.on) {
          full.push_back({(points[i].x + next.x) / 2, (points[i].y + next.y) / 2, true, true});
        }
      }
      glyph.push_back(full);
    }
  }
  return glyphs;
}

inline int64_t Half(double value) { return std::llround(2 * value); }

// The contour as quadratic points: each cubic must be a raised quadratic
// (each control two thirds of the way from its end to one quadratic
// control, the two agreeing within tolerance font units), which becomes
// that control, off the curve. The closing point (the start again) is left
// out. False when a cubic is no raised quadratic or the contour is not
// closed.
inline bool ToQuadratic(const platform::OutlineContour& contour, double tolerance, Contour& out) {
  out.push_back({Half(contour.start.x), Half(contour.start.y), true});
  platform::OutlinePoint from = contour.start;
  for (const platform::OutlineSegment& segment : contour.segments) {
    if (segment.cubic) {
      const double qx = from.x + 1.5 * (segment.control1.x - from.x);
      const double qy = from.y + 1.5 * (segment.control1.y - from.y);
      const double rx = segment.end.x + 1.5 * (segment.control2.x - segment.end.x);
      const double ry = segment.end.y + 1.5 * (segment.control2.y - segment.end.y);
      if (std::abs(qx - rx) > tolerance || std::abs(qy - ry) > tolerance) return false;
      out.push_back({Half((qx + rx) / 2), Half((qy + ry) / 2), false});
    }
    out.push_back({Half(segment.end.x), Half(segment.end.y), true});
    from = segment.end;
  }
  if (out.size() < 2 || !(out.back() == out.front())) return false;
  out.pop_back();
  return true;
}

// The system's contour is the font's, started anywhere (the system starts
// a contour at an on-curve point).
inline bool SameCycle(const Contour& system, const Contour& font) {
  if (system.size() != font.size()) return false;
  for (size_t shift = 0; shift < system.size(); ++shift) {
    bool same = true;
    for (size_t i = 0; i < system.size() && same; ++i) same = Matches(system[(i + shift) % system.size()], font[i]);
    if (same) return true;
  }
  return system.empty();
}

// Counts the cubic segments into curves; an empty string when every
// contour of every glyph matches, else what differs first.
inline std::string CompareOutlines(platform::GlyphRasterizer& rasterizer, const Glyphs& expected, double tolerance,
                                   size_t& curves) {
  for (const auto& [glyph, contours] : expected) {
    const std::string where = "glyph " + std::to_string(glyph);
    platform::GlyphOutline outline;
    if (!rasterizer.Outline(static_cast<uint16_t>(glyph), outline)) return where + ": no outline";
    if (outline.contours.size() != contours.size()) return where + ": contour count";
    for (size_t k = 0; k < contours.size(); ++k) {
      Contour points;
      if (!ToQuadratic(outline.contours[k], tolerance, points))
        return where + ": no quadratic contour " + std::to_string(k);
      if (!SameCycle(points, contours[k])) return where + ": contour " + std::to_string(k);
      for (const platform::OutlineSegment& segment : outline.contours[k].segments) curves += segment.cubic;
    }
  }
  return {};
}

}  // namespace outline_points
