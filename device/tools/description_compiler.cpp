#include "device/tools/description_compiler.h"

#include <string>
#include <utility>
#include <vector>

#include "model/attributes/configuration.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/state.h"

namespace {

constexpr int64_t kKeyMinimum = INT32_MIN;
constexpr int64_t kKeyMaximum = INT32_MAX;

// One object line, read and checked against its class's properties.
struct ObjectLine {
  int32_t line = 0;
  size_t depth = 0;
  const ClassDescription* description = nullptr;
  int32_t key = 0;
  // Property index and value, in the order written.
  std::vector<std::pair<size_t, DescriptionValue>> assignments;
};

using LineResult = std::optional<DescriptionError>;

// The line without its comment and trailing blanks.
std::string_view Uncommented(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') {
      const size_t end = EndOfQuotedText(text, i);
      if (end == std::string_view::npos) break;
      i = end - 1;
    } else if (text[i] == '#') {
      text = text.substr(0, i);
      break;
    }
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// Splits at blanks outside quoted texts; false when a text does not close.
bool SplitWords(std::string_view text, std::vector<std::string_view>& words) {
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < text.size() && text[i] != ' ') {
      if (text[i] == '"') {
        i = EndOfQuotedText(text, i);
        if (i == std::string_view::npos) return false;
      } else {
        ++i;
      }
    }
    words.push_back(text.substr(start, i - start));
  }
  return true;
}

std::string Quoted(std::string_view word) {
  std::string quoted(1, '"');
  quoted += word;
  return quoted += '"';
}

bool InRange(const DescriptionValue& value, const DescribedProperty& property) {
  auto fits = [&](int64_t number) { return number >= property.minimum && number <= property.maximum; };
  if (const auto* number = std::get_if<int64_t>(&value)) return fits(*number);
  if (const auto* pair = std::get_if<DescriptionPair>(&value)) return fits(pair->first) && fits(pair->second);
  return true;
}

LineResult ReadAssignment(std::string_view word, ObjectLine& object) {
  const size_t equals = word.find('=');
  if (equals == std::string_view::npos) return DescriptionError{0, "expected name=value, found " + Quoted(word)};
  const std::string_view name = word.substr(0, equals);
  const std::span<const DescribedProperty> properties = object.description->Properties();
  size_t index = 0;
  while (index < properties.size() && properties[index].name != name) ++index;
  if (index == properties.size()) {
    return DescriptionError{0, "a " + std::string(object.description->Name()) + " has no property " + Quoted(name)};
  }
  for (const auto& [assigned, value] : object.assignments) {
    if (assigned == index) return DescriptionError{0, "the property " + Quoted(name) + " is given twice"};
  }
  const DescribedProperty& property = properties[index];
  ParsedValue parsed = ParseDescriptionValue(word.substr(equals + 1), property.kind);
  if (!parsed.value) return DescriptionError{0, "the value of " + Quoted(name) + " must be " + parsed.error};
  if (!InRange(*parsed.value, property)) {
    return DescriptionError{0, "the value of " + Quoted(name) + " lies outside " + std::to_string(property.minimum) +
                                   " to " + std::to_string(property.maximum)};
  }
  object.assignments.emplace_back(index, std::move(*parsed.value));
  return std::nullopt;
}

// Reads the words of one line after its indentation.
LineResult ReadObjectLine(std::string_view text, ObjectLine& object) {
  std::vector<std::string_view> words;
  if (!SplitWords(text, words)) return DescriptionError{0, "a text in quotes does not close"};
  object.description = FindClassDescription(words[0]);
  if (object.description == nullptr) {
    return DescriptionError{0, "unknown class " + Quoted(words[0])};
  }
  const ParsedValue key = ParseDescriptionValue(words.size() > 1 ? words[1] : "", int64_t{0});
  const auto* number = key.value ? std::get_if<int64_t>(&*key.value) : nullptr;
  if (number == nullptr || *number < kKeyMinimum || *number > kKeyMaximum) {
    return DescriptionError{0, "a 32-bit key must follow the class name"};
  }
  object.key = static_cast<int32_t>(*number);
  for (size_t i = 2; i < words.size(); ++i) {
    if (LineResult error = ReadAssignment(words[i], object)) return error;
  }
  return std::nullopt;
}

