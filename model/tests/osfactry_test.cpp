#include "model/os/osfactry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "foundation/testing/string_printers.h"
#include "model/objects/persistable_number.h"
#include "model/os/lock.h"
#include "model/os/memory_os_factory.h"
#include "model/tests/os_services_test_support.h"
#include "platform/file_path.h"

namespace {

std::string Narrow(const RWWString& text) { return std::string(text.ToAscii().Data(), text.Length()); }

// A factory whose random numbers and existing files the test chooses.
class ScriptedFactory : public GMemoryOSFactory {
 public:
  std::vector<int32_t> randoms;
  size_t next = 0;
  std::set<std::string> existing;
  bool creates = true;
  int seeds = 0;
  int existsAsked = 0;
  std::vector<std::string> created;

  void SeedRandom() override { ++seeds; }
  int32_t Random() override { return randoms.empty() ? 0 : randoms[next++ % randoms.size()]; }
  int32_t FileExists(const RWWString& path) override {
    ++existsAsked;
    return existing.count(Narrow(path)) != 0 ? 1 : 0;
  }
  int32_t CreateEmptyFile(const RWWString& path) override {
    if (creates) created.push_back(Narrow(path));
    return creates ? 1 : 0;
  }
  WideChar PathSeparator() override { return '\\'; }
};

class OSFactoryTest : public ::testing::Test {
 protected:
  void TearDown() override { delete factory_; }

