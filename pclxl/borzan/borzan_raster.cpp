// Images, raster patterns and raster operations of the PCL XL generator.
// The rows of an image come out of an image row pipeline, which reads the
// bitmap, sizes and clips it, halftones it for grey jobs and packs it with
// the compression chosen here; this file frames what comes out: the colour
// space and palette, the image or pattern header, and the rows in blocks.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "device/media/media.h"
#include "foundation/memory_byte_channel.h"
#include "graphics/adaptive_row_compressor.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/bitmaps/bitmap_imp.h"
#include "graphics/bitmaps/rectangle_intersection.h"
#include "graphics/clips/clip.h"
#include "graphics/colour/palette_table.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/delta_row_compressor.h"
#include "graphics/display/raster_graphic.h"
#include "graphics/image_rows/image_row_pipeline.h"
#include "graphics/jpeg_row_compressor.h"
#include "graphics/packbits_row_compressor.h"
#include "graphics/row_pad_filter.h"
#include "model/attributes/attribute.h"
#include "model/attributes/state.h"
#include "model/objects/lzw_codec.h"
#include "pclxl/borzan/borzan.h"
#include "pclxl/borzan/photographic_test.h"
#include "pclxl/xl_graphics_state_operators.h"
#include "pclxl/xl_image_operators.h"
#include "pclxl/xl_path_operators.h"
#include "pclxl/xl_values.h"

namespace {

// Rows are padded to whole 32-bit words, as the printer reads them.
constexpr uint16_t kRowPadding = 4;
constexpr int32_t kNoInversion = 0;
constexpr int32_t kDeltaLengthPrefix = 1;
constexpr uint32_t kBlockSize = 16384;
constexpr uint32_t kLargeBlockSize = 32768;
constexpr int16_t kNoPageLimit = 32767;
constexpr uint16_t kFineResolution = 1200;
constexpr uint16_t kPatternResolutionStep = 150;
constexpr uint16_t kTransparentCodesFirst = 0xA000;
constexpr uint16_t kTransparentCodesLast = 0xAFFF;

// Colour spaces, colour mappings and the 8-bit palette depth.
constexpr uint8_t kGreySpace = 1;
constexpr uint8_t kRgbSpace = 2;
constexpr uint8_t kDirectPixels = 0;
constexpr uint8_t kIndexedPixels = 1;
constexpr uint8_t kPaletteDepth8 = 2;

bool IsEmpty(const GRectangle& r) { return r.right <= r.left || r.bottom <= r.top; }
uint16_t Width(const GRectangle& r) { return static_cast<uint16_t>(r.right - r.left); }
uint16_t Height(const GRectangle& r) { return static_cast<uint16_t>(r.bottom - r.top); }

// The ColorDepth value of a pipeline's output; 24 bits go as 8 per
// component.
bool IsSendableDepth(uint8_t bitsPerPixel) {
  return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 24;
}
uint8_t ColorDepth(uint8_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
      return 0;
    case 4:
      return 1;
    default:
      return 2;
  }
}

GRowFilter* NewPackingStage(GBorzan::RowPacking packing) {
  switch (packing) {
    case GBorzan::RowPacking::kPackBits:
      return new GPackBitsRowCompressor(kRowPadding, kNoInversion);
    case GBorzan::RowPacking::kDeltaRow:
      return new GDeltaRowCompressor(kRowPadding, kNoInversion, kDeltaLengthPrefix);
    case GBorzan::RowPacking::kAdaptive:
      return new GAdaptiveRowCompressor(kRowPadding, kNoInversion);
    case GBorzan::RowPacking::kJpeg:
      return new GJpegRowCompressor(kRowPadding, kNoInversion);
    case GBorzan::RowPacking::kPad:
      break;
  }
  return new GRowPadFilter(kRowPadding, kNoInversion);
}

