// The PJL line checker accepts the PJL the writer may write and names the
// line of anything else, so that a golden that passes it is valid PJL.
#include "pclxl/testing/pjl_line_checker.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kUEL = "\x1B%-12345X";

TEST(PJLLineChecker, AcceptsTheCommandsOfAJobHeader) {
  const std::string job =
      kUEL + "@PJL JOB NAME=\"Q3 \xE9t\xC3\xA9\"\r\n" + "@PJL COMMENT \"OS Info:Win2k;5.0;0.2195;\"\r\n" +
      "@PJL COMMENT\r\n" + "@PJL SET QTY=5\r\n" + "@PJL SET JOBATTR=\"JobAcct1=a\tb\"\r\n" +
      "@PJL SET VRNEXTRADRYTIME=-10\r\n" + "@PJL SET OUTBIN=HCO-D\r\n" + "@PJL SET PAPER = A4\r\n" +
      "@PJL RDYMSG DISPLAY = \"Ready\"\r\n" + "@PJL OPMSG DISPLAY=\"\"\r\n" + "@PJL DMINFO ASCIIHEX=\"0400AbcD\"\r\n" +
      "@PJL USAGE=QVMC,ffff,,0b,(n/a),\r\n" + "@PJL USAGE=,1,2,3,4,5\r\n" + "@PJL\r\n" +
      "@PJL ENTER LANGUAGE=PCLXL\r\n" + kUEL + "@PJL EOJ NAME=\"\"\r\n" + kUEL;
  EXPECT_EQ(CheckPJL(job), "");
  EXPECT_EQ(CheckPJL(""), "");
}

TEST(PJLLineChecker, NamesTheLineOfWhatIsNotPJL) {
  struct Case {
    const char* name;
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"no_line_end", "@PJL SET QTY=5", "line 1: no CR LF at the end of the line"},
      {"line_feed_only", "@PJL SET QTY=5\n@PJL\r\n", "line 1: unexpected text at column 15"},
      {"not_pjl", "@PJL\r\nPJL SET QTY=5\r\n", "line 2: a line must start with @PJL"},
      {"glued_command", "@PJLSET QTY=5\r\n", "line 1: white space expected at column 5"},
      {"unknown_command", "@PJL FOO\r\n", "line 1: unknown command 'FOO' at column 9"},
      {"lower_case_command", "@PJL set QTY=5\r\n", "line 1: unknown command 'set' at column 9"},
      {"empty_value", "@PJL SET RET=\r\n", "line 1: value expected at column 14"},
      {"empty_item", "@PJL SET \r\n", "line 1: variable expected at column 10"},
      {"two_values", "@PJL SET QTY=5 6\r\n", "line 1: unexpected text at column 16"},
      {"quote_in_a_string", "@PJL JOB NAME=\"a\"b\"\r\n", "line 1: unexpected text at column 18"},
      {"unterminated_string", "@PJL EOJ NAME=\"ab\r\n", "line 1: unterminated string at column 18"},
      {"control_byte_in_a_string", "@PJL SET A=\"\x01\"\r\n", "line 1: control byte in a string at column 13"},
      {"control_byte_in_a_comment",
       "@PJL COMMENT a\x1B"
       "b\r\n",
       "line 1: control byte in a comment at column 15"},
      {"odd_hex", "@PJL DMINFO ASCIIHEX=\"123\"\r\n", "line 1: pairs of hexadecimal digits expected at column 27"},
      {"usage_code_lower_case", "@PJL USAGE=qvmc,,,,,\r\n",
       "line 1: device code of four capitals expected at column 16"},
      {"usage_field_missing", "@PJL USAGE=,,,,\r\n", "line 1: ',' expected at column 16"},
      {"usage_field_upper_hex", "@PJL USAGE=,FFFF,,,,\r\n", "line 1: hexadecimal usage field expected at column 17"},
      {"enter_no_language", "@PJL ENTER LANGUAGE=\r\n", "line 1: language expected at column 21"},
      {"data_after_enter", "@PJL ENTER LANGUAGE=PCLXL\r\n@PJL\r\n", "line 2: language data after ENTER LANGUAGE"},
      {"display_without_equals", "@PJL RDYMSG DISPLAY \"x\"\r\n", "line 1: '=' expected at column 21"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CheckPJL(c.text), c.error);
  }
}

}  // namespace
