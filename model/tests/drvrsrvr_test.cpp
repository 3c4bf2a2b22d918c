#include "model/os/drvrsrvr.h"
#include "model/os/fatal_error.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "foundation/persistence.h"
#include "foundation/testing/string_printers.h"
#include "model/objects/model_stream.h"
#include "model/os/osfactry.h"
#include "model/tests/os_services_test_support.h"

namespace {

constexpr const char kPlain501[] = "Error id = 501  (No error string table, yet...)";

int fontPoolClears = 0;
void CountFontPoolClear() { ++fontPoolClears; }

// A server over the stand-in factory making FakeDrivers, whose data file
// holds a device root and the mapping lists.
class DriverServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    factory_ = new TestOSFactory(events_);
    GOSFactory::SetInstance(factory_);
    WriteDriverDataFile(dataFile_, true);
    factory_->SetDriverDataFile(RWWString("Driver A"), Wide(dataFile_));
    factory_->SetDriverDataFile(RWWString("Driver B"), Wide(dataFile_));
    CreateServer();
    fontPoolClears = 0;
    GDriverServer::SetFontPoolClear(CountFontPoolClear);
  }

  void TearDown() override {
    GDriverServer::SetFontPoolClear(nullptr);
    delete GDriverServer::Instance();
    delete factory_;
    std::remove(dataFile_.c_str());
  }

  void CreateServer() {
    delete GDriverServer::Instance();
    CreateDriverServer();
    server_ = GDriverServer::Instance();
  }

  FakeDriver* Open(const char* printer, const char* driver, uint32_t& handle) {
    return FakeDriver::From(server_->Open(Identity(printer, driver), handle));
  }

  DriverEvents events_;
  TestOSFactory* factory_ = nullptr;
  GDriverServer* server_ = nullptr;
  std::string dataFile_ = TempPath("drvrsrvr_test.dat");
  FatalRecorder fatal_;
};

TEST_F(DriverServerTest, OpenLoadsTheDriverObjectFromItsDataFile) {
  uint32_t handle = 0;
  FakeDriver* driver = Open("P1", "Driver A", handle);
  ASSERT_NE(driver, nullptr);
  EXPECT_NE(handle, 0u);
  EXPECT_EQ(FakeDriver::From(server_->LookupHandle(handle)), driver);

  ASSERT_NE(driver->Root(), nullptr);
  EXPECT_EQ(driver->Root()->Key(), 353);
  ASSERT_NE(driver->ResourceMappings(), nullptr);
  ASSERT_NE(driver->ResourceMappings()->FindByOsId(1), nullptr);
  EXPECT_EQ(driver->ResourceMappings()->FindByOsId(1)->DeviceId(), 17);
  ASSERT_NE(driver->TrayMap(), nullptr);
  EXPECT_EQ(driver->TrayMap()->Key(), 84);
  ASSERT_NE(driver->ExtraMappings(), nullptr);
  EXPECT_NE(driver->ExtraMappings()->FindByOsId(9), nullptr);

  uint32_t found = 0;
  EXPECT_EQ(server_->FindHandleOf(GDriverServer::kUITable, driver, found), 1);
  EXPECT_EQ(found, handle);
  EXPECT_EQ(server_->FindHandleOf(GDriverServer::kRenderTable, driver, found), 0);
  server_->Close(handle);
  EXPECT_EQ(server_->LookupHandle(handle), nullptr);
  EXPECT_TRUE(fatal_.Messages().empty());
}

TEST_F(DriverServerTest, AFileWithoutExtraMappingsGivesAnEmptyList) {
  WriteDriverDataFile(dataFile_, false);
  uint32_t handle = 0;
  FakeDriver* driver = Open("P1", "Driver A", handle);
  ASSERT_NE(driver, nullptr);
  ASSERT_NE(driver->ExtraMappings(), nullptr);
  EXPECT_EQ(driver->ExtraMappings()->Key(), 194);
  EXPECT_EQ(driver->ExtraMappings()->EntryCount(), 0u);
  server_->Close(handle);
}

