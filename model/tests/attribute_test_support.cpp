#include "model/tests/attribute_test_support.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar recordingRegistrar(CreateCollectable<RecordingPeripheral>, RecordingPeripheral::kID,
                                         "RecordingPeripheral");

template <typename T>
T* WithFlag(T* attribute, int32_t changed) {
  attribute->SetChangedFlag(changed);
  return attribute;
}

template <typename T>
T* Filled(T* composite, std::initializer_list<GAttribute*> children, int32_t changed) {
  for (GAttribute* child : children) composite->AddChild(child);
  return WithFlag(composite, changed);
}

std::string Joined(const GCountedPtrVector& children) {
  std::string text;
  for (const GCountedPtr& child : children) {
    if (!text.empty()) text += ' ';
    text += child.IsEmpty() ? "nil" : Describe(*child.Get());
  }
  return text;
}

std::string Node(const MPersistentObject& node) {
  const std::string key = std::to_string(node.Key());
  if (const auto* value = dynamic_cast<const GValueAttribute*>(&node))
    return "v" + key + "=" + std::to_string(value->Value());
  if (const auto* range = dynamic_cast<const GRangeAttribute*>(&node))
    return "r" + key + "=" + std::to_string(range->Value());
  if (const auto* text = dynamic_cast<const GStringAttribute*>(&node)) {
    return "s" + key + "='" + std::string(text->Text().Data(), text->Text().Length()) + "'";
  }
  if (const auto* enumeration = dynamic_cast<const GEnumAttribute*>(&node)) {
    return "E" + key + "[" + Joined(enumeration->Children()) + "]";
  }
  if (const auto* state = dynamic_cast<const GState*>(&node)) return "S" + key + "{" + Joined(state->Children()) + "}";
  if (const auto* composite = dynamic_cast<const GAttributeComposite*>(&node)) {
    return "C" + key + "{" + Joined(composite->Children()) + "}";
  }
  return "?" + key;
}

}  // namespace

uint16_t RecordingPeripheral::Record(const char* handler, const GAttribute& attribute) {
  calls.push_back({handler, &attribute});
  if (statuses.empty()) return 0;
  const uint16_t status = statuses.front();
  statuses.erase(statuses.begin());
  return status;
}

GValueAttribute* Value(int32_t key, int16_t value, int32_t changed) {
  return WithFlag(new GValueAttribute(value, key), changed);
}

GStringAttribute* Text(int32_t key, const char* text, int32_t changed) {
  return WithFlag(new GStringAttribute(text, key), changed);
}

GRangeAttribute* Range(int32_t key, int16_t value, int32_t changed) {
  return WithFlag(new GRangeAttribute(0, 100, 1, value, key), changed);
}

GState* State(int32_t key, std::initializer_list<GAttribute*> children, int32_t changed) {
  return Filled(new GState(key), children, changed);
}

GAttributeComposite* Composite(int32_t key, std::initializer_list<GAttribute*> children, int32_t changed) {
  return Filled(new GAttributeComposite(key), children, changed);
}

std::string Describe(const MPersistentObject& node) {
  const auto* attribute = dynamic_cast<const GAttribute*>(&node);
  return Node(node) + (attribute != nullptr && attribute->ChangedFlag() != 0 ? "*" : "");
}

std::string DescribeChildren(const GAttributeComposite& composite) { return Joined(composite.Children()); }
