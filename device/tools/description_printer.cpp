#include "device/tools/description_printer.h"

#include <vector>

#include "device/tools/class_description.h"

namespace {

// Deeper graphs are taken for a malformed file rather than followed.
constexpr size_t kDeepest = 64;

std::string PrintObject(MPersistentObject& object, size_t depth, std::string& text) {
  const ClassDescription* description = ClassDescriptionOf(object);
  const std::string where =
      "the object of class ID " + std::to_string(object.ClassID()) + " and key " + std::to_string(object.Key());
  if (description == nullptr) return where + " has no description";
  if (depth > kDeepest) return where + " lies deeper than " + std::to_string(kDeepest) + " levels";
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
    if (std::string error = PrintObject(*child, depth + 1, text); !error.empty()) return error;
  }
  return {};
}

}  // namespace

std::string PrintDescription(MPersistentObject& root, std::string& text) { return PrintObject(root, 0, text); }