// Without an object, or without a readable data file, Open answers null,
// leaves the handle alone and still deletes the key.
TEST_F(DriverServerTest, FailedOpensDeleteTheKeyAndLeaveTheHandle) {
  std::atomic<int> keysDeleted{0};
  uint32_t handle = 77;
  factory_->SetDriverDataFile(RWWString("Driver C"), Wide(TempPath("no-such-driver-file.dat")));
  EXPECT_EQ(server_->Open(std::make_unique<CountedIdentity>("P1", "Driver C", &keysDeleted), handle), nullptr);
  EXPECT_EQ(handle, 77u);
  EXPECT_EQ(keysDeleted, 1);
  EXPECT_EQ(events_.created, 1);
  EXPECT_EQ(events_.deleted, 1);

  // A data file whose root is not an attribute.
  {
    GOutputStream out(Wide(dataFile_), kBinaryStreamFormat);
    GResourceMappingList notAnAttribute(5);
    WriteObjectToStream(&notAnAttribute, *out.Stream());
  }
  EXPECT_EQ(server_->Open(std::make_unique<CountedIdentity>("P1", "Driver A", &keysDeleted), handle), nullptr);
  EXPECT_EQ(keysDeleted, 2);

  EXPECT_EQ(server_->Open(nullptr, handle), nullptr);
  EXPECT_EQ(handle, 77u);
}

TEST_F(DriverServerTest, ACachedObjectIsReusedForTheSameDriverOnly) {
  uint32_t first = 0;
  FakeDriver* driver = Open("P1", "Driver A", first);
  ASSERT_NE(driver, nullptr);
  server_->Close(first);
  EXPECT_EQ(events_.jobReleases, 1);

  // The same driver: the cached object, re-targeted, without reading the
  // data file again.
  std::remove(dataFile_.c_str());
  uint32_t second = 0;
  EXPECT_EQ(Open("P2", "Driver A", second), driver);
  EXPECT_EQ(events_.created, 1);
  EXPECT_EQ(events_.invalidated, 1);
  EXPECT_EQ(driver->GetPrinterName(), RWWString("P2"));
  server_->Close(second);

  // Another driver: a new object (which fails here, for want of a data
  // file); the cached one stays.
  uint32_t third = 0;
  EXPECT_EQ(Open("P3", "Driver B", third), nullptr);
  WriteDriverDataFile(dataFile_, true);
  FakeDriver* other = Open("P3", "Driver B", third);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, driver);
  EXPECT_EQ(events_.deleted, 1);

  // Closing it makes it the cached object and deletes the one before.
  server_->Close(third);
  EXPECT_EQ(events_.deleted, 2);
  EXPECT_EQ(Open("P3", "Driver B", third), other);
  server_->Close(third);
}

TEST_F(DriverServerTest, TwoOpensOfOnePrinterGiveTwoObjects) {
  uint32_t first = 0;
  uint32_t second = 0;
  FakeDriver* a = Open("P1", "Driver A", first);
  FakeDriver* b = Open("P1", "Driver A", second);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_NE(first, second);
  server_->Close(first);
  server_->Close(second);
}

TEST_F(DriverServerTest, ClosingAnUnknownHandleIsFatalUnlessShuttingDown) {
  uint32_t handle = 0;
  ASSERT_NE(Open("P1", "Driver A", handle), nullptr);
  server_->Close(handle);
  server_->Close(handle);
  EXPECT_EQ(fatal_.Messages(), std::vector<std::string>{kPlain501});
  EXPECT_EQ(fatal_.Exits(), std::vector<int>{3});

  fatal_.Clear();
  server_->Shutdown();
  server_->Close(handle);
  server_->CloseRender(12345);
  EXPECT_TRUE(fatal_.Messages().empty());
}

TEST_F(DriverServerTest, ShutdownDeletesTheCacheAndClosedObjectsFromThenOn) {
  uint32_t first = 0;
  uint32_t second = 0;
  ASSERT_NE(Open("P1", "Driver A", first), nullptr);
  ASSERT_NE(Open("P2", "Driver A", second), nullptr);
  server_->Close(first);
  server_->Shutdown();
  EXPECT_EQ(events_.deleted, 1);
  server_->Close(second);
  EXPECT_EQ(events_.deleted, 2);
  EXPECT_EQ(server_->ReleaseCachedObjects(), 0);

  // The render table emptying clears the font pool and ends the shutdown:
  // objects are cached again.
  factory_->makesRenderObjects = true;
  uint32_t render = 0;
  ASSERT_NE(server_->OpenRender(Identity("P1", "Driver A"), render), nullptr);
  server_->CloseRender(render);
  EXPECT_EQ(fontPoolClears, 1);
  ASSERT_NE(Open("P1", "Driver A", first), nullptr);
  server_->Close(first);
  EXPECT_EQ(server_->ReleaseCachedObjects(), 1);
}

