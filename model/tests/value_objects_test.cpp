// Tests of the small persistent leaves that carry one value each.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/testing/recording_error_handler.h"
#include "model/objects/binary_data.h"
#include "model/objects/display_string.h"
#include "model/objects/locale_info.h"
#include "model/objects/persistable_number.h"
#include "model/objects/pmd_version_info.h"
#include "model/objects/selection_string.h"
#include "model/testing/round_trip.h"

namespace {

uint8_t* NewBlock(std::initializer_list<uint8_t> bytes) {
  auto* block = new uint8_t[bytes.size()];
  std::copy(bytes.begin(), bytes.end(), block);
  return block;
}

std::unique_ptr<GPMDVersionInfo> VersionInfoWithTexts() {
  auto info = std::make_unique<GPMDVersionInfo>(0x00010002, 0x00030004, 5, 6);
  info->SetFirstValue(7);
  info->SetSecondValue(8);
  info->Texts().Append("one");
  info->Texts().Append("");
  info->Texts().Append("three");
  return info;
}

std::unique_ptr<GLocaleInfo> ChangedLocale() {
  auto locale = std::make_unique<GLocaleInfo>(3);
  locale->SetLocale(407);
  locale->SetCountryName("Deutschland");
  locale->SetDecimalSeparator(",");
  locale->SetMeasure(0);
  return locale;
}

// One object of every value class, as a test would make it.
struct Sample {
  const char* name;
  std::function<MPersistentObject*()> make;
};

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = {
      {"binary_data",
       [] {
         return new GBinaryData(NewBlock({1, 2, 0, 255}), 4, 1, 9);
       }},
      {"empty_binary_data", [] { return new GBinaryData(4); }},
      {"selection_string", [] { return new GSelectionString("Letter", -3, 2); }},
      {"version_info", [] { return VersionInfoWithTexts().release(); }},
      {"persistable_long", [] { return new GPersistableLong(-5); }},
      {"persistable_ulong", [] { return new GPersistableULong(0xFFFFFFFF); }},
      {"display_string", [] { return new GDisplayString(-2, "Paper", "QVRES.DLL"); }},
      {"display_string_without_texts", [] { return new GDisplayString(0, nullptr, nullptr); }},
      {"locale_info", [] { return ChangedLocale().release(); }},
      {"default_locale_info", [] { return new GLocaleInfo; }},
  };
  return samples;
}

TEST(ValueObjects, EveryClassRoundTripsInEveryForm) {
  for (const Sample& sample : Samples()) {
    SCOPED_TRACE(sample.name);
    const std::unique_ptr<MPersistentObject> object(sample.make());
    EXPECT_TRUE(RoundTrips(*object));
    EXPECT_TRUE(object->IsKindOf(object->ClassID()));
    EXPECT_TRUE(object->IsKindOf(kMPersistentObjectClassID));
    EXPECT_FALSE(object->IsKindOf(kMPersistentCompositeClassID));
  }
}

TEST(ValueObjects, AnotherStoredVersionStopsAfterTheVersionWord) {
  for (const Sample& sample : Samples()) {
    SCOPED_TRACE(sample.name);
    const std::unique_ptr<MPersistentObject> stored(sample.make());
    const std::unique_ptr<MPersistentObject> fresh(stored->NewObject());
    // The base part of a fresh object, then version 2 and the sample's own
    // fields.
    const std::string bytes = Words({1, 0, 0, 2}) + SaveContentsToFileBytes(*stored).substr(16);
    EXPECT_EQ(RestoreContentsFromFileBytes(*fresh, bytes), 16u);
    EXPECT_TRUE(fresh->SameContent(*std::unique_ptr<MPersistentObject>(stored->NewObject())));
  }
}

