#include "render_host/job_reader.h"

#include <algorithm>
#include <array>
#include <fstream>

struct GJobReader::Directive {
  // Where a directive may stand: before the first page, anywhere, or in a
  // page.
  enum class Place : uint8_t { kSettings, kAnywhere, kPage };

  std::string_view name;
  Place place;
  bool (GJobReader::*handle)(GJobArguments&, GJobPage*);
};

namespace {

using Place = GJobReader::Directive::Place;

}  // namespace

GJobReader::GJobReader(const std::filesystem::path& file)
    : owned_(std::make_unique<std::ifstream>(file, std::ios::binary)),
      in_(*owned_),
      name_(file.string()),
      folder_(file.parent_path()) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error) || !in_) error_ = name_ + ": cannot open the job file";
}

GJobReader::GJobReader(std::istream& in, const std::filesystem::path& name)
    : in_(in), name_(name.string()), folder_(name.parent_path()) {}

GJobReader::~GJobReader() = default;

bool GJobReader::Fail(std::string_view message) {
  if (error_.empty()) error_ = name_ + ":" + std::to_string(line_) + ": " + std::string(message);
  return false;
}

bool GJobReader::NextLine() {
  std::string line;
  auto* buffer = in_.rdbuf();
  while (true) {
    if (Failed()) return false;
    line.clear();
    int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) return false;
    ++line_;
    while (c != std::char_traits<char>::eof() && c != '\n') {
      if (line.size() == kMaxLineBytes) return Fail("the line is longer than 65536 bytes");
      line.push_back(static_cast<char>(c));
      c = buffer->sbumpc();
    }
    if (std::string problem = SplitJobLine(line, tokens_); !problem.empty()) return Fail(problem);
    if (!tokens_.empty()) return true;
  }
}

const GJobReader::Directive* GJobReader::Find(std::string_view name) const {
  static constexpr std::array<Directive, 20> kDirectives{{
      {"job-name", Place::kSettings, &GJobReader::JobName},
      {"copies", Place::kSettings, &GJobReader::Copies},
      {"duplex", Place::kSettings, &GJobReader::Duplex},
      {"resolution", Place::kSettings, &GJobReader::Resolution},
      {"media", Place::kSettings, &GJobReader::Media},
      {"orientation", Place::kSettings, &GJobReader::Orientation},
      {"watermark", Place::kSettings, &GJobReader::Watermark},
      {"font", Place::kAnywhere, &GJobReader::Font},
      {"font-file", Place::kAnywhere, &GJobReader::FontFile},
      {"text-colour", Place::kAnywhere, &GJobReader::TextColour},
      {"pen", Place::kAnywhere, &GJobReader::Pen},
      {"brush", Place::kAnywhere, &GJobReader::Brush},
      {"text", Place::kPage, &GJobReader::Text},
      {"rectangle", Place::kPage, &GJobReader::Rectangle},
      {"round-rectangle", Place::kPage, &GJobReader::RoundRectangle},
      {"ellipse", Place::kPage, &GJobReader::Ellipse},
      {"polygon", Place::kPage, &GJobReader::Polygon},
      {"polyline", Place::kPage, &GJobReader::Polyline},
      {"path", Place::kPage, &GJobReader::Path},
      {"image", Place::kPage, &GJobReader::Image},
  }};
  for (const Directive& directive : kDirectives) {
    if (directive.name == name) return &directive;
  }
  return nullptr;
}

bool GJobReader::Handle(const Directive& directive, GJobArguments& arguments, GJobPage* page) {
  if (directive.place == Place::kSettings && page != nullptr) {
    return Fail(std::string(directive.name) + " belongs before the first page");
  }
  if (directive.place == Place::kPage && page == nullptr) {
    return Fail(std::string(directive.name) + " draws on a page: it must follow a page directive");
  }
  if (!(this->*directive.handle)(arguments, page) || !arguments.End()) return Fail(arguments.Error());
  return true;
}