TEST_F(DriverServerTest, RenderSideHasItsOwnTableAndCache) {
  uint32_t handle = 0;
  EXPECT_EQ(server_->OpenRender(Identity("P1", "Driver A"), handle), nullptr);
  factory_->makesRenderObjects = true;
  FakeDriver* device = FakeDriver::From(server_->OpenRender(Identity("P1", "Driver A"), handle));
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(FakeDriver::From(server_->FindRenderObject(handle)), device);
  EXPECT_EQ(server_->LookupHandle(handle), nullptr);

  uint32_t uiHandle = 0;
  FakeDriver* host = Open("P1", "Driver A", uiHandle);
  ASSERT_NE(host, nullptr);
  EXPECT_NE(host, device);

  server_->CloseRender(handle);
  EXPECT_EQ(fontPoolClears, 1);
  EXPECT_EQ(server_->FindRenderObject(handle), nullptr);
  // Reused on the render side only.
  EXPECT_EQ(FakeDriver::From(server_->OpenRender(Identity("P2", "Driver A"), handle)), device);
  server_->CloseRender(handle);
  server_->Close(uiHandle);
}

TEST_F(DriverServerTest, ReleaseMemoryFreesTheCacheFirstThenAsksTheObjects) {
  uint32_t first = 0;
  uint32_t second = 0;
  FakeDriver* a = Open("P1", "Driver A", first);
  FakeDriver* b = Open("P2", "Driver A", second);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  server_->Close(first);

  EXPECT_EQ(server_->ReleaseMemory(), 1);
  EXPECT_EQ(events_.deleted, 1);
  EXPECT_EQ(events_.memoryAsked, 0);

  EXPECT_EQ(server_->ReleaseMemory(), 0);
  EXPECT_EQ(events_.memoryAsked, 1);
  b->memoryAnswer = 5;
  EXPECT_EQ(server_->ReleaseMemory(), 5);
  server_->Close(second);
}

// ClearTables deletes every registered object; render objects first give
// back their job resources.
TEST_F(DriverServerTest, ClearTablesDeletesEveryRegisteredObject) {
  factory_->makesRenderObjects = true;
  uint32_t handles[3] = {};
  ASSERT_NE(Open("P1", "Driver A", handles[0]), nullptr);
  ASSERT_NE(Open("P2", "Driver A", handles[1]), nullptr);
  ASSERT_NE(server_->OpenRender(Identity("P3", "Driver A"), handles[2]), nullptr);
  server_->ReleaseCachedObjects();
  server_->ClearTables();
  EXPECT_EQ(events_.deleted, 3);
  EXPECT_EQ(events_.jobReleases, 1);
  EXPECT_EQ(server_->LookupHandle(handles[0]), nullptr);
  EXPECT_EQ(server_->FindRenderObject(handles[2]), nullptr);
}

// Deleting the server deletes what it still holds; a new server replaces
// and deletes the one before.
TEST_F(DriverServerTest, ANewServerReplacesTheOldOne) {
  uint32_t first = 0;
  uint32_t second = 0;
  ASSERT_NE(Open("P1", "Driver A", first), nullptr);
  ASSERT_NE(Open("P2", "Driver A", second), nullptr);
  server_->Close(first);
  new GDriverServer;
  EXPECT_NE(GDriverServer::Instance(), server_);
  EXPECT_EQ(events_.deleted, 2);
  CreateDriverServer();
  server_ = GDriverServer::Instance();
}