TEST(ValueObjects, StoredFieldsFollowTheBasePartInTheirOrder) {
  struct Case {
    const char* name;
    std::unique_ptr<MPersistentObject> object;
    std::string fields;
  };
  Case cases[] = {
      {"binary_data", std::make_unique<GBinaryData>(NewBlock({0xAB, 0xCD}), 2, 1, 0), Words({1, 2, 1}) + "\xAB\xCD"},
      {"selection_string_text_then_value", std::make_unique<GSelectionString>("A4", 0x0102, 0),
       Words({1, 2}) + "A4\x02\x01"},
      {"version_info_word_b_first", std::unique_ptr<MPersistentObject>(VersionInfoWithTexts()),
       Words({1, 0x00030004, 0x00010002}) + std::string("\x05\x00", 2) + Words({7, 8, 3, 3}) + "one" + Words({0, 5}) +
           "three"},
      {"persistable_long", std::make_unique<GPersistableLong>(-2), Words({1, 0xFFFFFFFE})},
      {"display_string_module_first", std::make_unique<GDisplayString>(-1, "T", "M"),
       Words({1, 1}) + "M" + Words({1}) + "T\xFF\xFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string stored = SaveContentsToFileBytes(*c.object);
    EXPECT_EQ(stored.substr(12), c.fields);
    EXPECT_EQ(c.object->StoredSize(), stored.size());
  }
}

TEST(BinaryData, CopiesOwnTheirBytesAndEmptyBlocksStayEmpty) {
  uint8_t bytes[3] = {7, 8, 9};
  const GBinaryData borrowed(bytes, 3, 0, 5);
  const GBinaryData copy(borrowed);
  EXPECT_NE(copy.Data(), bytes);
  EXPECT_EQ(copy.Length(), 3u);
  EXPECT_EQ(copy.IsOwned(), 1);
  EXPECT_EQ(copy.Key(), 0);
  EXPECT_NE(copy.SerialNumber(), borrowed.SerialNumber());
  EXPECT_EQ(copy.Data()[2], 9);
  EXPECT_FALSE(copy.SameContent(borrowed));  // the keys differ

  const GObjectRef restored =
      RestoreGraph(StoreForm::kFile, SaveGraph(StoreForm::kFile, std::make_unique<GBinaryData>().get()));
  ASSERT_FALSE(restored.IsEmpty());
  const auto& empty = dynamic_cast<const GBinaryData&>(*restored);
  EXPECT_EQ(empty.Data(), nullptr);
  EXPECT_EQ(empty.Length(), 0u);
}

TEST(BinaryData, DetachHandsOverTheBlock) {
  GBinaryData data(NewBlock({1, 2}), 2, 1, 0);
  const std::unique_ptr<uint8_t[]> block(data.Detach());
  EXPECT_EQ(block[1], 2);
  EXPECT_EQ(data.Data(), nullptr);
  EXPECT_EQ(data.Length(), 0u);
  EXPECT_EQ(data.IsOwned(), 0);
  data.SetData(NewBlock({3}), 1, 1);
  data.SetData(NewBlock({4, 5}), 2, 1);
  EXPECT_EQ(data.Length(), 2u);
  data.Clear();
  EXPECT_EQ(data.Data(), nullptr);
}

TEST(BinaryData, RestoredBlocksAreFreedWhateverTheStoredFlag) {
  GBinaryData stored(NewBlock({1, 2, 3}), 3, 1, 0);
  std::string bytes = SaveContentsToFileBytes(stored);
  bytes[20] = 0;  // the owned flag
  GBinaryData restored;
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
  EXPECT_EQ(restored.IsOwned(), 0);
  EXPECT_EQ(restored.Length(), 3u);
  EXPECT_TRUE(RoundTrips(restored));
}

TEST(BinaryData, StoredLengthBeyondTheInputFailsWithoutAllocating) {
  GBinaryData previous(NewBlock({1}), 1, 1, 0);
  const std::string bytes = Words({1, 0, 0, 1, 0xFFFFFFF0, 1}) + "abc";
  GBinaryData inFile(NewBlock({1}), 1, 1, 0);
  RestoreContentsFromFileBytes(inFile, bytes);
  EXPECT_EQ(inFile.Length(), 0u);
  EXPECT_EQ(inFile.Data(), nullptr);
  GBinaryData inStream(NewBlock({1}), 1, 1, 0);
  RestoreContentsFromStreamBytes(inStream, bytes);
  EXPECT_EQ(inStream.Length(), 0u);
  for (StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    std::string graph = SaveGraph(form, &previous);
    bool good = true;
    // Cut the stored bytes off: the length then claims more than is there.
    graph.resize(graph.size() - 2);
    const GObjectRef restored = RestoreGraph(form, graph, good);
    EXPECT_FALSE(good);
  }
}

TEST(PersistableNumbers, CompareAndEqualityGoByValue) {
  const GPersistableLong minusOne(-1);
  const GPersistableLong one(1);
  EXPECT_EQ(minusOne.Compare(&one), -1);
  EXPECT_EQ(one.Compare(&minusOne), 1);
  EXPECT_EQ(one.Compare(&one), 0);
  const GPersistableULong all(0xFFFFFFFF);
  const GPersistableULong unsignedOne(1);
  EXPECT_EQ(all.Compare(&unsignedOne), 1);
  EXPECT_EQ(unsignedOne.Compare(&all), -1);
  // Another class orders by address.
  EXPECT_EQ(one.Compare(&unsignedOne), &one < static_cast<const RWCollectable*>(&unsignedOne) ? -1 : 1);

  GPersistableULong keyed(0xFFFFFFFF);
  keyed.SetKey(4);
  EXPECT_TRUE(keyed.Equals(&all));
  EXPECT_FALSE(keyed.SameContent(all));
  EXPECT_FALSE(one.Equals(&unsignedOne));

  const GPersistableLong copy(one);
  EXPECT_EQ(copy.Value(), 1);
  EXPECT_NE(copy.SerialNumber(), one.SerialNumber());
}

TEST(SelectionString, CompareTextsAndValues) {
  const GSelectionString a("Tray 1", 1, 0);
  EXPECT_TRUE(a.SameContent(GSelectionString("Tray 1", 1, 0)));
  EXPECT_FALSE(a.SameContent(GSelectionString("Tray 1", 2, 0)));
  EXPECT_FALSE(a.SameContent(GSelectionString("Tray 2", 1, 0)));
  EXPECT_FALSE(a.SameContent(GSelectionString("Tray 1", 1, 1)));
  GSelectionString assigned;
  assigned = a;
  EXPECT_EQ(assigned.SerialNumber(), a.SerialNumber());
  EXPECT_EQ(std::string(assigned.Text().Data()), "Tray 1");
  EXPECT_EQ(assigned.Value(), 1);
}

TEST(DisplayString, NullTextsAreEmptyAndSettersChangeContent) {
  GDisplayString display(12, nullptr, nullptr);
  EXPECT_EQ(display.DefaultText().Length(), 0u);
  EXPECT_EQ(display.ModuleName().Length(), 0u);
  const GDisplayString copy(display);
  display.SetDefaultText("Letter");
  EXPECT_FALSE(display.SameContent(copy));
  display.SetDefaultText("");
  display.SetModuleName("X.DLL");
  EXPECT_FALSE(display.SameContent(copy));
  display.SetModuleName("");
  display.SetStringId(13);
  EXPECT_FALSE(display.SameContent(copy));
  display.SetStringId(12);
  EXPECT_TRUE(display.SameContent(copy));
}

TEST(LocaleInfo, DefaultsAreUSEnglish) {
  const GLocaleInfo locale;
  EXPECT_EQ(locale.Number(GLocaleInfo::kLocale), 409);
  EXPECT_EQ(locale.Number(GLocaleInfo::kCountry), 1);
  EXPECT_EQ(std::string(locale.Text(GLocaleInfo::kTimeSeparator).Data()), ":");
  EXPECT_EQ(std::string(locale.Text(GLocaleInfo::kLongDate).Data()), "dddd, MMMM dd, yyyy");
  const std::string stored = SaveContentsToFileBytes(locale);
  EXPECT_EQ(stored.substr(12, 48), Words({1, 1, 2, 0, 0, 2, 1, 1, 1, 0, 0, 409}));
  EXPECT_EQ(stored.substr(stored.size() - 5), Words({1}) + ":");
  EXPECT_TRUE(locale.SameContent(GLocaleInfo(0)));
  EXPECT_FALSE(locale.SameContent(*ChangedLocale()));
}

TEST(PMDVersionInfo, NextVersionsStopAtTheLastNumber) {
  struct Case {
    const char* name;
    uint32_t word;
    bool major;
    uint32_t after;
    uint16_t answer;
  };
  const Case cases[] = {
      {"minor_counts_up", 0x00020005, false, 0x00020006, 5},
      {"minor_stops_at_ffff", 0x0002FFFF, false, 0x0002FFFF, 0xFFFF},
      {"major_counts_up_and_clears_minor", 0x00020005, true, 0x00030000, 2},
      {"major_stops_at_ffff", 0xFFFF0005, true, 0xFFFF0005, 0xFFFF},
      {"major_from_zero", 0x00000000, true, 0x00010000, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GPMDVersionInfo onB(0x11112222, c.word, 1, 0);
    EXPECT_EQ(c.major ? onB.NextMajorVersion() : onB.NextMinorVersion(), c.answer);
    EXPECT_EQ(onB.VersionB(), c.after);
    EXPECT_EQ(onB.VersionA(), 0x11112222u);
    GPMDVersionInfo onA(c.word, 0x11112222, 1, 0);
    EXPECT_EQ(c.major ? onA.NextMajorVersionA() : onA.NextMinorVersionA(), c.answer);
    EXPECT_EQ(onA.VersionA(), c.after);
    EXPECT_EQ(onA.VersionB(), 0x11112222u);
  }
}

TEST(PMDVersionInfo, AssignmentReplacesTheTextsAndContentNeedsThemInOrder) {
  const std::unique_ptr<GPMDVersionInfo> source = VersionInfoWithTexts();
  GPMDVersionInfo target;
  EXPECT_EQ(target.ShortValue(), 1);
  target.Texts().Append("old");
  target = *source;
  EXPECT_EQ(target.Texts().Count(), 3u);
  EXPECT_TRUE(target.SameContent(*source));
  EXPECT_EQ(target.SerialNumber(), source->SerialNumber());
  target.Texts().Set(0, "three");
  target.Texts().Set(2, "one");
  EXPECT_FALSE(target.SameContent(*source));

  const RecordingErrorHandler errors;
  EXPECT_EQ(target.Texts().At(3).Length(), 0u);
  EXPECT_EQ(errors.Texts(),
            std::vector<std::string>{"[INDEXERR] Illegal Index (3) for collection or string with 3 elements"});
}

TEST(PMDVersionInfo, CorruptTextCountFailsTheRestore) {
  const std::unique_ptr<GPMDVersionInfo> source = VersionInfoWithTexts();
  std::string bytes = SaveContentsToFileBytes(*source);
  bytes.replace(34, 4, Words({0x40000000}));
  GPMDVersionInfo inFile;
  RestoreContentsFromFileBytes(inFile, bytes);
  EXPECT_EQ(inFile.Texts().Count(), 0u);
  GPMDVersionInfo inStream;
  RestoreContentsFromStreamBytes(inStream, bytes);
  EXPECT_EQ(inStream.Texts().Count(), 0u);
}

}  // namespace
