#include "pclxl/testing/strict_pclxl_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The reader's own tests use hand-made bytes, never the stream library, so
// that a fault shared by both cannot hide.
namespace {

using Bytes = std::vector<uint8_t>;
using strict_pclxl::ReadOptions;
using strict_pclxl::ReadResult;
using strict_pclxl::ReadStrictly;

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes bytes;
  for (const Bytes& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
  return bytes;
}

Bytes Ascii(const std::string& text) { return Bytes(text.begin(), text.end()); }

// BeginSession, OpenDataSource, BeginPage; and their closing operators.
const Bytes kOpenPage = {0xD1, 0x58, 0x02, 0x58, 0x02, 0xF8, 0x89, 0xC0, 0x00, 0xF8, 0x86, 0x41, 0xC0, 0x00, 0xF8,
                         0x88, 0xC0, 0x01, 0xF8, 0x82, 0x48, 0xC0, 0x00, 0xF8, 0x28, 0xC0, 0x02, 0xF8, 0x25, 0x43};
const Bytes kClosePage = {0x44, 0x49, 0x42};
// BeginImage of a 3 x 2 grey image, 8 bits per pixel, direct colour.
const Bytes kGreyImage = {0xC0, 0x01, 0xF8, 0x03, 0x6A,  // SetColorSpace grey
                          0xC0, 0x00, 0xF8, 0x64, 0xC0, 0x02, 0xF8, 0x62, 0xC1, 0x03, 0x00, 0xF8, 0x6C,
                          0xC1, 0x02, 0x00, 0xF8, 0x6B, 0xD1, 0x03, 0x00, 0x02, 0x00, 0xF8, 0x67, 0xB0};

Bytes ReadImageBlock(uint8_t startLine, uint8_t blockHeight, Bytes data) {
  return Join({{0xC1, startLine, 0x00, 0xF8, 0x6D, 0xC1, blockHeight, 0x00, 0xF8, 0x63, 0xC0, 0x00, 0xF8, 0x65, 0xB1,
                0xFB, static_cast<uint8_t>(data.size())},
               data});
}

const ReadOptions kFragment{.expectHeader = false, .checkNesting = false};
const ReadOptions kJob{.expectHeader = false};

TEST(StrictPclXlReader, ReadsAJobWithItsHeader) {
  const Bytes bytes = Join({Ascii(") QV-PCL XL;2;1;Comment notice\n"),
                            kOpenPage,
                            {0xC8, 0xC0, 0x03, 'H', 'H', 'H', 0xF8, 0x81, 0x47},  // ubyte-counted array
                            kClosePage});
  const ReadResult result = ReadStrictly(bytes);
  ASSERT_TRUE(result.Ok()) << result.error;
  ASSERT_TRUE(result.header.has_value());
  EXPECT_EQ(result.header->majorClass, 2);
  EXPECT_EQ(result.header->minorClass, 1);
  EXPECT_EQ(result.header->comment, " notice");
  EXPECT_EQ(result.OperatorNames(), (std::vector<std::string>{"BeginSession", "OpenDataSource", "BeginPage", "Comment",
                                                              "EndPage", "CloseDataSource", "EndSession"}));
  const strict_pclxl::Operation& session = result.operations[0];
  EXPECT_EQ(session.Number("UnitsPerMeasure", 1), 600);
  EXPECT_EQ(session.Find("Measure")->value.TypeName(), "ubyte");
  EXPECT_EQ(result.operations[3].Find("CommentData")->value.Text(), "HHH");
  EXPECT_EQ(strict_pclxl::Disassemble(result),
            "Header 2.1 \" notice\"\n"
            "BeginSession UnitsPerMeasure=uint16_xy(600,600) Measure=ubyte(0)\n"
            "OpenDataSource SourceType=ubyte(0) DataOrg=ubyte(1)\n"
            "BeginPage Orientation=ubyte(0) MediaSize=ubyte(2)\n"
            "Comment CommentData=ubyte_array\"HHH\"\n"
            "EndPage\n"
            "CloseDataSource\n"
            "EndSession\n");
}

TEST(StrictPclXlReader, ChecksImageBlocksAgainstTheImage) {
  const Bytes good = Join({kOpenPage, kGreyImage, ReadImageBlock(0, 2, Bytes(8, 7)), {0xB2}, kClosePage});
  EXPECT_TRUE(ReadStrictly(good, kJob).Ok()) << ReadStrictly(good, kJob).error;
}

// Every fault the reader looks for, each in a stream that is otherwise sound.
TEST(StrictPclXlReader, RejectsEveryKindOfFault) {
  struct Case {
    const char* name;
    Bytes bytes;
    ReadOptions options;
    std::string error;
    size_t offset;
  };
  // clang-format off
  const Case cases[] = {
      {"header_without_binding", Ascii(") XX-PCL XL;2;0;Comment\n"), {}, "does not start with", 0},
      {"header_without_line_feed", Ascii(") QV-PCL XL;2;0;Comment"), {}, "no line feed", 0},
      {"header_without_class", Ascii(") QV-PCL XL;;0;Comment\n"), {}, "class numbers", 12},
      {"value_without_attribute", {0xC0, 0x01, 0xC0, 0x02, 0xF8, 0x28}, kFragment,
       "value not followed by an attribute identifier", 2},
      {"value_before_operator", {0xC0, 0x01, 0x85}, kFragment, "value not followed by an attribute identifier", 0},
      {"attribute_without_value", {0xF8, 0x28, 0x85}, kFragment, "attribute identifier without a value", 0},
      {"unknown_attribute", {0xC0, 0x00, 0xF8, 0x2E, 0x85}, kFragment, "unknown attribute identifier 0x2E", 2},
      {"attribute_of_wrong_type", {0xC1, 0x00, 0x00, 0xF8, 0x28}, kFragment, "Orientation does not take a uint16", 0},
      {"attribute_given_twice", {0xC0, 0x01, 0xF8, 0x46, 0xC0, 0x01, 0xF8, 0x46, 0x6E}, kFragment,
       "FillMode given twice", 6},
      {"unknown_operator", {0x45}, kFragment, "unknown operator 0x45", 0},
      {"missing_attribute", {0x6B}, kFragment, "SetCursor does not take the attribute set { }", 0},
      {"attribute_foreign_to_operator", {0xC0, 0x01, 0xF8, 0x46, 0xC0, 0x00, 0xF8, 0x28, 0x6E}, kFragment,
       "SetFillMode does not take the attribute set { FillMode Orientation }", 8},
      {"truncated_value", {0xC1, 0x01}, kFragment, "value runs past the end", 0},
      {"array_length_of_wrong_type", {0xC8, 0xC2, 0x01, 0x00, 0x00, 0x00, 0x41}, kFragment,
       "array length is not a ubyte or uint16", 1},
      {"array_longer_than_stream", {0xC8, 0xC1, 0x05, 0x00, 'a'}, kFragment, "value runs past the end", 0},
      {"stray_embedded_data", {0xFB, 0x00}, kFragment, "embedded data that no operator reads", 0},
      {"operator_without_its_data", {0xC1, 0x41, 0x00, 0xF8, 0xA2, 0xC2, 0x01, 0, 0, 0, 0xF8, 0xA3, 0x53}, kFragment,
       "ReadChar is not followed by embedded data", 13},
      {"data_shorter_than_declared",
       {0xC1, 0x41, 0x00, 0xF8, 0xA2, 0xC2, 0x04, 0, 0, 0, 0xF8, 0xA3, 0x53, 0xFB, 0x03, 1, 2, 3}, kFragment,
       "ReadChar declares 4 bytes but 3 follow", 12},
      {"embedded_data_past_the_end", {0xBF, 0xFA, 0x10, 0x00, 0x00, 0x00, 0x01}, kFragment,
       "embedded data of 16 bytes runs past the end", 1},
      {"points_of_a_curve_not_in_threes",
       {0xC1, 0x02, 0x00, 0xF8, 0x4D, 0xC0, 0x01, 0xF8, 0x50, 0x95, 0xFB, 0x04, 1, 2, 3, 4}, kFragment,
       "BezierRelPath with 2 points, not a multiple of 3", 9},
      {"point_data_of_wrong_length",
       {0xC1, 0x02, 0x00, 0xF8, 0x4D, 0xC0, 0x03, 0xF8, 0x50, 0x9D, 0xFB, 0x04, 1, 0, 2, 0}, kFragment,
       "LineRelPath declares 8 bytes but 4 follow", 9},
      {"spacing_shorter_than_text",
       {0xC8, 0xC1, 0x02, 0x00, 'A', 'B', 0xF8, 0xAB, 0xCB, 0xC1, 0x01, 0x00, 0x0A, 0x00, 0xF8, 0xAF, 0xA8}, kFragment,
       "XSpacingData has 1 entries for 2 characters", 16},
      {"rgb_color_of_two_components", {0xC8, 0xC1, 0x02, 0x00, 1, 2, 0xF8, 0x0B, 0x63}, kFragment,
       "RGBColor has 2 components", 8},
      {"scan_line_with_bytes_left_over", {0xB9, 0xFB, 0x09, 3, 0, 0, 0, 0, 0, 0, 2, 0xFF}, kFragment,
       "1 bytes left over", 0},
      {"scan_line_cut_short", {0xB9, 0xFB, 0x09, 3, 0, 0, 0, 0, 1, 0, 2, 0xFF}, kFragment, "cut short", 0},
      {"attributes_left_at_the_end", {0xC0, 0x00, 0xF8, 0x28}, kFragment, "attributes without an operator", 4},
      {"drawing_outside_a_page", {0x85}, kJob, "NewPath outside a page", 0},
      {"second_begin_session", Join({kOpenPage, {0xD1, 1, 0, 1, 0, 0xF8, 0x89, 0xC0, 0, 0xF8, 0x86, 0x41}}), kJob,
       "BeginSession out of order", 41},
      {"end_page_inside_an_image", Join({kOpenPage, kGreyImage, {0x44}}), kJob, "EndPage inside an image", 61},
      {"read_image_outside_an_image", Join({kOpenPage, ReadImageBlock(0, 1, Bytes(4))}), kJob,
       "ReadImage outside an image", 44},
      {"image_rows_past_its_height", Join({kOpenPage, kGreyImage, ReadImageBlock(1, 2, Bytes(8))}), kJob,
       "rows 1 to 3 pass the source height 2", 75},
      {"uncompressed_rows_without_padding", Join({kOpenPage, kGreyImage, ReadImageBlock(0, 2, Bytes(6))}), kJob,
       "ReadImage declares 8 bytes but 6 follow", 75},
      {"pop_without_push", Join({kOpenPage, {0x60}}), kJob, "PopGS without a PushGS", 30},
      {"stream_ends_inside_a_page", kOpenPage, kJob, "stream ends inside a page", 30},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadResult result = ReadStrictly(c.bytes, c.options);
    EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
    EXPECT_EQ(result.errorOffset, c.offset);
  }
}

TEST(StrictPclXlReader, DisassemblyEndsWithTheFault) {
  const Bytes bytes = {0xC0, 0x01, 0xF8, 0x46, 0x6E, 0x45};
  EXPECT_EQ(strict_pclxl::Disassemble(ReadStrictly(bytes, kFragment)),
            "SetFillMode FillMode=ubyte(1)\n"
            "error at 5: unknown operator 0x45\n");
}

}  // namespace
