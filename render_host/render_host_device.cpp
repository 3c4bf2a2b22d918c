#include "render_host/render_host_device.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <type_traits>
#include <utility>
#include <vector>

#include "device/driver/tree_lookup.h"
#include "device/media/media.h"
#include "graphics/attributes/brush.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/pen.h"
#include "graphics/colour/color_paint.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/raster_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/display/text_string_graphic.h"
#include "graphics/fonts/host/host_fonts.h"
#include "graphics/fonts/text_string.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/os/printer_identity.h"
#include "render_host/font_family.h"
#include "render_host/image_loader.h"

namespace {

// Groups of the document settings and the settings the job sets.
constexpr int32_t kSettingsKey = 360;
constexpr int32_t kDocumentGroup = 362;
constexpr int32_t kPageGroup = 363;
constexpr int32_t kJobGroup = 364;
constexpr int32_t kFinishingGroup = 365;
constexpr int32_t kResolutionGroup = 249;
constexpr int32_t kXResolution = 323;
constexpr int32_t kYResolution = 324;
constexpr int32_t kMediaSize = 260;
constexpr int32_t kOrientation = 265;
constexpr int32_t kCopies = 291;
constexpr int32_t kJobName = 1031;
constexpr int32_t kFallbackName = 1032;
constexpr int32_t kUtf8Name = 1027;
// Text and path graphics of the job carry their bundle under no key.
constexpr int32_t kNoKey = 0;
// The code page of the job's texts: UTF-8.
constexpr uint32_t kUtf8CodePage = 65001;

struct NamedMedia {
  const char* name;
  int16_t sizeId;
};
// The device's paper ids of the paper names a job may use.
constexpr NamedMedia kMedia[] = {{"Letter", 1}, {"Legal", 5}, {"A4", 9}, {"A5", 11}};

int16_t SizeIdOf(const std::string& name) {
  for (const NamedMedia& media : kMedia) {
    if (name == media.name) return media.sizeId;
  }
  return 0;
}

GAttributeComposite* AddGroup(GAttributeComposite& parent, int32_t key) {
  auto* group = new GAttributeComposite(key);
  parent.AddChild(group);
  return group;
}

void Put(GAttributeComposite& group, int32_t key, int16_t value) {
  const GObjectRef old(group.RemoveChildByKey(key));
  group.AddChild(new GValueAttribute(value, key));
}

GPaint* PaintOf(const GJobColour& colour) {
  return new GColorPaint(new GRGBColor(colour.red, colour.green, colour.blue, 0));
}

// The UTF-16 units of valid UTF-8 text (the job reader checked it).
std::vector<uint16_t> Utf16Of(const std::string& text) {
  std::vector<uint16_t> units;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<uint8_t>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    uint32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length && i + k < text.size(); ++k) code = (code << 6) | (text[i + k] & 0x3F);
    i += length;
    if (code >= 0x10000) {
      units.push_back(static_cast<uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
      units.push_back(static_cast<uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<uint16_t>(code));
    }
  }
  return units;
}

}  // namespace

GRenderHostDevice::GRenderHostDevice(const RWWString& printerName, const RWWString& driverName,
                                     const RWWString& portName)
    : settings_(std::make_unique<GAttributeComposite>(kSettingsKey)) {
  SetPrinterNames(printerName, driverName, portName);
}

GRenderHostDevice::~GRenderHostDevice() { ReleaseJobResources(); }

std::unique_ptr<GAttributeComposite> GRenderHostDevice::CreateDefaultSettings() {
  return std::unique_ptr<GAttributeComposite>(static_cast<GAttributeComposite*>(settings_->DeepCopy()));
}

std::unique_ptr<GAttributeComposite> GRenderHostDevice::LoadSettings() { return CreateDefaultSettings(); }

std::unique_ptr<GAttributeComposite> GRenderHostDevice::GetReloadedSettings() { return CreateDefaultSettings(); }

