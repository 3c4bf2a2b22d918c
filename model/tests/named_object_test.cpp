#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/persistence.h"
#include "foundation/testing/string_printers.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/binary_data.h"
#include "model/objects/model_stream.h"
#include "model/os/chunked_value.h"
#include "model/os/registry_path_name.h"
#include "model/os/settings_codec_interface.h"
#include "model/tests/os_services_test_support.h"

namespace {

// A codec that marks what it writes and reads back the marker, counting
// its calls, so that tests see which format a named object went through.
class MarkerCodec : public GSettingsCodecInterface {
 public:
  static constexpr uint32_t kMarker = 0x434F4D50;
  // A tree of this key is refused after its marker is written.
  static constexpr int32_t kRefusedKey = 999;

  int32_t Write(const MPersistentObject& tree, GVirtualOutStream& stream, GOutputStream&, int32_t mode) override {
    ++writes;
    lastMode = mode;
    stream.PutULong(kMarker).PutLong(tree.Key());
    return tree.Key() == kRefusedKey ? 0 : 1;
  }
  std::unique_ptr<MPersistentObject> Read(GVirtualInStream& stream, GInputStream&, GDriverInterface&,
                                          int32_t mode) override {
    ++reads;
    lastMode = mode;
    uint32_t marker = 0;
    int32_t key = 0;
    if (!stream.GetULong(marker).GetLong(key).IsGood() || marker != kMarker) return nullptr;
    return std::make_unique<GValueAttribute>(0, key);
  }

  int writes = 0;
  int reads = 0;
  int32_t lastMode = -1;
};

// A byte block whose stored size claims less than it writes.
class UnderstatedData : public GBinaryData {
 public:
  UnderstatedData(uint32_t length, uint32_t claimed) : claimed_(claimed) {
    auto* bytes = new uint8_t[length];
    for (uint32_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i);
    SetData(bytes, length, 1);
  }
  uint32_t StoredSize() const override { return claimed_; }

 private:
  uint32_t claimed_;
};

std::unique_ptr<GBinaryData> Block(uint32_t length) {
  auto* bytes = new uint8_t[length];
  for (uint32_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 13 + 1);
  return std::make_unique<GBinaryData>(bytes, length, 1, 0);
}

// The device description that selects the compact settings format: value
// 940 in 366 in 359.
std::unique_ptr<GConfiguration> CompactConfiguration(int16_t value) {
  auto configuration = std::make_unique<GConfiguration>(0);
  auto* settings = new GAttributeComposite(359);
  auto* group = new GAttributeComposite(366);
  group->AddChild(new GValueAttribute(value, 940));
  settings->AddChild(group);
  configuration->AddChild(settings);
  return configuration;
}

class NamedObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto codec = std::make_unique<MarkerCodec>();
    codec_ = codec.get();
    factory_ = new TestOSFactory(events_, std::move(codec));
    driver_ = std::make_unique<FakeDriver>(*Identity("Office", "Driver A"), events_);
  }
  void TearDown() override {
    driver_.reset();
    delete factory_;
  }

  GOSDataStore::Value Stored(const char* name) {
    GOSDataStore::Value value;
    factory_->Store().Read(GOSDataStore::kLocalMachine, GMemoryOSFactory::PrinterDataKey(RWWString("Office")),
                           RWWString(name), value);
    return value;
  }

  DriverEvents events_;
  MarkerCodec* codec_ = nullptr;
  TestOSFactory* factory_ = nullptr;
  std::unique_ptr<FakeDriver> driver_;
};

TEST_F(NamedObjectTest, ChunkedPrinterDataIsReadBackThroughTheMachineRegistry) {
  struct Case {
    const char* name;
    uint32_t size;
    uint32_t count;
  };
  const Case cases[] = {{"empty", 0, 1}, {"exactly_one_chunk", 248, 2}, {"one_more", 249, 2}, {"many", 5000, 21}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes(c.size);
    for (uint32_t i = 0; i < c.size; ++i) bytes[i] = static_cast<uint8_t>(i ^ 0x5A);
    ASSERT_EQ(factory_->WritePrinterDataChunked(*driver_, RWWString("Value"), bytes.data(), c.size), 1);
    const RWWString key = GMemoryOSFactory::PrinterDataKey(RWWString("Office"));
    EXPECT_EQ(factory_->ReadMachineDword(key, RWWString("Value"), 0), c.count);
    EXPECT_EQ(factory_->GetPrinterDataDword(*driver_, RWWString("Value"), 0), c.count);
    EXPECT_EQ(Stored("Value:0").type, GOSDataStore::kBinary);

    std::vector<uint8_t> buffer(248 * c.count);
    uint32_t read = 0;
    ASSERT_EQ(factory_->ReadPrinterDataChunked(*driver_, RWWString("Value"), buffer.data(),
                                               static_cast<uint32_t>(buffer.size()), read),
              1);
    buffer.resize(read);
    EXPECT_EQ(buffer, bytes);
  }
}

