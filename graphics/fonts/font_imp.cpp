#include "graphics/fonts/font_imp.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <span>

#include "graphics/float_field.h"
#include "graphics/fonts/font_database.h"
#include "graphics/fonts/platform_font.h"
#include "graphics/fonts/text_string.h"
#include "model/os/osfactry.h"

namespace {

std::unique_ptr<MPersistentObject> MakePlatformFont() {
  GOSFactory* factory = GOSFactory::Instance();
  return factory != nullptr ? factory->CreateFontCompanion() : nullptr;
}

// Float metrics travel as whole numbers, truncated toward zero, and come
// back as those numbers.
void WholeNumberMetric(GFieldArchive& archive, GFloatValue& metric) {
  int32_t whole = static_cast<int32_t>(metric.Get());
  if (archive.Int32(whole) && archive.IsRestoring()) metric = GFloatValue(static_cast<float>(whole));
}

void DescriptionFields(GFieldArchive& archive, GFontInfo& info) {
  archive.Int16(info.resolution);
  archive.Int16(info.fontValue2);
  archive.Int16(info.verticalSize1);
  archive.Int16(info.verticalSize2);
  archive.Int16(info.verticalSize3);
  archive.Int32(info.fontValue6);
  archive.Int32(info.fontValue7);
  archive.Int32(info.fontValue8);
  archive.UInt16(info.fontValue9);
  archive.Int32(info.fontValue10);
  FloatField(archive, info.fontValue11);
  FloatField(archive, info.fontValue12);
  archive.Int16(info.height);
  archive.Int32(info.fontValue14);
  archive.Int32(info.fontValue15);
  archive.Int16(info.horizontalSize1);
  archive.Int16(info.horizontalSize2);
  archive.UInt16(info.firstCode);
  archive.UInt16(info.lastCode);
  archive.UInt16(info.defaultCode);
  archive.UInt16(info.breakCode);
  archive.String(info.faceName);
  archive.Int32(info.fontValue22);
  archive.Int16(info.downloadMode);
}

void MetricsFields(GFieldArchive& archive, GFontMetrics& metrics) {
  WholeNumberMetric(archive, metrics.floatMetric1);
  WholeNumberMetric(archive, metrics.floatMetric2);
  archive.UInt16(metrics.metric3);
  archive.Int32(metrics.metric4);
  archive.Int32(metrics.metric5);
  archive.Int32(metrics.metric6);
  archive.UInt32(metrics.flags);
  WholeNumberMetric(archive, metrics.floatMetric8);
  archive.Int32(metrics.metric9);
  archive.UInt32(metrics.metric10);
}

}  // namespace

GFontImp::GFontImp() : fontId_(GFontDatabase::NextFontId()) {}

GFontImp::GFontImp(uintptr_t context, const GFontInfo& info, const GFontMetrics& metrics)
    : GFontImp(context, info, metrics, MakePlatformFont()) {}

// A companion of the factory's that answers no width queries is of no use
// to the body and is dropped.
GFontImp::GFontImp(uintptr_t context, const GFontInfo& info, const GFontMetrics& metrics,
                   std::unique_ptr<MPersistentObject> platformFont)
    : context_(context), fontId_(GFontDatabase::NextFontId()), info_(info), metrics_(metrics) {
  if (dynamic_cast<GPlatformFont*>(platformFont.get()) != nullptr) platformFont_ = platformFont.release();
}

GFontImp::~GFontImp() = default;

GPlatformFont* GFontImp::GetPlatformFont() const { return static_cast<GPlatformFont*>(platformFont_.Get()); }