bool GJobReader::ReadSection(GJobPage* page) {
  while (NextLine()) {
    if (!tokens_[0].quoted && tokens_[0].text == "page") {
      pageDirectivePending_ = true;
      return true;
    }
    const Directive* directive = tokens_[0].quoted ? nullptr : Find(tokens_[0].text);
    if (directive == nullptr) return Fail("unknown directive '" + tokens_[0].text + "'");
    GJobArguments arguments({tokens_.begin() + 1, tokens_.end()}, directive->name);
    if (!Handle(*directive, arguments, page)) return false;
  }
  return !Failed();
}

bool GJobReader::ReadSettings() {
  if (settingsRead_) return !Failed();
  settingsRead_ = true;
  return ReadSection(nullptr);
}

bool GJobReader::NextPage(GJobPage& page) {
  if (!ReadSettings() || !pageDirectivePending_) return false;
  pageDirectivePending_ = false;
  page = GJobPage{};
  return StartPage(page) && ReadSection(&page);
}

bool GJobReader::StartPage(GJobPage& page) {
  page.number = ++pageCount_;
  page.line = line_;
  page.media = settings_.media;
  page.orientation = settings_.orientation;
  GJobArguments arguments({tokens_.begin() + 1, tokens_.end()}, "page");
  while (!arguments.AtEnd()) {
    size_t option = 0;
    size_t orientation = 0;
    const bool read = arguments.Choice("a page option", {"media", "orientation"}, option) &&
                      (option == 0 ? arguments.Word("a media name", page.media)
                                   : arguments.Choice("an orientation", {"portrait", "landscape"}, orientation));
    if (!read) return Fail(arguments.Error());
    if (option == 1) page.orientation = static_cast<GJobOrientation>(orientation);
  }
  return true;
}

std::filesystem::path GJobReader::Relative(const std::string& path) const {
  const std::filesystem::path given(std::u8string(path.begin(), path.end()));
  return given.is_absolute() ? given : folder_ / given;
}

void GJobReader::Add(GJobPage& page, GJobShape shape) const { page.items.push_back({line_, std::move(shape)}); }

bool GJobReader::JobName(GJobArguments& arguments, GJobPage*) {
  return arguments.String("the job name", settings_.name);
}

bool GJobReader::Copies(GJobArguments& arguments, GJobPage*) {
  int32_t copies = 0;
  if (!arguments.Integer("the number of copies", 1, 999, copies)) return false;
  settings_.copies = static_cast<uint16_t>(copies);
  return true;
}

bool GJobReader::Duplex(GJobArguments& arguments, GJobPage*) {
  size_t index = 0;
  if (!arguments.Choice("a duplex mode", {"none", "long-edge", "short-edge"}, index)) return false;
  settings_.duplex = static_cast<GJobDuplex>(index);
  return true;
}

bool GJobReader::Resolution(GJobArguments& arguments, GJobPage*) {
  int32_t dpi = 0;
  if (!arguments.Integer("the resolution in dots per inch", 72, 2400, dpi)) return false;
  settings_.resolution = static_cast<uint16_t>(dpi);
  return true;
}

bool GJobReader::Media(GJobArguments& arguments, GJobPage*) { return arguments.Word("a media name", settings_.media); }

bool GJobReader::Orientation(GJobArguments& arguments, GJobPage*) {
  size_t index = 0;
  if (!arguments.Choice("an orientation", {"portrait", "landscape"}, index)) return false;
  settings_.orientation = static_cast<GJobOrientation>(index);
  return true;
}

bool GJobReader::Watermark(GJobArguments& arguments, GJobPage*) {
  GJobWatermark watermark;
  if (!arguments.String("the watermark text", watermark.text)) return false;
  while (!arguments.AtEnd()) {
    if (!WatermarkOption(arguments, watermark)) return false;
  }
  settings_.watermark = std::move(watermark);
  return true;
}

