#include "platform/glyph_rasterizer.h"

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>

namespace platform {
namespace {

// The file's name as GDI takes it. Wine reaches the Unix file system as
// drive Z:, so a Unix path ("/usr/...") becomes "Z:\usr\...".
std::wstring SystemPath(const std::string& path) {
  const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), length);
  if (!wide.empty() && wide[0] == L'/') {
    for (wchar_t& c : wide) {
      if (c == L'/') c = L'\\';
    }
    wide.insert(0, L"Z:");
  }
  return wide;
}

uint64_t FileSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  return file ? static_cast<uint64_t>(file.tellg()) : 0;
}

double ToDouble(FIXED value) { return value.value + value.fract / 65536.0; }

OutlinePoint PointOf(const POINTFX& point) { return {ToDouble(point.x), ToDouble(point.y)}; }

constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

// A font selected into a memory device context, at one em size.
class SelectedFont {
 public:
  SelectedFont(const std::wstring& family, int32_t pixelEm) : dc_(CreateCompatibleDC(nullptr)) {
    LOGFONTW description{};
    description.lfHeight = -pixelEm;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    description.lfQuality = NONANTIALIASED_QUALITY;
    wcsncpy(description.lfFaceName, family.c_str(), LF_FACESIZE - 1);
    font_ = CreateFontIndirectW(&description);
    if (dc_ != nullptr && font_ != nullptr) previous_ = SelectObject(dc_, font_);
  }
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;
  ~SelectedFont() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
    if (font_ != nullptr) DeleteObject(font_);
    if (dc_ != nullptr) DeleteDC(dc_);
  }

  HDC Dc() const { return previous_ != nullptr ? dc_ : nullptr; }

  // The glyph's data in the format; false when GDI refuses.
  bool GlyphData(uint16_t glyph, UINT format, GLYPHMETRICS& metrics, std::vector<uint8_t>& data) const {
    if (Dc() == nullptr) return false;
    const DWORD size = GetGlyphOutlineW(dc_, glyph, format, &metrics, 0, nullptr, &kIdentity);
    if (size == GDI_ERROR) return false;
    data.assign(size, 0);
    return size == 0 || GetGlyphOutlineW(dc_, glyph, format, &metrics, size, data.data(), &kIdentity) != GDI_ERROR;
  }

 private:
  HDC dc_;
  HFONT font_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

