#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "foundation/rw_cstring.h"
#include "model/objects/child_iterator.h"
#include "model/objects/persistent_object.h"

class GValueAttribute;
struct GDateTime;
struct GOSVersion;

// Reading the job-header writer's settings: the job settings of a document
// state and the lists of a configuration. Each looks the key up depth first
// below the root; a key that holds something of another kind than asked
// counts as absent, and so does every key of a null root.
namespace pjl {

// What is found under the key, null when nothing.
MPersistentObject* Find(MPersistentObject* root, int32_t key);
// The value attribute under the key, null when absent.
GValueAttribute* FindValueAttribute(MPersistentObject* root, int32_t key);
std::optional<int16_t> FindValue(MPersistentObject* root, int32_t key);
// Whether the key's value is present and equal to value.
bool ValueIs(MPersistentObject* root, int32_t key, int16_t value);
// The text of the string attribute under the key, null when absent.
const RWCString* FindText(MPersistentObject* root, int32_t key);
// Whether anything at all is found under the key.
bool Has(MPersistentObject* root, int32_t key);
// The text an association list of the key maps the value to (a selection
// string or a text attribute), null when the list or the mapping is
// missing.
const RWCString* MappedText(MPersistentObject* root, int32_t listKey, int16_t value);
// Sets the value of the key where it is present.
void SetValueIfPresent(MPersistentObject* root, int32_t key, int16_t value);

// Calls visit with every direct child of the node (nothing for null).
template <typename Visit>
void ForEachChild(MPersistentObject* node, const Visit& visit);

std::string ToStd(const RWCString& text);

// Size ids from this one up to the last are custom sizes.
inline constexpr int16_t kFirstCustomSizeId = 16384;
inline constexpr int16_t kLastCustomSizeId = 17383;
// The size id of the job's medium (259), absent when it holds no medium.
std::optional<int16_t> MediumSizeId(MPersistentObject* settings);

// What the writer asks of the system, through the OS factory.
// The operating system (the factory asks the system).
GOSVersion CurrentOSVersion();
// The local time, the same moved by the stored minute offset, and the
// offset; false without a factory or when the time cannot be read.
bool LocalTime(GDateTime& now, GDateTime& shifted, int16_t& offset);

}  // namespace pjl

template <typename Visit>
void pjl::ForEachChild(MPersistentObject* node, const Visit& visit) {
  if (node == nullptr) return;
  const std::unique_ptr<GIterator> children = node->NewChildIterator();
  while (children->Advance()) {
    if (MPersistentObject* child = children->Current(); child != nullptr) visit(*child);
  }
}
