// The job's font database: bodies and their uses, the font file beside the
// spooled pages, handles that find their bodies again after a load, the
// files a job leaves behind, and two jobs on one TrueType pool.
#include "graphics/fonts/font_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "foundation/testing/scratch_files.h"
#include "graphics/fonts/testing/memory_font_data.h"
#include "graphics/fonts/testing/test_font.h"
#include "graphics/fonts/truetype/tt_font_file.h"
#include "graphics/fonts/truetype/tt_font_pool.h"
#include "graphics/testing/test_graphics_device.h"
#include "graphics/tests/stored_parts.h"
#include "model/os/drvrsrvr.h"
#include "model/os/memory_os_factory.h"

namespace {

namespace fs = std::filesystem;

RWWString Wide(const std::string& path) { return RWWString(path.c_str()); }

GFontInfo Info() {
  GFontInfo info;
  info.resolution = 600;
  info.height = 40;
  info.firstCode = 32;
  info.lastCode = 126;
  info.faceName = "Face";
  return info;
}

// A body without a platform font, which tells when it is deleted.
class TrackedBody : public TestFontImp {
 public:
  explicit TrackedBody(bool& deleted) : TestFontImp(Info(), GFontMetrics{}, nullptr), deleted_(deleted) {
    deleted_ = false;
  }
  ~TrackedBody() override { deleted_ = true; }

 private:
  bool& deleted_;
};

// A device that owns a job's font database, as the device of a job does.
class DatabaseDevice : public TestGraphicsDevice {
 public:
  GFontDatabase* GetFontDatabase() const override { return database.get(); }

  std::unique_ptr<GFontDatabase> database = std::make_unique<GFontDatabase>(this);
};

size_t FilesIn(const std::string& directory) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(directory)) ++count;
  return count;
}

// The test's OS factory and a driver server whose render table holds the
// devices the test opens.
class FontDatabaseTest : public ::testing::Test {
 protected:
  FontDatabaseTest() : before_(GOSFactory::Instance()) {
    GOSFactory::SetInstance(&factory_);
    server_ = std::make_unique<GDriverServer>();
  }
  ~FontDatabaseTest() override {
    server_.reset();
    if (GTTFontPool* pool = GTTFontPool::Instance()) pool->ReleaseAll();
    GTTFontPool::Destroy();
    GOSFactory::SetInstance(before_);
  }

  DatabaseDevice& OpenDevice() {
    auto device = std::make_unique<DatabaseDevice>();
    DatabaseDevice& opened = *device;
    EXPECT_NE(server_->Register(GDriverServer::kRenderTable, std::move(device)), 0U);
    return opened;
  }

  GMemoryOSFactory factory_;
  GOSFactory* before_;
  std::unique_ptr<GDriverServer> server_;
};

