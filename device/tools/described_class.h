#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "device/tools/class_description.h"

// How a described class takes and shows its children; null members keep
// ClassDescription's answers (no children).
struct ChildRule {
  std::optional<DescriptionError> (*attach)(MPersistentObject& parent, std::vector<BuiltChild>& children) = nullptr;
  std::string (*show)(MPersistentObject& object, std::vector<MPersistentObject*>& children) = nullptr;
};

// One property of Values, the plain record of a class's described fields:
// its name and range, and how it is read from the record and set in it.
template <typename Values>
struct DescribedField {
  DescribedProperty property;
  DescriptionValue (*get)(const Values& values);
  void (*set)(Values& values, const DescriptionValue& value);
};

template <typename Member>
struct MemberOf;
template <typename Record, typename Type>
struct MemberOf<Type Record::*> {
  using Values = Record;
  using Value = Type;
};

// The field held in Member (of the kinds a DescriptionValue holds); numbers
// and both parts of pairs lie from minimum to maximum.
template <auto Member>
DescribedField<typename MemberOf<decltype(Member)>::Values> Field(std::string_view name, int64_t minimum = 0,
                                                                  int64_t maximum = 0) {
  using Values = typename MemberOf<decltype(Member)>::Values;
  using Value = typename MemberOf<decltype(Member)>::Value;
  return {{name, Value{}, minimum, maximum},
          [](const Values& values) { return DescriptionValue(values.*Member); },
          [](Values& values, const DescriptionValue& value) { values.*Member = std::get<Value>(value); }};
}

// A class T described through Values: read fills a Values from the object,
// write gives the object every value of one; the field table maps the
// description's properties onto the members of Values, for both.
template <typename T, typename Values>
class DescribedClass final : public ClassDescription {
 public:
  using ReadValues = Values (*)(const T& object);
  using WriteValues = void (*)(T& object, const Values& values);

  using CreateObject = std::unique_ptr<MPersistentObject> (*)();

  DescribedClass(const char* name, std::vector<DescribedField<Values>> fields, ReadValues read, WriteValues write,
                 ChildRule children = {}, CreateObject create = nullptr)
      : ClassDescription(name),
        fields_(std::move(fields)),
        read_(read),
        write_(write),
        children_(children),
        create_(create) {
    for (const DescribedField<Values>& field : fields_) properties_.push_back(field.property);
  }

  std::unique_ptr<MPersistentObject> Create() const override {
    return create_ != nullptr ? create_() : ClassDescription::Create();
  }

  std::span<const DescribedProperty> Properties() const override { return properties_; }

  std::vector<DescriptionValue> Read(const MPersistentObject& object) const override {
    const Values values = read_(static_cast<const T&>(object));
    std::vector<DescriptionValue> read;
    for (const DescribedField<Values>& field : fields_) read.push_back(field.get(values));
    return read;
  }

  void Write(MPersistentObject& object, const std::vector<DescriptionValue>& values) const override {
    T& typed = static_cast<T&>(object);
    Values written = read_(typed);
    for (size_t i = 0; i < fields_.size(); ++i) fields_[i].set(written, values[i]);
    write_(typed, written);
  }

  std::optional<DescriptionError> Attach(MPersistentObject& parent, std::vector<BuiltChild> children) const override {
    if (children_.attach == nullptr) return ClassDescription::Attach(parent, std::move(children));
    return children_.attach(parent, children);
  }

  std::string ChildrenOf(MPersistentObject& object, std::vector<MPersistentObject*>& children) const override {
    return children_.show != nullptr ? children_.show(object, children) : std::string();
  }

 private:
  std::vector<DescribedField<Values>> fields_;
  std::vector<DescribedProperty> properties_;
  ReadValues read_;
  WriteValues write_;
  ChildRule children_;
  CreateObject create_;
};
