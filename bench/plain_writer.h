#pragma once

#include <cstdint>

#include "graphics/point.h"
#include "graphics/rectangle.h"

// What the references of the PCL XL benchmarks write with: the operators
// as one writes them first, byte by byte into a block the caller has made
// room in, every point of a polygon or curve as a signed byte step.
class PlainWriter {
 public:
  explicit PlainWriter(uint8_t* out) : at_(out) {}

  uint8_t* End() const { return at_; }
  void Byte(uint32_t value) { *at_++ = static_cast<uint8_t>(value); }
  void Word(int32_t value) {
    Byte(static_cast<uint32_t>(value) & 0xFF);
    Byte((static_cast<uint32_t>(value) >> 8) & 0xFF);
  }
  void Box(const GRectangle& box, uint8_t op) {
    Byte(0xE3);
    for (const int16_t value : {box.left, box.top, box.right, box.bottom}) Word(value);
    Byte(0xF8);
    Byte(0x42);
    Byte(op);
  }
  void Cursor(const GPoint& point) {
    Byte(0xD3);
    Word(point.x);
    Word(point.y);
    Byte(0xF8);
    Byte(0x4C);
    Byte(0x6B);
  }
  // NumberOfPoints, PointType 1, the operator and the steps.
  void ByteSteps(const GPoint* points, uint32_t count, GPoint from, uint8_t op, bool fromSegmentEnds) {
    Byte(0xC1);
    Word(static_cast<int32_t>(count));
    Byte(0xF8);
    Byte(0x4D);
    Byte(0xC0);
    Byte(1);
    Byte(0xF8);
    Byte(0x50);
    Byte(op);
    Byte(0xFB);
    Byte(2 * count);
    for (uint32_t i = 0; i < count; ++i) {
      Byte(static_cast<uint32_t>(points[i].x - from.x));
      Byte(static_cast<uint32_t>(points[i].y - from.y));
      if (!fromSegmentEnds || i % 3 == 2) from = points[i];
    }
  }

 private:
  uint8_t* at_;
};
