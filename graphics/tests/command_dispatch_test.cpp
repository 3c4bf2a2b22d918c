// The dispatch table: each command reaches exactly its one handler of the
// stage, with itself, and answers the handler's status unchanged.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "graphics/commands/command_composite.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/download_face.h"
#include "graphics/commands/download_header_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/display/path_graphic.h"
#include "graphics/display/poly_bezier_graphic.h"
#include "graphics/display/polygon_graphic.h"
#include "graphics/display/raster_graphic.h"
#include "graphics/display/rectangle_graphic.h"
#include "graphics/display/text_string_graphic.h"
#include "graphics/output/memory_output_channel.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "graphics/tests/command_bytes.h"

namespace {

struct Case {
  const char* name;
  std::unique_ptr<GCommand> (*make)();
  const char* handler;  // null: no handler is called
};

template <typename T>
std::unique_ptr<GCommand> Make() {
  return std::make_unique<T>();
}

const Case kCases[] = {
    {"document_start", Make<GDocumentStart>, "DocumentStart"},
    {"document_end", Make<GDocumentEnd>, "DocumentEnd"},
    {"page_start", Make<GPageStart>, "PageStart"},
    {"page_end", Make<GPageEnd>, "PageEnd"},
    {"job_abort", Make<GJobAbort>, "JobAbort"},
    {"error", Make<GErrorCommand>, "HandleError"},
    {"pass_through", Make<GPassThroughCommand>, "PassThrough"},
    {"download_header", Make<GDownloadHeaderCommand>, "DownloadHeader"},
    {"download_face", Make<GDownloadFace>, "DownloadFace"},
    {"no_command", Make<GNoCommand>, nullptr},
    {"null_command", Make<GNullCommand>, nullptr},
    {"command_composite", Make<GCommandComposite>, nullptr},
    {"graphic_list", Make<GGraphicComposite>, nullptr},
    {"path", Make<GPathGraphic>, "DrawPath"},
    {"rectangle", Make<GRectangleGraphic>, "DrawRectangle"},
    {"polygon", Make<GPolygonGraphic>, "DrawPolygon"},
    {"poly_bezier", Make<GPolyBezierGraphic>, "DrawPolyBezier"},
    {"raster", Make<GRasterGraphic>, "DrawRaster"},
    {"pre_scaled_raster", Make<GPreScaledRasterGraphic>, "DrawRaster"},
    {"text", Make<GTextStringGraphic>, "DrawTextString"},
};

TEST(CommandDispatch, EachCommandReachesExactlyItsHandler) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GCommand> command = c.make();
    CommandRecordingPeripheral stage;
    EXPECT_EQ(command->DispatchTo(stage), 0);
    if (c.handler == nullptr) {
      EXPECT_TRUE(stage.calls.empty());
      continue;
    }
    ASSERT_EQ(stage.calls.size(), 1u);
    EXPECT_EQ(stage.calls[0].handler, c.handler);
    EXPECT_EQ(stage.calls[0].command, command.get());
  }
}

TEST(CommandDispatch, TheHandlersStatusComesBackUnchanged) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::unique_ptr<GCommand> command = c.make();
    CommandRecordingPeripheral stage;
    stage.status = 7;
    EXPECT_EQ(command->DispatchTo(stage), c.handler != nullptr ? 7 : 0);
  }
}

// The base handlers of the frame move the stage's job phase.
TEST(CommandDispatch, TheFrameMovesABaseStageThroughItsJobPhases) {
  TestPeripheral stage;
  const struct {
    std::unique_ptr<GCommand> command;
    int32_t phase;
  } steps[] = {
      {std::make_unique<GDocumentStart>(), GPeripheral::kInDocument},
      {std::make_unique<GPageStart>(), GPeripheral::kInPage},
      {std::make_unique<GPageEnd>(), GPeripheral::kInDocument},
      {std::make_unique<GDocumentEnd>(), GPeripheral::kOutsideDocument},
      {std::make_unique<GPageStart>(), GPeripheral::kInPage},
      {std::make_unique<GJobAbort>(), GPeripheral::kOutsideDocument},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.command->ClassID());
    EXPECT_EQ(step.command->DispatchTo(stage), 0);
    EXPECT_EQ(stage.JobPhase(), step.phase);
  }
}

// A stage that opened the job's channel answers an abort with the
// channel's finish and keeps it attached until the next job reset deletes
// it; a borrowed channel is neither finished nor deleted.
TEST(CommandDispatch, AnAbortFinishesTheChannelOfTheStageThatOwnsIt) {
  TestPeripheral stage;
  auto* owned = new GMemoryOutputChannel("owned");
  owned->Open(RWWString());
  owned->Begin();
  stage.OwnOutputChannel(owned);
  GJobAbort abort;
  EXPECT_EQ(abort.DispatchTo(stage), 0);
  EXPECT_EQ(owned->GetState(), GOutputChannel::kFinished);
  EXPECT_EQ(stage.OutputChannel(), owned);
  stage.ResetJob();
  EXPECT_EQ(stage.OutputChannel(), nullptr);

  GMemoryOutputChannel borrowed("borrowed");
  borrowed.Open(RWWString());
  stage.BorrowOutputChannel(&borrowed);
  EXPECT_EQ(abort.DispatchTo(stage), 0);
  EXPECT_EQ(borrowed.GetState(), GOutputChannel::kOpen);
  stage.ResetJob();
}

}  // namespace
