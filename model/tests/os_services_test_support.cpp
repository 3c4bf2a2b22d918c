#include "model/tests/os_services_test_support.h"

#include <gtest/gtest.h>

#include <mutex>

#include "foundation/class_registrar.h"
#include "foundation/persistence.h"
#include "foundation/testing/scratch_files.h"
#include "model/attributes/attribute_composite.h"
#include "model/objects/model_stream.h"
#include "model/objects/object_ref.h"
#include "model/os/semaphore_lock.h"
#include "platform/process_hooks.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<TestDeviceRoot>, TestDeviceRoot::kID, "TestDeviceRoot");

std::mutex recordsMutex;
std::vector<std::string> messages;
std::vector<int> exits;

void RecordMessage(const char*, const char* text) {
  std::lock_guard guard(recordsMutex);
  messages.emplace_back(text);
}

void RecordExit(int code) {
  std::lock_guard guard(recordsMutex);
  exits.push_back(code);
}

}  // namespace

RWWString Wide(const std::string& text) { return RWWString(text.c_str()); }

// The process's scratch directory keeps its files apart from other test
// processes; each test's files carry its name.
std::string TempPath(const char* name) {
  static const ScratchDirectory directory;
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string prefix = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() + "." : "";
  return directory.File(prefix + name);
}

CountedIdentity::CountedIdentity(const char* printer, const char* driver, std::atomic<int>* deletions)
    : GPrinterIdentity(nullptr, RWWString(printer), RWWString(driver), RWWString("LPT1:"), 0), deletions_(deletions) {}

CountedIdentity::~CountedIdentity() { ++*deletions_; }

std::unique_ptr<GPrinterIdentity> Identity(const char* printer, const char* driver) {
  return std::make_unique<GPrinterIdentity>(nullptr, RWWString(printer), RWWString(driver), RWWString("LPT1:"), 0);
}

FakeDriver::FakeDriver(const GDriverKey& key, DriverEvents& events) : events_(events) {
  if (const auto* identity = dynamic_cast<const GPrinterIdentity*>(&key)) {
    printerName_ = identity->PrinterName();
    driverName_ = identity->DriverName();
  }
  ++events_.created;
}

FakeDriver::~FakeDriver() { ++events_.deleted; }

std::unique_ptr<GDriverKey> FakeDriver::CreatePrinterIdentity() const {
  return std::make_unique<GPrinterIdentity>(nullptr, printerName_, driverName_, RWWString("LPT1:"), 0);
}

void FakeDriver::Invalidate(const GDriverKey& key) {
  if (const auto* identity = dynamic_cast<const GPrinterIdentity*>(&key)) printerName_ = identity->PrinterName();
  ++events_.invalidated;
}

void FakeDriver::ReleaseJobResources() {
  ++events_.jobReleases;
  if (onReleaseJobResources != nullptr) onReleaseJobResources();
}

int32_t FakeDriver::ReleaseCachedMemory() {
  ++events_.memoryAsked;
  if (onReleaseCachedMemory != nullptr) onReleaseCachedMemory();
  return memoryAnswer;
}

FakeDriver* FakeDriver::From(GUIDriver* side) {
  return side != nullptr ? reinterpret_cast<Side*>(side)->owner : nullptr;
}

FakeDriver* FakeDriver::From(GGraphicsDevice* side) {
  return side != nullptr ? reinterpret_cast<Side*>(side)->owner : nullptr;
}

TestOSFactory::TestOSFactory(DriverEvents& events, std::unique_ptr<GSettingsCodecInterface> codec)
    : GMemoryOSFactory(std::move(codec)), events_(events) {}

std::unique_ptr<GDriverInterface> TestOSFactory::CreateDriverObject(const GDriverKey& key) {
  return std::make_unique<FakeDriver>(key, events_);
}

std::unique_ptr<GDriverInterface> TestOSFactory::CreateRenderDriverObject(const GDriverKey& key) {
  if (!makesRenderObjects) return nullptr;
  return std::make_unique<FakeDriver>(key, events_);
}

std::unique_ptr<GLock> TestOSFactory::CreateLock() {
  if (useFailingLocks) return std::make_unique<FailingLock>(failLock, failUnlock);
  return std::make_unique<GSemaphoreLock>();
}

namespace {

// The root of a driver data file as the files hold it: an attribute
// composite whose children include the mapping lists, which are no
// attributes (a composite restores its children without a kind test, but
// adds only attributes).
class DataFileRoot : public GAttributeComposite {
 public:
  using GAttributeComposite::GAttributeComposite;
  void Hold(MPersistentObject* child) { held_.Append(GCountedPtr(child)); }

 protected:
  void Fields(GFieldArchive& archive) override {
    GAttribute::Fields(archive);
    if (archive.Version(FormatVersion())) archive.Children(held_);
  }

 private:
  GCountedPtrVector held_;
};

}  // namespace

void WriteDriverDataFile(const std::string& path, bool withExtraMappings) {
  DataFileRoot root(1);
  root.Hold(new TestDeviceRoot(353));
  auto* sizes = new GResourceMappingList(191);
  sizes->AddIfNew(new GResourceMapping(100, 1, 17, 0));
  root.Hold(sizes);
  auto* trays = new GResourceMappingList(84);
  trays->AddIfNew(new GResourceMapping(200, 7, 1001, 0));
  root.Hold(trays);
  if (withExtraMappings) {
    auto* extra = new GResourceMappingList(194);
    extra->AddIfNew(new GResourceMapping(300, 9, 5, 0));
    root.Hold(extra);
  }
  GOutputStream out(Wide(path), kBinaryStreamFormat);
  WriteObjectToStream(&root, *out.Stream());
  out.Stream()->Flush();
  ASSERT_TRUE(out.Stream()->IsGood());
}

FatalRecorder::FatalRecorder() {
  Clear();
  platform::SetFatalMessageSink(RecordMessage);
  platform::SetProcessExitHook(RecordExit);
}

FatalRecorder::~FatalRecorder() {
  platform::SetFatalMessageSink(nullptr);
  platform::SetProcessExitHook(nullptr);
}

std::vector<std::string> FatalRecorder::Messages() const {
  std::lock_guard guard(recordsMutex);
  return messages;
}

std::vector<int> FatalRecorder::Exits() const {
  std::lock_guard guard(recordsMutex);
  return exits;
}

void FatalRecorder::Clear() {
  std::lock_guard guard(recordsMutex);
  messages.clear();
  exits.clear();
}
