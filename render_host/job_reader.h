#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "render_host/job_description.h"
#include "render_host/job_tokens.h"

// Reads a job file (JOB_FORMAT.md) one page at a time, so that a job of
// any length is read in the memory of its largest page: first the settings
// (every directive before the first page), then each page up to the next
// page directive or the end of the file. The drawing state (font, pen,
// brush, text colour) carries on from page to page; every item holds its
// own copy of the state it was drawn with.
//
// The first error ends the reading; Error() then says "file:line: what".
class GJobReader {
 public:
  // Lines may hold at most this many bytes.
  static constexpr size_t kMaxLineBytes = 65536;

  // Reads the file; a file that does not open is the first error.
  explicit GJobReader(const std::filesystem::path& file);
  // Reads from in, which must outlive the reader; name stands for the
  // file in messages and relative paths start from its folder.
  GJobReader(std::istream& in, const std::filesystem::path& name);
  ~GJobReader();
  GJobReader(const GJobReader&) = delete;
  GJobReader& operator=(const GJobReader&) = delete;

  // Reads the settings (only the first call reads); false on an error.
  bool ReadSettings();
  const GJobSettings& GetSettings() const { return settings_; }
  // Reads the settings when that was not done, then the next page into
  // page; false at the end of the job or on an error.
  bool NextPage(GJobPage& page);
  bool Failed() const { return !error_.empty(); }
  const std::string& Error() const { return error_; }

 public:
  // The table of directives, private to the reader's file.
  struct Directive;

 private:
  struct DrawingState {
    GJobPen pen;
    GJobBrush brush;
    GJobColour textColour;
    std::optional<GJobFont> font;
  };

  // The next line's tokens into tokens_; false at the end of the input or
  // on an error.
  bool NextLine();
  bool Fail(std::string_view message);
  // Handles the lines up to the next page directive (left pending) or the
  // end of the input, for the settings (page null) or a page.
  bool ReadSection(GJobPage* page);
  bool Handle(const Directive& directive, GJobArguments& arguments, GJobPage* page);
  const Directive* Find(std::string_view name) const;
  // Takes the page directive in tokens_.
  bool StartPage(GJobPage& page);
  std::filesystem::path Relative(const std::string& path) const;

  bool JobName(GJobArguments& arguments, GJobPage* page);
  bool Copies(GJobArguments& arguments, GJobPage* page);
  bool Duplex(GJobArguments& arguments, GJobPage* page);
  bool Resolution(GJobArguments& arguments, GJobPage* page);
  bool Media(GJobArguments& arguments, GJobPage* page);
  bool Orientation(GJobArguments& arguments, GJobPage* page);
  bool Watermark(GJobArguments& arguments, GJobPage* page);
  bool WatermarkOption(GJobArguments& arguments, GJobWatermark& watermark);
  bool Font(GJobArguments& arguments, GJobPage* page);
  bool FontFile(GJobArguments& arguments, GJobPage* page);
  bool TextColour(GJobArguments& arguments, GJobPage* page);
  bool Pen(GJobArguments& arguments, GJobPage* page);
  bool Brush(GJobArguments& arguments, GJobPage* page);
  bool Text(GJobArguments& arguments, GJobPage* page);
  bool Rectangle(GJobArguments& arguments, GJobPage* page);
  bool RoundRectangle(GJobArguments& arguments, GJobPage* page);
  bool Ellipse(GJobArguments& arguments, GJobPage* page);
  bool Polygon(GJobArguments& arguments, GJobPage* page);
  bool Polyline(GJobArguments& arguments, GJobPage* page);
  bool Path(GJobArguments& arguments, GJobPage* page);
  bool Image(GJobArguments& arguments, GJobPage* page);
  bool Points(GJobArguments& arguments, size_t fewest, std::vector<GJobPoint>& points);
  void Add(GJobPage& page, GJobShape shape) const;
  // A shape with the pen and brush of the drawing state.
  template <class Shape>
  Shape Styled() const {
    Shape shape;
    shape.pen = state_.pen;
    shape.brush = state_.brush;
    return shape;
  }

  std::unique_ptr<std::istream> owned_;
  std::istream& in_;
  std::string name_;
  std::filesystem::path folder_;
  uint32_t line_ = 0;
  std::vector<GJobToken> tokens_;
  // The page directive that ended the page before, kept for the next one.
  bool pageDirectivePending_ = false;
  bool settingsRead_ = false;
  uint32_t pageCount_ = 0;
  GJobSettings settings_;
  DrawingState state_;
  std::string error_;
};