// "???\root\key path\value" stores the count and the chunks under that
// registry key, whichever way the root is written.
TEST_F(NamedObjectTest, RegistryPathNamesStoreInTheRegistry) {
  const uint8_t bytes[300] = {1, 2, 3};
  ASSERT_EQ(factory_->WritePrinterDataChunked(*driver_, RWWString("???\\-2147483646\\Software\\Foo\\Bar"), bytes,
                                              sizeof(bytes)),
            1);
  EXPECT_EQ(factory_->ReadMachineDword(RWWString("Software\\Foo"), RWWString("Bar"), 0), 2u);
  GOSDataStore::Value chunk;
  ASSERT_TRUE(
      factory_->Store().Read(GOSDataStore::kLocalMachine, RWWString("Software\\Foo"), RWWString("Bar:1"), chunk));
  EXPECT_EQ(chunk.bytes.size(), 52u);

  uint8_t buffer[496];
  uint32_t read = 0;
  ASSERT_EQ(factory_->ReadPrinterDataChunked(*driver_, RWWString("???\\2147483650\\Software\\Foo\\Bar"), buffer,
                                             sizeof(buffer), read),
            1);
  EXPECT_EQ(read, 300u);
  EXPECT_EQ(std::memcmp(buffer, bytes, 300), 0);
  EXPECT_EQ(factory_->WritePrinterDataChunked(*driver_, RWWString("???\\bad"), bytes, 1), 0);
}

TEST(RegistryPathName, SplitsRootKeyPathAndValueName) {
  struct Case {
    const char* name;
    const char* text;
    bool parses;
    uint32_t root;
    const char* keyPath;
    const char* valueName;
  };
  const Case cases[] = {
      {"signed_root", "???\\-2147483647\\Software\\Quillvane\\X\\Data", true, 0x80000001, "Software\\Quillvane\\X",
       "Data"},
      {"unsigned_root", "???\\2147483649\\Key\\Value", true, 0x80000001, "Key", "Value"},
      {"empty_value_name", "???\\1\\Key\\", true, 1, "Key", ""},
      {"no_key_path", "???\\1\\Value", false, 0, "", ""},
      {"no_separator", "???", false, 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(IsRegistryPathName(RWWString(c.text)));
    GRegistryPathName parsed;
    ASSERT_EQ(ParseRegistryPathName(RWWString(c.text), parsed), c.parses);
    if (!c.parses) continue;
    EXPECT_EQ(parsed.root, c.root);
    EXPECT_EQ(parsed.keyPath, RWWString(c.keyPath));
    EXPECT_EQ(parsed.valueName, RWWString(c.valueName));
  }
  EXPECT_FALSE(IsRegistryPathName(RWWString("??")));
  EXPECT_FALSE(IsRegistryPathName(RWWString("?X?\\1\\K\\V")));
}

TEST_F(NamedObjectTest, ObjectsRoundTripAsObjectGraphsOfAnySize) {
  for (uint32_t length : {0u, 1u, 200u, 248u, 1000u, 6000u}) {
    SCOPED_TRACE(length);
    const std::unique_ptr<GBinaryData> block = Block(length);
    ASSERT_EQ(factory_->StoreNamedObject(*driver_, RWWString("AddedFonts"), *block), 1);
    const std::unique_ptr<MPersistentObject> loaded = factory_->LoadNamedObject(*driver_, RWWString("AddedFonts"), 0);
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->Equals(block.get()));
  }
  EXPECT_EQ(codec_->writes + codec_->reads, 0);
  EXPECT_EQ(factory_->LoadNamedObject(*driver_, RWWString("NeverWritten"), 0), nullptr);
}

// Chunks missing from the middle or the end make the value unreadable; a
// stored count too large for any value is refused without reading.
TEST_F(NamedObjectTest, AValueWithMissingChunksLoadsAsNothing) {
  const std::unique_ptr<GBinaryData> block = Block(2000);
  for (const char* missing : {"Pool:3", "Pool:8"}) {
    SCOPED_TRACE(missing);
    ASSERT_EQ(factory_->StoreNamedObject(*driver_, RWWString("Pool"), *block), 1);
    ASSERT_TRUE(factory_->Store().Delete(GOSDataStore::kLocalMachine,
                                         GMemoryOSFactory::PrinterDataKey(RWWString("Office")), RWWString(missing)));
    EXPECT_EQ(factory_->LoadNamedObject(*driver_, RWWString("Pool"), 0), nullptr);
    std::vector<uint8_t> buffer(4096);
    uint32_t size = 0;
    EXPECT_EQ(factory_->ReadPrinterDataChunked(*driver_, RWWString("Pool"), buffer.data(), 4096, size), 0);
  }
  factory_->SetPrinterDataDword(*driver_, RWWString("Pool"), 0x7FFFFFFF);
  EXPECT_EQ(factory_->LoadNamedObject(*driver_, RWWString("Pool"), 0), nullptr);

  // A count that claims fewer chunks than were written: the bytes read are
  // a cut-off graph, which does not read as an object either.
  ASSERT_EQ(factory_->StoreNamedObject(*driver_, RWWString("Pool"), *block), 1);
  factory_->SetPrinterDataDword(*driver_, RWWString("Pool"), 2);
  EXPECT_EQ(factory_->LoadNamedObject(*driver_, RWWString("Pool"), 0), nullptr);
}