// The bytes the rows of the body read at most; an LZW stream that claims
// to unpack to more is not believed.
uint64_t LayoutBytes(const GBitmapImp& body) {
  const uint64_t rows = body.GetHeight();
  if (body.GetSegmentsPerBand() != 0 && body.GetRowsPerBand() > 0) {
    const uint64_t bands = (rows + static_cast<uint64_t>(body.GetRowsPerBand()) - 1) / body.GetRowsPerBand();
    return bands * body.GetSegmentsPerBand() * 65536;
  }
  return rows * body.GetComponents() * body.GetStride();
}

// The bitmap over its unpacked data: the stored data are a 32-bit size (low
// byte first) followed by an LZW stream. Data that do not unpack leave the
// bitmap as stored.
GBitmap Expanded(const GBitmap& bitmap) {
  const GBitmapImp* body = bitmap.GetBody();
  if (body == nullptr || !bitmap.IsCompressed() || body->GetDataSize() < 4) return bitmap;
  const uint8_t* data = body->GetData();
  const uint32_t size = uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 | uint32_t{data[3]} << 24;
  if (size == 0 || size > LayoutBytes(*body)) return bitmap;
  std::vector<uint8_t> unpacked(size);
  GMemoryByteChannel in(data + 4, body->GetDataSize() - 4);
  GMemoryByteChannel out(unpacked.data(), size, GMemoryByteChannel::kForWriting);
  if (!GLzwCodec().Decode(in, out)) return bitmap;

  GBitmapDescription description;
  description.data = unpacked.data();
  description.dataSize = size;
  description.rowAlignment = body->GetRowAlignment();
  description.bounds = body->GetBounds();
  description.bitsPerComponent = body->GetBitsPerComponent();
  description.components = body->GetComponents();
  description.colorOrder = body->GetColorOrder();
  if (const GPaletteTable* palette = body->GetPalette(); palette != nullptr) {
    description.palette = new GPaletteTable(*palette);
  }
  description.bottomUp = body->IsBottomUp();
  description.mirrored = body->IsMirrored();
  description.explicitMasks = body->HasExplicitMasks();
  for (int i = 0; i < 3; ++i) description.masks[static_cast<size_t>(i)] = body->GetMask(i).mask;
  description.segmentsPerBand = body->GetSegmentsPerBand();
  description.rowsPerBand = body->GetRowsPerBand();
  description.userValue = body->GetUserValue();
  return GBitmap(description);
}

// Cuts the source part down to what lies on the image (its pixels are
// counted from the image's top left corner) and the destination to where
// that part lands, so that every row read has pixels. Both become empty
// when the source misses the image.
void FitToImage(const GBitmap& bitmap, GRectangle& source, GRectangle& destination) {
  const GRectangle bounds = bitmap.GetBounds();
  const GRectangle image{0, 0, static_cast<int16_t>(bounds.right - bounds.left),
                         static_cast<int16_t>(bounds.bottom - bounds.top)};
  const GRectangle inside = IntersectRectangles(source, image);
  if (inside == source) return;
  if (IsEmpty(inside) || IsEmpty(source) || IsEmpty(destination)) {
    source = destination = GRectangle{};
    return;
  }
  const auto map = [](int16_t at, int16_t from, int16_t to, int16_t sourceFrom, int16_t sourceTo) {
    return static_cast<int16_t>(from + int64_t{at - sourceFrom} * (to - from) / (sourceTo - sourceFrom));
  };
  destination = {map(inside.left, destination.left, destination.right, source.left, source.right),
                 map(inside.top, destination.top, destination.bottom, source.top, source.bottom),
                 map(inside.right, destination.left, destination.right, source.left, source.right),
                 map(inside.bottom, destination.top, destination.bottom, source.top, source.bottom)};
  source = inside;
}

