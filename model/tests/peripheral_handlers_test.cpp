// The base handlers of a pipeline stage and its output channel. The classes
// of the higher libraries that reach them are stood in for here: this test
// program links nothing above the model, and the base handlers only take
// their arguments by reference.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "model/testing/test_peripheral.h"

class GOutputChannel {
 public:
  virtual ~GOutputChannel() = default;
  virtual uint16_t Finish() { return 0; }
};

class GMedia {};
class GTray {};
class GColorMap {};
class GHalftone {};
class GHalftoneEnhanced {};
class GNeutralGrays {};
class GEdgeControl {};
class GSRGBColor {};
class GSRGBExtension {};
class GDocumentStart {};
class GDocumentEnd {};
class GPageStart {};
class GPageEnd {};
class GJobAbort {};

namespace {

// A channel that answers its finish with a status of its own and counts
// finishes and deletions.
class CountingChannel : public GOutputChannel {
 public:
  struct Counts {
    int finished = 0;
    int deleted = 0;
  };

  explicit CountingChannel(Counts& counts) : counts_(counts) {}
  ~CountingChannel() override { ++counts_.deleted; }
  uint16_t Finish() override {
    ++counts_.finished;
    return 31;
  }

 private:
  Counts& counts_;
};

TEST(PeripheralHandlersTest, TheBaseAnswersZeroForTheDeviceAndColourSettings) {
  struct Case {
    const char* name;
    std::function<uint16_t(GPeripheral&)> handle;
  };
  GMedia media;
  GTray tray;
  GColorMap map;
  GHalftone halftone;
  GHalftoneEnhanced enhanced;
  GNeutralGrays grays;
  GEdgeControl edges;
  GSRGBColor color;
  GSRGBExtension extension;
  const Case cases[] = {
      {"media", [&](GPeripheral& s) { return s.ApplyMedia(media); }},
      {"tray", [&](GPeripheral& s) { return s.ApplyTray(tray); }},
      {"color_map", [&](GPeripheral& s) { return s.ApplyColorMap(map); }},
      {"halftone", [&](GPeripheral& s) { return s.ApplyHalftone(halftone); }},
      {"halftone_enhanced", [&](GPeripheral& s) { return s.ApplyHalftoneEnhanced(enhanced); }},
      {"neutral_grays", [&](GPeripheral& s) { return s.ApplyNeutralGrays(grays); }},
      {"edge_control", [&](GPeripheral& s) { return s.ApplyEdgeControl(edges); }},
      {"srgb_color", [&](GPeripheral& s) { return s.ApplySRGBColor(color); }},
      {"srgb_extension", [&](GPeripheral& s) { return s.ApplySRGBExtension(extension); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestPeripheral stage;
    EXPECT_EQ(c.handle(stage), 0);
    EXPECT_TRUE(stage.SameContent(TestPeripheral()));
  }
}

TEST(PeripheralHandlersTest, TheDocumentAndPageFrameMovesTheJobPhase) {
  GDocumentStart documentStart;
  GDocumentEnd documentEnd;
  GPageStart pageStart;
  GPageEnd pageEnd;
  GJobAbort abort;
  TestPeripheral stage;
  struct Step {
    const char* name;
    std::function<uint16_t()> handle;
    int32_t phase;
    bool inDocument;
    bool inPage;
  };
  const Step steps[] = {
      {"document_start", [&] { return stage.DocumentStart(documentStart); }, 1, true, false},
      {"page_start", [&] { return stage.PageStart(pageStart); }, 2, false, true},
      {"page_end", [&] { return stage.PageEnd(pageEnd); }, 1, true, false},
      {"document_end", [&] { return stage.DocumentEnd(documentEnd); }, 0, false, false},
      {"page_start_again", [&] { return stage.PageStart(pageStart); }, 2, false, true},
      {"abort", [&] { return stage.JobAbort(abort); }, 0, false, false},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    EXPECT_EQ(step.handle(), 0);
    EXPECT_EQ(stage.JobPhase(), step.phase);
    EXPECT_EQ(stage.IsInDocument(), step.inDocument);
    EXPECT_EQ(stage.IsInPage(), step.inPage);
  }
}

TEST(PeripheralHandlersTest, AnOwnedChannelIsFinishedOnAbortAndDeletedOnReset) {
  CountingChannel::Counts counts;
  GJobAbort abort;
  TestPeripheral stage;
  auto* channel = new CountingChannel(counts);
  stage.OwnOutputChannel(channel);
  EXPECT_EQ(stage.OutputChannel(), channel);
  EXPECT_TRUE(stage.OwnsOutputChannel());
  stage.EnterDocument();
  EXPECT_EQ(stage.JobAbort(abort), 31);
  EXPECT_EQ(stage.JobPhase(), 0);
  EXPECT_EQ(counts.finished, 1);
  EXPECT_EQ(stage.OutputChannel(), channel);

  stage.ResetJob();
  EXPECT_EQ(counts.deleted, 1);
  EXPECT_EQ(stage.OutputChannel(), nullptr);
  EXPECT_FALSE(stage.OwnsOutputChannel());
}

TEST(PeripheralHandlersTest, ABorrowedChannelStaysWithItsOwner) {
  CountingChannel::Counts counts;
  GJobAbort abort;
  CountingChannel borrowed(counts);
  {
    TestPeripheral stage;
    stage.BorrowOutputChannel(&borrowed);
    EXPECT_FALSE(stage.OwnsOutputChannel());
    EXPECT_EQ(stage.JobAbort(abort), 0);
    stage.ResetJob();
    EXPECT_EQ(stage.OutputChannel(), nullptr);
    stage.BorrowOutputChannel(&borrowed);
  }
  EXPECT_EQ(counts.finished, 0);
  EXPECT_EQ(counts.deleted, 0);
}

TEST(PeripheralHandlersTest, AnOwnedChannelGoesWithTheStageOrItsReplacement) {
  CountingChannel::Counts counts;
  CountingChannel borrowed(counts);
  {
    TestPeripheral stage;
    stage.OwnOutputChannel(new CountingChannel(counts));
    stage.OwnOutputChannel(new CountingChannel(counts));
    EXPECT_EQ(counts.deleted, 1);
    stage.BorrowOutputChannel(&borrowed);
    EXPECT_EQ(counts.deleted, 2);
    stage.OwnOutputChannel(new CountingChannel(counts));
  }
  EXPECT_EQ(counts.deleted, 3);
}

}  // namespace
