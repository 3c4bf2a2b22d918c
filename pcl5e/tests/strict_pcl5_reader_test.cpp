#include "pcl5e/testing/strict_pcl5_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using strict_pcl5::ReadStrictly;

std::vector<std::string> Names(const strict_pcl5::ReadResult& read) {
  std::vector<std::string> names;
  for (const strict_pcl5::Command& command : read.commands) names.push_back(command.name + " " + command.value);
  return names;
}

TEST(StrictPcl5Reader, ReadsCommandsInEveryContext) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> commands;
  };
  const Case cases[] = {
      {"reset_and_units", "\033E\033&u600D", {"E ", "&uD 600"}},
      {"combined_sequence_splits_per_parameter", "\033*p100x-14Y", {"*pX 100", "*pY -14"}},
      {"empty_value_field", "\033*pR\033*rC", {"*pR ", "*rC "}},
      {"fraction_value", "\033(s12.5V", {"(sV 12.5"}},
      {"symbol_set_and_font_id", "\033(10U\033(3X\033(3@", {"(U 10", "(X 3", "(@ 3"}},
      {"gl2_between_switches",
       "\033%BIN;SP1PW0.254PU10,20PD 30 40;\033%0A",
       {"%B ", "IN ", "SP 1", "PW 0.254", "PU 10,20", "PD 30 40", "%A 0"}},
      {"gl2_mnemonics_run_together",
       "\033%1BWUAC1,4SP1PW0TD1IW\033%0A",
       {"%B 1", "WU ", "AC 1,4", "SP 1", "PW 0", "TD 1", "IW ", "%A 0"}},
      {"label_ends_at_its_terminator", "\033%BLBHello\003DT#;LBWorld#\033%0A", {"%B ", "LB ", "DT #", "LB ", "%A 0"}},
      {"encoded_polyline", "\033%BPE=<\x47\xC2\xC2;\033%0A", {"%B ", "PE ", "%A 0"}},
      {"reset_leaves_gl2", "\033%BIN\033E\033&l0O", {"%B ", "IN ", "E ", "&lO 0"}},
      {"text_and_form_feed", "Hi\r\n\f", {"text ", "FF "}},
      {"pjl_around_the_job",
       "\033%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE=PCL\r\n\033E\f\033%-12345X@PJL EOJ\n\033%-12345X",
       {"UEL ", "@PJL @PJL JOB", "@PJL @PJL ENTER LANGUAGE=PCL", "E ", "FF ", "UEL ", "@PJL @PJL EOJ", "UEL "}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const strict_pcl5::ReadResult read = ReadStrictly(c.bytes);
    EXPECT_TRUE(read.Ok()) << read.error;
    EXPECT_EQ(Names(read), c.commands) << strict_pcl5::Disassemble(read);
  }
}

// Binary data is counted, not parsed: escape bytes inside it are data, and
// a combined sequence goes on after it.
TEST(StrictPcl5Reader, BinaryDataIsTakenByItsCount) {
  const strict_pcl5::ReadResult read =
      ReadStrictly(std::string("\033*b4W\033\033\033\033\033*b2w\001\002"
                               "3M"));
  ASSERT_TRUE(read.Ok()) << read.error;
  ASSERT_EQ(read.commands.size(), 3U);
  EXPECT_EQ(read.commands[0].data, "\033\033\033\033");
  EXPECT_EQ(read.commands[1].data, "\001\002");
  EXPECT_EQ(read.commands[2].name, "*bM");
}

TEST(StrictPcl5Reader, RejectsWhatItDoesNotUnderstand) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
    size_t offset;
  };
  const Case cases[] = {
      {"unknown_command", "\033E\033&l5Q", "unknown PCL command &lQ", 5},
      {"unknown_two_character_escape", "\033Q", "unknown escape sequence ESC 'Q'", 0},
      {"missing_group", "\033&5O", "without a group character", 2},
      {"cut_off_sequence", "\033&l12", "escape sequence cut off", 0},
      {"escape_at_end", "\033", "escape at the end", 0},
      {"data_shorter_than_announced", "\033*b5Wabc", "announces 5 bytes, 3 follow", 3},
      {"negative_byte_count", "\033*b-1W", "bad byte count", 3},
      {"pcl_command_inside_gl2", "\033%BIN\033&l0O", "PCL command in GL/2 context", 5},
      {"gl2_entered_twice", "\033%B\033%B", "GL/2 entered while in GL/2", 3},
      {"unknown_mnemonic", "\033%BQQ1;", "unknown GL/2 mnemonic QQ", 3},
      {"bad_parameter", "\033%BPW1#;", "bad parameter byte '#' of PW", 6},
      {"unterminated_label", "\033%BLBabc", "label without its terminator", 3},
      {"unterminated_polyline", "\033%BPE<=", "encoded polyline without ';'", 3},
      {"bad_polyline_byte", "\033%BPE=\001;", "bad encoded-polyline byte 0x01", 6},
      {"unknown_switch", "\033%1C", "unknown ESC % sequence", 0},
      {"pjl_without_prefix", "\033%-12345XJOB\n", "job-control line without @PJL", 9},
      {"pjl_other_language", "\033%-12345X@PJL ENTER LANGUAGE=PCLXL\n", "another language than PCL", 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const strict_pcl5::ReadResult read = ReadStrictly(c.bytes);
    ASSERT_FALSE(read.Ok());
    EXPECT_NE(read.error.find(c.message), std::string::npos) << read.error;
    EXPECT_EQ(read.errorOffset, c.offset) << read.error;
  }
}

// Each form feed ends a page with the set-up then in force.
TEST(StrictPcl5Reader, FollowsThePages) {
  const strict_pcl5::ReadResult read =
      ReadStrictly("\033E\033&l1O\033&l2A\033&l4H\033&l2X\f\033&l26a0O\f\033%BIN\033%0A\f");
  ASSERT_TRUE(read.Ok()) << read.error;
  ASSERT_EQ(read.pages.size(), 3U);
  EXPECT_EQ(read.pages[0].orientation, 1);
  EXPECT_EQ(read.pages[0].size, 2);
  EXPECT_EQ(read.pages[0].source, 4);
  EXPECT_EQ(read.pages[0].copies, 2);
  EXPECT_EQ(read.pages[1].size, 26);
  EXPECT_EQ(read.pages[1].orientation, 0);
  EXPECT_EQ(read.pages[2].size, 26);
}

}  // namespace
