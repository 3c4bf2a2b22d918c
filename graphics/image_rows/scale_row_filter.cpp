#include "graphics/image_rows/scale_row_filter.h"

#include <algorithm>
#include <cstring>

#include "graphics/image_rows/packed_pixels.h"

namespace {

int32_t Width(const GRectangle& r) { return r.right - r.left; }
int32_t Height(const GRectangle& r) { return r.bottom - r.top; }

bool CanResample(uint8_t bitsPerPixel) {
  return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24;
}

}  // namespace

GScaleRowFilter::GScaleRowFilter(const GRectangle& destination) : destination_(destination) {}

int32_t GScaleRowFilter::Open() {
  if (source_ == nullptr) return 0;
  GRectangle bounds;
  source_->GetBounds(bounds);
  sourceWidth_ = Width(bounds);
  sourceHeight_ = Height(bounds);
  destinationWidth_ = Width(destination_);
  destinationHeight_ = Height(destination_);
  if (sourceWidth_ <= 0 || sourceHeight_ <= 0 || destinationWidth_ <= 0 || destinationHeight_ <= 0) return 0;
  scalesHorizontally_ = sourceWidth_ != destinationWidth_;
  scalesVertically_ = sourceHeight_ != destinationHeight_;
  shrinksHorizontally_ = destinationWidth_ < sourceWidth_;
  shrinksVertically_ = destinationHeight_ < sourceHeight_;
  verticalAccumulator_ = shrinksVertically_ ? sourceHeight_ : 0;
  bitsPerPixel_ = source_->GetBitsPerPixel();
  if (scalesHorizontally_ && !CanResample(bitsPerPixel_)) return 0;
  outputRowBytes_ = (uint32_t{bitsPerPixel_} * static_cast<uint32_t>(destinationWidth_) + 7) >> 3;
  sourceMaxRowBytes_ = source_->GetMaxRowBytes();
  // The resampling reads whole source rows whatever the source delivers.
  const uint32_t sourceRowBytes = (uint32_t{bitsPerPixel_} * static_cast<uint32_t>(sourceWidth_) + 7) >> 3;
  if (scalesHorizontally_) sourceRow_.assign(std::max(sourceMaxRowBytes_, sourceRowBytes), 0);
  outputRow_ = 0;
  heldRepeats_ = 0;
  return GRowFilter::Open();
}

uint32_t GScaleRowFilter::GetMaxRowBytes() const {
  return scalesHorizontally_ ? outputRowBytes_ : std::max(sourceMaxRowBytes_, outputRowBytes_);
}

uint32_t GScaleRowFilter::VerticalStep() {
  if (!scalesVertically_) return 1;
  if (shrinksVertically_) {
    const int32_t k = (sourceHeight_ + destinationHeight_ - verticalAccumulator_) / destinationHeight_;
    verticalAccumulator_ = destinationHeight_ * k + verticalAccumulator_ - sourceHeight_;
    if (k > 1) source_->SkipRows(static_cast<uint32_t>(k - 1));
    return 1;
  }
  const int32_t a = destinationHeight_ - verticalAccumulator_;
  verticalAccumulator_ = 0;
  uint32_t count = static_cast<uint32_t>(a / sourceHeight_);
  if (a % sourceHeight_ != 0) {
    ++count;
    verticalAccumulator_ = sourceHeight_ - a % sourceHeight_;
  }
  return count;
}

int32_t GScaleRowFilter::ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) {
  length = 0;
  if (!IsReady()) return kRowFailed;
  rows = 1;
  uint32_t count = 0;
  const bool fromHeld = heldRepeats_ != 0;
  if (fromHeld) {
    std::memcpy(buffer, heldRow_.data(), heldLength_);
    length = heldLength_;
    count = heldRepeats_;
  } else {
    count = VerticalStep();
    uint16_t sourceRow = 0;
    uint8_t sourceRepeat = 1;
    uint8_t sourceRows = 1;
    uint8_t* into = scalesHorizontally_ ? sourceRow_.data() : buffer;
    const int32_t answer = source_->ReadRow(into, sourceRow, length, sourceRepeat, sourceRows);
    if (answer != kRowDelivered) {
      length = 0;
      return answer;
    }
    if (length == 0) length = sourceMaxRowBytes_;
    if (scalesHorizontally_) {
      ResampleRow(into, buffer);
      length = outputRowBytes_;
    }
  }
  repeat = static_cast<uint8_t>(std::min<uint32_t>(count, 255));
  heldRepeats_ = count - repeat;
  if (heldRepeats_ != 0 && !fromHeld) {
    heldRow_.assign(buffer, buffer + length);
    heldLength_ = length;
  }
  row = outputRow_;
  outputRow_ = static_cast<uint16_t>(outputRow_ + repeat);
  return kRowDelivered;
}