// The palette the pipeline's rows index, as PaletteData: red, green and
// blue (or the grey level) of each entry, padded with zeros to a full table
// for the depth.
std::vector<uint8_t> PaletteData(const GPaletteTable& palette, uint8_t bitsPerPixel, bool colour,
                                 GGrayFunction grayFunction) {
  const uint32_t entries = 1u << bitsPerPixel;
  std::vector<uint8_t> data;
  data.reserve(entries * (colour ? 3 : 1));
  for (uint32_t i = 0; i < std::min(entries, palette.GetCount()); ++i) {
    const GRGBColor& entry = *palette.GetEntry(i);
    if (colour) {
      data.insert(data.end(), {entry.GetRed(), entry.GetGreen(), entry.GetBlue()});
    } else {
      data.push_back(static_cast<uint8_t>(grayFunction(entry.GetRed(), entry.GetGreen(), entry.GetBlue()) & 0xFF));
    }
  }
  data.resize(entries * (colour ? 3 : 1), 0);
  return data;
}

// The whole image compressed at once into one buffer of three bytes a
// pixel, which a photograph at quality 95 never fills.
class JpegImage {
 public:
  bool Allocate(uint64_t capacity) {
    if (capacity == 0 || capacity > std::numeric_limits<uint32_t>::max()) return false;
    data_.reset(new (std::nothrow) uint8_t[capacity]);
    capacity_ = static_cast<uint32_t>(capacity);
    return data_ != nullptr;
  }
  uint8_t* Data() { return data_.get(); }
  uint32_t Capacity() const { return capacity_; }
  void SetSize(uint32_t size) { size_ = size; }
  std::span<const uint8_t> Bytes() const { return {data_.get(), size_}; }

 private:
  std::unique_ptr<uint8_t[]> data_;
  uint32_t capacity_ = 0;
  uint32_t size_ = 0;
};

// Compresses the whole image through the pipeline's JPEG stage. The stage
// is the pipeline's head, and so still there, when the pipeline delivers
// no bytes of its own (every other stage has rows of some length). False
// when the stage is missing, memory runs out or the compression failed.
bool CompressAsJpeg(GImageRowPipeline& pipeline, GJpegRowCompressor& stage, const GRectangle& bounds, JpegImage& jpeg) {
  if (pipeline.GetMaxRowBytes() != 0) return false;
  if (!jpeg.Allocate(uint64_t{Width(bounds)} * Height(bounds) * 3)) return false;
  stage.SetOutputBuffer(jpeg.Data(), jpeg.Capacity());
  uint16_t row = 0;
  uint32_t length = 0;
  uint8_t repeat = 1;
  uint8_t rows = 1;
  if (pipeline.ReadRow(nullptr, row, length, repeat, rows) != GRowFilter::kRowDelivered || length == 0) return false;
  jpeg.SetSize(length);
  return true;
}

// Pen and brush go out again before the next graphic: the colour space an
// image sets is not theirs.
void MarkPaintsChanged(GState* graphicState) {
  if (graphicState == nullptr) return;
  for (const int32_t key : {GGraphicBundle::kPenKey, GGraphicBundle::kBrushKey}) {
    if (auto* paint = dynamic_cast<GAttribute*>(graphicState->FindByKey(key)); paint != nullptr) {
      paint->SetChangedFlag(1);
    }
  }
}

// Sends the colour space of the pipeline's rows, with their palette when
// they index one, and answers the ColorMapping: indexed when a palette was
// sent. Colour jobs send RGB, grey jobs grey levels. Rows of fewer than 24
// bits without a palette hold grey levels whatever the job: they go out in
// the grey space, as RGB would read three pixels as one.
uint8_t SendColorSpace(XLStream* stream, GRowFilter& pipeline, bool colour, GGrayFunction grayFunction) {
  const uint8_t bitsPerPixel = pipeline.GetBitsPerPixel();
  const GPaletteTable* palette = bitsPerPixel <= 8 ? pipeline.GetPalette() : nullptr;
  if (palette == nullptr) {
    XLSetColorSpace(stream, colour && bitsPerPixel > 8 ? kRgbSpace : kGreySpace);
    return kDirectPixels;
  }
  XLSetColorSpaceWithPalette(stream, colour ? kRgbSpace : kGreySpace, kPaletteDepth8,
                             PaletteData(*palette, bitsPerPixel, colour, grayFunction));
  return kIndexedPixels;
}

