#include "graphics/device/job_name.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/testing/string_printers.h"

namespace {

constexpr char kTimeStamp[] = "20261211093005";

// A format-4 character map (big-endian) of three segments: printable
// ASCII, Latin-1 from 0xA0, and the closing 0xFFFF.
std::vector<uint8_t> LatinCharacterMap() {
  const std::vector<uint16_t> ends = {0x007E, 0x00FF, 0xFFFF};
  const std::vector<uint16_t> starts = {0x0020, 0x00A0, 0xFFFF};
  std::vector<uint16_t> words = {4, 0, 0, static_cast<uint16_t>(2 * ends.size()), 4, 1, 2};
  words.insert(words.end(), ends.begin(), ends.end());
  words.push_back(0);  // pad
  words.insert(words.end(), starts.begin(), starts.end());
  words.insert(words.end(), 2 * ends.size(), 0);  // deltas and range offsets
  std::vector<uint8_t> bytes;
  for (uint16_t word : words) {
    bytes.push_back(static_cast<uint8_t>(word >> 8));
    bytes.push_back(static_cast<uint8_t>(word));
  }
  return bytes;
}

RWWString Wide(const std::u16string& text) {
  const std::vector<WideChar> units(text.begin(), text.end());
  return RWWString(units.data(), static_cast<uint32_t>(units.size()));
}

TEST(JobName, AsciiNamesComeFromTheDocumentNameOrFallBack) {
  struct Case {
    const char* name;
    std::u16string documentName;
    const char* fallbackName;
    bool appendUniqueId;
    const char* jobName;
  };
  const Case cases[] = {
      {"folders_and_application_prefix_dropped", u"C:\\docs\\Microsoft Word - Report.doc", "", false, "REPORT.DOC"},
      {"forward_slash_folders_dropped", u"/home/ann/notes.txt", "", false, "NOTES.TXT"},
      {"capitals_and_digits_alone_are_a_name", u"INVOICE 2024", "", false, "INVOICE 2024"},
      {"quotes_and_line_ends_dropped", u"say \"hi\"\r\n", "", false, "SAY HI"},
      {"cut_to_sixteen_characters", u"abcdefghijklmnopqrstuvwxyz", "", false, "ABCDEFGHIJKLMNOP"},
      {"unique_id_after_thirteen_characters", u"Quarterly report 2026", "", true, "QUARTERLY REP42"},
      {"character_outside_ascii_gives_the_time_stamp", u"Gr\u00FC\u00DFe", "", false, kTimeStamp},
      {"control_character_gives_the_time_stamp", u"tab\tbed", "", false, kTimeStamp},
      {"no_document_name_takes_the_fallback", u"", "Spreadsheet", false, "SPREADSHEET"},
      {"no_names_at_all_take_the_time_stamp", u"", "", false, kTimeStamp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GJobNameSources sources;
    sources.documentName = Wide(c.documentName);
    sources.fallbackName = RWCString(c.fallbackName);
    sources.timeStamp = RWCString(kTimeStamp);
    sources.appendUniqueId = c.appendUniqueId;
    sources.uniqueId = RWWString("42");
    const GJobName name = ComputeJobName(sources);
    EXPECT_EQ(name.narrow, RWCString(c.jobName));
    EXPECT_EQ(name.wide, RWWString(c.jobName));
  }
}

// The narrow UTF-8 name is that of the cut name, valid or not; the wide
// name is the time stamp unless the character map covers the name.
TEST(JobName, Utf8NamesAreCheckedAgainstTheCharacterMapAndCutAtTheBytesEncoded) {
  const std::vector<uint8_t> latin = LatinCharacterMap();
  const std::vector<uint8_t> cutShort(latin.begin(), latin.begin() + 20);
  struct Case {
    const char* name;
    std::u16string documentName;
    std::span<const uint8_t> characterMap;
    std::string narrow;
    std::u16string wide;
  };
  const Case cases[] = {
      {"covered_name_keeps_its_letters", u"Caf\u00E9 menu", latin, "Caf\xC3\xA9 menu", u"Caf\u00E9 menu"},
      {"quote_dropped", u"a\"b\"", latin, "ab", u"ab"},
      {"character_outside_the_map_gives_the_time_stamp", u"price \u20AC", latin, "price \xE2\x82\xAC",
       u"20261211093005"},
      {"no_character_map_covers_nothing", u"plain", {}, "plain", u"20261211093005"},
      {"map_too_short_for_its_segments_covers_nothing", u"plain", cutShort, "plain", u"20261211093005"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GJobNameSources sources;
    sources.documentName = Wide(c.documentName);
    sources.timeStamp = RWCString(kTimeStamp);
    sources.utf8 = true;
    sources.characterMap = c.characterMap;
    const GJobName name = ComputeJobName(sources);
    EXPECT_EQ(std::string(name.narrow.Data(), name.narrow.Length()), c.narrow);
    EXPECT_EQ(name.wide, Wide(c.wide));
  }
}

TEST(JobName, TheUtf8NameEndsWhereTheEncodingStopped) {
  struct Case {
    const char* name;
    std::u16string wide;
    std::string narrow;
  };
  const Case cases[] = {
      {"whole_name", u"na\u00EFve \u20AC", "na\xC3\xAFve \xE2\x82\xAC"},
      {"lone_surrogate_ends_it", std::u16string(u"ab") + char16_t{0xD800} + u"cd", "ab"},
      {"surrogate_pair_encoded", u"x\U0001F600", "x\xF0\x9F\x98\x80"},
      {"zero_ends_it", std::u16string(u"ab\0cd", 5), "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const RWCString narrow = Utf8JobName(Wide(c.wide));
    EXPECT_EQ(std::string(narrow.Data(), narrow.Length()), c.narrow);
  }
}

TEST(JobName, TheTimeStampIsZeroPaddedDigits) {
  GDateTime time;
  time.year = 2026;
  time.month = 1;
  time.day = 2;
  time.hour = 3;
  time.minute = 4;
  time.second = 5;
  EXPECT_EQ(FormatTimeStamp(time), RWCString("20260102030405"));
}

}  // namespace