std::unique_ptr<GDriverKey> GRenderHostDevice::CreatePrinterIdentity() const {
  return std::make_unique<GPrinterIdentity>(nullptr, GetPrinterName(), GetText2(), GetText3(), 0);
}

void GRenderHostDevice::MakeSettings(const GJobSettings& settings) {
  settings_ = std::make_unique<GAttributeComposite>(kSettingsKey);
  GAttributeComposite& document = *AddGroup(*settings_, kDocumentGroup);
  AddGroup(*settings_, kPageGroup);
  GAttributeComposite& job = *AddGroup(*settings_, kJobGroup);
  AddGroup(*settings_, kFinishingGroup);
  GAttributeComposite& resolution = *AddGroup(document, kResolutionGroup);
  Put(resolution, kXResolution, static_cast<int16_t>(settings.resolution));
  Put(resolution, kYResolution, static_cast<int16_t>(settings.resolution));
  Put(job, kCopies, static_cast<int16_t>(settings.copies));
  document.AddChild(new GStringAttribute(RWCString(""), kJobName));
  document.AddChild(new GStringAttribute(RWCString(settings.name.c_str()), kFallbackName));
  Put(document, kUtf8Name, 1);
  resolution_ = settings.resolution;
}

void GRenderHostDevice::SetPageMedia(const std::string& media, GJobOrientation orientation) {
  auto& document = *FindAs<GAttributeComposite>(settings_.get(), kDocumentGroup);
  Put(document, kMediaSize, SizeIdOf(media));
  Put(document, kOrientation, orientation == GJobOrientation::kLandscape ? 90 : 0);
}

bool GRenderHostDevice::BeginJob(const GJobSettings& settings, const std::string& outputPath) {
  error_.clear();
  Invalidate(*CreatePrinterIdentity());
  MakeSettings(settings);
  if (SizeIdOf(settings.media) == 0) return Fail("unknown media \"" + settings.media + "\"");
  SetPageMedia(settings.media, settings.orientation);
  SetCodePage(kUtf8CodePage);
  if (StartJob() != 0) return Fail("the job could not start");
  UpdateJobNameSetting();
  SetDocumentPending(RWWString::FromMultibyte(settings.name.c_str()), RWWString::FromMultibyte(outputPath.c_str()));
  jobOpen_ = true;
  if (const uint16_t status = FlushPendingDocument(); status != 0 && status != kNoPendingDocument) {
    return Fail("the output could not be opened (status " + std::to_string(status) + ")");
  }
  return true;
}

bool GRenderHostDevice::DrawPage(const GJobPage& page) {
  if (!error_.empty()) return false;
  if (SizeIdOf(page.media) == 0) {
    return Fail("page " + std::to_string(page.number) + ": unknown media \"" + page.media + "\"");
  }
  SetPageMedia(page.media, page.orientation);
  // Device dots count from the printable area's corner, job points from
  // the sheet's.
  const std::unique_ptr<GMedia> medium = ResolveMediaById(SizeIdOf(page.media));
  if (medium == nullptr) return Fail("page " + std::to_string(page.number) + ": the printer has no " + page.media);
  origin_ = medium->GetPrintableOrigin();
  SetPagePending();
  for (const GJobItem& item : page.items) {
    if (!Draw(item)) {
      error_ = "line " + std::to_string(item.line) + ": " + error_;
      return false;
    }
  }
  return Send(EndPage().release());
}

bool GRenderHostDevice::EndJob() {
  if (!jobOpen_) return error_.empty();
  jobOpen_ = false;
  if (!error_.empty()) return false;
  if (!Send(EndDocument().release())) return false;
  if (GetJobStatus() != kJobNormal) return Fail("the job failed");
  return true;
}

