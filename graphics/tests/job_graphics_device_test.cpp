// The graphics device of a job as it sends commands: deferred document and
// page starts, the abort on an error, pass-through data, paths, clips and
// the drawing state.
#include "graphics/device/job_graphics_device.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/testing/string_printers.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/joint.h"
#include "graphics/clips/clip.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/display/path_graphic.h"
#include "graphics/fonts/font_database.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/tests/job_device_fixture.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"

namespace {

using Handlers = std::vector<std::string>;

TEST(JobGraphicsDevice, ADocumentStartIsSentOnlyWhenOneIsDue) {
  JobDevice device;
  EXPECT_EQ(device.FlushPendingDocument(), GGraphicsDevice::kNoPendingDocument);
  EXPECT_EQ(device.GetJobStatus(), GJobGraphicsDevice::kJobFailed);
  EXPECT_TRUE(device.head->calls.empty());

  device.Invalidate(*device.CreatePrinterIdentity());
  EXPECT_EQ(device.GetJobStatus(), GJobGraphicsDevice::kJobNormal) << "a new job starts normal";
  device.SetDocumentPending(RWWString("report.doc"), RWWString("LPT1:"));
  EXPECT_EQ(device.FlushPendingDocument(), 0);
  ASSERT_EQ(device.head->Handlers(), Handlers{"DocumentStart"});
  const auto* start = static_cast<const GDocumentStart*>(device.head->calls[0].command);
  EXPECT_EQ(start->GetGraphicsDevice(), &device);
  EXPECT_EQ(start->GetDocumentName(), RWWString("report.doc"));
  EXPECT_EQ(start->GetOutputName(), RWWString("LPT1:"));
  ASSERT_NE(start->GetState(), nullptr);
  EXPECT_EQ(start->GetState()->Key(), GDocumentCommand::kStateKey);
  EXPECT_EQ(device.GetJobStarted(), 1);
  EXPECT_EQ(device.FlushPendingDocument(), GGraphicsDevice::kNoPendingDocument) << "sent once";
}

TEST(JobGraphicsDevice, APendingPageStartGoesBeforeTheFirstCommandOfThePage) {
  struct Case {
    const char* name;
    std::string failingHandler;
    uint16_t deviceStatus;
    uint16_t answer;
    Handlers handlers;
    int32_t jobStatus;
    bool pageStillDue;
  };
  const Case cases[] = {
      // name, failing handler, device status, answer, handlers, job status, page still due
      {"page_start_then_command", "", 0, 0, {"PageStart", "DocumentEnd"}, GJobGraphicsDevice::kJobNormal, false},
      {"failed_page_start_drops_the_command",
       "PageStart",
       0,
       7,
       {"PageStart", "JobAbort"},
       GJobGraphicsDevice::kJobFailed,
       false},
      {"error_of_the_command_aborts_the_job",
       "DocumentEnd",
       0,
       7,
       {"PageStart", "DocumentEnd", "JobAbort"},
       GJobGraphicsDevice::kJobFailed,
       false},
      {"device_status_refuses_everything", "", 9, 9, {}, GJobGraphicsDevice::kJobNormal, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobDevice device;
    device.head->failingHandler = c.failingHandler;
    if (!c.failingHandler.empty()) device.head->status = 7;
    device.deviceStatus = c.deviceStatus;
    device.SetPagePending();
    EXPECT_EQ(device.Submit(device.EndDocument().release()), c.answer);
    EXPECT_EQ(device.head->Handlers(), c.handlers);
    EXPECT_EQ(device.GetJobStatus(), c.jobStatus);
    device.head->calls.clear();
    device.FlushPendingPage();
    EXPECT_EQ(!device.head->calls.empty(), c.pageStillDue);
  }
}

TEST(JobGraphicsDevice, PassThroughDataCarriesItsStateAndPassesAPendingSinkOnce) {
  const uint8_t bytes[] = {'@', 'P', 'J', 'L'};
  JobDevice device;
  device.SetPagePending();
  EXPECT_EQ(device.PassThrough(bytes, 4, 2, 1, 1, 0), 0);
  ASSERT_EQ(device.head->Handlers(), (Handlers{"PageStart", "PassThrough"}));
  const auto* data = static_cast<const GPassThroughCommand*>(device.head->calls[1].command);
  EXPECT_EQ(data->GetData(), bytes) << "the bytes are borrowed";
  EXPECT_EQ(data->GetLength(), 4);
  ASSERT_NE(data->GetState(), nullptr);
  EXPECT_EQ(ValueOr(data->GetState(), 601, 0), 1);
  EXPECT_FALSE(device.CommandSink().HasPending()) << "the pending command went through and was forgotten";
}

// An inner sink that holds every command back with its status.
class HoldingSink : public GInnerSink {
 public:
  int32_t Attach(GCommandSink&, int32_t) override { return 1; }
  uint16_t GetStatus() override { return 44; }
  void Signal(int32_t) override {}
  int32_t Deliver(int32_t, int32_t, int32_t, int32_t) override { return 0; }
  bool Matches(int32_t argument) override { return argument == 1; }
};

TEST(JobGraphicsDevice, AnInnerSinkHoldsCommandsBackButLetsAPendingOneThrough) {
  const uint8_t bytes[] = {1};
  JobDevice device;
  EXPECT_EQ(device.CommandSink().Attach(std::make_unique<HoldingSink>(), 0), 1);
  EXPECT_EQ(device.Process(new GNoCommand(0)), 44);
  EXPECT_EQ(device.PassThrough(bytes, 1, 0, 0, 1, 1), 0);
  EXPECT_EQ(device.head->Handlers(), Handlers{"PassThrough"});
  EXPECT_EQ(device.CommandSink().Poll(1), GCommandSink::kWaiting);
  EXPECT_NE(device.CommandSink().Find(1), nullptr);
  EXPECT_EQ(device.CommandSink().Poll(2), GCommandSink::kFinished) << "a sink that no longer matches goes";
  EXPECT_EQ(device.CommandSink().Find(1), nullptr);
  EXPECT_EQ(device.Process(new GNoCommand(0)), 0);
}

TEST(JobGraphicsDevice, NestedPathsJoinTheEnclosingOneAndTheOutermostIsPainted) {
  JobDevice device;
  EXPECT_EQ(device.BeginPath(), 1);
  GPathGraphic* outer = device.GetCurrentPath();
  EXPECT_EQ(device.BeginPath(), 2);
  GPathGraphic* inner = device.GetCurrentPath();
  EXPECT_NE(inner, outer);
  EXPECT_EQ(device.EndPath(1), 1);
  EXPECT_EQ(device.GetCurrentPath(), outer);
  ASSERT_EQ(outer->EntryCount(), 1u);
  EXPECT_TRUE(inner->IsClosed()) << "the device asked for the nested path to be closed";
  EXPECT_EQ(device.paintedPaths, 0);
  EXPECT_EQ(device.EndPath(0), 0);
  EXPECT_EQ(device.paintedPaths, 1);
  EXPECT_EQ(device.BeginPath(), 1);
  EXPECT_EQ(device.GetCurrentPath(), outer) << "a path painted and not taken is continued";
}

TEST(JobGraphicsDevice, AClipIsThePathInsideOrOutsideOrThePage) {
  struct Case {
    const char* name;
    bool withPath;
    int32_t fillMode;
    int32_t operation;
    RWClassID clipClass;
    int32_t region;
    int32_t fillRule;
  };
  const Case cases[] = {
      {"no_path_clips_to_the_page", false, 1, 2, kGClipToPageClassID, GClip::kInside, GClip::kWinding},
      {"intersect_alternate", true, 1, 2, kGClipToPathClassID, GClip::kInside, GClip::kEvenOdd},
      {"intersect_winding", true, 2, 2, kGClipToPathClassID, GClip::kInside, GClip::kWinding},
      {"exclude", true, 2, 3, kGClipToPathClassID, GClip::kOutside, GClip::kEvenOdd},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    JobDevice device;
    if (c.withPath) {
      device.BeginPath();
      device.EndPath(0);
    }
    EXPECT_EQ(device.SetClipPath(c.fillMode, c.operation), 1);
    EXPECT_EQ(device.GetCurrentPath(), nullptr) << "the clip took the path";
    GClip* clip = device.GetCurrentClip();
    ASSERT_NE(clip, nullptr);
    GClip* inBundle = device.GetCachedBundle()->GetClip();
    ASSERT_NE(inBundle, nullptr);
    EXPECT_NE(inBundle, clip) << "the bundle holds a copy";
    EXPECT_TRUE(inBundle->SameContent(*clip));
    EXPECT_EQ(clip->ClassID(), c.clipClass);
    EXPECT_EQ(clip->Key(), GGraphicBundle::kClipKey);
    EXPECT_EQ(clip->GetRegion(), c.region);
    EXPECT_EQ(clip->GetFillRule(), c.fillRule);
  }
  JobDevice device;
  device.BeginPath();
  EXPECT_EQ(device.SetClipPath(1, 4), 0) << "an unknown operation changes nothing";
  EXPECT_NE(device.GetCurrentPath(), nullptr);
  EXPECT_EQ(device.GetCurrentClip(), nullptr);
}

TEST(JobGraphicsDevice, RestoringTheDrawingStateBringsBackItsClipCapAndJoint) {
  JobDevice device;
  device.RestoreState();
  GClip* clip = device.GetCachedBundle()->GetClip();
  ASSERT_NE(clip, nullptr) << "nothing saved: a clip to the page";
  EXPECT_EQ(clip->ClassID(), kGClipToPageClassID);
  EXPECT_EQ(clip->Key(), GGraphicBundle::kClipKey);

  device.BeginPath();
  device.EndPath(0);
  device.SetClipPath(2, 2);
  device.SetClipPath(0, 0);  // saves
  device.SetClipPath(0, 2);  // no path: the page
  EXPECT_EQ(device.GetCurrentClip()->ClassID(), kGClipToPageClassID);
  device.SetClipPath(0, 1);  // restores
  ASSERT_NE(device.GetCurrentClip(), nullptr);
  EXPECT_EQ(device.GetCurrentClip()->ClassID(), kGClipToPathClassID);
  GGraphicBundle* bundle = device.GetCachedBundle();
  ASSERT_NE(bundle->GetClip(), nullptr);
  EXPECT_EQ(bundle->GetClip()->ClassID(), kGClipToPathClassID);
  ASSERT_NE(bundle->GetCap(), nullptr) << "the restored cap goes into the bundle";
  EXPECT_EQ(bundle->GetCap()->GetKind(), GCap::kRound);
  ASSERT_NE(bundle->GetJoint(), nullptr);
  EXPECT_EQ(bundle->GetJoint()->GetKind(), GJoint::kRound);
}

TEST(JobGraphicsDevice, CapsAndJointsAreReusedAndNotHandedOutTwiceInARow) {
  JobDevice device;
  GCap* round = device.GetCapAttribute(GCap::kRound);
  ASSERT_NE(round, nullptr);
  EXPECT_EQ(device.GetCapAttribute(GCap::kRound), nullptr);
  GCap* square = device.GetCapAttribute(GCap::kSquare);
  ASSERT_NE(square, nullptr);
  EXPECT_EQ(square->GetKind(), GCap::kSquare);

  GJoint* miter = device.GetJointAttribute(GJoint::kMiter, 4.0F);
  ASSERT_NE(miter, nullptr);
  EXPECT_EQ(device.GetJointAttribute(GJoint::kMiter, 4.0F), miter) << "the same limit reuses the joint";
  EXPECT_NE(device.GetJointAttribute(GJoint::kMiter, 6.0F), miter);
  GJoint* bevel = device.GetJointAttribute(GJoint::kBevel, 4.0F);
  ASSERT_NE(bevel, nullptr);
  EXPECT_EQ(bevel->GetKind(), GJoint::kBevel);
}

TEST(JobGraphicsDevice, TheEndOfTheFontJobReleasesTheJobsFonts) {
  JobDevice device;
  GFontDatabase* database = device.GetFontDatabase();
  ASSERT_NE(database, nullptr);
  GFontInfo info;
  info.faceName = "Job";
  database->Add(new TestFontImp(info, {{'a', 10}}));
  ASSERT_EQ(database->GetCount(), 1U);

  device.EndFontJob();

  EXPECT_EQ(database->GetCount(), 0U);
}

}  // namespace
