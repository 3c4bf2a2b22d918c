// Tests of the loader of helper libraries: the printer's request value
// decides whether the library is loaded and initialised.
#include "device/extensions/helper_dll_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/os/memory_os_factory.h"

namespace {

constexpr WideChar kPrintersKey[] = QV_WIDE("System\\CurrentControlSet\\Control\\Print\\Printers\\");
constexpr WideChar kDataSubkey[] = QV_WIDE("\\PrinterDriverData");
constexpr WideChar kRequest[] = QV_WIDE("QvrdbUpdateRequest");
constexpr uint32_t kAbsent = 0xDEAD;

RWWString Wide(const std::string& text) { return RWWString(text.c_str()); }

// A loader of the tests' small library whose initialisation answers what
// the test says and whose steps are recorded.
class TestLoader : public GHelperDllLoader {
 public:
  struct Script {
    std::string libraryPath = QV_TEST_LIBRARY;
    int32_t initializeAnswer = 0;
    int32_t blocked = 0;
  };

  TestLoader(const RWWString& printerName, const Script& script)
      : GHelperDllLoader(printerName, nullptr), script_(script) {
    Path() = Wide(script.libraryPath);
    LoadOnUpdateRequest();
  }

  int32_t Initialize() override {
    steps.push_back("initialize");
    return script_.initializeAnswer;
  }
  int32_t Shutdown() override { return 0; }
  int32_t IsBlocked() override { return script_.blocked; }
  int32_t SetLoading(int32_t flag) override {
    steps.push_back("loading:" + std::to_string(flag));
    return 1;
  }

  std::vector<std::string> steps;

 private:
  Script script_;
};

class HelperDllLoaderTest : public ::testing::Test {
 protected:
  HelperDllLoaderTest() : factory_(new GMemoryOSFactory) { GOSFactory::SetInstance(factory_); }
  ~HelperDllLoaderTest() override { GOSFactory::SetInstance(nullptr); }

  // The printer's driver-data key under the machine key of that name.
  static RWWString DataKey(const std::string& keyName) {
    return RWWString(kPrintersKey) + Wide(keyName) + RWWString(kDataSubkey);
  }
  uint32_t Request(const std::string& keyName) {
    return factory_->ReadMachineDword(DataKey(keyName), RWWString(kRequest), kAbsent);
  }

  GMemoryOSFactory* factory_;
};

TEST_F(HelperDllLoaderTest, TheRequestValueDecidesTheLoad) {
  struct Case {
    const char* name;
    const char* printer;
    const char* keyName;  // null: the printer has no key
    uint32_t request;     // kAbsent: no value
    TestLoader::Script script;
    bool loaded;
    std::vector<std::string> steps;
    uint32_t requestAfter;
  };
  const std::vector<Case> cases = {
      {"request_1_loads", "Office", "Office", 1, {}, true, {"loading:1", "initialize"}, 1},
      {"missing_request_is_created_as_0_and_loads",
       "Office",
       "Office",
       kAbsent,
       {},
       true,
       {"loading:1", "initialize"},
       0},
      {"request_0_does_nothing", "Office", "Office", 0, {}, false, {}, 0},
      {"request_2_does_nothing", "Office", "Office", 2, {}, false, {}, 2},
      {"printer_without_key", "Office", nullptr, kAbsent, {}, false, {}, kAbsent},
      {"connection_stored_with_commas",
       "\\\\server\\office",
       ",,server,office",
       1,
       {},
       true,
       {"loading:1", "initialize"},
       1},
      {"blocked_loader", "Office", "Office", 1, {QV_TEST_LIBRARY, 0, 1}, false, {}, 1},
      {"initialisation_answering_1_keeps_the_library",
       "Office",
       "Office",
       1,
       {QV_TEST_LIBRARY, 1, 0},
       true,
       {"loading:1", "initialize"},
       1},
      {"failed_initialisation_unloads",
       "Office",
       "Office",
       1,
       {QV_TEST_LIBRARY, -1, 0},
       false,
       {"loading:1", "initialize", "loading:0"},
       1},
      {"library_that_does_not_load",
       "Office",
       "Office",
       1,
       {"no-such-library-qv.dll", 0, 0},
       false,
       {"loading:1", "loading:0"},
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    factory_->Store().Clear();
    if (c.keyName != nullptr) {
      factory_->Store().CreateKey(GOSDataStore::kLocalMachine, DataKey(c.keyName));
      if (c.request != kAbsent) factory_->SetMachineDwordIfMissing(DataKey(c.keyName), RWWString(kRequest), c.request);
    }
    TestLoader loader(Wide(c.printer), c.script);
    EXPECT_EQ(loader.IsLoaded(), c.loaded);
    EXPECT_EQ(loader.steps, c.steps);
    if (c.keyName != nullptr) {
      EXPECT_EQ(Request(c.keyName), c.requestAfter);
    }
  }
}

TEST_F(HelperDllLoaderTest, UnloadFreesTheLibraryOnce) {
  factory_->Store().CreateKey(GOSDataStore::kLocalMachine, DataKey("Office"));
  TestLoader loader(Wide("Office"), {});
  ASSERT_TRUE(loader.IsLoaded());
  loader.Unload();
  EXPECT_FALSE(loader.IsLoaded());
  loader.Unload();
  EXPECT_FALSE(loader.IsLoaded());
  EXPECT_EQ(loader.LoadAndInitialize(), 1);
  EXPECT_TRUE(loader.IsLoaded());
}

TEST(HelperDllLoader, NothingHappensWithoutAnOSFactory) {
  GOSFactory::SetInstance(nullptr);
  TestLoader loader(Wide("Office"), {});
  EXPECT_FALSE(loader.IsLoaded());
  EXPECT_TRUE(loader.steps.empty());
}

}  // namespace