TEST_F(FontDatabaseTest, EachEntryHoldsOneUseOfItsBody) {
  GFontDatabase database(nullptr);
  bool deleted = false;
  auto* body = new TrackedBody(deleted);
  body->SetChangeCount(2);
  auto handle = std::make_unique<TestFont>(body);
  const uint32_t id = body->GetFontId();
  EXPECT_EQ(database.Add(body), 1);
  EXPECT_EQ(database.Add(body), 0);
  EXPECT_EQ(body->UseCount(), 2);
  EXPECT_TRUE(database.Contains(id));
  EXPECT_EQ(database.GetCount(), 1U);

  struct Case {
    const char* name;
    uint32_t id;
    uint32_t minimumChange;
    bool found;
  };
  const Case cases[] = {{"older_asked", id, 1, true},
                        {"as_new", id, 2, true},
                        {"newer_asked", id, 3, false},
                        {"other_id", id + 1, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GFontImp* found = database.Find(c.id, c.minimumChange);
    EXPECT_EQ(found, c.found ? body : nullptr);
    EXPECT_EQ(body->UseCount(), c.found ? 3 : 2);
    if (found != nullptr) found->DropUse();
  }

  EXPECT_EQ(database.Remove(id), body);
  EXPECT_EQ(database.Add(body), 1) << "uses unchanged by Remove: Add counts again";
  body->DropUse();
  EXPECT_EQ(database.Release(id), 1);
  EXPECT_EQ(database.Release(id), 0);
  EXPECT_FALSE(deleted) << "the handle still uses it";
  handle.reset();
  EXPECT_TRUE(deleted);

  // The entry's use is the last one: releasing it deletes the body.
  body = new TrackedBody(deleted);
  database.Add(body);
  database.Release(body->GetFontId());
  EXPECT_TRUE(deleted);
}

// Without a TrueType pool the job has no TrueType fonts (count 0); then come
// the marked bodies. Saving clears the marks, so a second save in a row
// writes no body; the file loads back without a pool.
TEST_F(FontDatabaseTest, TheFileHoldsTheTrueTypePartThenTheMarkedBodies) {
  ASSERT_EQ(GTTFontPool::Instance(), nullptr);
  GFontDatabase database(nullptr);
  auto* marked = new TestFontImp(Info(), GFontMetrics{}, nullptr);
  const TestFont held(marked);
  bool unmarkedDeleted = false;
  database.Add(marked);
  database.Add(new TrackedBody(unmarkedDeleted));
  marked->MarkForSave();
  const std::string body = SaveGraph(StoreForm::kFile, marked);

  const ScratchFile first;
  const ScratchFile second;
  EXPECT_EQ(database.SaveToFile(Wide(first.Path())), 1);
  EXPECT_EQ(first.Contents(), Words({0, 1, marked->GetFontId()}) + body);
  EXPECT_FALSE(marked->IsMarkedForSave());
  EXPECT_TRUE(unmarkedDeleted) << "unloaded: only the database held it";
  EXPECT_TRUE(database.Contains(marked->GetFontId())) << "a handle holds it";
  EXPECT_EQ(database.SaveToFile(Wide(second.Path())), 1);
  EXPECT_EQ(second.Contents(), Words({0, 0}));

  GFontDatabase loaded(nullptr);
  EXPECT_EQ(loaded.LoadFromFile(Wide(first.Path())), 1);
  GFontImp* restored = loaded.Find(marked->GetFontId(), 0);
  ASSERT_NE(restored, nullptr);
  EXPECT_NE(restored, marked);
  EXPECT_TRUE(restored->SameContent(*marked));
  EXPECT_EQ(restored->UseCount(), 2) << "the entry's use and the Find's";
  restored->DropUse();

  // A TrueType part whose font has no pool to go to is read and dropped,
  // and the bodies after it are still reached.
  GTTFontPool source;
  auto* font = new MemoryFontData(4);
  font->SetRequiredTables({memory_font::SimpleOutline(4)});
  const std::unique_ptr<GTTFontFile> fontHandle(source.NewFontFile(font));
  fontHandle->AddUser(0);
  const ScratchFile withFont;
  {
    GBinaryFile file(withFont.Path(), "wb");
    ASSERT_EQ(source.SaveToFile(file, 0), 1);
    file.Write(first.Contents().substr(4).data(), static_cast<uint32_t>(first.Contents().size() - 4));
  }
  GFontDatabase poolless(nullptr);
  EXPECT_EQ(poolless.LoadFromFile(Wide(withFont.Path())), 1);
  EXPECT_TRUE(poolless.Contains(marked->GetFontId()));
  source.ReleaseAll();
}

// A saved handle stores its device's handle and its body's ID and change
// count, and enters the body into the device's database once; after the
// spooled job's font file was loaded, restored handles find the body.
TEST_F(FontDatabaseTest, SavedHandlesFindTheirBodiesAfterTheFileWasLoaded) {
  DatabaseDevice& device = OpenDevice();
  GFontDatabase& database = *device.database;
  auto* body = new TestFontImp(Info());
  auto handle = std::make_unique<TestFont>(body, &device);
  const uint32_t id = body->GetFontId();

  const uint32_t size = handle->StoredSize();
  EXPECT_FALSE(database.Contains(id)) << "sizing is not saving";
  const std::string stored = SaveContentsToFileBytes(*handle);
  EXPECT_EQ(stored.size(), size);
  const std::string root = stored.substr(0, stored.size() - 16);
  EXPECT_EQ(stored, root + Words({1, device.GetHandle(), id, 0}));
  EXPECT_TRUE(body->IsMarkedForSave());
  EXPECT_EQ(body->UseCount(), 2) << "the handle's and the database's";
  SaveContentsToFileBytes(*handle);
  EXPECT_EQ(body->UseCount(), 2) << "saved again: still one entry";
  EXPECT_EQ(SaveContentsToFileBytes(TestFont()).substr(root.size()), Words({1, 0, 0xFFFFFFFF, 0xFFFFFFFF}));

  // The spooled page keeps only the stored handle.
  handle.reset();
  const ScratchDirectory directory;
  const RWWString file = Wide(directory.File("job.fnt"));
  ASSERT_EQ(database.SaveToFile(file), 1);
  EXPECT_EQ(database.GetCount(), 0U) << "nothing else held the body";
  ASSERT_EQ(database.LoadFromFile(file), 1);

  struct Case {
    const char* name;
    uint32_t device;
    uint32_t changeCount;
    bool found;
  };
  const Case cases[] = {{"as_saved", device.GetHandle(), 0, true},
                        {"newer_than_the_loaded_body", device.GetHandle(), 1, false},
                        {"unknown_device", 0xDEAD, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestFont restored;
    const std::string bytes = root + Words({1, c.device, id, c.changeCount});
    EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
    ASSERT_EQ(restored.GetBody() != nullptr, c.found);
    if (!c.found) continue;
    EXPECT_EQ(restored.GetDevice(), &device);
    EXPECT_EQ(restored.GetBody()->GetFontId(), id);
    EXPECT_EQ(restored.GetName(), "Face");
    EXPECT_EQ(restored.GetBody()->UseCount(), 2);
  }
  GFontImp* loaded = database.Find(id, 0);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->UseCount(), 2) << "the restored handle gave its use back";
  loaded->DropUse();
}

// Loading over a body that handles use keeps that body: an older one takes
// the saved change count, a newer one stays as it is.
TEST_F(FontDatabaseTest, ALoadedBodyMeetsTheBodyOfItsId) {
  struct Case {
    const char* name;
    uint32_t stored;
    uint32_t saved;
    uint32_t after;
  };
  const Case cases[] = {{"saved_is_newer", 1, 2, 2}, {"saved_is_older", 3, 2, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* body = new TestFontImp(Info());
    const TestFont handle(body);
    const ScratchFile file;
    GFontDatabase saving(nullptr);
    body->SetChangeCount(c.saved);
    body->MarkForSave();
    saving.Add(body);
    ASSERT_EQ(saving.SaveToFile(Wide(file.Path())), 1);

    GFontDatabase loading(nullptr);
    body->SetChangeCount(c.stored);
    loading.Add(body);
    EXPECT_EQ(loading.LoadFromFile(Wide(file.Path())), 1);
    EXPECT_EQ(loading.Find(body->GetFontId(), 0), body);
    EXPECT_EQ(body->GetChangeCount(), c.after);
    body->DropUse();
  }
}

// The file loaded last is not read again; a load that fails forgets it, so
// the same name is read again next time.
TEST_F(FontDatabaseTest, ALoadOfTheCurrentFileReadsNothingUntilALoadFails) {
  GFontDatabase database(nullptr);
  const ScratchFile current(Words({0, 0}));
  const ScratchFile broken(Words({0, 5}));
  const RWWString name = Wide(current.Path());
  EXPECT_EQ(database.LoadFromFile(name), 1);
  current.Store("x");
  EXPECT_EQ(database.LoadFromFile(name), 1) << "not read";
  EXPECT_EQ(database.LoadFromFile(Wide(current.Path() + std::string(".missing"))), 0);
  EXPECT_EQ(database.LoadFromFile(name), 1) << "a file that does not open changes nothing";
  EXPECT_EQ(database.LoadFromFile(Wide(broken.Path())), 0) << "five bodies promised, none there";
  EXPECT_EQ(database.LoadFromFile(name), 0) << "read again, and broken now";
}

// A save that fails after the file was opened (the device is full) still
// leaves a file to delete.
TEST_F(FontDatabaseTest, ReleaseAllDeletesEveryFileOpenedForSaving) {
  const ScratchDirectory directory;
  const fs::path folder = fs::path(directory.File("x")).parent_path();
  std::error_code error;
  fs::create_symlink("/dev/full", folder / "full.fnt", error);
  if (error || !fs::exists("/dev/full")) GTEST_SKIP() << "no full device to write to";

  GFontDatabase database(nullptr);
  auto* body = new TestFontImp(Info());
  body->MarkForSave();
  database.Add(body);
  const uint32_t id = body->GetFontId();
  EXPECT_EQ(database.SaveToFile(Wide(directory.File("full.fnt"))), 0);
  EXPECT_TRUE(database.Contains(id)) << "a failed save unloads nothing";
  EXPECT_EQ(database.SaveToFile(Wide(directory.File("good.fnt"))), 1);
  EXPECT_EQ(database.SaveToFile(Wide(directory.File("no/such/folder.fnt"))), 0);
  EXPECT_EQ(FilesIn(folder.string()), 2U);
  database.ReleaseAll();
  EXPECT_EQ(FilesIn(folder.string()), 0U);
  EXPECT_EQ(database.GetCount(), 0U);
}

// A spooling job saves its fonts beside each page and loads them back; when
// the job's database goes, no file is left.
TEST_F(FontDatabaseTest, SaveUnloadAndLoadCyclesLeaveNoFilesBehind) {
  GTTFontPool::SetInstance(std::make_unique<GTTFontPool>());
  DatabaseDevice& device = OpenDevice();
  const uint32_t owner = device.GetHandle();
  auto* font = new MemoryFontData(GTTFontPool::Instance()->NextKey());
  font->SetRequiredTables({memory_font::SimpleOutline(4)});
  const std::unique_ptr<GTTFontFile> fontHandle(GTTFontPool::Instance()->NewFontFile(font));
  const TestFont handle(new TestFontImp(Info()), &device);

  const ScratchDirectory directory;
  const std::string folder = fs::path(directory.File("x")).parent_path().string();
  for (const char* page : {"1.fnt", "2.fnt", "3.fnt"}) {
    SCOPED_TRACE(page);
    fontHandle->AddUser(owner);
    SaveContentsToFileBytes(handle);
    ASSERT_EQ(device.database->SaveToFile(Wide(directory.File(page))), 1);
    EXPECT_FALSE(font->HasUser(owner));
    ASSERT_EQ(device.database->LoadFromFile(Wide(directory.File(page))), 1);
  }
  EXPECT_EQ(FilesIn(folder), 3U);
  device.database.reset();
  EXPECT_EQ(FilesIn(folder), 0U);
}

// The driver server clears the process's pool when its last device closes,
// and does so whether or not the host made a pool.
TEST_F(FontDatabaseTest, ClosingTheLastDeviceClearsTheProcessPool) {
  uint32_t handle = 0;
  server_->FindHandleOf(GDriverServer::kRenderTable, &OpenDevice(), handle);
  server_->CloseRender(handle);

  GTTFontPool::SetInstance(std::make_unique<GTTFontPool>());
  GTTFontPool& pool = *GTTFontPool::Instance();
  auto* font = new MemoryFontData(pool.NextKey());
  pool.Add(font);
  server_->FindHandleOf(GDriverServer::kRenderTable, &OpenDevice(), handle);
  EXPECT_EQ(pool.Contains(0), 1);
  server_->CloseRender(handle);
  EXPECT_EQ(pool.Contains(0), 0);
}

// Two jobs, each with its device and database, save, unload and load their
// fonts from two threads while sharing one TrueType font of the pool.
TEST_F(FontDatabaseTest, ThreadsOfTwoJobsSaveAndLoadOnOnePool) {
  GTTFontPool::SetInstance(std::make_unique<GTTFontPool>());
  GTTFontPool& pool = *GTTFontPool::Instance();
  auto* shared = new MemoryFontData(pool.NextKey());
  shared->SetRequiredTables({memory_font::SimpleOutline(4)});
  DatabaseDevice* devices[] = {&OpenDevice(), &OpenDevice()};
  const ScratchDirectory directory;

  auto job = [&](DatabaseDevice& device, const std::string& tag, bool& ok) {
    const std::unique_ptr<GTTFontFile> fontHandle(pool.NewFontFile(shared));
    const TestFont handle(new TestFontImp(Info(), GFontMetrics{}, nullptr), &device);
    const uint32_t owner = device.GetHandle();
    ok = owner != 0;
    for (int page = 0; page < 20; ++page) {
      fontHandle->AddUser(owner);
      SaveContentsToFileBytes(handle);
      const RWWString name = Wide(directory.File(tag + std::to_string(page)));
      ok = ok && device.database->SaveToFile(name) == 1 && device.database->LoadFromFile(name) == 1 &&
           device.database->Contains(handle.GetBody()->GetFontId());
    }
    device.database->ReleaseAll();
  };
  bool firstOk = false;
  bool secondOk = false;
  std::thread first(job, std::ref(*devices[0]), "a", std::ref(firstOk));
  std::thread second(job, std::ref(*devices[1]), "b", std::ref(secondOk));
  first.join();
  second.join();
  EXPECT_TRUE(firstOk);
  EXPECT_TRUE(secondOk);
  EXPECT_EQ(pool.Contains(0), 1);
  EXPECT_EQ(FilesIn(fs::path(directory.File("x")).parent_path().string()), 0U);
}

}  // namespace