// One image or raster pattern of the stream: its header, its blocks and
// its end, told apart by the pattern number.
class ImageFrame {
 public:
  ImageFrame(XLStream* stream, bool rasterPattern, int16_t patternNumber)
      : stream_(stream), rasterPattern_(rasterPattern), patternNumber_(patternNumber) {}

  void Begin(uint8_t colorMapping, uint8_t colorDepth, const GRectangle& source, const GRectangle& destination) {
    const XLPair<uint16_t> size{Width(destination), Height(destination)};
    if (rasterPattern_) {
      XLBeginRastPattern(stream_, colorMapping, colorDepth, Width(source), Height(source), size, patternNumber_, 0);
    } else {
      XLBeginImage(stream_, colorMapping, colorDepth, Width(source), Height(source), size);
    }
  }

  void Block(uint16_t startLine, uint16_t blockHeight, uint8_t compressMode, std::span<const uint8_t> bytes) {
    if (rasterPattern_) {
      XLReadRastPattern(stream_, startLine, blockHeight, compressMode);
    } else {
      XLReadImage(stream_, startLine, blockHeight, compressMode);
    }
    XLWriteEmbeddedLength(stream_, bytes.size());
    XLWriteRawBytes(stream_, bytes);
  }

  void End() {
    if (rasterPattern_) {
      XLEndRastPattern(stream_);
    } else {
      XLEndImage(stream_);
    }
  }

 private:
  XLStream* stream_;
  bool rasterPattern_;
  int16_t patternNumber_;
};

// Reads the pipeline's rows (as many as its bounds hold) into blocks and
// writes each block as it fills. A block takes chunks while one more of
// the largest size still fits: 16 KB, 32 KB when one chunk is larger than
// 16 KB, or the largest chunk itself when that is larger still. A row that
// stands for several device rows goes out as often. A pipeline that fails,
// or delivers a row without bytes (every packed row has some; the image
// had no row there), ends the image with the rows sent so far.
void WriteBlocks(GRowFilter& pipeline, uint16_t height, uint8_t compressMode, ImageFrame& frame) {
  const uint32_t largest = std::max<uint32_t>(pipeline.GetMaxRowBytes(), 1);
  const uint32_t capacity = largest > kLargeBlockSize ? largest : largest > kBlockSize ? kLargeBlockSize : kBlockSize;
  std::vector<uint8_t> block;
  block.reserve(capacity);
  std::vector<uint8_t> chunk(largest);
  uint32_t sent = 0;
  uint32_t blockStart = 0;
  uint32_t blockRows = 0;
  const auto writeBlock = [&] {
    if (blockRows != 0) {
      frame.Block(static_cast<uint16_t>(blockStart), static_cast<uint16_t>(blockRows), compressMode, block);
    }
    blockStart += blockRows;
    blockRows = 0;
    block.clear();
  };
  bool failed = false;
  while (!failed && sent < height) {
    uint16_t row = 0;
    uint32_t length = 0;
    uint8_t repeat = 1;
    uint8_t rows = 1;
    failed = pipeline.ReadRow(chunk.data(), row, length, repeat, rows) != GRowFilter::kRowDelivered || length == 0;
    if (failed) break;
    length = std::min(length, largest);
    for (uint32_t copy = 0; copy < std::max<uint8_t>(repeat, 1) && sent < height; ++copy) {
      if (block.size() + largest > capacity) writeBlock();
      block.insert(block.end(), chunk.begin(), chunk.begin() + length);
      const uint32_t covered = std::min<uint32_t>(std::max<uint8_t>(rows, 1), height - sent);
      blockRows += covered;
      sent += covered;
    }
  }
  writeBlock();
}

// How the pipeline delivers the rows of the job: colour jobs as RGB bytes,
// grey jobs as grey levels, halftoned with the job's dither matrix where
// that makes the data smaller, unless dithering is off or the printer's
// resolution is fine enough (1200 dots per inch) without it.
struct RowFormat {
  int32_t mode = GBitmapImp::kGray;
  int32_t halftone = GImageRowPipeline::kHalftoneAutomatic;
  GDitherMatrix* matrix = nullptr;
};

