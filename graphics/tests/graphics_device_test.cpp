// Tests of what the graphics device's interface itself does: it is its own
// graphics device, re-targeting resets the pipeline of a started job, the
// answers that need no device, and a device the driver server hands out.
#include "graphics/device/graphics_device.h"

#include <gtest/gtest.h>

#include <memory>

#include "device/testing/test_device_tree.h"
#include "foundation/persistence.h"
#include "foundation/testing/scratch_files.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/commands/document_command.h"
#include "graphics/testing/test_graphics_device.h"
#include "graphics/tests/command_bytes.h"
#include "model/attributes/state.h"
#include "model/objects/model_stream.h"
#include "model/os/drvrsrvr.h"
#include "model/os/printer_identity.h"

namespace {

TEST(GraphicsDevice, IsItsOwnGraphicsDeviceAndNoUserInterfaceDriver) {
  TestGraphicsDevice device;
  GDriver& driver = device;
  EXPECT_EQ(driver.AsGraphicsDevice(), &device);
  EXPECT_EQ(driver.AsUIDriver(), nullptr);
}

// Without watermark drawing of its own, a device makes no font and no
// graphic and leaves the font it is handed alone.
TEST(GraphicsDevice, DrawsNoWatermarkUnlessADeviceDoes) {
  TestGraphicsDevice device;
  int32_t extent = 7;
  const auto* description = reinterpret_cast<const GWatermarkDescription*>(&extent);
  EXPECT_EQ(device.CreateWatermarkFont(*description, GDotPair{5100, 6600}, extent), 0u);
  EXPECT_EQ(extent, 7);
  uint32_t font = 9;
  device.ReleaseWatermarkFont(&font);
  EXPECT_EQ(font, 9u);
  const std::unique_ptr<GMedia> medium = MakeMedium(1, GDotPair{5100, 6600});
  EXPECT_EQ(device.MakeWatermarkGraphic(Wide("DRAFT"), 1, 2, GRGBColor(0, 0, 0, 255), *medium, 0), nullptr);
}

TEST(GraphicsDevice, TheDocumentEndCarriesNothingButAnEmptyDocumentState) {
  TestGraphicsDevice device;
  const std::unique_ptr<GDocumentEnd> end = device.EndDocument();
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end->Key(), 0);
  EXPECT_EQ(end->GetDocumentName().Length(), 0u);
  EXPECT_EQ(end->GetOutputName().Length(), 0u);
  ASSERT_NE(end->GetState(), nullptr);
  EXPECT_EQ(end->GetState()->Key(), 246);
  EXPECT_EQ(end->GetState()->ClassID(), kGStateClassID);
  EXPECT_EQ(end->GetState()->EntryCount(), 0u);
  EXPECT_EQ(device.EndDocument()->GetState() == end->GetState(), false) << "each end has a new state";
}

