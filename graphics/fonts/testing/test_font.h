#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "foundation/class_registrar.h"
#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/font.h"
#include "graphics/fonts/platform_font.h"

// A concrete font for tests: a platform font that answers widths from a
// table, a body that records what its hooks were asked, and a handle whose
// kind is settable.

// Widths from a table; a code missing from it has no width. Range queries
// may be switched off to reach the one-by-one fallback. The stored part is
// a tag (16-bit) that makes its content.
class TestPlatformFont : public GPlatformFont {
 public:
  static constexpr RWClassID kClassID = 0x7EE2;

  TestPlatformFont() = default;
  explicit TestPlatformFont(std::map<uint16_t, int16_t> widths, int16_t tag = 0)
      : widths_(std::move(widths)), tag_(tag) {}
  TestPlatformFont(const TestPlatformFont&) = default;

  bool GetRangeWidths(uintptr_t, uint16_t first, uint16_t last, std::span<int16_t> widths) override {
    rangeQueries.emplace_back(first, last);
    if (!answerRanges) return false;
    for (uint32_t code = first; code <= last; ++code) {
      auto found = widths_.find(static_cast<uint16_t>(code));
      if (found == widths_.end()) return false;
      widths[code - first] = found->second;
    }
    return true;
  }
  bool GetCodeWidth(uintptr_t, uint16_t code, int16_t& width) override {
    auto found = widths_.find(code);
    if (found == widths_.end()) return false;
    width = found->second;
    return true;
  }
  // Answers that show which query ran with which arguments.
  int32_t QueryA(uintptr_t context, int16_t size, int32_t a, int32_t b) override {
    return static_cast<int32_t>(context) * 1000000 + size * 1000 + a * 10 + b;
  }
  int32_t QueryB(uintptr_t context, int16_t size, int32_t a, int32_t b) override {
    return -QueryA(context, size, a, b);
  }

  RWCollectable* NewInstance() const override { return new TestPlatformFont; }
  RWCollectable* Clone() const override { return new TestPlatformFont(*this); }
  RWClassID ClassID() const override { return kClassID; }
  bool SameContent(const MPersistentObject& other) const override {
    const auto* font = SameClassAndKey<TestPlatformFont>(other);
    return font != nullptr && font->tag_ == tag_;
  }

  bool answerRanges = true;
  std::vector<std::pair<uint16_t, uint16_t>> rangeQueries;

 protected:
  void Fields(GFieldArchive& archive) override {
    MPersistentObject::Fields(archive);
    if (!archive.Version(FormatVersion())) return;
    archive.Int16(tag_);
  }

 private:
  std::map<uint16_t, int16_t> widths_;
  int16_t tag_ = 0;
};

// A body over a TestPlatformFont (or none), recording the glyphs it was
// asked to download and the texts it was asked to prepare. Its stored part
// is the body's.
class TestFontImp : public GFontImp {
 public:
  static constexpr RWClassID kClassID = 0x7EE0;

  TestFontImp() = default;
  // The platform font the OS factory makes.
  TestFontImp(uintptr_t context, const GFontInfo& info, const GFontMetrics& metrics)
      : GFontImp(context, info, metrics) {}
  TestFontImp(const GFontInfo& info, const GFontMetrics& metrics, std::unique_ptr<TestPlatformFont> platform,
              uintptr_t context = 1)
      : GFontImp(context, info, metrics, std::move(platform)) {}
  // Widths of the given codes; the description's break code and range as
  // given.
  explicit TestFontImp(const GFontInfo& info, std::map<uint16_t, int16_t> widths = {})
      : TestFontImp(info, GFontMetrics{}, std::make_unique<TestPlatformFont>(std::move(widths))) {}

  int32_t GetKind() const override { return 1; }
  int32_t GetHostQuery() const override { return 0; }
  int32_t IsReady() override { return ready; }
  int32_t DownloadGlyph(uint32_t code, int32_t encoding) override {
    downloads.emplace_back(code, encoding);
    return downloadAnswer(code);
  }
  int32_t PrepareFace(int32_t mode, void*) override {
    faceModes.push_back(mode);
    return 7;
  }
  int32_t PrepareText(GTextString&, int32_t mode) override {
    textModes.push_back(mode);
    return 5;
  }
  void SetFloatMetric2(float degrees) { Metrics().floatMetric2 = GFloatValue(degrees); }
  TestPlatformFont* Platform() const { return static_cast<TestPlatformFont*>(GetPlatformFont()); }

  RWCollectable* NewInstance() const override { return new TestFontImp; }
  RWClassID ClassID() const override { return kClassID; }

  int32_t ready = 1;
  int32_t (*downloadAnswer)(uint32_t code) = [](uint32_t) { return 1; };
  std::vector<std::pair<uint32_t, int32_t>> downloads;
  std::vector<int32_t> faceModes;
  std::vector<int32_t> textModes;
};

// A handle whose kind answers what the test set, and which answers a
// TrueType reader and glyph images when the test gives them.
class TestFont : public GFont {
 public:
  static constexpr RWClassID kClassID = 0x7EE1;

  // An image as the host gives it: rows padded to 32 bits.
  struct GlyphImage {
    GGlyphMetrics metrics;
    std::vector<uint8_t> bits;
  };

  TestFont() = default;
  explicit TestFont(GFontImp* body, GGraphicsDevice* device = nullptr, int32_t kind = 1)
      : GFont(body, device), kind_(kind) {}
  TestFont(const TestFont&) = default;

  int32_t GetKind() const override { return kind_; }
  int32_t GetHostQuery() const override { return 0; }
  void SetKind(int32_t kind) { kind_ = kind; }
  // The reader is not owned and must outlive the handle and its copies.
  void SetTrueTypeFile(GTTFontFile* file) { trueTypeFile_ = file; }
  GTTFontFile* GetTrueTypeFile() const override { return trueTypeFile_; }
  uint32_t GetGlyphImage(uint16_t code, int32_t, GGlyphMetrics& metrics, std::unique_ptr<GByteBuffer>& image) override {
    const auto found = glyphImages.find(code);
    if (found == glyphImages.end() || found->second.bits.empty()) return 0;
    const std::vector<uint8_t>& bits = found->second.bits;
    auto* data = new uint8_t[bits.size()];
    std::copy(bits.begin(), bits.end(), data);
    image = std::make_unique<GByteBuffer>(data, static_cast<uint32_t>(bits.size()), true);
    metrics = found->second.metrics;
    return static_cast<uint32_t>(bits.size());
  }

  std::map<uint16_t, GlyphImage> glyphImages;

  RWCollectable* NewInstance() const override { return new TestFont; }
  RWCollectable* Clone() const override { return new TestFont(*this); }
  RWClassID ClassID() const override { return kClassID; }

 private:
  int32_t kind_ = 1;
  GTTFontFile* trueTypeFile_ = nullptr;
};

// The handle registers as "TestFontHandle" and under a registrar name of
// its own, so that it lives beside the text graphic's stand-in font.
inline const GClassRegistrar kTestPlatformFontRegistrar(CreateCollectable<TestPlatformFont>, TestPlatformFont::kClassID,
                                                        "TestPlatformFont");
inline const GClassRegistrar kTestFontImpRegistrar(CreateCollectable<TestFontImp>, TestFontImp::kClassID,
                                                   "TestFontImp");
inline const GClassRegistrar kTestFontHandleRegistrar(CreateCollectable<TestFont>, TestFont::kClassID,
                                                      "TestFontHandle");