bool GJobReader::WatermarkOption(GJobArguments& arguments, GJobWatermark& watermark) {
  size_t index = 0;
  int32_t number = 0;
  if (!arguments.Choice("a watermark option", {"face", "size", "style", "pages", "angle", "tint", "lightness"},
                        index)) {
    return false;
  }
  switch (index) {
    case 0:
      return arguments.String("the face name", watermark.face);
    case 1:
      if (!arguments.Integer("the size in points", 1, 1000, number)) return false;
      watermark.pointSize = static_cast<uint16_t>(number);
      return true;
    case 2: {
      std::string styles;
      if (!arguments.Word("styles (bold, italic, underline, strike-out, joined by commas)", styles)) return false;
      static constexpr std::array<std::pair<std::string_view, uint16_t>, 4> kStyles{{
          {"bold", GJobWatermark::kBold},
          {"italic", GJobWatermark::kItalic},
          {"underline", GJobWatermark::kUnderline},
          {"strike-out", GJobWatermark::kStrikeOut},
      }};
      std::string_view rest = styles;
      while (!rest.empty()) {
        const std::string_view style = rest.substr(0, rest.find(','));
        rest.remove_prefix(std::min(rest.size(), style.size() + 1));
        const auto found = std::ranges::find(kStyles, style, &std::pair<std::string_view, uint16_t>::first);
        if (found == kStyles.end()) return Fail("watermark: unknown style '" + std::string(style) + "'");
        watermark.style |= found->second;
      }
      return true;
    }
    case 3:
      if (!arguments.Choice("the watermark pages", {"every", "first"}, index)) return false;
      watermark.pages = static_cast<GJobWatermark::Pages>(index);
      return true;
    case 4:
      if (arguments.TakeWord("diagonal")) {
        watermark.angle = GJobWatermark::Angle::kDiagonal;
      } else if (arguments.TakeWord("horizontal")) {
        watermark.angle = GJobWatermark::Angle::kHorizontal;
      } else {
        if (!arguments.Integer("an angle (diagonal, horizontal or degrees)", -360, 360, number)) return false;
        watermark.angle = GJobWatermark::Angle::kCustom;
        watermark.customAngle = static_cast<int16_t>(number);
      }
      return true;
    case 5: {
      if (!arguments.Choice("a tint", {"none", "red", "green", "blue", "yellow", "cyan", "magenta"}, index)) {
        return false;
      }
      // Which components each tint turns on.
      static constexpr std::array<uint8_t, 7> kComponents{0, 4, 2, 1, 6, 3, 5};
      watermark.red = (kComponents[index] & 4) != 0;
      watermark.green = (kComponents[index] & 2) != 0;
      watermark.blue = (kComponents[index] & 1) != 0;
      return true;
    }
    default:
      if (!arguments.Integer("the lightness", 0, 255, number)) return false;
      watermark.lightness = static_cast<uint8_t>(number);
      return true;
  }
}

bool GJobReader::Font(GJobArguments& arguments, GJobPage*) {
  GJobFont font;
  if (!arguments.String("a font family", font.family) || !arguments.PositiveLength("the font size", font.size)) {
    return false;
  }
  state_.font = std::move(font);
  return true;
}

bool GJobReader::FontFile(GJobArguments& arguments, GJobPage*) {
  GJobFont font;
  std::string file;
  if (!arguments.String("a font file", file) || !arguments.PositiveLength("the font size", font.size)) return false;
  font.file = Relative(file);
  state_.font = std::move(font);
  return true;
}

bool GJobReader::TextColour(GJobArguments& arguments, GJobPage*) {
  return arguments.Colour("the text colour", state_.textColour);
}

bool GJobReader::Pen(GJobArguments& arguments, GJobPage*) {
  if (arguments.TakeWord("none")) {
    state_.pen.colour.reset();
    return true;
  }
  GJobColour colour;
  if (!arguments.Colour("the pen colour or none", colour)) return false;
  double width = 1;
  if (!arguments.AtEnd() && !arguments.PositiveLength("the pen width", width)) return false;
  state_.pen = {colour, width};
  return true;
}