TEST(GraphicsDevice, JobStorageIsActiveUnlessItsModeIsOff) {
  struct Case {
    const char* name;
    bool withSettings;
    bool withJobGroup;
    bool withStorageGroup;
    int16_t mode;  // -1: no mode setting
    int32_t active;
  };
  const Case cases[] = {
      {"no_document_settings", false, false, false, -1, 0},
      {"no_job_group", true, false, false, -1, 0},
      {"no_storage_group", true, true, false, -1, 0},
      {"no_mode", true, true, true, -1, 0},
      {"mode_off", true, true, true, 2, 0},
      {"mode_zero", true, true, true, 0, 1},
      {"mode_one", true, true, true, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestGraphicsDevice device;
    if (c.withSettings) {
      device.documentSettings = std::make_unique<GAttributeComposite>(360);
      if (c.withJobGroup) {
        GAttributeComposite* job = AddGroup(*device.documentSettings, 364);
        // A mode outside the storage group does not count.
        AddValue(*job, 382, 1);
        if (c.withStorageGroup) {
          GAttributeComposite* storage = AddGroup(*job, 379);
          if (c.mode >= 0) AddValue(*storage, 382, c.mode);
        }
      }
    }
    EXPECT_EQ(device.IsJobStorageActive(), c.active);
  }
}

// Re-targeting a device for the next job clears its mark, resets the job
// state of a pipeline that a document was started on, and then lets the
// device reset itself.
TEST(GraphicsDevice, InvalidateResetsTheStartedPipelineAndTheJobMark) {
  struct Case {
    const char* name;
    int32_t jobStarted;
    bool headEnabledAfter;
  };
  const Case cases[] = {
      {"pipeline_used", 1, true},
      {"pipeline_unused", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestGraphicsDevice device;
    TestDeviceTree tree = MakeDeviceTree();
    TestPeripheralComposite* head = tree.head;
    device.SetSettingsRoot(std::move(tree.root));
    device.MarkJob();
    EXPECT_EQ(device.IsJobMarked(), 1);
    device.SetJobStarted(c.jobStarted);
    head->Disable();

    const std::unique_ptr<GDriverKey> key = device.CreatePrinterIdentity();
    device.Invalidate(*key);
    EXPECT_EQ(device.IsJobMarked(), 0);
    EXPECT_EQ(head->IsEnabled(), c.headEnabledAfter) << "a job reset enables the head again";
    EXPECT_EQ(device.GetJobStarted(), 0);
    EXPECT_EQ(device.calls, std::vector<std::string>{"ResetJobState"});
  }
}

TEST(GraphicsDevice, InvalidateWithoutAPipelineStillResetsTheDevice) {
  TestGraphicsDevice device;
  device.SetJobStarted(1);
  const std::unique_ptr<GDriverKey> key = device.CreatePrinterIdentity();
  device.Invalidate(*key);
  EXPECT_EQ(device.GetJobStarted(), 0);
  EXPECT_EQ(device.calls, std::vector<std::string>{"ResetJobState"});
}

// A driver data file whose device root holds a pipeline head.
void WriteDataFile(const std::string& path) {
  TestDeviceTree tree = MakeDeviceTree();
  GAttributeComposite root(1);
  root.AddChild(tree.root.release());
  GOutputStream out(Wide(path.c_str()), kBinaryStreamFormat);
  WriteObjectToStream(&root, *out.Stream());
  out.Stream()->Flush();
  ASSERT_TRUE(out.Stream()->IsGood());
}

// The driver server makes the render side's objects through the OS
// factory: the test factory's are test graphics devices, which the server
// hands out and finds again by handle, and whose document starts find them
// again after a save.
TEST(GraphicsDevice, TheDriverServerHandsOutTheFactorysDevice) {
  const ScratchDirectory directory;
  const std::string dataFile = directory.File("device.dat");
  WriteDataFile(dataFile);
  TestGraphicsDeviceFactory factory;
  factory.SetDriverDataFile(Wide("Test Driver"), Wide(dataFile.c_str()));
  GOSFactory::SetInstance(&factory);
  GDriverServer server;

  uint32_t handle = 0;
  GGraphicsDevice* opened = server.OpenRender(
      std::make_unique<GPrinterIdentity>(nullptr, Wide("Office"), Wide("Test Driver"), Wide("LPT2:"), 0), handle);
  auto* device = dynamic_cast<TestGraphicsDevice*>(opened);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->GetPrinterName(), Wide("Office"));
  ASSERT_NE(device->GetPipelineHead(), nullptr) << "loaded from the data file";
  EXPECT_EQ(server.FindRenderObject(handle), opened);
  EXPECT_EQ(device->GetHandle(), handle);

  const std::unique_ptr<GDocumentStart> start = device->StartDocument(Wide("Report"), Wide("LPT2:"));
  const std::string bytes = SaveContentsToFileBytes(*start);
  GDocumentStart restored;
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
  EXPECT_EQ(restored.GetGraphicsDevice(), opened);

  server.CloseRender(handle);
  EXPECT_EQ(server.FindRenderObject(handle), nullptr);
  EXPECT_EQ(device->GetHandle(), 0u) << "a closed device has no handle";
}

}  // namespace
