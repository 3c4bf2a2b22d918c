#include "pcl5e/testing/strict_pcl5_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace strict_pcl5 {
namespace {

constexpr uint8_t kEscape = 0x1B;
constexpr uint8_t kFormFeed = 0x0C;
constexpr uint8_t kEndOfText = 0x03;
constexpr std::string_view kUniversalExit = "\x1B%-12345X";

// Parameterised PCL commands: parameter character, group character and the
// upper-case parameter character that ends them. Commands that announce
// binary data are in kDataCommands as well.
const std::set<std::string, std::less<>>& KnownCommands() {
  static const std::set<std::string, std::less<>> kKnown = {
      // Page set-up and job control.
      "&lA", "&lH", "&lO", "&lE", "&lF", "&lL", "&lC", "&lD", "&lX", "&lS", "&lU", "&lZ", "&lM", "&lT", "&lG", "&lP",
      "&uD", "&aP", "&aL", "&aM", "&aR", "&aC", "&aH", "&aV", "&aW", "&fS", "&fX", "&fY",
      // Printer-specific page set-up: custom sheet size and page placement.
      "&fI", "&fJ", "&fF", "&fG",
      // Cursor, text and fonts.
      "&kH", "&kS", "&kG", "&sC", "&dD", "&d@", "&cT", "&pX", "&nW", "(sW", ")sW", "(sP", "(sH", "(sV", "(sS", "(sB",
      "(sT", ")sP", ")sH", ")sV", ")sS", ")sB", ")sT", "*pX", "*pY", "*pR", "*pP",
      // Pictures, patterns and rectangles.
      "*cA", "*cB", "*cH", "*cV", "*cP", "*cG", "*cQ", "*cW", "*cD", "*cE", "*cF", "*cT", "*cX", "*cY", "*cK", "*cL",
      "*cR",
      // Raster graphics.
      "*tR", "*tJ", "*tH", "*tV", "*rA", "*rB", "*rC", "*rF", "*rS", "*rT", "*rU", "*bM", "*bW", "*bY", "*bV",
      // Colour, palettes and print modes.
      "*vN", "*vO", "*vT", "*vW", "*vA", "*vB", "*vC", "*vI", "*vS", "&pS", "&pI", "&pC", "*lO", "*lR", "*lW", "*oM",
      "*oW", "*gW", "*mW", "&bM", "&bF", "&bW"};
  return kKnown;
}

const std::set<std::string, std::less<>>& DataCommands() {
  static const std::set<std::string, std::less<>> kData = {"&aW", "&pX", "&nW", "&bW", "*bW", "*bV", "*cW",
                                                           "*vW", "*lW", "*oW", "*gW", "*mW", "(sW", ")sW"};
  return kData;
}

// The HP-GL/2 mnemonics.
const std::set<std::string, std::less<>>& Mnemonics() {
  static const std::set<std::string, std::less<>> kMnemonics = {
      "AA", "AC", "AD", "AR", "AT", "BP", "BR", "BZ", "CF", "CI", "CO", "CP", "CR", "CT", "DF", "DI",
      "DR", "DT", "DV", "EA", "EC", "EP", "ER", "ES", "EW", "FI", "FN", "FP", "FR", "FT", "IN", "IP",
      "IR", "IW", "LA", "LB", "LM", "LO", "LT", "MC", "MG", "NP", "NR", "PA", "PC", "PD", "PE", "PG",
      "PM", "PP", "PR", "PS", "PU", "PW", "QL", "RA", "RF", "RO", "RP", "RQ", "RR", "RT", "SA", "SB",
      "SC", "SD", "SI", "SL", "SM", "SP", "SR", "SS", "ST", "SV", "TD", "TR", "UL", "WG", "WU"};
  return kMnemonics;
}

bool IsParameterCharacter(uint8_t c) { return c >= '!' && c <= '/'; }
bool IsGroupCharacter(uint8_t c) { return c >= '`' && c <= '~'; }
bool IsUpperTerminator(uint8_t c) { return c >= '@' && c <= '^'; }
bool IsLowerTerminator(uint8_t c) { return c >= '`' && c <= '~'; }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

std::string Printable(uint8_t c) {
  if (c >= 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", c);
  return text;
}

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  ReadResult Run() {
    while (result_.error.empty() && at_ < bytes_.size()) {
      switch (context_) {
        case Context::kPjl:
          ReadPjl();
          break;
        case Context::kPcl:
          ReadPcl();
          break;
        case Context::kGl2:
          ReadGl2();
          break;
      }
    }
    result_.endContext = context_;
    return std::move(result_);
  }

 private:
  bool AtEnd() const { return at_ >= bytes_.size(); }
  uint8_t Peek(size_t ahead = 0) const { return at_ + ahead < bytes_.size() ? bytes_[at_ + ahead] : 0; }
  bool StartsWith(std::string_view text) const {
    return bytes_.size() - at_ >= text.size() &&
           std::equal(text.begin(), text.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
  }

  void Fail(size_t offset, std::string message) {
    if (!result_.error.empty()) return;
    result_.error = std::move(message) + " at offset " + std::to_string(offset);
    result_.errorOffset = offset;
  }

  Command& Add(size_t offset, std::string name, std::string value = {}) {
    Command command;
    command.offset = offset;
    command.context = context_;
    command.name = std::move(name);
    command.value = std::move(value);
    result_.commands.push_back(std::move(command));
    return result_.commands.back();
  }

  // PJL: lines after the universal exit until the language is entered.
  void ReadPjl() {
    if (StartsWith(kUniversalExit)) {
      Add(at_, "UEL");
      at_ += kUniversalExit.size();
      return;
    }
    if (!StartsWith("@PJL")) {
      Fail(at_, "job-control line without @PJL");
      return;
    }
    const size_t start = at_;
    while (!AtEnd() && Peek() != '\n') {
      if (Peek() == kEscape) {
        Fail(at_, "escape inside a job-control line");
        return;
      }
      ++at_;
    }
    if (AtEnd()) {
      Fail(start, "job-control line without its line feed");
      return;
    }
    ++at_;
    std::string line(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                     bytes_.begin() + static_cast<std::ptrdiff_t>(at_));
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    Add(start, "@PJL", line);
    std::string upper = line;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    if (upper.find("ENTER LANGUAGE") != std::string::npos) {
      const size_t equals = upper.find('=');
      std::string language = equals != std::string::npos ? upper.substr(equals + 1) : std::string();
      language.erase(0, language.find_first_not_of(' '));
      language.erase(language.find_last_not_of(' ') + 1);
      if (language != "PCL") {
        Fail(start, "job enters another language than PCL");
        return;
      }
      context_ = Context::kPcl;
    }
  }

  void ReadPcl() {
    const uint8_t c = Peek();
    if (c == kEscape) {
      ReadEscape();
      return;
    }
    const size_t start = at_;
    while (!AtEnd() && Peek() != kEscape && Peek() != kFormFeed) ++at_;
    if (at_ > start) {
      Add(start, "text")
          .data.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                       bytes_.begin() + static_cast<std::ptrdiff_t>(at_));
      return;
    }
    Add(at_, "FF");
    ++at_;
    result_.pages.push_back(page_);
  }

  void ReadEscape() {
    const size_t start = at_;
    if (StartsWith(kUniversalExit)) {
      Add(start, "UEL");
      at_ += kUniversalExit.size();
      context_ = Context::kPjl;
      return;
    }
    ++at_;
    if (AtEnd()) {
      Fail(start, "escape at the end of the stream");
      return;
    }
    const uint8_t c = Peek();
    if (c == 'E' || c == '9' || c == '=' || c == 'Y' || c == 'Z') {
      if (c != 'E' && context_ == Context::kGl2) {
        Fail(start, "PCL command in GL/2 context");
        return;
      }
      ++at_;
      Add(start, std::string(1, static_cast<char>(c)));
      if (c == 'E') context_ = Context::kPcl;
      return;
    }
    if (c == '%') {
      ReadContextSwitch(start);
      return;
    }
    if (!IsParameterCharacter(c)) {
      Fail(start, "unknown escape sequence ESC " + Printable(c));
      return;
    }
    ++at_;
    if ((c == '(' || c == ')') && (IsDigit(Peek()) || Peek() == '@')) {
      ReadFontDesignation(start, static_cast<char>(c));
      return;
    }
    const uint8_t group = Peek();
    if (!IsGroupCharacter(group)) {
      Fail(at_, "escape sequence without a group character: " + Printable(group));
      return;
    }
    ++at_;
    ReadParameters(start, static_cast<char>(c), static_cast<char>(group));
  }

  // ESC % n A returns to PCL, ESC % n B enters GL/2.
  void ReadContextSwitch(size_t start) {
    ++at_;
    const std::string value = ReadValueField();
    const uint8_t terminator = Peek();
    if (terminator != 'A' && terminator != 'B') {
      Fail(start, "unknown ESC % sequence ending in " + Printable(terminator));
      return;
    }
    ++at_;
    if (terminator == 'B' && context_ == Context::kGl2) {
      Fail(start, "GL/2 entered while in GL/2");
      return;
    }
    Add(start, std::string("%") + static_cast<char>(terminator), value);
    context_ = terminator == 'B' ? Context::kGl2 : Context::kPcl;
  }

  // ESC ( value letter: a symbol set or font id (ESC ( 10U, ESC ( 3X, ESC ( 3@).
  void ReadFontDesignation(size_t start, char parameter) {
    if (context_ == Context::kGl2) {
      Fail(start, "PCL command in GL/2 context");
      return;
    }
    const std::string value = Peek() == '@' ? std::string() : ReadValueField();
    const uint8_t terminator = Peek();
    if (!IsUpperTerminator(terminator)) {
      Fail(start, "font designation without its letter");
      return;
    }
    ++at_;
    Add(start, std::string(1, parameter) + static_cast<char>(terminator), value);
  }

  // An optional sign, digits and an optional fraction.
  std::string ReadValueField() {
    const size_t start = at_;
    if (Peek() == '+' || Peek() == '-') ++at_;
    while (IsDigit(Peek())) ++at_;
    if (Peek() == '.') {
      ++at_;
      while (IsDigit(Peek())) ++at_;
    }
    return {bytes_.begin() + static_cast<std::ptrdiff_t>(start), bytes_.begin() + static_cast<std::ptrdiff_t>(at_)};
  }

  void ReadParameters(size_t start, char parameter, char group) {
    if (context_ == Context::kGl2) {
      Fail(start, "PCL command in GL/2 context");
      return;
    }
    for (;;) {
      const size_t fieldStart = at_;
      const std::string value = ReadValueField();
      if (AtEnd()) {
        Fail(start, "escape sequence cut off");
        return;
      }
      const uint8_t terminator = Peek();
      const bool last = IsUpperTerminator(terminator);
      if (!last && !IsLowerTerminator(terminator)) {
        Fail(at_, "bad parameter character " + Printable(terminator));
        return;
      }
      ++at_;
      std::string name{parameter, group, static_cast<char>(last ? terminator : terminator - 0x20)};
      if (!KnownCommands().contains(name)) {
        Fail(fieldStart, "unknown PCL command " + name);
        return;
      }
      Command& command = Add(fieldStart, name, value);
      if (DataCommands().contains(name) && !ReadData(command)) return;
      Follow(command);
      if (last) return;
    }
  }

  bool ReadData(Command& command) {
    const double count = command.Number();
    const size_t left = bytes_.size() - at_;
    if (!(count >= 0) || count != std::floor(count)) {
      Fail(command.offset, "bad byte count " + command.value + " of " + command.name);
      return false;
    }
    if (count > static_cast<double>(left)) {
      Fail(command.offset,
           command.name + " announces " + command.value + " bytes, " + std::to_string(left) + " follow");
      return false;
    }
    const auto length = static_cast<size_t>(count);
    command.data.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                        bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + length));
    at_ += length;
    return true;
  }

  // The page set-up in force for the next form feed.
  void Follow(const Command& command) {
    const double value = std::clamp(command.Number(), -1.0e9, 1.0e9);
    const auto number = static_cast<int32_t>(value);
    if (command.name == "&lA") page_.size = number;
    if (command.name == "&lO") page_.orientation = number;
    if (command.name == "&lH") page_.source = number;
    if (command.name == "&lX") page_.copies = number;
  }

  void ReadGl2() {
    const uint8_t c = Peek();
    if (c == kEscape) {
      ReadEscape();
      return;
    }
    if (c == ';' || c == ' ' || c == ',' || c == '\r' || c == '\n' || c == '\t') {
      ++at_;
      return;
    }
    const size_t start = at_;
    if (!std::isalpha(c) || !std::isalpha(Peek(1))) {
      Fail(start, "GL/2 byte " + Printable(c) + " where a mnemonic belongs");
      return;
    }
    std::string name{static_cast<char>(std::toupper(c)), static_cast<char>(std::toupper(Peek(1)))};
    if (!Mnemonics().contains(name)) {
      Fail(start, "unknown GL/2 mnemonic " + name);
      return;
    }
    at_ += 2;
    Command& command = Add(start, name);
    if (name == "LB") {
      ReadLabel(command);
    } else if (name == "PE") {
      ReadEncodedPolyline(command);
    } else if (name == "CO") {
      ReadComment(command);
    } else if (name == "DT") {
      ReadLabelTerminator(command);
    } else {
      ReadNumbers(command);
    }
  }

  // Numbers separated by commas or spaces, up to ';', a letter or escape.
  void ReadNumbers(Command& command) {
    while (Peek() == ' ' || Peek() == ',') ++at_;
    const size_t start = at_;
    bool expectNumber = true;
    while (!AtEnd()) {
      const uint8_t c = Peek();
      if (c == ';' || c == kEscape || std::isalpha(c)) break;
      if (c == ',' || c == ' ') {
        ++at_;
        expectNumber = true;
        continue;
      }
      if (!expectNumber || !(IsDigit(c) || c == '+' || c == '-' || c == '.')) {
        Fail(at_, "bad parameter byte " + Printable(c) + " of " + command.name);
        return;
      }
      const std::string number = ReadValueField();
      if (number.empty() || number == "+" || number == "-" || number == ".") {
        Fail(at_, "bad number in " + command.name);
        return;
      }
      expectNumber = false;
    }
    command.value.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                         bytes_.begin() + static_cast<std::ptrdiff_t>(at_));
    while (!command.value.empty() && (command.value.back() == ' ' || command.value.back() == ',')) {
      command.value.pop_back();
    }
  }

  void ReadLabel(Command& command) {
    const size_t start = at_;
    while (!AtEnd() && Peek() != labelTerminator_) ++at_;
    if (AtEnd()) {
      Fail(command.offset, "label without its terminator");
      return;
    }
    command.data.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                        bytes_.begin() + static_cast<std::ptrdiff_t>(at_));
    ++at_;
  }

  // Flags ('<' pen up, '=' absolute, '>' fraction bits, '7' seven-bit) and
  // base-64 digits, up to ';'.
  void ReadEncodedPolyline(Command& command) {
    const size_t start = at_;
    while (!AtEnd() && Peek() != ';') {
      const uint8_t c = Peek();
      if (c != '<' && c != '=' && c != '>' && c != '7' && (c < 63 || c == 0xFF)) {
        Fail(at_, "bad encoded-polyline byte " + Printable(c));
        return;
      }
      ++at_;
    }
    if (AtEnd()) {
      Fail(command.offset, "encoded polyline without ';'");
      return;
    }
    command.data.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                        bytes_.begin() + static_cast<std::ptrdiff_t>(at_));
    ++at_;
  }

  void ReadComment(Command& command) {
    if (Peek() != '"') {
      ReadNumbers(command);
      return;
    }
    const size_t start = ++at_;
    while (!AtEnd() && Peek() != '"') ++at_;
    if (AtEnd()) {
      Fail(command.offset, "comment without its closing quote");
      return;
    }
    command.data.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(start),
                        bytes_.begin() + static_cast<std::ptrdiff_t>(at_));
    ++at_;
  }

  void ReadLabelTerminator(Command& command) {
    if (AtEnd() || Peek() == ';') {
      labelTerminator_ = kEndOfText;
      return;
    }
    labelTerminator_ = Peek();
    command.value.assign(1, static_cast<char>(Peek()));
    ++at_;
    if (Peek() == ',') {
      ++at_;
      ReadNumbers(command);
    }
  }

  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
  Context context_ = Context::kPcl;
  uint8_t labelTerminator_ = kEndOfText;
  Page page_;
  ReadResult result_;
};

}  // namespace

double Command::Number() const { return value.empty() ? 0 : std::strtod(value.c_str(), nullptr); }

std::vector<const Command*> ReadResult::All(std::string_view name) const {
  std::vector<const Command*> found;
  for (const Command& command : commands) {
    if (command.name == name) found.push_back(&command);
  }
  return found;
}

ReadResult ReadStrictly(std::span<const uint8_t> bytes) { return Reader(bytes).Run(); }

ReadResult ReadStrictly(std::string_view bytes) {
  return ReadStrictly(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

std::string Disassemble(const ReadResult& result) {
  std::string text;
  for (const Command& command : result.commands) {
    text += command.name;
    if (!command.value.empty()) text += " " + command.value;
    if (!command.data.empty()) text += " [" + std::to_string(command.data.size()) + " bytes]";
    text += "\n";
  }
  if (!result.error.empty()) text += "error: " + result.error + "\n";
  return text;
}

}  // namespace strict_pcl5