RowFormat RowFormatOf(const GBorzan& generator) {
  if (generator.IsColour()) return {GBitmapImp::kColorRGB, GImageRowPipeline::kHalftoneAutomatic, nullptr};
  if (generator.IsDitherOff() || generator.XResolution() == kFineResolution ||
      generator.YResolution() == kFineResolution) {
    return {GBitmapImp::kGray, GImageRowPipeline::kHalftoneAutomatic, nullptr};
  }
  return {GBitmapImp::kGray, GImageRowPipeline::kHalftoneWhenSmaller, generator.DitherMatrix()};
}

// The printable width or height of the page in the units of the graphic
// state's transform: a value beyond 16 bits keeps its low 16 bits, a
// negative one means no limit.
int16_t PageLimit(int32_t printable, float scale) {
  const double limit = std::trunc(static_cast<double>(printable) / scale);
  if (!std::isfinite(limit) || limit < 0 || limit > std::numeric_limits<int32_t>::max()) return kNoPageLimit;
  const auto truncated = static_cast<int16_t>(static_cast<int32_t>(limit));
  return truncated < 0 ? kNoPageLimit : truncated;
}

}  // namespace

GBorzan::RowCompression GBorzan::ChooseRowCompression(uint16_t treatment, bool supportsClass21,
                                                      const std::function<bool()>& isColourPhotograph) {
  if (treatment != 0 && treatment != 1 && !supportsClass21) treatment = 1;
  switch (treatment) {
    case 1:
    case 2:
      return {RowPacking::kPackBits, 1};
    case 4:
      return {RowPacking::kDeltaRow, 3};
    case 8:
    case 16:
      return {RowPacking::kAdaptive, 5};
    case 512:
      if (isColourPhotograph()) return {RowPacking::kJpeg, 2};
      return {RowPacking::kDeltaRow, 3};
    default:
      return {RowPacking::kPad, 0};
  }
}

uint16_t GBorzan::DrawRaster(GRasterGraphic& raster) {
  const GScale scale = CurrentTransformScale();
  GRectangle visible{0, 0, kNoPageLimit, kNoPageLimit};
  if (const GMedia* medium = CurrentMedium(); medium != nullptr) {
    const GDotPair printable = medium->GetPrintableSize();
    visible.right = PageLimit(printable.x, scale.x);
    visible.bottom = PageLimit(printable.y, scale.y);
  }
  GState* graphicState = FindStateFor(kGraphicStateKey);
  const auto* clip =
      graphicState != nullptr ? dynamic_cast<const GClip*>(graphicState->FindKindOf(kGClipClassID)) : nullptr;
  GRectangle bounds;
  if (clip != nullptr && clip->GetRegion() != GClip::kOutside && clip->GetBounds(bounds) != 0) {
    visible = IntersectRectangles(bounds, visible);
  }
  if (IsEmpty(visible)) return TakeStatus();
  const GClipToSingleRectangle visibleClip(visible, GClip::kInside, GClip::kNotSet, GGraphicBundle::kClipKey);
  GRectangle source;
  GRectangle destination;
  raster.ComputeVisibleArea(&visibleClip, source, destination);
  if (!IsEmpty(source) && !IsEmpty(destination)) {
    DrawImage(raster.GetBitmap(), source, destination, &visibleClip, false, 0);
  }
  return TakeStatus();
}