class GdiRasterizer final : public GlyphRasterizer {
 public:
  ~GdiRasterizer() override {
    if (added_) RemoveFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr);
  }

  // The font is added for this process only. The family name must select
  // this very file: the font data GDI answers for it has the file's size.
  bool Open(const std::string& path, const std::u16string& family) {
    path_ = SystemPath(path);
    family_.assign(family.begin(), family.end());
    added_ = AddFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr) > 0;
    if (!added_ || family_.empty()) return false;
    const SelectedFont font(family_, 16);
    if (font.Dc() == nullptr) return false;
    const DWORD size = GetFontData(font.Dc(), 0, 0, nullptr, 0);
    OUTLINETEXTMETRICW metrics{};
    metrics.otmSize = sizeof metrics;
    if (size == GDI_ERROR || size != FileSize(path) ||
        GetOutlineTextMetricsW(font.Dc(), sizeof metrics, &metrics) == 0) {
      return false;
    }
    unitsPerEm_ = static_cast<int32_t>(metrics.otmEMSquare);
    return unitsPerEm_ > 0;
  }

  // GDI's one-bit images already pad their rows to 32 bits.
  bool Render(uint16_t glyph, uint16_t pixelEm, GlyphBitmap& out) override {
    GLYPHMETRICS metrics{};
    std::vector<uint8_t> data;
    if (pixelEm == 0 || !SelectedFont(family_, pixelEm).GlyphData(glyph, GGO_GLYPH_INDEX | GGO_BITMAP, metrics, data)) {
      return false;
    }
    out = GlyphBitmap{};
    out.advance = static_cast<int16_t>(metrics.gmCellIncX);
    if (data.empty()) return true;
    out.xOffset = static_cast<int16_t>(metrics.gmptGlyphOrigin.x);
    out.yOffset = static_cast<int16_t>(metrics.gmptGlyphOrigin.y);
    out.width = static_cast<int16_t>(metrics.gmBlackBoxX);
    out.height = static_cast<int16_t>(metrics.gmBlackBoxY);
    if (data.size() < static_cast<size_t>(GlyphBitmap::RowBytes(out.width)) * out.height) return false;
    data.resize(static_cast<size_t>(GlyphBitmap::RowBytes(out.width)) * out.height);
    out.rows = std::move(data);
    out.DropBlankImage();
    return true;
  }

  // Unhinted at an em of the font's units, GDI's coordinates are font
  // units.
  bool Outline(uint16_t glyph, GlyphOutline& out) override {
    out = GlyphOutline{};
    GLYPHMETRICS metrics{};
    std::vector<uint8_t> data;
    if (!SelectedFont(family_, unitsPerEm_)
             .GlyphData(glyph, GGO_GLYPH_INDEX | GGO_BEZIER | GGO_UNHINTED, metrics, data)) {
      return false;
    }
    return ReadContours(data, out);
  }

 private:
  // The polygon headers and their curves, every size checked against the
  // data GDI gave.
  static bool ReadContours(const std::vector<uint8_t>& data, GlyphOutline& out) {
    size_t at = 0;
    while (at < data.size()) {
      TTPOLYGONHEADER header;
      if (data.size() - at < sizeof header) return false;
      std::memcpy(&header, &data[at], sizeof header);
      if (header.cb < sizeof header || header.cb > data.size() - at) return false;
      OutlineContour contour{PointOf(header.pfxStart), {}};
      if (!ReadCurves(data, at + sizeof header, at + header.cb, contour)) return false;
      const OutlinePoint last = contour.segments.empty() ? contour.start : contour.segments.back().end;
      if (!(last == contour.start)) contour.segments.push_back({false, {}, {}, contour.start});
      out.contours.push_back(std::move(contour));
      at += header.cb;
    }
    return true;
  }

  static bool ReadCurves(const std::vector<uint8_t>& data, size_t at, size_t end, OutlineContour& contour) {
    constexpr size_t kCurveHeader = offsetof(TTPOLYCURVE, apfx);
    while (at < end) {
      if (end - at < kCurveHeader) return false;
      TTPOLYCURVE curve;
      std::memcpy(&curve, &data[at], kCurveHeader);
      at += kCurveHeader;
      if (static_cast<size_t>(curve.cpfx) * sizeof(POINTFX) > end - at) return false;
      std::vector<POINTFX> points(curve.cpfx);
      std::memcpy(points.data(), &data[at], points.size() * sizeof(POINTFX));
      at += points.size() * sizeof(POINTFX);
      if (curve.wType == TT_PRIM_CSPLINE) {
        if (points.size() % 3 != 0) return false;
        for (size_t i = 0; i < points.size(); i += 3) {
          contour.segments.push_back({true, PointOf(points[i]), PointOf(points[i + 1]), PointOf(points[i + 2])});
        }
      } else if (curve.wType == TT_PRIM_LINE) {
        for (const POINTFX& point : points) contour.segments.push_back({false, {}, {}, PointOf(point)});
      } else {
        return false;
      }
    }
    return true;
  }

  std::wstring path_;
  std::wstring family_;
  bool added_ = false;
  int32_t unitsPerEm_ = 0;
};

}  // namespace

std::unique_ptr<GlyphRasterizer> GlyphRasterizer::Open(const std::string& path, const std::u16string& family) {
  auto rasterizer = std::make_unique<GdiRasterizer>();
  if (!rasterizer->Open(path, family)) return nullptr;
  return rasterizer;
}

}  // namespace platform