bool GRenderHostDevice::Draw(const GJobItem& item) {
  return std::visit(
      [this](const auto& shape) -> bool {
        using Shape = std::decay_t<decltype(shape)>;
        if constexpr (std::is_same_v<Shape, GJobText>) {
          return DrawText(shape);
        } else if constexpr (std::is_same_v<Shape, GJobImage>) {
          return DrawImage(shape);
        } else if constexpr (std::is_same_v<Shape, GJobRectangle>) {
          const GPoint from = At(shape.origin);
          auto* figure =
              new GRectangleGraphic(GRectangle{from.x, from.y, static_cast<int16_t>(from.x + Dots(shape.width)),
                                               static_cast<int16_t>(from.y + Dots(shape.height))},
                                    nullptr, 0);
          figure->SetCornerSize(GPoint{Dots(shape.cornerWidth), Dots(shape.cornerHeight)});
          return DrawPath(figure, shape.pen, shape.brush);
        } else if constexpr (std::is_same_v<Shape, GJobEllipse>) {
          // Four Bézier quarters through the ellipse's extreme points.
          constexpr double kKappa = 0.5522847498;
          const double cx = shape.origin.x + shape.width / 2;
          const double cy = shape.origin.y + shape.height / 2;
          const double rx = shape.width / 2;
          const double ry = shape.height / 2;
          const double kx = rx * kKappa;
          const double ky = ry * kKappa;
          std::vector<GPoint> points = {At({cx + rx, cy}), At({cx + rx, cy + ky}), At({cx + kx, cy + ry}),
                                        At({cx, cy + ry}), At({cx - kx, cy + ry}), At({cx - rx, cy + ky}),
                                        At({cx - rx, cy}), At({cx - rx, cy - ky}), At({cx - kx, cy - ry}),
                                        At({cx, cy - ry}), At({cx + kx, cy - ry}), At({cx + rx, cy - ky}),
                                        At({cx + rx, cy})};
          auto* path = new GPathGraphic(nullptr, 0);
          path->AddChild(new GPolyBezierGraphic(GPointArray(std::move(points)), nullptr, 0));
          path->SetClosed();
          return DrawPath(path, shape.pen, shape.brush);
        } else if constexpr (std::is_same_v<Shape, GJobPolygon>) {
          if (shape.closed) {
            std::vector<GPoint> points;
            for (const GJobPoint& point : shape.points) points.push_back(At(point));
            auto* path = new GPathGraphic(nullptr, 0);
            path->AddChild(new GPolygonGraphic(GPointArray(std::move(points)), nullptr, 0));
            return DrawPath(path, shape.pen, shape.brush);
          }
          auto* path = new GPathGraphic(nullptr, 0);
          for (size_t i = 1; i < shape.points.size(); ++i) path->AddChild(Line(shape.points[i - 1], shape.points[i]));
          return DrawPath(path, shape.pen, GJobBrush{});
        } else {
          return DrawPath(Figures(shape), shape.pen, shape.brush);
        }
      },
      item.shape);
}

// A straight line as a curve of no whole segment: its start and its end.
GGraphic* GRenderHostDevice::Line(const GJobPoint& from, const GJobPoint& to) const {
  return new GPolyBezierGraphic(GPointArray(std::vector<GPoint>{At(from), At(to)}), nullptr, 0);
}

// Each figure of the path is a path of its own inside the whole, closed
// when the job closes it; its lines and curves continue from its start.
GPathGraphic* GRenderHostDevice::Figures(const GJobPath& path) const {
  auto* whole = new GPathGraphic(nullptr, 0);
  GPathGraphic* figure = nullptr;
  GJobPoint at;
  for (const GJobPathSegment& segment : path.segments) {
    switch (segment.kind) {
      case GJobPathSegment::Kind::kMove:
        figure = new GPathGraphic(nullptr, 0);
        whole->AddChild(figure);
        at = segment.points[0];
        break;
      case GJobPathSegment::Kind::kLine:
        figure->AddChild(Line(at, segment.points[0]));
        at = segment.points[0];
        break;
      case GJobPathSegment::Kind::kBezier:
        figure->AddChild(
            new GPolyBezierGraphic(GPointArray(std::vector<GPoint>{At(at), At(segment.points[0]), At(segment.points[1]),
                                                                   At(segment.points[2])}),
                                   nullptr, 0));
        at = segment.points[2];
        break;
      case GJobPathSegment::Kind::kClose:
        figure->SetClosed();
        break;
    }
  }
  return whole;
}

