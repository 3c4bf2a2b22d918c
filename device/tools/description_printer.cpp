#include "device/tools/description_printer.h"

#include <vector>

#include "device/tools/class_description.h"

namespace {

// Deeper graphs, and graphs whose shared objects would print more lines
// than this, are taken for malformed files rather than followed.
constexpr size_t kDeepest = 64;
constexpr size_t kMostLines = size_t{1} << 20;

std::string PrintObject(MPersistentObject& object, size_t depth, std::string& text, size_t& lines) {
  const ClassDescription* description = ClassDescriptionOf(object);
  const std::string where =
      "the object of class ID " + std::to_string(object.ClassID()) + " and key " + std::to_string(object.Key());
  if (description == nullptr) return where + " has no description";
  if (depth > kDeepest) return where + " lies deeper than " + std::to_string(kDeepest) + " levels";
  if (++lines > kMostLines) return where + " passes " + std::to_string(kMostLines) + " lines";
  text.append(2 * depth, ' ');
  text += std::string(description->Name()) + " " + std::to_string(object.Key());
  const std::vector<DescriptionValue> values = description->Read(object);
  for (size_t i = 0; i < values.size(); ++i) {
    text += ' ';
    text += description->Properties()[i].name;
    text += '=';
    text += FormatDescriptionValue(values[i]);
  }
  text += '\n';
  std::vector<MPersistentObject*> children;
  if (std::string error = description->ChildrenOf(object, children); !error.empty()) return where + " holds " + error;
  for (MPersistentObject* child : children) {
    if (std::string error = PrintObject(*child, depth + 1, text, lines); !error.empty()) return error;
  }
  return {};
}

}  // namespace

std::string PrintDescription(MPersistentObject& root, std::string& text) {
  size_t lines = 0;
  return PrintObject(root, 0, text, lines);
}
