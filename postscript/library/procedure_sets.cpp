#include "postscript/library/procedure_sets.h"

#include <string>

namespace {

// The texts are kept with plain line ends here and sent with CR LF, as
// every other line of the document.
std::string WithCrLf(std::string_view text) {
  std::string converted;
  converted.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

// The drawing procedures. For now the set holds the page end only; the
// drawing operators join it with the shapes, images and text.
constexpr std::string_view kStandardProcs = R"(200 dict dup begin
/AS {showpage} bind def
end def )";

// The short aliases; the generator calls none of them itself.
constexpr std::string_view kAliasProcs = R"(20 dict dup begin
end def )";

// State: a text cursor that starts at (72, 700), steps 12 points a line,
// indents 12 points a nesting level and turns the page below the bottom
// margin; one printer procedure a type of object.
constexpr std::string_view kErrorHandler = R"(userdict begin
/$xioerr 40 dict def
$xioerr begin
/x0 72 def /y0 700 def /lm 72 def /bm 72 def /step 12 def /indent 12 def
/maxdepth 0 def /depth 0 def /cy 700 def
/buf 256 string def
/nl {/cy cy step sub def cy bm lt {showpage /Times-Roman findfont 10 scalefont setfont /cy y0 def} if
 lm depth indent mul add cy moveto} bind def
/prt {dup type /stringtype ne {buf cvs} if show} bind def
/printers 16 dict def
/elements {dup rcheck {length prt} {pop (-noaccess-) show} ifelse} bind def
printers begin
/nametype {dup xcheck not {(/) show} if buf cvs show} bind def
/stringtype {dup rcheck {(\() show show (\)) show} {pop (-string-) show} ifelse} bind def
/operatortype {(--) show buf cvs show (--) show} bind def
/marktype {pop (-mark-) show} bind def
/dicttype {(-dictionary- ) show elements} bind def
/arraytype {dup rcheck depth maxdepth lt and
 {/depth depth 1 add def ([) show {nl pobj} forall /depth depth 1 sub def nl (]) show}
 {(-array- ) show elements} ifelse} bind def
/packedarraytype {(-packedarray- ) show elements} bind def
/savetype {pop (-save-) show} bind def
/filetype {pop (-file-) show} bind def
/gstatetype {pop (-gstate-) show} bind def
/nulltype {pop (-null-) show} bind def
end
/pobj {dup type dup printers exch known {printers exch get exec} {pop prt} ifelse} bind def
/stack {show $error 1 index known
 {$error exch get dup length prt nl {pobj nl} forall} {pop (0) show nl} ifelse} bind def
end
end
errordict /handleerror {
 $error /errorname get /timeout ne {
  $xioerr begin
  $error /newerror false put
  showpage initgraphics
  /Times-Roman findfont 10 scalefont setfont
  /depth 0 def /cy y0 def x0 cy moveto
  (ERROR: ) show $error /errorname get pobj nl
  (OFFENDING COMMAND: ) show $error /command get pobj nl
  (VIRTUAL MEMORY:  ) show currentglobal {(global )} {(local )} ifelse show
  vmstatus prt ( maximum ) show prt ( used ) show prt ( save level) show nl
  /ostack (OPERATOR STACK :  ) stack
  /estack (EXECUTION STACK :  ) stack
  /dstack (DICTIONARY STACK :  ) stack
  showpage
  end
 } if
} bind put
)";

}  // namespace

const std::array<PSProcset, 3>& ProcsetTable() {
  static const std::string standard = WithCrLf(kStandardProcs);
  static const std::string aliases = WithCrLf(kAliasProcs);
  static const std::array<PSProcset, 3> table = {{
      {"QV_Standard_Proc", "1.0", "0", standard},
      {"MS_Win35_Proc", "3", "1", aliases},
      {},
  }};
  return table;
}

std::string_view ErrorHandlerBody() {
  static const std::string body = WithCrLf(kErrorHandler);
  return body;
}

std::string_view Type3Procedures() { return {}; }

std::string_view Type42Procedures() { return {}; }

std::string_view EncodingVectors() { return {}; }