bool GRenderHostDevice::DrawPath(GGraphic* figure, const GJobPen& pen, const GJobBrush& brush) {
  GObjectRef held(figure);
  auto* bundle = new GGraphicBundle;
  figure->SetState(bundle);
  if (pen.colour) {
    bundle->SetPen(new GPen(std::max<int16_t>(1, Dots(pen.width)), PaintOf(*pen.colour), 0));
  } else {
    bundle->SetPen(new GNoPen);
  }
  if (brush.colour) {
    bundle->SetBrush(new GBrush(PaintOf(*brush.colour), 0));
  } else {
    bundle->SetBrush(new GNoBrush);
  }
  return Send(static_cast<GCommand*>(GCommand::GiveUp(held)));
}

bool GRenderHostDevice::DrawText(const GJobText& text) {
  std::filesystem::path file = text.font.file;
  if (file.empty() && fonts_ != nullptr) file = fonts_->Find(text.font.family);
  if (file.empty()) return Fail("no font file of the family \"" + text.font.family + "\"");
  std::unique_ptr<GHostFont> font = MakeHostFont(RWCString(file.string().c_str()), text.font.size,
                                                 static_cast<int16_t>(resolution_), this, GetHandle());
  if (font == nullptr) return Fail("the font file " + file.string() + " could not be read");
  const std::vector<uint16_t> units = Utf16Of(text.text);
  const GPoint origin = At(text.origin);
  const uint32_t position =
      static_cast<uint16_t>(origin.x) | (static_cast<uint32_t>(static_cast<uint16_t>(origin.y)) << 16);
  auto* bundle = new GGraphicBundle;
  bundle->SetBrush(new GBrush(PaintOf(text.colour), 0));
  bundle->SetPen(new GNoPen);
  auto* graphic = new GTextStringGraphic(font.release(), GTextString::kUnicodeEncoding, units.data(), nullptr, 0,
                                         static_cast<uint32_t>(units.size()), position, nullptr, bundle);
  graphic->OwnData();
  return Send(graphic);
}

bool GRenderHostDevice::DrawImage(const GJobImage& image) {
  const GLoadedImage loaded = LoadImageFile(image.file);
  if (!loaded.IsLoaded()) return Fail(loaded.error);
  const GRectangle bounds = loaded.bitmap.GetBounds();
  const GPoint from = At(image.origin);
  const GRectangle destination{from.x, from.y, static_cast<int16_t>(from.x + Dots(image.width)),
                               static_cast<int16_t>(from.y + Dots(image.height))};
  return Send(new GRasterGraphic(loaded.bitmap, bounds, destination, GBitmap(), nullptr));
}

int32_t GRenderHostDevice::PaintPath(int32_t) {
  GPathGraphic* path = GetCurrentPath();
  if (path == nullptr) return 0;
  return Send(static_cast<GCommand*>(path->Clone())) ? 1 : 0;
}

bool GRenderHostDevice::Send(GCommand* command) {
  const uint16_t status = Submit(command);
  if (status == 0) return true;
  return Fail("the pipeline refused the job (status " + std::to_string(status) + ")");
}

bool GRenderHostDevice::Fail(std::string message) {
  if (error_.empty()) error_ = std::move(message);
  return false;
}

int16_t GRenderHostDevice::Dots(double points) const {
  return static_cast<int16_t>(std::lround(points * resolution_ / 72.0));
}

GPoint GRenderHostDevice::At(const GJobPoint& point) const {
  return GPoint{static_cast<int16_t>(Dots(point.x) - origin_.x), static_cast<int16_t>(Dots(point.y) - origin_.y)};
}
