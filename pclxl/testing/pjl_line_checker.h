#pragma once

#include <string>
#include <string_view>

// A strict checker of PJL job text, written from the PJL command syntax
// independently of the writer, for tests: it accepts a sequence of
// universal exit language sequences (ESC "%-12345X") and PJL command lines,
// each line "@PJL", then optionally white space and one command, then CR LF.
//
// Commands it knows:
//   COMMENT text                    any text without control bytes but TAB
//   JOB [NAME = "string"]           EOJ [NAME = "string"]
//   ENTER LANGUAGE = word
//   SET variable = value            value a word, a number or "string"
//   RDYMSG DISPLAY = "string"       OPMSG DISPLAY = "string"
//   DMINFO ASCIIHEX = "hex digits"  an even count of them
//   USAGE=CODE,f,f,f,f,f            CODE empty or four capitals, each field
//                                   empty, hexadecimal or "(n/a)"
// A word starts with a letter and goes on with letters, digits, '_' and
// '-'; a number has an optional sign, digits and an optional fraction; a
// string has no '"' and no control byte but TAB inside. Keywords are
// upper case. After ENTER LANGUAGE only a UEL may follow (the language data
// of a real job is not PJL). Anything else fails.
//
// Answers the empty string when the text is accepted, else "line N: " and
// what is wrong, N counting from 1.
std::string CheckPJL(std::string_view text);
