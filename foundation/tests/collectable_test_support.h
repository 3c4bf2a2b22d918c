#pragma once

#include <cstdint>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/collection.h"
#include "foundation/rw_collectable.h"
#include "foundation/virtual_stream.h"

// A collectable holding one number: equal, ordered and hashed by it, so that
// distinct objects can be equal. It can count its deletions.
class TestValue : public RWCollectable {
 public:
  // Outside the system's IDs and the library's own.
  static constexpr RWClassID kClassID = 0x7C01;

  TestValue() = default;
  explicit TestValue(int32_t value, int* deletions = nullptr) : value_(value), deletions_(deletions) {}
  ~TestValue() override {
    if (deletions_ != nullptr) ++*deletions_;
  }
  TestValue(const TestValue& other) : RWCollectable(other), value_(other.value_) {}
  TestValue& operator=(const TestValue&) = delete;

  int32_t Value() const { return value_; }

  RWCollectable* NewInstance() const override { return new TestValue; }
  RWCollectable* Clone() const override { return new TestValue(*this); }
  RWClassID ClassID() const override { return kClassID; }
  uint32_t StoredSize() const override { return 4; }
  int32_t Compare(const RWCollectable* other) const override {
    const auto* theirs = dynamic_cast<const TestValue*>(other);
    if (theirs == nullptr) return RWCollectable::Compare(other);
    return value_ < theirs->value_ ? -1 : (value_ > theirs->value_ ? 1 : 0);
  }
  uint32_t HashValue() const override { return static_cast<uint32_t>(value_); }
  bool Equals(const RWCollectable* other) const override {
    const auto* value = dynamic_cast<const TestValue*>(other);
    return value != nullptr && value->value_ == value_;
  }
  void RestoreContentsFromStream(GVirtualInStream& stream) override { stream.GetInt(value_); }
  void RestoreContentsFromFile(GBinaryFile& file) override { file.Read(value_); }
  void SaveContentsToStream(GVirtualOutStream& stream) const override { stream.PutInt(value_); }
  void SaveContentsToFile(GBinaryFile& file) const override { file.Write(value_); }

 private:
  int32_t value_ = 0;
  int* deletions_ = nullptr;
};

// The members of a collection in ForEach order.
inline std::vector<RWCollectable*> Members(const GCollection& collection) {
  std::vector<RWCollectable*> members;
  collection.ForEachMember([&members](RWCollectable* member) { members.push_back(member); });
  return members;
}

// The numbers of a collection of TestValue members in ForEach order.
inline std::vector<int32_t> Values(const GCollection& collection) {
  std::vector<int32_t> values;
  for (RWCollectable* member : Members(collection)) values.push_back(static_cast<TestValue*>(member)->Value());
  return values;
}
