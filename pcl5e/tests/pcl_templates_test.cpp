#include "pcl5e/pcl_templates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pcl5e/pcl_formatter.h"

namespace {

using namespace std::string_literals;
namespace t = pcl_template;

struct Parameter {
  char letter;
  int32_t value;
};

// Each row expands one stored template with the values its caller sets and
// compares the command bytes worked out by hand.
TEST(PclTemplates, ExpandToTheCommandsTheyStandFor) {
  struct Case {
    const char* name;
    std::string_view text;
    std::vector<Parameter> parameters;
    std::string expected;
  };
  // clang-format off
  const Case cases[] = {
      {"job_start_600_dpi", t::kJobStartWithResolution, {{'A', 600}}, "\x1B" "E\x1B*l1R\x1B&u600D\x1B*t600R"},
      {"custom_paper_size_rounds_decipoints_up", t::kCustomPaperSize,
       {{'A', 4961}, {'B', 7016}, {'C', 600}, {'D', 600}}, "\x1B&f5954i8420J"},
      {"picture_frame_300_dpi", t::kPictureFrameSize, {{'A', 2400}, {'B', 3000}, {'C', 300}, {'D', 300}},
       "\x1B*c5760x7200Y"},
      {"edge_to_edge_record_is_ten_bytes", t::kEdgeToEdgePageRecord,
       {{'A', 1}, {'B', 4800}, {'C', 6400}, {'D', 600}, {'E', 600}, {'F', 100}, {'G', 0}},
       "\x1B&a10W\x00\x78\x00\x00\x01\x00\x16\x80\x1E\x00\x1B&l0E\x1B&a0L"s},
      {"back_side_registration", t::kBackSideRegistration, {{'A', 120}}, "\x1B&l-120Z"},
      {"registration", t::kJobSeparationAndTray, {{'A', 7920}, {'B', 7680}, {'C', -36}, {'D', 0}},
       "\x1B&f7680f7920G\x1B&l-36u0Z"},
      {"enter_and_leave_gl2", std::string_view("#1B%%B#1B%%0A"), {}, "\x1B%B\x1B%0A"},
      {"gl2_default_scaling_600_dpi", t::kGL2DefaultScaling, {{'A', 600}, {'B', 600}}, "SC0,1.6934,0,-1.6934,2"},
      {"gl2_default_scaling_300_dpi", t::kGL2DefaultScaling, {{'A', 300}, {'B', 300}}, "SC0,3.3867,0,-3.3867,2"},
      {"gl2_set_up", t::kGL2SetUpWithPatternPen, {{'C', 5}, {'D', 4}}, "WUAC5,4SP1PP1PW0TD1IW"},
      {"gl2_input_window_is_inclusive", t::kGL2InputWindow, {{'C', 10}, {'D', 20}, {'E', 300}, {'F', 400}},
       "IW9,19,300,400"},
      {"pcl_transparency_restore_inverts_flag", std::string_view("#1B*v%f1B-%A0N#1B*v%f1C-%A0O"),
       {{'B', 1}, {'C', 0}}, "\x1B*v0N\x1B*v1O"},
      {"gl2_transform_scaling", t::kGL2TransformScaling, {{'A', 33866}, {'B', 50000}, {'E', 10}, {'F', -5}},
       "SC10,1.6933,-5,-2.5000,2"},
      // A quarter millimetre is 3, 6 and 12 dots at 300, 600 and 1,200 dpi.
      {"pen_width_at_300_dpi", t::kPenWidth, {{'A', 3}, {'B', 300}}, "PW0.254"},
      {"pen_width_at_600_dpi", t::kPenWidth, {{'A', 6}, {'B', 600}}, "PW0.254"},
      {"pen_width_at_1200_dpi", t::kPenWidth, {{'A', 12}, {'B', 1200}}, "PW0.254"},
      {"line_type", t::kLineType, {{'A', 300}, {'B', 600}}, "LT1,12.50,1"},
      {"encoded_move_to", t::kEncodedMoveTo, {{'A', 100}, {'B', -1}}, "PE=<\x47\xC2\xC2;"},
      // Sides 10, 0 / 0, 5 / -10, 0 / 0, -5: codes 20, 0, 0, 10, 21, 0, 0, 11.
      {"encoded_rectangle_sides", t::kEncodedRectangleSides, {{'C', 10}, {'D', 5}},
       "PE\xD3\xBF\xBF\xC9\xD4\xBF\xBF\xCA;"},
      {"scan_line_row_is_1_9_dots", t::kScanLineRun, {{'A', 10}, {'B', 20}, {'C', 30}, {'D', 100}},
       "PU10,20RR30,1.9"},
      {"fill_rectangle_quick_after_window", t::kWindowResetFillRectangleQuick,
       {{'A', 1}, {'B', 2}, {'C', 3}, {'D', 4}}, "IWPU1,2RQ3,4"},
      {"round_rectangle_start", t::kRoundRectangleStart, {{'A', 0}, {'B', 0}, {'E', 10}}, "PU10,0"},
      {"round_rectangle_arcs", t::kRoundRectangleArcs,
       {{'A', 0}, {'B', 0}, {'C', 100}, {'D', 60}, {'E', 10}, {'F', 10}},
       "PD90,0AA90,10,90PD100,50AA90,50,90PD10,60AA10,50,90PD0,10AA10,10,90PD90,0"},
      {"round_rectangle_beziers", t::kRoundRectangleBeziers,
       {{'A', 0}, {'B', 0}, {'C', 1000}, {'D', 500}, {'E', 100}, {'F', 50}},
       "PD900,0BZ954,0,1000,23,1000,50"
       "PD1000,450BZ1000,477,954,500,900,500"
       "PD100,500BZ46,500,0,477,0,450"
       "PD0,50BZ0,23,46,0,100,0"
       "PD900,0"},
      {"raster_start_scaled", t::kRasterStartScaled, {{'A', 600}, {'B', 100}, {'C', 120}, {'D', 2400}, {'E', 5000}},
       "\x1B*t2880.0h6000.0V\x1B*r100s120t3A"},
      {"raster_transfer", t::kRasterTransfer, {{'A', 32512}}, "\x1B*b32512W"},
      {"palette_direct", t::kPaletteDirect, {{'A', 1}, {'B', 2}}, "\x1B&p1i6c1S\x1B*v6W\x02\x03\x08\x08\x08\x08"},
      {"palette_indexed_4", t::kPaletteIndexed4, {{'A', 5}, {'B', 2}}, "\x1B&p5i6c5S\x1B*v6W\x02\x01\x04\x08\x08\x08"},
      {"palette_treatment", t::kPaletteTreatment, {{'C', 3}, {'D', 15}}, "\x1B*o3W\x06\x04\x03\x1B*t15J"},
      {"driver_configuration", t::kDriverConfiguration, {{'C', 4}, {'D', 0}, {'E', 2}}, "\x1B*o4W\x09\x04\x00\x02"s},
      // 16 x 8 cells: 2 bytes a row, 16 data bytes after the 12-byte header.
      {"user_pattern_with_resolution", t::kUserPatternResolution, {{'A', 7}, {'B', 16}, {'C', 8}, {'D', 600}},
       "\x1b*c7G\x1b*c28W\x14\x00\x01\x00\x00\x08\x00\x10\x02\x58\x02\x58"s},
      // 10 pixels of 4 bits: 5 bytes a row, 3 rows after the 8-byte header.
      {"user_pattern_four_bits", t::kUserPattern, {{'A', 7}, {'B', 10}, {'C', 3}, {'E', 4}},
       "\x1b*c7G\x1b*c23W\x01\x00\x04\x00\x00\x03\x00\x0A"s},
      {"solid_colour_fill", t::kSolidColorFill, {{'A', 255}, {'B', 128}, {'C', 0}, {'D', 2}},
       "\x1B*v0T\x1B*v255a128b0c2I\x1B*v2S"},
      {"pen_colour", t::kPenColor, {{'A', 1}, {'B', 2}, {'C', 3}, {'D', 1}}, "PC1,1,2,3"},
      {"font_12_point_10_pitch", t::kFontPitchAndHeight, {{'A', 1205}}, "\x1B(s10.00h12.00V"},
      {"font_rounds_to_quarter_point", t::kFontPitchAndHeight, {{'A', 1313}}, "\x1B(s9.05h13.25V"},
      {"fixed_font", t::kFixedFontPitchAndHeight, {{'A', 600}, {'B', 50}, {'C', 1205}}, "\x1B(s0p12.00h12.00V"},
      {"font_name_operation_0", t::kFontNameOperation0, {{'D', 5}}, "\x1B&n6W\x00"s},
      {"font_name_operation_2", t::kFontNameOperation2, {{'D', 5}}, "\x1B&n6W\x02"},
      {"delete_font", t::kDeleteFont, {{'A', 1001}}, "\x1B*c1001d2F"},
      {"label_font_height", t::kLabelFontHeight, {{'A', 1000}}, "SD4,10.00"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPclFormatter formatter;
    for (const Parameter& p : c.parameters) formatter.SetParameter(p.letter, p.value);
    formatter.SetTemplate(c.text);
    std::vector<uint8_t> out;
    formatter.ExpandToBuffer(out);
    EXPECT_EQ(std::string(out.begin(), out.end()), c.expected);
  }
}

}  // namespace