bool GJobReader::Brush(GJobArguments& arguments, GJobPage*) {
  if (arguments.TakeWord("none")) {
    state_.brush.colour.reset();
    return true;
  }
  GJobColour colour;
  if (!arguments.Colour("the brush colour or none", colour)) return false;
  state_.brush.colour = colour;
  return true;
}

bool GJobReader::Text(GJobArguments& arguments, GJobPage* page) {
  if (!state_.font) return Fail("text: no font was chosen (font or font-file)");
  GJobText text{*state_.font, state_.textColour, {}, {}};
  if (!arguments.Point("the text position", text.origin) || !arguments.String("the text", text.text)) return false;
  Add(*page, std::move(text));
  return true;
}

bool GJobReader::Rectangle(GJobArguments& arguments, GJobPage* page) {
  auto rectangle = Styled<GJobRectangle>();
  if (!arguments.Box(rectangle.origin, rectangle.width, rectangle.height)) return false;
  Add(*page, rectangle);
  return true;
}

bool GJobReader::RoundRectangle(GJobArguments& arguments, GJobPage* page) {
  auto rectangle = Styled<GJobRectangle>();
  if (!arguments.Box(rectangle.origin, rectangle.width, rectangle.height) ||
      !arguments.PositiveLength("the corner width", rectangle.cornerWidth) ||
      !arguments.PositiveLength("the corner height", rectangle.cornerHeight)) {
    return false;
  }
  Add(*page, rectangle);
  return true;
}

bool GJobReader::Ellipse(GJobArguments& arguments, GJobPage* page) {
  auto ellipse = Styled<GJobEllipse>();
  if (!arguments.Box(ellipse.origin, ellipse.width, ellipse.height)) return false;
  Add(*page, ellipse);
  return true;
}

bool GJobReader::Points(GJobArguments& arguments, size_t fewest, std::vector<GJobPoint>& points) {
  while (!arguments.AtEnd()) {
    GJobPoint point;
    if (!arguments.Point("a point", point)) return false;
    points.push_back(point);
  }
  if (points.size() < fewest) return Fail("at least " + std::to_string(fewest) + " points are needed");
  return true;
}

bool GJobReader::Polygon(GJobArguments& arguments, GJobPage* page) {
  auto polygon = Styled<GJobPolygon>();
  if (!Points(arguments, 3, polygon.points)) return false;
  Add(*page, std::move(polygon));
  return true;
}

bool GJobReader::Polyline(GJobArguments& arguments, GJobPage* page) {
  auto polyline = Styled<GJobPolygon>();
  polyline.closed = false;
  polyline.brush = {};
  if (!Points(arguments, 2, polyline.points)) return false;
  Add(*page, std::move(polyline));
  return true;
}

bool GJobReader::Path(GJobArguments& arguments, GJobPage* page) {
  using Kind = GJobPathSegment::Kind;
  auto path = Styled<GJobPath>();
  // A figure is open after a move; a close ends it.
  bool open = false;
  while (!arguments.AtEnd()) {
    size_t index = 0;
    if (!arguments.Choice("a path segment", {"move", "line", "bezier", "close"}, index)) return false;
    GJobPathSegment segment{static_cast<Kind>(index), {}};
    if (segment.kind != Kind::kMove && !open) return Fail("path: a figure must start with move");
    const size_t count = segment.kind == Kind::kBezier ? 3 : segment.kind == Kind::kClose ? 0 : 1;
    segment.points.resize(count);
    for (GJobPoint& point : segment.points) {
      if (!arguments.Point("a point", point)) return false;
    }
    open = segment.kind != Kind::kClose;
    path.segments.push_back(std::move(segment));
  }
  if (path.segments.empty()) return Fail("path: no segments");
  Add(*page, std::move(path));
  return true;
}

bool GJobReader::Image(GJobArguments& arguments, GJobPage* page) {
  GJobImage image;
  std::string file;
  if (!arguments.String("an image file", file) || !arguments.Box(image.origin, image.width, image.height)) {
    return false;
  }
  image.file = Relative(file);
  Add(*page, std::move(image));
  return true;
}
