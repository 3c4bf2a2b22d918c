#include "model/os/memory_os_factory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "foundation/testing/string_printers.h"
#include "model/objects/locale_info.h"
#include "model/os/unicode.h"
#include "model/tests/os_services_test_support.h"

namespace {

class MemoryOSFactoryTest : public ::testing::Test {
 protected:
  void TearDown() override { delete factory_; }

  DriverEvents events_;
  TestOSFactory* factory_ = new TestOSFactory(events_);
  FakeDriver driver_{*Identity("Office", "Driver A"), events_};
  const RWWString printerKey_ = GMemoryOSFactory::PrinterDataKey(RWWString("Office"));
};

std::vector<uint8_t> Bytes(const char* text, bool terminated) {
  std::vector<uint8_t> bytes;
  for (const char* p = text; *p != 0; ++p) bytes.insert(bytes.end(), {static_cast<uint8_t>(*p), 0});
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

// Printer-data texts are stored without a terminator, registry texts with
// one; both read back the same through either side.
TEST_F(MemoryOSFactoryTest, TextsKeepTheirStoredForms) {
  ASSERT_EQ(factory_->SetPrinterDataString(driver_, RWWString("Stale"), RWWString("FALSE")), 1);
  GOSDataStore::Value value;
  ASSERT_TRUE(factory_->Store().Read(GOSDataStore::kLocalMachine, printerKey_, RWWString("Stale"), value));
  EXPECT_EQ(value.type, GOSDataStore::kString);
  EXPECT_EQ(value.bytes, Bytes("FALSE", false));
  RWWString text;
  factory_->ReadMachineString(text, printerKey_, RWWString("stale"), RWWString("x"));
  EXPECT_EQ(text, RWWString("FALSE"));

  ASSERT_EQ(factory_->WriteUserString(RWWString("Software\\Q"), RWWString("Name"), RWWString("abc")), 1);
  ASSERT_TRUE(factory_->Store().Read(GOSDataStore::kCurrentUser, RWWString("Software\\Q"), RWWString("Name"), value));
  EXPECT_EQ(value.bytes, Bytes("abc", true));
  factory_->ReadUserString(text, RWWString("Software\\Q"), RWWString("Name"), RWWString("x"));
  EXPECT_EQ(text, RWWString("abc"));

  ASSERT_EQ(factory_->WriteDriverDataString(driver_, RWWString("Sub"), RWWString("Path"), RWWString("C:\\f")), 1);
  factory_->ReadMachineString(text, RWWString("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Office\\Sub"),
                              RWWString("Path"), RWWString());
  EXPECT_EQ(text, RWWString("C:\\f"));
  factory_->ReadDriverDataString(text, driver_, RWWString("Sub"), RWWString("Path"), RWWString());
  EXPECT_EQ(text, RWWString("C:\\f"));

  // Empty texts: nothing written, and read as the default.
  EXPECT_EQ(factory_->WriteDriverDataString(driver_, RWWString("Sub"), RWWString("Empty"), RWWString()), 1);
  EXPECT_FALSE(factory_->Store().Read(GOSDataStore::kLocalMachine,
                                      RWWString("SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Office\\Sub"),
                                      RWWString("Empty"), value));
  factory_->SetPrinterDataString(driver_, RWWString("Blank"), RWWString());
  factory_->GetPrinterDataString(text, driver_, RWWString("Blank"), RWWString("1"));
  EXPECT_EQ(text, RWWString("1"));
}

// Printer data may hold long texts (chunked values are read whole): reading
// one must take time in proportion to its length. Grown a unit at a time,
// this text took about a minute.
TEST_F(MemoryOSFactoryTest, ReadsALongTextInOneGo) {
  const std::basic_string<WideChar> units(300000, QV_WIDE('x'));
  const RWWString longText(units.data(), static_cast<uint32_t>(units.size()));
  ASSERT_EQ(factory_->SetPrinterDataString(driver_, RWWString("Long"), longText), 1);
  RWWString text;
  const auto start = std::chrono::steady_clock::now();
  factory_->GetPrinterDataString(text, driver_, RWWString("Long"), RWWString());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(text == longText);
}

// Fonts and job names convert codes through the converter that the OS
// factory supplies.
TEST_F(MemoryOSFactoryTest, SuppliesAUnicodeConverter) {
  const std::unique_ptr<GUnicodeConverter> converter = factory_->CreateUnicodeConverter();
  ASSERT_NE(converter, nullptr);
  struct Case {
    const char* name;
    uint16_t code;
    int32_t encoding;
    uint16_t unicode;
  };
  const Case cases[] = {
      {"unicode_stays", 0x3042, 16, 0x3042},     {"symbol_code_page", 0x41, 3, 0xF041},
      {"windows_latin_1_euro", 0x80, 4, 0x20AC}, {"windows_latin_2_euro", 0x80, 5, 0x20AC},
      {"windows_cyrillic", 0xC0, 14, 0x0410},    {"shift_jis_double_byte", 0x82A0, 17, 0x3042},
      {"shift_jis_single_byte", 0x41, 17, 0x41}, {"big5", 0xA440, 23, 0x4E00},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(converter->ToUnicode(c.code, c.encoding), c.unicode);
    EXPECT_EQ(converter->FromUnicode(c.unicode, c.encoding), c.code);
  }
  EXPECT_EQ(converter->ToUnicode(0x4142, 4), 0);    // two characters, not one
  EXPECT_EQ(converter->FromUnicode(0x3042, 4), 0);  // no code for the character
  EXPECT_EQ(converter->ToUnicode(0x41, 60), 0);     // no code page for the encoding

  const WideChar wide[] = {'c', 0xE9, 0};
  char narrow[3] = {'x', 'x', 'x'};
  converter->ConvertToCodePage(wide, narrow, 1252, 3);
  EXPECT_EQ(std::string(narrow, 3), std::string("c\xE9\0", 3));
  WideChar back[3] = {};
  EXPECT_EQ(converter->NarrowToWide("c\xE9", back, 2), 2);
  EXPECT_EQ(std::basic_string<WideChar>(back, 2), std::basic_string<WideChar>(wide, 2));
}

TEST_F(MemoryOSFactoryTest, DwordsAndDefaults) {
  EXPECT_EQ(factory_->GetPrinterDataDword(driver_, RWWString("PassThrough"), 255), 255u);
  ASSERT_EQ(factory_->SetPrinterDataDword(driver_, RWWString("QvrdbUpdateRequest"), 1), 1);
  EXPECT_EQ(factory_->ReadMachineDword(printerKey_, RWWString("QvrdbUpdateRequest"), 7), 1u);
  // A text is no DWORD.
  factory_->SetPrinterDataString(driver_, RWWString("Text"), RWWString("12"));
  EXPECT_EQ(factory_->GetPrinterDataDword(driver_, RWWString("Text"), 9), 9u);

  EXPECT_EQ(factory_->UserKeyExists(RWWString("Software\\Quillvane")), 0);
  ASSERT_EQ(factory_->WriteUserDword(RWWString("Software\\Quillvane\\Drivers"), RWWString("Flag"), 3), 1);
  EXPECT_EQ(factory_->UserKeyExists(RWWString("Software\\Quillvane")), 1);
  EXPECT_EQ(factory_->ReadUserDword(RWWString("Software\\Quillvane\\Drivers"), RWWString("Flag"), 0), 3u);

  EXPECT_EQ(factory_->DeleteDriverDataValue(driver_, RWWString("QvrdbUpdateRequest")), 1);
  EXPECT_EQ(factory_->DeleteDriverDataValue(driver_, RWWString("QvrdbUpdateRequest")), 0);
}

// The value is written only when the key exists and the value does not.
TEST_F(MemoryOSFactoryTest, SetMachineDwordIfMissing) {
  EXPECT_NE(factory_->SetMachineDwordIfMissing(printerKey_, RWWString("Request"), 0), 0);
  EXPECT_EQ(factory_->MachineKeyExists(printerKey_), 0);
  factory_->SetPrinterDataDword(driver_, RWWString("Other"), 1);
  EXPECT_EQ(factory_->MachineKeyExists(printerKey_), 1);
  EXPECT_EQ(factory_->SetMachineDwordIfMissing(printerKey_, RWWString("Request"), 0), 0);
  EXPECT_EQ(factory_->ReadMachineDword(printerKey_, RWWString("Request"), 9), 0u);
  factory_->SetPrinterDataDword(driver_, RWWString("Request"), 1);
  EXPECT_EQ(factory_->SetMachineDwordIfMissing(printerKey_, RWWString("Request"), 0), 0);
  EXPECT_EQ(factory_->ReadMachineDword(printerKey_, RWWString("Request"), 9), 1u);
}

TEST_F(MemoryOSFactoryTest, TemporaryAndDataFileDirectories) {
  RWWString path;
  factory_->GetTempDirectory(path, driver_);
  EXPECT_NE(path.Length(), 0u);
  factory_->SetPrinterDataString(driver_, RWWString("TempDirectoryLocation"), RWWString("D:\\Spool"));
  factory_->GetTempDirectory(path, driver_);
  EXPECT_EQ(path, RWWString("D:\\Spool"));

  factory_->GetDriverDataFile(path, driver_);
  EXPECT_EQ(path.Length(), 0u);
  factory_->SetDriverDataFile(RWWString("Driver A"), RWWString("qv.dat"));
  factory_->GetDriverDataFile(path, driver_);
  EXPECT_EQ(path, RWWString("qv.dat"));

  factory_->GetModuleDirectory(path);
  EXPECT_NE(path.Length(), 0u);
  EXPECT_NE(path.Data()[path.Length() - 1], factory_->PathSeparator());
}

TEST_F(MemoryOSFactoryTest, LocalTimeAndItsShiftedCopy) {
  factory_->SetTimeOffset(-90);
  GDateTime now;
  GDateTime shifted;
  int16_t offset = 0;
  ASSERT_EQ(factory_->GetLocalTime(now, shifted, offset), 1);
  EXPECT_EQ(offset, -90);
  EXPECT_GE(now.year, 2020);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_EQ(now.milliseconds, 0);
  EXPECT_EQ(shifted, ShiftDateTime(now, -90));
}

// Code that adapts to the system (the symbol fonts' character codes among
// it) must behave as on the systems the driver runs on, NT 5 and later.
TEST_F(MemoryOSFactoryTest, ReportsAnNT5System) {
  GOSVersion record{1, 2, 3};
  factory_->GetOSVersion(record);
  EXPECT_EQ(record, (GOSVersion{13, 5u << 16, 2195}));
  EXPECT_GE(record.version >> 16, 5u);
}

TEST_F(MemoryOSFactoryTest, InternationalSettingsFromTheUsersKey) {
  std::unique_ptr<GLocaleInfo> settings = factory_->ReadInternationalSettings();
  ASSERT_NE(settings, nullptr);
  EXPECT_TRUE(settings->SameContent(GLocaleInfo()));

  const RWWString key("Control Panel\\International");
  factory_->WriteUserString(key, RWWString("Locale"), RWWString("00000407"));
  factory_->WriteUserString(key, RWWString("iMeasure"), RWWString("0"));
  factory_->WriteUserString(key, RWWString("sTime"), RWWString("."));
  settings = factory_->ReadInternationalSettings();
  GLocaleInfo expected;
  expected.SetLocale(407);
  expected.SetMeasure(0);
  expected.SetTimeSeparator(".");
  EXPECT_TRUE(settings->SameContent(expected));
}

// The store named at construction comes back in the next factory.
TEST(MemoryOSFactoryStore, SavedAtDestructionAndLoadedAtConstruction) {
  const std::string file = TempPath("memory_os_factory_store.dat");
  std::remove(file.c_str());
  DriverEvents events;
  FakeDriver driver(*Identity("Office", "Driver A"), events);
  auto* first = new GMemoryOSFactory(nullptr, file);
  const uint8_t bytes[3] = {7, 8, 9};
  ASSERT_EQ(first->WritePrinterDataChunked(driver, RWWString("Kept"), bytes, 3), 1);
  delete first;

  auto* second = new GMemoryOSFactory(nullptr, file);
  uint8_t buffer[248];
  uint32_t size = 0;
  ASSERT_EQ(second->ReadPrinterDataChunked(driver, RWWString("Kept"), buffer, sizeof(buffer), size), 1);
  EXPECT_EQ(size, 3u);
  EXPECT_EQ(buffer[2], 9);
  delete second;
  std::remove(file.c_str());
}

TEST(ShiftDateTime, CarriesAcrossHoursDaysMonthsAndYears) {
  struct Case {
    const char* name;
    GDateTime from;
    int16_t minutes;
    GDateTime expected;
  };
  const Case cases[] = {
      {"back_into_leap_february", {2004, 3, 1, 0, 30, 5, 0, 1}, -90, {2004, 2, 29, 23, 0, 5, 0, 1}},
      {"back_into_plain_february", {2003, 3, 1, 0, 30, 0, 0, 6}, -90, {2003, 2, 28, 23, 0, 0, 0, 6}},
      {"century_is_no_leap_year", {1900, 3, 1, 0, 0, 0, 0, 4}, -1, {1900, 2, 28, 23, 59, 0, 0, 4}},
      {"fourth_century_is", {2000, 3, 1, 0, 0, 0, 0, 3}, -1, {2000, 2, 29, 23, 59, 0, 0, 3}},
      {"back_over_new_year", {2001, 1, 1, 0, 10, 0, 0, 1}, -30, {2000, 12, 31, 23, 40, 0, 0, 1}},
      {"forward_over_new_year", {2000, 12, 31, 23, 45, 0, 0, 0}, 30, {2001, 1, 1, 0, 15, 0, 0, 0}},
      {"forward_over_a_30_day_month", {2001, 4, 30, 23, 0, 0, 0, 1}, 75, {2001, 5, 1, 0, 15, 0, 0, 1}},
      {"within_the_day", {2001, 4, 10, 10, 50, 0, 0, 2}, 20, {2001, 4, 10, 11, 10, 0, 0, 2}},
      {"more_than_a_day", {2001, 4, 10, 10, 0, 0, 0, 2}, 3000, {2001, 4, 12, 12, 0, 0, 0, 2}},
      {"weeks_back", {2001, 3, 10, 1, 0, 0, 0, 2}, -32767, {2001, 2, 15, 6, 53, 0, 0, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ShiftDateTime(c.from, c.minutes), c.expected);
  }
}

}  // namespace