TEST_F(DriverServerTest, FatalErrorTypes) {
  uint32_t handle = 0;
  ASSERT_NE(Open("P1", "Driver A", handle), nullptr);
  server_->Close(handle);

  ReportFatalError(3, 101, "file", 1, "ignored");
  EXPECT_EQ(fatal_.Messages(), std::vector<std::string>{"Error id = 101  (No error string table, yet...)"});
  EXPECT_TRUE(fatal_.Exits().empty());
  EXPECT_EQ(events_.deleted, 0);

  fatal_.Clear();
  ReportFatalError(kFatalTypeExit, 302, "file", 2);
  EXPECT_EQ(fatal_.Messages(), std::vector<std::string>{"Error id = 302  (No error string table, yet...)"});
  EXPECT_EQ(fatal_.Exits(), std::vector<int>{3});
  EXPECT_EQ(events_.deleted, 0);

  // Type 2 shuts the server down (the cached object goes) before the end.
  fatal_.Clear();
  ReportFatalError(kFatalTypeShutdown, 301, "file", 3);
  EXPECT_EQ(fatal_.Messages(),
            std::vector<std::string>{"There has been a critical error and the printer driver cannot continue.  "
                                     "Save your work, and exit the current application.  (Error id = 301)"});
  EXPECT_EQ(fatal_.Exits(), std::vector<int>{3});
  EXPECT_EQ(events_.deleted, 1);
  server_->Close(handle);
  EXPECT_EQ(fatal_.Messages().size(), 1u);
}

// Lock failures are fatal errors of type 2; the operation then leaves the
// table alone.
TEST_F(DriverServerTest, FailedLocksAreReported) {
  factory_->useFailingLocks = true;
  CreateServer();
  factory_->failLock = true;
  uint32_t handle = 0;
  EXPECT_EQ(Open("P1", "Driver A", handle), nullptr);
  ASSERT_FALSE(fatal_.Messages().empty());
  EXPECT_NE(fatal_.Messages().front().find("(Error id = 301)"), std::string::npos);
  EXPECT_EQ(events_.created, events_.deleted);

  factory_->failLock = false;
  factory_->failUnlock = true;
  fatal_.Clear();
  EXPECT_NE(Open("P1", "Driver A", handle), nullptr);
  ASSERT_FALSE(fatal_.Messages().empty());
  EXPECT_NE(fatal_.Messages().front().find("(Error id = 302)"), std::string::npos);
  factory_->failUnlock = false;
  server_->Close(handle);
}

// A driver object that runs out of memory while the server holds the lock
// of its side (in ReleaseJobResources, or while it is asked for memory)
// makes the new handler call ReleaseMemory on the same thread: that must
// come back, having released what it could elsewhere.
void ReleaseMemoryFromInside() { GDriverServer::Instance()->ReleaseMemory(); }

TEST_F(DriverServerTest, MemoryReleaseFromInsideALockedSideDoesNotDeadlock) {
  factory_->makesRenderObjects = true;
  uint32_t render = 0;
  ASSERT_NE(server_->OpenRender(Identity("P9", "Driver A"), render), nullptr);
  uint32_t other = 0;
  ASSERT_NE(server_->OpenRender(Identity("P8", "Driver A"), other), nullptr);
  server_->CloseRender(other);

  uint32_t handle = 0;
  FakeDriver* driver = Open("P1", "Driver A", handle);
  ASSERT_NE(driver, nullptr);
  driver->onReleaseJobResources = ReleaseMemoryFromInside;
  server_->Close(handle);
  // The render side's cached object was released from inside the UI lock.
  EXPECT_EQ(events_.deleted, 1);

  ASSERT_EQ(Open("P1", "Driver A", handle), driver);
  driver->onReleaseJobResources = nullptr;
  driver->onReleaseCachedMemory = ReleaseMemoryFromInside;
  EXPECT_EQ(server_->ReleaseMemory(), 0);
  driver->onReleaseCachedMemory = nullptr;
  server_->Close(handle);
  server_->CloseRender(render);
}

TEST_F(DriverServerTest, ConcurrentOpensAndClosesThread) {
  constexpr int kThreads = 6;
  constexpr int kRounds = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      const char* driverName = t % 2 == 0 ? "Driver A" : "Driver B";
      for (int round = 0; round < kRounds; ++round) {
        uint32_t handle = 0;
        GUIDriver* driver = server_->Open(Identity("P", driverName), handle);
        ASSERT_NE(driver, nullptr);
        EXPECT_EQ(server_->LookupHandle(handle), driver);
        if (round % 50 == 0) server_->ReleaseMemory();
        server_->Close(handle);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(fatal_.Messages().empty());
  server_->ReleaseCachedObjects();
  server_->ClearTables();
  EXPECT_EQ(events_.created, events_.deleted);
}

}  // namespace