bool GBorzan::DrawImage(const GBitmap& stored, const GRectangle& wholeSource, const GRectangle& wholeDestination,
                        const GClip* clip, bool rasterPattern, int16_t patternNumber) {
  const GBitmap bitmap = Expanded(stored);
  GRectangle source = wholeSource;
  GRectangle destination = wholeDestination;
  FitToImage(bitmap, source, destination);
  if (IsEmpty(source) || IsEmpty(destination)) return false;
  const bool colour = IsColour();
  const RowFormat format = RowFormatOf(*this);
  RowCompression compression;
  if (!rasterPattern) {
    compression = ChooseRowCompression(ImageTreatment(), SupportsProtocolClass(2, 1),
                                       [&] { return colour && IsPhotographic(bitmap, destination, PhotoOverride()); });
  }
  GRectangle target;
  GJpegRowCompressor* jpegStage = nullptr;
  const auto build = [&](RowPacking packing) {
    target = destination;
    GRowFilter* stage = NewPackingStage(packing);
    jpegStage = packing == RowPacking::kJpeg ? static_cast<GJpegRowCompressor*>(stage) : nullptr;
    return std::make_unique<GImageRowPipeline>(source, target, clip, bitmap, format.mode, format.halftone,
                                               format.matrix, stage, 0, GrayConversion());
  };
  std::unique_ptr<GImageRowPipeline> pipeline = build(compression.packing);
  GRectangle bounds;
  pipeline->GetBounds(bounds);
  const uint8_t bitsPerPixel = pipeline->GetBitsPerPixel();
  if (IsEmpty(bounds) || IsEmpty(target) || !IsSendableDepth(bitsPerPixel)) return false;

  // The JPEG data are made before anything is written, so that an image
  // the compression fails on still goes out, delta-row packed.
  JpegImage jpeg;
  if (jpegStage != nullptr && !CompressAsJpeg(*pipeline, *jpegStage, bounds, jpeg)) {
    compression = {RowPacking::kDeltaRow, 3};
    pipeline = build(compression.packing);
  }

  const uint8_t colorMapping = SendColorSpace(Stream(), *pipeline, colour, GrayConversion());
  MarkPaintsChanged(FindStateFor(kGraphicStateKey));
  XLSetCursor(Stream(), XLPair<int16_t>{target.left, target.top});
  ImageFrame frame(Stream(), rasterPattern, patternNumber);
  frame.Begin(colorMapping, ColorDepth(bitsPerPixel), bounds, target);
  if (compression.packing == RowPacking::kJpeg) {
    frame.Block(0, Height(bounds), compression.compressMode, jpeg.Bytes());
  } else {
    WriteBlocks(*pipeline, Height(bounds), compression.compressMode, frame);
  }
  frame.End();
  return true;
}

int32_t GBorzan::PreparePaintBitmap(const GPaint& paint, int16_t patternNumber) {
  const GBitmap* bitmap = paint.GetPatternBitmap();
  if (bitmap == nullptr) return 0;
  const GRectangle bounds = bitmap->GetBounds();
  if (IsEmpty(bounds)) return 0;
  const int32_t factor =
      paint.IsDeviceResolution() || (UsesPatterns() && !paint.IsOpaque()) ? YResolution() / kPatternResolutionStep : 1;
  const int32_t side =
      std::min({Width(bounds) * factor, Height(bounds) * factor, int32_t{std::numeric_limits<int16_t>::max()}});
  const GRectangle square{0, 0, static_cast<int16_t>(side), static_cast<int16_t>(side)};
  return DrawImage(*bitmap, bounds, square, nullptr, true, patternNumber) ? 1 : 0;
}

uint16_t GBorzan::ApplyRasterOperation(GRasterOperation& operation) {
  const auto rop3 = static_cast<uint8_t>(operation.GetCode() & 0xFF);
  switch (operation.GetMode()) {
    case GRasterOperation::kCodeOnly:
      XLSetROP(Stream(), rop3);
      break;
    case GRasterOperation::kCodeAndTransparency: {
      const bool transparent =
          operation.GetCode() >= kTransparentCodesFirst && operation.GetCode() <= kTransparentCodesLast;
      SetTransparency(transparent ? 1 : 0);
      XLSetPaintTxMode(Stream(), transparent ? 1 : 0);
      XLSetSourceTxMode(Stream(), transparent ? 1 : 0);
      XLSetROP(Stream(), rop3);
      break;
    }
    default:
      break;
  }
  operation.SetChangedFlag(0);
  return TakeStatus();
}