bool GFontImp::SameContent(const MPersistentObject& other) const {
  // A body is itself even when a float of its description is not a number.
  if (this == &other) return true;
  const auto* body = dynamic_cast<const GFontImp*>(&other);
  if (body == nullptr || !MPersistentObject::SameContent(other)) return false;
  if (!(info_ == body->info_) || !metrics_.SameMeasures(body->metrics_)) return false;
  const MPersistentObject* mine = platformFont_.Get();
  const MPersistentObject* theirs = body->platformFont_.Get();
  if (mine == theirs) return true;
  return mine != nullptr && theirs != nullptr && mine->SameContent(*theirs);
}

void GFontImp::UpdateFrom(GFontImp&) {}

uint32_t GFontImp::BumpChangeCount() {
  if (changeCount_ != std::numeric_limits<uint32_t>::max()) ++changeCount_;
  return changeCount_;
}

bool GFontImp::DefaultWidth(std::optional<int16_t>& width) {
  if (width) return true;
  int16_t asked = 0;
  GPlatformFont* platform = GetPlatformFont();
  if (platform == nullptr || !platform->GetCodeWidth(context_, info_.defaultCode, asked)) return false;
  width = asked;
  return true;
}

bool GFontImp::GetTextWidths(const GTextString& text, std::vector<int16_t>& widths) {
  const uint16_t length = text.GetLength();
  widths.assign(length, 0);
  GPlatformFont* platform = GetPlatformFont();
  // The default code's width, asked at the first code that needs it.
  std::optional<int16_t> fallback;
  for (uint16_t i = 0; i < length; ++i) {
    const auto code = static_cast<uint16_t>(text.GetCodeAt(i));
    if (platform != nullptr && platform->GetCodeWidth(context_, code, widths[i])) continue;
    if (!DefaultWidth(fallback)) return false;
    widths[i] = *fallback;
  }
  return true;
}

bool GFontImp::GetRangeWidths(uint16_t first, uint16_t last, std::vector<int16_t>& widths) {
  widths.assign(last >= first ? last - first + 1U : 0U, 0);
  if (widths.empty()) return true;
  std::optional<int16_t> fallback;
  uint16_t start = first;
  uint16_t end = last;
  if (first < info_.firstCode || last > info_.lastCode) {
    if (!DefaultWidth(fallback)) return false;
    // Codes outside the font's range take the default width; the range
    // left to ask shrinks to the font's codes (and may vanish).
    for (uint32_t code = first; code <= last; ++code) {
      if (code < info_.firstCode || code > info_.lastCode) widths[code - first] = *fallback;
    }
    start = std::max(first, info_.firstCode);
    end = std::min(last, info_.lastCode);
    if (start > end) return true;
  }
  std::span<int16_t> asked(widths.data() + (start - first), end - start + 1U);
  GPlatformFont* platform = GetPlatformFont();
  if (platform != nullptr && platform->GetRangeWidths(context_, start, end, asked)) return true;
  if (!DefaultWidth(fallback)) return false;
  for (uint32_t code = start; code <= end; ++code) {
    int16_t& width = widths[code - first];
    if (platform == nullptr || !platform->GetCodeWidth(context_, static_cast<uint16_t>(code), width)) {
      width = *fallback;
    }
  }
  return true;
}

int16_t GFontImp::PlatformSize() const { return static_cast<int16_t>(info_.height + info_.verticalSize2); }

int32_t GFontImp::PlatformQueryA(int32_t a, int32_t b) {
  GPlatformFont* platform = GetPlatformFont();
  return platform != nullptr ? platform->QueryA(context_, PlatformSize(), a, b) : 0;
}

int32_t GFontImp::PlatformQueryB(int32_t a, int32_t b) {
  GPlatformFont* platform = GetPlatformFont();
  return platform != nullptr ? platform->QueryB(context_, PlatformSize(), a, b) : 0;
}

void GFontImp::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  DescriptionFields(archive, info_);
  MetricsFields(archive, metrics_);
  archive.ObjectOf<GPlatformFont>(platformFont_);
  archive.UInt32(fontId_);
  archive.UInt32(changeCount_);
  if (archive.IsRestoring()) context_ = 0;
}
