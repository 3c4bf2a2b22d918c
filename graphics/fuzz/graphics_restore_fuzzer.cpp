// Restores the colour, graphic attribute, clip, transform, bitmap,
// dither-matrix, text-run, font cache and host font classes from arbitrary
// bytes in every store form, reads the rows of restored bitmaps, asks the
// restored host fonts for widths, glyphs and images, then sizes, saves and
// compares what came back.
// The seeds are one object of each class, with fields and references set,
// in each form.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/bitmaps/bitmap.h"
#include "graphics/bitmaps/dither_matrix.h"
#include "graphics/clips/clip.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/palette_table.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/fonts/host/host_font.h"
#include "graphics/fonts/host/host_font_data.h"
#include "graphics/fonts/host/host_font_imp.h"
#include "graphics/fonts/host/host_platform_font.h"
#include "graphics/fonts/text_escapements.h"
#include "graphics/fonts/text_string.h"
#include "graphics/fonts/truetype/character_mapping.h"
#include "graphics/fonts/truetype/glyph_cache.h"
#include "graphics/fonts/truetype/glyph_cache_node.h"
#include "graphics/fonts/truetype/tt_file_font_data.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_table_cache.h"
#include "graphics/testing/graphics_attribute_classes.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"
#include "model/testing/class_restore_fuzzing.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// A restored bitmap body's first rows, in every mode, whatever its stored
// layout claims.
void ReadRows(const GBitmapImp& body) {
  std::vector<uint8_t> row(256 * 9);
  const auto right = static_cast<int32_t>(std::min<uint32_t>(body.GetWidth(), 256));
  for (int32_t y = 0; y < static_cast<int32_t>(std::min<uint32_t>(body.GetHeight(), 4)); ++y) {
    for (int32_t mode = 0; mode <= 4; ++mode) {
      if (body.GetScanLine(row, 0, right, y, mode) > row.size()) std::abort();
    }
  }
}

// This process has no font pool and no driver server, so a restored host
// font finds no font data and no body: every query must answer failure.
void AskHostFont(MPersistentObject& object) {
  int16_t width = 0;
  std::vector<int16_t> widths(3);
  if (auto* platform = dynamic_cast<GHostPlatformFont*>(&object)) {
    Check(!platform->GetCodeWidth(0, 'A', width) && !platform->GetRangeWidths(0, 'A', 'C', widths));
  }
  if (auto* body = dynamic_cast<GHostFontImp*>(&object)) {
    Check(body->IsReady() == 0 && body->DownloadGlyph('A', tt_encoding::kUnicode) == 0 &&
          body->PrepareFace(0, nullptr) == 0);
  }
  if (auto* font = dynamic_cast<GHostFont*>(&object)) {
    GGlyphMetrics metrics;
    std::unique_ptr<GByteBuffer> image;
    Check(font->GetGlyphImage('A', 0, metrics, image) == 0 && !image);
  }
}

// Font data restored with a path that names no font renders nothing (its
// cached tables may still answer), and its glyphs and tables stay inside
// what it holds.
void AskHostFontData(MPersistentObject& object) {
  auto* data = dynamic_cast<GHostFontData*>(&object);
  if (data == nullptr || data->IsOpen()) return;
  std::unique_ptr<GByteBuffer> bytes;
  GFontInfo info;
  info.height = 12;
  Check(data->RenderGlyph(0, true, 1, 'A', bytes, 0, tt_encoding::kUnicode, &info) == 0 && !bytes);
  data->HasRequiredTables(0);
  data->Preload(0, tt_encoding::kUnicode);
  for (uint16_t glyph = 0; glyph < 4; ++glyph) data->GetGlyphData(0, true, glyph, bytes);
}

void Prepare(MPersistentObject& object) {
  if (const auto* body = dynamic_cast<const GBitmapImp*>(&object)) ReadRows(*body);
  if (const auto* bitmap = dynamic_cast<const GBitmap*>(&object); bitmap != nullptr && !bitmap->IsNull()) {
    ReadRows(*bitmap->GetBody());
  }
  AskHostFont(object);
  AskHostFontData(object);
}

GColorPaint* Paint(uint8_t red, uint8_t green, uint8_t blue) {
  return new GColorPaint(new GRGBColor(red, green, blue, 255));
}

// A buffer over bytes that the caches copy.
std::unique_ptr<GByteBuffer> Borrowed(uint8_t* bytes, uint32_t size) {
  return std::make_unique<GByteBuffer>(bytes, size, false);
}

// A table cache with a table and an empty table, a glyph cache with nodes
// on two pages, and a node of its own.
void AddFontCaches(std::vector<GObjectRef>& samples) {
  static uint8_t bytes[] = {0x00, 0x01, 0x00, 0x00, 'g', 'l', 'y', 'f'};
  auto* tables = new GTTTableCache;
  tables->Put(0, Borrowed(bytes, sizeof bytes));
  tables->Put(3, nullptr);
  samples.emplace_back(tables);
  auto* glyphs = new GGlyphCache;
  glyphs->Put(0x0041, std::make_unique<GGlyphCacheNode>(Borrowed(bytes, 4), Borrowed(bytes + 4, 4)));
  glyphs->Put(0x1234, std::make_unique<GGlyphCacheNode>(Borrowed(bytes, 2), nullptr));
  samples.emplace_back(glyphs);
  samples.emplace_back(new GGlyphCacheNode(nullptr, Borrowed(bytes, 3)));
  // Font data over a file that is not there, and a handle without font data:
  // restores must cope with any stored path and any key.
  samples.emplace_back(new GTTFileFontData(7, "missing.ttf"));
  samples.emplace_back(new GTTFontFile);
}