// An object whose graph outgrows one and a half times its stored size goes
// in on a later attempt with twice the room; one that outgrows three
// attempts is not written.
TEST_F(NamedObjectTest, TooSmallABufferIsDoubledUpToThreeAttempts) {
  UnderstatedData secondAttempt(100, 60);
  ASSERT_EQ(factory_->StoreNamedObject(*driver_, RWWString("Grown"), secondAttempt), 1);
  const std::unique_ptr<MPersistentObject> loaded = factory_->LoadNamedObject(*driver_, RWWString("Grown"), 0);
  ASSERT_NE(loaded, nullptr);
  const auto* data = dynamic_cast<const GBinaryData*>(loaded.get());
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->Length(), 100u);

  UnderstatedData never(1000, 60);
  EXPECT_EQ(factory_->StoreNamedObject(*driver_, RWWString("Never"), never), 0);
  EXPECT_EQ(Stored("Never").type, 0u);
}

TEST_F(NamedObjectTest, TheDeviceDescriptionChoosesTheCompactFormatExceptForTheBinPool) {
  driver_->SetConfiguration(CompactConfiguration(1));
  const GValueAttribute setting(5, 365);
  ASSERT_EQ(factory_->StoreNamedObject(*driver_, RWWString("365"), setting), 1);
  EXPECT_EQ(codec_->writes, 1);
  EXPECT_EQ(codec_->lastMode, 1);
  std::unique_ptr<MPersistentObject> loaded = factory_->LoadNamedObject(*driver_, RWWString("365"), 0);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->Key(), 365);
  EXPECT_EQ(codec_->reads, 1);

  // The bin pool always goes as an object graph.
  ASSERT_EQ(factory_->StoreNamedObject(*driver_, RWWString("ZUDBinPool"), setting), 1);
  loaded = factory_->LoadNamedObject(*driver_, RWWString("ZUDBinPool"), 0);
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->Equals(&setting));
  EXPECT_EQ(codec_->writes, 1);
  EXPECT_EQ(codec_->reads, 1);

  // The choice is the driver object's own: another printer's description
  // may not ask for the compact format.
  FakeDriver other(*Identity("Other", "Driver B"), events_);
  other.SetConfiguration(CompactConfiguration(0));
  ASSERT_EQ(factory_->StoreNamedObject(other, RWWString("365"), setting), 1);
  EXPECT_EQ(codec_->writes, 1);
  FakeDriver bare(*Identity("Bare", "Driver C"), events_);
  ASSERT_EQ(factory_->StoreNamedObject(bare, RWWString("365"), setting), 1);
  EXPECT_EQ(codec_->writes, 1);
}

// What the codec refuses is not stored, not even the part it wrote first.
TEST_F(NamedObjectTest, ATreeTheCodecRefusesIsNotStored) {
  driver_->SetConfiguration(CompactConfiguration(1));
  const GValueAttribute refused(5, MarkerCodec::kRefusedKey);
  EXPECT_EQ(factory_->StoreNamedObject(*driver_, RWWString("365"), refused), 0);
  EXPECT_EQ(codec_->writes, 1);
  EXPECT_EQ(Stored("365").type, 0u);
}

TEST(NamedObjects, WithoutACodecTheCompactFormatFails) {
  DriverEvents events;
  auto* factory = new TestOSFactory(events);
  FakeDriver driver(*Identity("Office", "Driver A"), events);
  driver.SetConfiguration(CompactConfiguration(1));
  const GValueAttribute setting(5, 365);
  EXPECT_EQ(factory->StoreNamedObject(driver, RWWString("365"), setting), 0);
  const uint8_t stored[4] = {1, 2, 3, 4};
  ASSERT_EQ(factory->WritePrinterDataChunked(driver, RWWString("365"), stored, 4), 1);
  EXPECT_EQ(factory->LoadNamedObject(driver, RWWString("365"), 0), nullptr);
  delete factory;
}

// With plain set the stored bytes are read as text.
TEST_F(NamedObjectTest, PlainObjectsAreReadAsText) {
  const GValueAttribute setting(-7, 12);
  std::vector<uint8_t> buffer(512);
  GOutputStream out(buffer.data(), static_cast<uint32_t>(buffer.size()), kTextStreamFormat);
  WriteObjectToStream(&setting, *out.Stream());
  out.Stream()->Flush();
  ASSERT_TRUE(out.Stream()->IsGood());
  ASSERT_EQ(factory_->WritePrinterDataChunked(*driver_, RWWString("Text"), buffer.data(), out.Position()), 1);
  const std::unique_ptr<MPersistentObject> loaded = factory_->LoadNamedObject(*driver_, RWWString("Text"), 1);
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(loaded->Equals(&setting));
  EXPECT_EQ(factory_->LoadNamedObject(*driver_, RWWString("Text"), 0), nullptr);
}

}  // namespace