// Every object line of the text, its depth checked against the line before.
LineResult ReadLines(std::string_view text, std::vector<ObjectLine>& lines) {
  int32_t number = 0;
  while (!text.empty() || number == 0) {
    const size_t end = text.find('\n');
    const std::string_view line = Uncommented(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    const size_t indent = line.find_first_not_of(' ');
    if (indent == std::string_view::npos) continue;
    auto fail = [number](std::string message) { return DescriptionError{number, std::move(message)}; };
    if (line[indent] == '\t') return fail("indentation is made of spaces");
    if (indent % 2 != 0) return fail("indentation of " + std::to_string(indent) + " spaces: two per level");
    ObjectLine object;
    object.line = number;
    object.depth = indent / 2;
    if (lines.empty() && object.depth != 0) return fail("the first object is not indented");
    if (!lines.empty() && object.depth == 0) return fail("a second object at the top");
    if (!lines.empty() && object.depth > lines.back().depth + 1)
      return fail("indented deeper than a child of the line before");
    if (LineResult error = ReadObjectLine(line.substr(indent), object)) return fail(error->message);
    lines.push_back(std::move(object));
  }
  if (lines.empty()) return DescriptionError{1, "no object"};
  return std::nullopt;
}

// So that the same description always stores the same bytes.
void ClearSerialNumbers(MPersistentObject& object) {
  object.SetSerialNumber(0);
  if (auto* stage = dynamic_cast<GPeripheral*>(&object)) {
    for (MPersistentObject* part : {static_cast<MPersistentObject*>(stage->GetInitialState()),
                                    static_cast<MPersistentObject*>(stage->GetCurrentState()),
                                    static_cast<MPersistentObject*>(stage->GetConfiguration())}) {
      if (part != nullptr) part->ClearSerialNumbers();
    }
  }
}

LineResult GiveProperties(const ObjectLine& line, MPersistentObject& object) {
  const ClassDescription& description = *line.description;
  std::vector<DescriptionValue> values = description.Read(object);
  for (const auto& [index, value] : line.assignments) values[index] = value;
  description.Write(object, values);
  const std::vector<DescriptionValue> held = description.Read(object);
  for (size_t i = 0; i < values.size(); ++i) {
    if (held[i] == values[i]) continue;
    return DescriptionError{line.line, std::string(description.Properties()[i].name) + "=" +
                                           FormatDescriptionValue(values[i]) + " does not hold: the " +
                                           std::string(description.Name()) + " keeps " +
                                           FormatDescriptionValue(held[i])};
  }
  return std::nullopt;
}

// Builds the object of lines[next] with its subtree, moving next past it.
std::unique_ptr<MPersistentObject> Build(const std::vector<ObjectLine>& lines, size_t& next, LineResult& error) {
  const ObjectLine& line = lines[next++];
  std::unique_ptr<MPersistentObject> object = line.description->Create();
  if (!object) {
    error = DescriptionError{line.line, "the factory makes no " + std::string(line.description->Name())};
    return nullptr;
  }
  object->SetKey(line.key);
  std::vector<BuiltChild> children;
  while (next < lines.size() && lines[next].depth > line.depth) {
    const int32_t childLine = lines[next].line;
    std::unique_ptr<MPersistentObject> child = Build(lines, next, error);
    if (!child) return nullptr;
    children.push_back({std::move(child), childLine});
  }
  error = line.description->Attach(*object, std::move(children));
  if (error && error->line == 0) error->line = line.line;
  if (!error) error = GiveProperties(line, *object);
  if (error) return nullptr;
  ClearSerialNumbers(*object);
  return object;
}

}  // namespace

CompiledDescription CompileDescription(std::string_view text) {
  std::vector<ObjectLine> lines;
  if (LineResult error = ReadLines(text, lines)) return {nullptr, std::move(error)};
  size_t next = 0;
  LineResult error;
  std::unique_ptr<MPersistentObject> root = Build(lines, next, error);
  if (error) return {nullptr, std::move(error)};
  return {std::move(root), std::nullopt};
}