  ScriptedFactory* factory_ = new ScriptedFactory;
};

TEST_F(OSFactoryTest, UniqueNamesFillThePatternWithBase36Digits) {
  struct Case {
    const char* name;
    const char* directory;
    const char* pattern;
    std::vector<int32_t> randoms;
    const char* expected;
  };
  const Case cases[] = {
      {"default_pattern", "C:\\spool", "", {0, 9, 10, 35, 36, 71, 1, 2, 3, 4, 5}, "C:\\spool\\09AZ0Z12.345"},
      {"directory_with_separator", "C:\\spool\\", "qvrom&&1.qvd", {11, 12}, "C:\\spool\\qvromBC1.qvd"},
      {"no_directory", "", "PCM&&&&&.PFM", {1, 2, 3, 4, 5}, "PCM12345.PFM"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->randoms = c.randoms;
    factory_->next = 0;
    RWWString path;
    ASSERT_EQ(factory_->MakeUniqueName(path, RWWString(c.directory), RWWString(c.pattern), 0), 1);
    EXPECT_EQ(Narrow(path), c.expected);
  }
  EXPECT_TRUE(factory_->created.empty());
}

TEST_F(OSFactoryTest, TakenNamesAreSkippedAndCreateReservesTheName) {
  factory_->randoms = {1, 2};
  factory_->existing = {"d\\1", "d\\2"};
  RWWString path;
  // "&" draws 1 (taken), then 2 (taken), then 1 again ... until a try runs
  // out: every name is taken, so the search ends with a failure.
  EXPECT_EQ(factory_->MakeUniqueName(path, RWWString("d"), RWWString("&"), 1), 0);
  EXPECT_EQ(path.Length(), 0u);
  EXPECT_EQ(factory_->seeds, 1);

  factory_->randoms = {1, 2, 3};
  factory_->next = 0;
  ASSERT_EQ(factory_->MakeUniqueName(path, RWWString("d"), RWWString("&"), 1), 1);
  EXPECT_EQ(Narrow(path), "d\\3");
  EXPECT_EQ(factory_->created, std::vector<std::string>{"d\\3"});

  // A name that can never be created ends the search too.
  factory_->creates = false;
  EXPECT_EQ(factory_->MakeUniqueName(path, RWWString("d"), RWWString("&&&&"), 1), 0);
}

// The stand-in's own file operations: the returned name is free, and with
// create set an empty file of that name is left behind.
TEST(MemoryOSFactoryFiles, UniqueNameInARealDirectory) {
  auto* factory = new GMemoryOSFactory;
  const std::filesystem::path directory = std::filesystem::path(TempPath("unique-names"));
  std::filesystem::create_directories(directory);
  const std::basic_string<WideChar> wide = platform::FromFilePath(directory);
  RWWString path;
  ASSERT_EQ(factory->MakeUniqueName(path, RWWString(wide.data(), static_cast<uint32_t>(wide.size())), RWWString(), 1),
            1);
  const std::filesystem::path made = platform::ToFilePath(path.Data(), path.Length());
  EXPECT_EQ(made.parent_path(), directory);
  EXPECT_EQ(made.filename().string().size(), 12u);
  EXPECT_TRUE(std::filesystem::is_regular_file(made));
  EXPECT_EQ(std::filesystem::file_size(made), 0u);
  EXPECT_EQ(factory->FileExists(path), 1);
  std::filesystem::remove_all(directory);

  // A directory that does not exist: no name can be created.
  EXPECT_EQ(
      factory->MakeUniqueName(path, RWWString(wide.data(), static_cast<uint32_t>(wide.size())), RWWString("&&.tmp"), 1),
      0);
  delete factory;
}

TEST_F(OSFactoryTest, GetOSVersionAnswersTheSystemsVersion) {
  const GOSVersion expected = QueryOSVersion();
  GOSVersion record{1, 2, 3};
  EXPECT_EQ(factory_->GOSFactory::GetOSVersion(record), expected);
  EXPECT_EQ(record, expected);
}

TEST_F(OSFactoryTest, SmallDefaults) {
  RWWString pattern;
  factory_->UniqueNamePattern(pattern);
  EXPECT_EQ(Narrow(pattern), "&&&&&&&&.&&&");
  EXPECT_EQ(factory_->SpareQuery(), -1);
  EXPECT_EQ(factory_->ForgetOutputAtDocumentStart(), 0);
  EXPECT_EQ(factory_->IsProgressSuppressed(), 0);
  EXPECT_EQ(factory_->CreateJobObject(nullptr), nullptr);
  EXPECT_EQ(factory_->CreateFontObject(), nullptr);
  EXPECT_EQ(factory_->CreateMiniInstallerLoader(RWWString("P"), nullptr, nullptr), nullptr);
  int object = 0;
  EXPECT_EQ(factory_->Self(&object), &object);
  factory_->SetModuleInstance(&object);
  EXPECT_EQ(factory_->GetModuleInstance(), &object);
  void* block = factory_->Allocate(64);
  EXPECT_NE(block, nullptr);
  factory_->Free(block);
  factory_->Free(nullptr);
}

// The rendering side's names for the companion operations reach the
// factory's own operations; whether progress is suppressed is a question of
// its own, not the output-forgetting one.
TEST(OSFactoryNames, RenderingSideNamesReachTheFactorysOperations) {
  struct Companions : GMemoryOSFactory {
    std::unique_ptr<MPersistentObject> CreateDeviceCompanion(GGraphicsDevice* device) override {
      askedFor = device;
      return std::make_unique<GPersistableULong>(7);
    }
    std::unique_ptr<MPersistentObject> CreateFontCompanion() override { return std::make_unique<GPersistableULong>(8); }
    int32_t ForgetOutputAtDocumentStart() override { return 1; }
    GGraphicsDevice* askedFor = nullptr;
  };
  Companions factory;
  int device = 0;
  const std::unique_ptr<MPersistentObject> job = factory.CreateJobObject(reinterpret_cast<GGraphicsDevice*>(&device));
  ASSERT_NE(dynamic_cast<GPersistableULong*>(job.get()), nullptr);
  EXPECT_EQ(static_cast<GPersistableULong&>(*job).Value(), 7u);
  EXPECT_EQ(factory.askedFor, reinterpret_cast<GGraphicsDevice*>(&device));
  const std::unique_ptr<MPersistentObject> font = factory.CreateFontObject();
  ASSERT_NE(dynamic_cast<GPersistableULong*>(font.get()), nullptr);
  EXPECT_EQ(static_cast<GPersistableULong&>(*font).Value(), 8u);
  EXPECT_EQ(factory.IsProgressSuppressed(), 0);
}

// Constructing a factory deletes the one constructed before, and the
// current instance never points at a deleted factory.
TEST(OSFactoryLifetime, ANewFactoryDeletesThePreviousOne) {
  struct Counted : GMemoryOSFactory {
    explicit Counted(int* deletions) : deletions_(deletions) {}
    ~Counted() override { ++*deletions_; }
    int* deletions_;
  };
  int deletions = 0;
  GOSFactory::SetInstance(new Counted(&deletions));
  ASSERT_NE(GOSFactory::Instance(), nullptr);
  auto* next = new Counted(&deletions);
  EXPECT_EQ(deletions, 1);
  EXPECT_EQ(GOSFactory::Instance(), nullptr);
  GOSFactory::SetInstance(next);
  EXPECT_EQ(CreateMemoryOSFactory(), next);
  delete next;
  EXPECT_EQ(deletions, 2);
  EXPECT_EQ(GOSFactory::Instance(), nullptr);

  GOSFactory* made = CreateMemoryOSFactory();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(CreateMemoryOSFactory(), made);
  delete made;
}

TEST(OSFactoryLocks, CreateCheckedMakesOneLockAndReportsAFailedFactoryLock) {
  DriverEvents events;
  auto* factory = new TestOSFactory(events);
  std::atomic<GLock*> lock{nullptr};
  factory->CreateChecked(lock);
  GLock* made = lock.load();
  ASSERT_NE(made, nullptr);
  factory->CreateChecked(lock);
  EXPECT_EQ(lock.load(), made);
  delete made;
  delete factory;
}

TEST(OSFactoryLocksThread, ConcurrentCreateCheckedKeepsOneLock) {
  auto* factory = new GMemoryOSFactory;
  for (int round = 0; round < 20; ++round) {
    std::atomic<GLock*> lock{nullptr};
    std::vector<GLock*> seen(8);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < seen.size(); ++t) {
      threads.emplace_back([&, t] {
        factory->CreateChecked(lock);
        seen[t] = lock.load();
      });
    }
    for (std::thread& thread : threads) thread.join();
    for (GLock* each : seen) EXPECT_EQ(each, seen.front());
    delete lock.load();
  }
  delete factory;
}

// A factory whose own lock fails: the failure is fatal error 301 (or 302)
// of type 2 with the factory's source name, and no lock is made after a
// failed lock.
class FailingFactoryLock : public GMemoryOSFactory {
 public:
  FailingFactoryLock() {
    useFailing = true;
    MakeFactoryLock();
  }
  std::unique_ptr<GLock> CreateLock() override {
    if (useFailing) return std::make_unique<FailingLock>(failLock, failUnlock);
    return GMemoryOSFactory::CreateLock();
  }
  bool useFailing = false;
  std::atomic<bool> failLock{false};
  std::atomic<bool> failUnlock{false};
};

TEST(OSFactoryLocks, FailuresOfTheFactoryLockAreFatal) {
  FatalRecorder fatal;
  auto* factory = new FailingFactoryLock;
  factory->useFailing = false;
  std::atomic<GLock*> lock{nullptr};
  factory->failLock = true;
  factory->CreateChecked(lock);
  EXPECT_EQ(lock.load(), nullptr);
  ASSERT_EQ(fatal.Messages().size(), 1u);
  EXPECT_NE(fatal.Messages()[0].find("(Error id = 301)"), std::string::npos);
  EXPECT_EQ(fatal.Exits(), std::vector<int>{3});

  fatal.Clear();
  factory->failLock = false;
  factory->failUnlock = true;
  factory->CreateChecked(lock);
  EXPECT_NE(lock.load(), nullptr);
  ASSERT_EQ(fatal.Messages().size(), 1u);
  EXPECT_NE(fatal.Messages()[0].find("(Error id = 302)"), std::string::npos);
  delete lock.load();
  delete factory;
}

}  // namespace