void GScaleRowFilter::SkipRows(uint32_t count) {
  outputRow_ = static_cast<uint16_t>(outputRow_ + count);
  const uint32_t held = std::min(count, heldRepeats_);
  heldRepeats_ -= held;
  count -= held;
  if (count == 0 || source_ == nullptr) return;
  if (!scalesVertically_) return source_->SkipRows(count);
  const int64_t n = count;
  int64_t k = 0;
  if (shrinksVertically_) {
    k = (n * sourceHeight_ + destinationHeight_ - verticalAccumulator_) / destinationHeight_;
    verticalAccumulator_ = static_cast<int32_t>(destinationHeight_ * k + verticalAccumulator_ - n * sourceHeight_);
  } else {
    const int64_t scaled = n * sourceHeight_ + verticalAccumulator_;
    k = scaled / destinationHeight_;
    verticalAccumulator_ = static_cast<int32_t>(scaled % destinationHeight_);
  }
  if (k > 0) source_->SkipRows(static_cast<uint32_t>(std::min<int64_t>(k, UINT32_MAX)));
}

void GScaleRowFilter::ResampleRow(const uint8_t* in, uint8_t* out) const {
  if (bitsPerPixel_ == 24)
    ResampleColorRow(in, out);
  else
    ResamplePackedRow(in, out);
}

// Nearest neighbour with a 16.16 step: each source pixel is written once
// for every whole unit the position passes; where the position does not
// reach the next unit, the pixels up to the one that does are dropped.
void GScaleRowFilter::ResamplePackedRow(const uint8_t* in, uint8_t* out) const {
  const auto sourceWidth = static_cast<uint32_t>(sourceWidth_);
  const auto destinationWidth = static_cast<uint32_t>(destinationWidth_);
  const uint64_t step = (uint64_t{destinationWidth} * 65536 + sourceWidth - 1) / sourceWidth;
  if (bitsPerPixel_ != 8) std::memset(out, 0, outputRowBytes_);
  uint64_t position = 0;
  uint32_t written = 0;
  uint32_t s = 0;
  uint8_t pixel = 0;
  while (written < destinationWidth && s < sourceWidth) {
    pixel = PackedPixel(in, s++, bitsPerPixel_);
    const uint64_t before = position >> 16;
    position += step;
    const uint64_t advanced = (position >> 16) - before;
    for (uint64_t i = 0; i < std::max<uint64_t>(advanced, 1) && written < destinationWidth; ++i)
      PutPackedPixel(out, written++, pixel, bitsPerPixel_);
    if (advanced != 0) continue;
    while (s < sourceWidth) {
      ++s;
      const uint64_t unit = position >> 16;
      position += step;
      if ((position >> 16) != unit) break;
    }
  }
  while (written < destinationWidth) PutPackedPixel(out, written++, pixel, bitsPerPixel_);
}

// Colour rows step with an accumulator of source and destination widths.
void GScaleRowFilter::ResampleColorRow(const uint8_t* in, uint8_t* out) const {
  const int32_t w = sourceWidth_;
  const int32_t d = destinationWidth_;
  int32_t a = w;
  int32_t t = 0;
  int32_t c = 0;
  int32_t written = 0;
  while (written < d && c < w) {
    const uint8_t* pixel = in + 3 * c;
    ++c;
    int32_t count = 1;
    if (shrinksHorizontally_) {
      while (a <= w) {
        ++t;
        a += d;
      }
      a -= w;
    } else {
      const int32_t before = t;
      count = 0;
      do {
        if (a >= d) {
          ++t;
          a -= d;
        }
        a += w;
        ++count;
      } while (t == before);
    }
    for (int32_t i = 0; i < count && written < d; ++i, ++written) std::memcpy(out + 3 * written, pixel, 3);
    while (c < t && c < w) ++c;
  }
  for (; written < d; ++written) std::memcpy(out + 3 * written, out + 3 * (written - 1), 3);
}
