#include "pclxl/borzan/xl_point_runs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pclxl/testing/collecting_sink.h"
#include "pclxl/testing/strict_pclxl_reader.h"

namespace {

using Deltas = std::vector<XLPair<int16_t>>;
using Runs = std::vector<XLPointRun>;

constexpr XLPair<int16_t> kNear{3, -4};
constexpr XLPair<int16_t> kFar{300, 0};

Deltas Repeat(XLPair<int16_t> delta, size_t count) { return Deltas(count, delta); }

Deltas Join(std::initializer_list<Deltas> parts) {
  Deltas all;
  for (const Deltas& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::string Describe(const Runs& runs) {
  std::string text;
  for (const XLPointRun& run : runs) {
    text += (run.pointType == kXLBytePoints ? "byte " : "short ") + std::to_string(run.firstUnit) + "+" +
            std::to_string(run.unitCount) + "; ";
  }
  return text;
}

TEST(XLPointRuns, LinePointsAreCutWhereSixCloseOnesFollow) {
  struct Case {
    const char* name;
    Deltas deltas;
    const char* runs;
  };
  const Case cases[] = {
      {"nothing", {}, ""},
      {"all_close_polygon", Repeat(kNear, 8), "byte 0+8; "},
      {"a_short_close_path_is_still_bytes", Repeat(kNear, 2), "byte 0+2; "},
      {"all_far", Repeat(kFar, 4), "short 0+4; "},
      {"far_then_six_close", Join({{kFar}, Repeat(kNear, 6)}), "short 0+1; byte 1+6; "},
      {"far_then_five_close_stay_short", Join({{kFar}, Repeat(kNear, 5)}), "short 0+6; "},
      {"far_point_in_a_long_close_run", Join({Repeat(kNear, 8), {kFar}, Repeat(kNear, 6)}),
       "byte 0+8; short 8+1; byte 9+6; "},
      {"far_point_followed_by_five_close", Join({Repeat(kNear, 8), {kFar}, Repeat(kNear, 5)}), "byte 0+8; short 8+6; "},
      {"a_far_point_breaks_the_candidate", Join({{kFar}, Repeat(kNear, 3), {kFar}, Repeat(kNear, 6)}),
       "short 0+5; byte 5+6; "},
      {"close_start_broken_early_ends_short", Join({Repeat(kNear, 2), {kFar}, Repeat(kNear, 2)}), "short 0+5; "},
      {"127_fits", Repeat({127, -127}, 6), "byte 0+6; "},
      {"128_does_not", Join({Repeat({128, 0}, 1), Repeat({0, -128}, 1)}), "short 0+2; "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Describe(SplitPointRuns(c.deltas, 1)), c.runs);
  }
}

TEST(XLPointRuns, BezierSegmentsAreCutWholeAndTwoSegmentsMakeSixPoints) {
  const Deltas nearSegment = Repeat(kNear, 3);
  const Deltas farSegment = {kNear, kFar, kNear};
  struct Case {
    const char* name;
    Deltas deltas;
    const char* runs;
  };
  const Case cases[] = {
      {"two_close_segments", Join({nearSegment, nearSegment}), "byte 0+2; "},
      {"far_then_two_close", Join({farSegment, nearSegment, nearSegment}), "short 0+1; byte 1+2; "},
      {"far_then_one_close_stays_short", Join({farSegment, nearSegment}), "short 0+2; "},
      {"close_far_close", Join({nearSegment, nearSegment, farSegment, nearSegment}), "byte 0+2; short 2+2; "},
      {"a_last_incomplete_segment_is_left_out", Join({nearSegment, {kFar, kFar}}), "byte 0+1; "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Describe(SplitPointRuns(c.deltas, 3)), c.runs);
  }
}

TEST(XLPointRuns, RunsStopWhereNumberOfPointsEnds) {
  EXPECT_EQ(SplitPointRuns(Repeat(kNear, 70000), 1), (Runs{{kXLBytePoints, 0, 65535}, {kXLBytePoints, 65535, 4465}}));
  EXPECT_EQ(SplitPointRuns(Repeat(kFar, 3 * 21846), 3), (Runs{{kXLShortPoints, 0, 21845}, {kXLShortPoints, 21845, 1}}));
}

TEST(XLPointRuns, ByteAndShortRunsAreFramedAsTheFormatSays) {
  SinkStream stream;
  XLWriteLineRuns(stream, Deltas{{0, 0}, {1, -1}});
  XLWriteBezierRuns(stream, Deltas{{300, -2}, {0, 0}, {-1, 1}});
  const std::vector<uint8_t> expected = {
      // LineRelPath, 2 points of signed bytes.
      0xC1, 0x02, 0x00, 0xF8, 0x4D, 0xC0, 0x01, 0xF8, 0x50, 0x9D, 0xFB, 0x04, 0x00, 0x00, 0x01, 0xFF,
      // BezierRelPath, 3 points of sint16.
      0xC1, 0x03, 0x00, 0xF8, 0x4D, 0xC0, 0x03, 0xF8, 0x50, 0x95, 0xFB, 0x0C,  //
      0x2C, 0x01, 0xFE, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x01, 0x00};
  EXPECT_EQ(stream.Output(), expected);
}

// The points read back from the operators' data, each by its own point
// type, are the points that went in.
TEST(XLPointRuns, MixedRunsReadBackToTheSamePoints) {
  Deltas deltas;
  for (int i = 0; i < 300; ++i) {
    const int16_t step = (i / 20) % 3 == 0 ? static_cast<int16_t>(1000 - 17 * i) : static_cast<int16_t>(i % 50 - 25);
    deltas.push_back({step, static_cast<int16_t>(-step / 2)});
  }
  SinkStream stream;
  XLWriteLineRuns(stream, deltas);
  const std::vector<uint8_t>& bytes = stream.Output();
  const strict_pclxl::ReadResult read = strict_pclxl::ReadStrictly(bytes, {false, false, false});
  ASSERT_TRUE(read.Ok()) << strict_pclxl::Disassemble(read);

  Deltas back;
  size_t byteRuns = 0;
  for (const strict_pclxl::Operation& operation : read.operations) {
    ASSERT_EQ(operation.name, "LineRelPath");
    const bool bytePoints = operation.Number("PointType") == 1;
    byteRuns += bytePoints ? 1 : 0;
    const std::vector<uint8_t>& data = operation.data;
    const size_t size = bytePoints ? 1 : 2;
    for (size_t at = 0; at + 2 * size <= data.size(); at += 2 * size) {
      const auto value = [&](size_t offset) {
        return bytePoints ? static_cast<int16_t>(static_cast<int8_t>(data[offset]))
                          : static_cast<int16_t>(data[offset] | data[offset + 1] << 8);
      };
      back.push_back({value(at), value(at + size)});
    }
  }
  ASSERT_EQ(back.size(), deltas.size());
  for (size_t i = 0; i < deltas.size(); ++i) {
    EXPECT_EQ(back[i].x, deltas[i].x) << i;
    EXPECT_EQ(back[i].y, deltas[i].y) << i;
  }
  EXPECT_GT(byteRuns, 0u);
}

}  // namespace
