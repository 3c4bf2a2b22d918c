#pragma once

#include <array>
#include <string_view>

// The resources the prolog of every document carries: the two procedure
// sets, whose dictionaries stay open for the whole document, and the error
// handler that prints a failing job's error on a page of its own.
struct PSProcset {
  std::string_view name;
  std::string_view version;
  std::string_view revision;
  // The PostScript text after "/name ": it builds the set's dictionary
  // and defines it under that name.
  std::string_view body;
};

// Rows 0 (the drawing procedures) and 1 (the short aliases); row 2 is
// empty.
const std::array<PSProcset, 3>& ProcsetTable();

// The error handler's PostScript text. It defines its state in userdict
// and replaces handleerror in errordict, and touches no other dictionary.
std::string_view ErrorHandlerBody();

// The font procedures that go inside the drawing procedures' dictionary
// before pass-through data and in raw mode: the Type 3 and Type 42 font
// builders and the encoding vectors. They come with the font download;
// until then they are empty texts.
std::string_view Type3Procedures();
std::string_view Type42Procedures();
std::string_view EncodingVectors();
