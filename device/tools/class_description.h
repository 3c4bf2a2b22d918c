#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "device/tools/description_value.h"
#include "model/objects/persistent_object.h"

// One property of a described class: its name in the description, the kind
// of its value (an empty value of that kind) and, for numbers and each part
// of a pair, the range it must lie in.
struct DescribedProperty {
  std::string_view name;
  DescriptionValue kind;
  int64_t minimum = 0;
  int64_t maximum = 0;
};

// A child of a node being built, with the description line it came from.
struct BuiltChild {
  std::unique_ptr<MPersistentObject> object;
  int32_t line = 0;
};

// A refusal with the line it belongs to (0: the line of the node itself).
struct DescriptionError {
  int32_t line = 0;
  std::string message;
};

// How one persistent class appears in a device description: its
// properties, read from an object and written to it through one table, and
// how it takes and shows its children. The compiler makes the object (through
// the class factory by name, unless the class makes its own), hands it its
// children and then its properties; the printer reads the same properties
// and children back.
class ClassDescription {
 public:
  explicit ClassDescription(const char* name) : name_(name) {}
  virtual ~ClassDescription() = default;
  ClassDescription(const ClassDescription&) = delete;
  ClassDescription& operator=(const ClassDescription&) = delete;

  // The class's registered name.
  std::string_view Name() const { return name_; }
  // A new object of the class, made by the class factory from the name;
  // null when the factory makes none. The attribute composite makes one of
  // its own that holds children of every kind (see described_classes.cpp).
  virtual std::unique_ptr<MPersistentObject> Create() const;
  // In the order the printer writes them.
  virtual std::span<const DescribedProperty> Properties() const = 0;
  // Every property's value, in the order of Properties.
  virtual std::vector<DescriptionValue> Read(const MPersistentObject& object) const = 0;
  // Sets every property, values in the order of Properties and in their
  // ranges. What the object refuses or changes shows in a Read after.
  virtual void Write(MPersistentObject& object, const std::vector<DescriptionValue>& values) const = 0;

  // Takes the children in order; a refused child names its own line.
  virtual std::optional<DescriptionError> Attach(MPersistentObject& parent, std::vector<BuiltChild> children) const;
  // The children the description shows, in order, in place of what the
  // list held; an error text when the object holds what a description
  // cannot show.
  virtual std::string ChildrenOf(MPersistentObject& object, std::vector<MPersistentObject*>& children) const;

 private:
  const char* name_;
};

// A stage of the render pipeline (any class derived from GPeripheral) as
// descriptions show it: its name, its configuration and its child stages.
// The layers above the device model describe their stages with it.
std::unique_ptr<ClassDescription> StageDescription(const char* name);
// Makes a class known to descriptions, in place of one of the same name.
void AddClassDescription(std::unique_ptr<ClassDescription> description);

// The description of the class registered under the name, or of the
// object's class; null when the description does not know it.
const ClassDescription* FindClassDescription(std::string_view name);
const ClassDescription* ClassDescriptionOf(const MPersistentObject& object);
