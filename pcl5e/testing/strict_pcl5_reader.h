#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A strict reader of PCL 5 streams with HP-GL/2 for tests, written from the
// public command syntax with its own table of commands:
// - escape sequences: ESC, a parameter character ('!' to '/'), a group
//   character ('`' to '~'), then value fields (an optional sign, digits, an
//   optional fraction), each ended by a parameter character: lower case
//   continues the combined sequence in the same group, upper case ends it.
//   Commands that announce binary data take their value as the byte count
//   and the bytes follow the parameter character. ESC ( and ESC ) also take
//   a value straight after them (symbol set, font id); a few two-character
//   sequences (ESC E, ESC 9, ESC =, ESC Y, ESC Z) stand alone;
// - ESC % n B enters GL/2 and ESC % n A returns to PCL; ESC E also returns;
// - in GL/2: two-letter mnemonics with numeric parameters separated by
//   commas or spaces, ended by ';' or the next mnemonic; labels end with the
//   label terminator, encoded polylines at ';', comments are quoted;
// - the universal exit (ESC %-12345X) and the job-control lines (@PJL ...)
//   it brackets; "@PJL ENTER LANGUAGE" hands over to PCL.
// In PCL context plain bytes (text, carriage control, form feed, padding
// zeros) are accepted and recorded. The reader stops at the first thing it
// does not understand and says what and where.
//
// From the commands it also follows the pages: every form feed in PCL
// context ends one, with the page size, orientation and paper source then
// in force.
namespace strict_pcl5 {

enum class Context : uint8_t { kPjl, kPcl, kGl2 };

struct Command {
  size_t offset = 0;
  Context context = Context::kPcl;
  // PCL: the parameter and group characters and the upper-case parameter
  // character ("&lO", "*pX"), or "E", "%B", "(X" for the short forms;
  // "text" for plain bytes. GL/2: the mnemonic ("PW"). PJL: "UEL" or "@PJL".
  std::string name;
  // PCL: the value field as written ("" when empty). GL/2: the parameters
  // as written. PJL: the line.
  std::string value;
  // Binary data, label text, encoded polyline bytes or plain text.
  std::string data;

  // The value as a number (0 for an empty field).
  double Number() const;
};

struct Page {
  int32_t size = -1;
  int32_t orientation = 0;
  int32_t source = -1;
  int32_t copies = 1;
};

struct ReadResult {
  std::vector<Command> commands;
  std::vector<Page> pages;
  // Empty when the whole stream was read.
  std::string error;
  size_t errorOffset = 0;
  Context endContext = Context::kPcl;

  bool Ok() const { return error.empty(); }
  // The commands of that name, in order.
  std::vector<const Command*> All(std::string_view name) const;
};

// Reads a stream that starts in PCL context (or with a universal exit).
ReadResult ReadStrictly(std::span<const uint8_t> bytes);
ReadResult ReadStrictly(std::string_view bytes);

// One command a line, for test messages: "&lO 0", "PW 0.254", "text \f".
std::string Disassemble(const ReadResult& result);

}  // namespace strict_pcl5