// A host font body over a file that is not there.
GHostFontImp* NewHostBody() {
  GFontInfo info;
  info.resolution = 300;
  info.height = 50;
  info.firstCode = 0x20;
  info.lastCode = 0x7E;
  info.faceName = "Missing Sans";
  return new GHostFontImp(3, info, GFontMetrics(),
                          std::make_unique<GHostPlatformFont>(new GTTFontFile, 50, tt_encoding::kUnicode));
}

// The host's fonts over a file that is not there: a platform font, a body,
// a handle on a body of its own (the handle deletes it with its last use),
// and the font data.
void AddHostFonts(std::vector<GObjectRef>& samples) {
  samples.emplace_back(new GHostPlatformFont(new GTTFontFile, 42, tt_encoding::kUnicode));
  samples.emplace_back(NewHostBody());
  samples.emplace_back(new GHostFont(NewHostBody(), nullptr));
  samples.emplace_back(new GHostFontData(9, "missing.ttf"));
}

// One object of every class, with fields set and paints shared.
std::vector<GObjectRef> Samples() {
  std::vector<GObjectRef> samples;
  GColorPaint* red = Paint(255, 0, 0);
  samples.emplace_back(new GPen(3, red, 160));
  samples.emplace_back(new GNoPen);
  samples.emplace_back(new GDashedPen({6, 2, 1, 2}, 2, red, 1, 160));
  samples.emplace_back(new GBrush(Paint(0, 128, 255), 154));
  samples.emplace_back(new GNoBrush);
  samples.emplace_back(new GCap(GCap::kFlat, 166));
  samples.emplace_back(new GJoint(GJoint::kBevel, 172));
  samples.emplace_back(new GMiterJoint(10.5F, 172));
  samples.emplace_back(new GFillMode(GFillMode::kNonZeroWinding, 182));
  samples.emplace_back(new GRasterOperation(GRasterOperation::kPatternCopy, 1, 183));
  samples.emplace_back(red);
  samples.emplace_back(new GRGBColor(1, 2, 3, 255));
  const GRGBColor colors[] = {GRGBColor(0, 0, 0, 255), GRGBColor(128, 128, 128, 255), GRGBColor(255, 0, 0, 255)};
  samples.emplace_back(new GPaletteTable(colors));
  samples.emplace_back(new GClipToPage(177));
  samples.emplace_back(new GClipToPath(nullptr, 1, 0, 177));
  auto* path = new GPathGraphic(nullptr, 0);
  path->AddChild(new GRectangleGraphic({1, 1, 40, 30}, nullptr, 0));
  samples.emplace_back(new GClipToPath(path, 0, 1, 177));
  samples.emplace_back(new GClipToSingleRectangle({1, 2, 300, 400}, 0, 1, 177));
  GRectangleList rectangles;
  rectangles.Add({0, 0, 10, 10});
  rectangles.Add({-5, 20, 7, 30});
  samples.emplace_back(new GClipToRectangle(rectangles, 1, 1, 177));
  samples.emplace_back(new GTransformAttribute(90, {100, -20}, {0.5F, 2.0F}));
  const uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  GBitmapDescription description;
  description.data = pixels;
  description.dataSize = sizeof pixels;
  description.bounds = {0, 0, 2, 2};
  description.bitsPerComponent = 16;
  description.explicitMasks = true;
  description.masks = {0xF800, 0x7E0, 0x1F};
  description.palette = new GPaletteTable(colors);
  const GBitmap bitmap(description);
  samples.emplace_back(new GBitmap(bitmap));
  samples.emplace_back(new GBitmapImp(*bitmap.GetBody()));
  const uint8_t cells[] = {0, 64, 128, 192, 32, 96};
  samples.emplace_back(new GDitherMatrix(3, 2, cells, 1, 2, 3, 4, 0xFFFF, 0));
  auto* bundle = new GGraphicBundle;
  bundle->SetClip(new GClipToSingleRectangle({0, 0, 50, 60}, 0, 0, 0));
  bundle->SetPen(new GDashedPen({4, 4}, 1, red, 0, 0));
  bundle->SetBrush(new GBrush(red, 0));
  bundle->SetCap(new GCap(GCap::kRound, 0));
  bundle->SetJoint(new GMiterJoint(4, 0));
  bundle->SetFillMode(new GFillMode(GFillMode::kEvenOdd, 0));
  bundle->SetRasterOperation(new GRasterOperation(0xAA, 0, 0));
  samples.emplace_back(bundle);
  AddFontCaches(samples);
  AddHostFonts(samples);
  samples.emplace_back(new GTextString(GCodeBlock<uint8_t>(std::vector<uint8_t>{'T', 'e', 'x', 't'}), 4));
  samples.emplace_back(new GTextString(GCodeBlock<uint16_t>(std::vector<uint16_t>{0x82A0, 0x41}), 17));
  samples.emplace_back(new GTextEscapements(GCodeBlock<int16_t>(std::vector<int16_t>{10, -20}),
                                            GCodeBlock<int16_t>(std::vector<int16_t>{0, 5}), 2));
  samples.emplace_back(new GTextEscapements({}, GCodeBlock<int16_t>(std::vector<int16_t>{7}), 1));
  return samples;
}

GFuzzSeeds Seeds() { return ClassRestoreSeeds(kGraphicsAttributeClassIDs, Samples()); }

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzClassRestore(kGraphicsAttributeClassIDs, data, size, Prepare);
  return 0;
}
