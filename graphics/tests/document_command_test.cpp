// Tests of the document commands: what they carry, the output channel's
// one owner, and the stored device handle.
#include "graphics/commands/document_command.h"

#include <gtest/gtest.h>

#include <memory>

#include "graphics/output/memory_output_channel.h"
#include "graphics/testing/test_graphics_device.h"
#include "graphics/tests/command_bytes.h"
#include "model/os/drvrsrvr.h"

namespace {

// A device whose handle is the test's.
class FixedHandleDevice : public TestGraphicsDevice {
 public:
  uint32_t GetHandle() const override { return handle; }
  uint32_t handle = 0;
};

GGraphicsDevice* FakeDevice() {
  static FixedHandleDevice device;
  return &device;
}

// A channel that tells when it goes.
class WatchedChannel : public GMemoryOutputChannel {
 public:
  explicit WatchedChannel(int& deleted) : GMemoryOutputChannel("watched"), deleted_(deleted) {}
  ~WatchedChannel() override { ++deleted_; }

 private:
  int& deleted_;
};

TEST(DocumentStart, ADefaultStartCarriesNothingButAnEmptyDocumentState) {
  const GDocumentStart start;
  EXPECT_EQ(start.GetDocumentName().Length(), 0u);
  EXPECT_EQ(start.GetOutputName().Length(), 0u);
  EXPECT_EQ(start.GetAlternateName().Length(), 0u);
  EXPECT_EQ(start.GetOutputChannel(), nullptr);
  EXPECT_EQ(start.GetGraphicsDevice(), nullptr);
  ASSERT_NE(start.GetState(), nullptr);
  EXPECT_EQ(start.GetState()->Key(), 246);
  EXPECT_EQ(start.GetState()->ClassID(), kGStateClassID);
}

TEST(DocumentCommand, TheChannelHasOneOwnerAndTheCommandIsNotIt) {
  int deleted = 0;
  auto* first = new WatchedChannel(deleted);
  {
    GDocumentStart start(Wide("doc"), Wide("out"), nullptr, 0);
    start.SetOutputChannel(first);
    start.SetOutputChannel(first);
    EXPECT_EQ(deleted, 0) << "attaching the attached channel again deletes nothing";
    const std::unique_ptr<GCommand> clone(static_cast<GCommand*>(start.Clone()));
    EXPECT_EQ(static_cast<GDocumentStart&>(*clone).GetOutputChannel(), first);
  }
  EXPECT_EQ(deleted, 0) << "neither the command nor its clone deletes the channel";

  GDocumentEnd end(Wide("doc"), Wide("out"), 0);
  end.SetOutputChannel(first);
  end.SetOutputChannel(new WatchedChannel(deleted));
  EXPECT_EQ(deleted, 1) << "the channel replaced goes";
  const std::unique_ptr<GOutputChannel> taken(end.TakeOutputChannel());
  EXPECT_NE(taken, nullptr);
  EXPECT_EQ(end.GetOutputChannel(), nullptr);
}

TEST(DocumentStart, ClonesShareDeviceAndAlternateName) {
  const GDocumentStart start(Wide("doc"), "job", Wide("out"), FakeDevice(), SampleState(1, 2), 5);
  const std::unique_ptr<GDocumentStart> clone(static_cast<GDocumentStart*>(start.Clone()));
  EXPECT_EQ(clone->GetGraphicsDevice(), FakeDevice());
  EXPECT_EQ(clone->GetAlternateName(), "job");
  EXPECT_EQ(clone->GetState(), start.GetState());
  EXPECT_TRUE(clone->SameContent(start));
}

TEST(DocumentCommand, ContentComparesNamesDeviceAndClass) {
  const GDocumentStart start(Wide("doc"), Wide("out"), nullptr, 0);
  struct Case {
    const char* name;
    std::unique_ptr<GCommand> other;
    bool same;
  };
  Case cases[] = {
      {"equal", std::make_unique<GDocumentStart>(Wide("doc"), Wide("out"), nullptr, 0), true},
      {"alternate_name_not_compared",
       std::make_unique<GDocumentStart>(Wide("doc"), "x", Wide("out"), nullptr, nullptr, 0), true},
      {"other_document", std::make_unique<GDocumentStart>(Wide("dod"), Wide("out"), nullptr, 0), false},
      {"other_output", std::make_unique<GDocumentStart>(Wide("doc"), Wide("port"), nullptr, 0), false},
      {"other_device", std::make_unique<GDocumentStart>(Wide("doc"), Wide("out"), FakeDevice(), 0), false},
      {"other_key", std::make_unique<GDocumentStart>(Wide("doc"), Wide("out"), nullptr, 1), false},
      {"document_end", std::make_unique<GDocumentEnd>(Wide("doc"), Wide("out"), 0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(start.SameContent(*c.other), c.same);
    EXPECT_EQ(c.other->SameContent(start), c.same);
  }
}

// After the state: the document command's version and both names, then the
// start's version, the device flag and the handle.
TEST(DocumentStart, StoresTheDeviceAsAFlagAndItsHandle) {
  static_cast<FixedHandleDevice*>(FakeDevice())->handle = 0x1234;
  const std::string names = Words({1}) + WideText("Doc") + WideText("LPT1:");
  struct Case {
    const char* name;
    GGraphicsDevice* device;
    std::string tail;
  };
  const Case cases[] = {
      {"without_device", nullptr, names + Words({1, 0})},
      {"with_device", FakeDevice(), names + Words({1, 1, 0x1234})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GDocumentStart start(Wide("Doc"), Wide("LPT1:"), c.device, 3);
    const std::string bytes = SaveContentsToFileBytes(start);
    EXPECT_EQ(bytes.substr(0, 16), CommandPart(3, start.SerialNumber()));
    ASSERT_GE(bytes.size(), c.tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - c.tail.size()), c.tail);
    EXPECT_EQ(bytes.size(), start.StoredSize());

    // No driver server knows the handle here: the restored start has no
    // device.
    GDocumentStart restored;
    EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
    EXPECT_EQ(restored.GetGraphicsDevice(), nullptr);
    EXPECT_EQ(restored.GetDocumentName(), Wide("Doc"));
    EXPECT_EQ(restored.GetOutputName(), Wide("LPT1:"));
  }
}

TEST(DocumentCommand, RoundTrip) {
  EXPECT_TRUE(RoundTrips(GDocumentStart(Wide("Report"), "job", Wide("FILE:"), nullptr, SampleState(0, 3), 2)));
  EXPECT_TRUE(RoundTrips(GDocumentEnd(Wide("Report"), Wide("FILE:"), SampleState(0, 3), 2)));
  EXPECT_TRUE(RoundTrips(GDocumentEnd(4)));
}

// A stored document command of another version keeps its names.
TEST(DocumentCommand, AnotherStoredVersionStopsTheRestore) {
  const GDocumentEnd stored(Wide("new"), Wide("out"), 0);
  std::string bytes = SaveContentsToFileBytes(stored);
  const std::string names = Words({1}) + WideText("new") + WideText("out") + Words({1});
  const size_t at = bytes.size() - names.size();
  bytes.replace(at, 4, Words({2}));
  GDocumentEnd restored(Wide("old"), Wide("port"), 0);
  RestoreContentsFromFileBytes(restored, bytes);
  EXPECT_EQ(restored.GetDocumentName(), Wide("old"));
  EXPECT_EQ(restored.GetOutputName(), Wide("port"));
}

// A device registered in the driver server's render table is found again
// through the handle the start stores; once it is gone, nothing is.
TEST(DocumentStart, ARestoreFindsTheDeviceOfAKnownHandle) {
  const GMemoryOSFactory factory;
  GDriverServer server;
  auto owned = std::make_unique<TestGraphicsDevice>();
  TestGraphicsDevice* device = owned.get();
  const uint32_t handle = server.Register(GDriverServer::kRenderTable, std::move(owned));
  ASSERT_NE(handle, 0u);
  ASSERT_EQ(device->GetHandle(), handle);
  const GDocumentStart start(Wide("Doc"), Wide("LPT1:"), device, 3);
  const std::string bytes = SaveContentsToFileBytes(start);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), Words({handle}));
  GDocumentStart restored;
  RestoreContentsFromFileBytes(restored, bytes);
  EXPECT_EQ(restored.GetGraphicsDevice(), device);
  EXPECT_TRUE(restored.SameContent(start));

  server.CloseRender(handle);
  GDocumentStart unknown;
  RestoreContentsFromFileBytes(unknown, bytes);
  EXPECT_EQ(unknown.GetGraphicsDevice(), nullptr);
}

}  // namespace
