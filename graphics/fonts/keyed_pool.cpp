#include "graphics/fonts/keyed_pool.h"

#include <memory>
#include <utility>

#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "foundation/stored_count.h"
#include "model/objects/persistable_number.h"
#include "model/objects/persistent_object.h"

namespace {

// The typed calls of each kind of output and input for a key or a count.
void PutNumber(GBinaryFile& file, uint32_t value) { file.Write(value); }
void PutNumber(GVirtualOutStream& stream, uint32_t value) { stream.PutULong(value); }
bool GetNumber(GBinaryFile& file, uint32_t& value) { return file.Read(value); }
bool GetNumber(GVirtualInStream& stream, uint32_t& value) { return stream.GetULong(value).IsGood(); }

void PutObject(GBinaryFile& file, const MPersistentObject& value) { SaveObjectToFile(value, file); }
void PutObject(GVirtualOutStream& stream, const MPersistentObject& value) { SaveObjectToStream(value, stream); }
MPersistentObject* GetObject(GBinaryFile& file) {
  MPersistentObject* value = nullptr;
  ReadObjectFromFile(file, value);
  return value;
}
MPersistentObject* GetObject(GVirtualInStream& stream) {
  MPersistentObject* value = nullptr;
  ReadObjectFromStream(stream, value);
  return value;
}

bool OutputIsGood(const GBinaryFile& file) { return !file.Failed(); }
bool OutputIsGood(const GVirtualOutStream& stream) { return stream.IsGood(); }

// The fewest bytes a stored pair takes: the key and a graph of the nil
// object (the start value and a back-reference in a file; a mark and an
// index in a stream).
constexpr uint32_t kMinimumFilePairSize = 4 + 4 + 6;
constexpr uint32_t kMinimumStreamPairSize = 4 + kMinimumStreamReferenceSize;
uint32_t MinimumPairSize(const GBinaryFile&) { return kMinimumFilePairSize; }
uint32_t MinimumPairSize(const GVirtualInStream&) { return kMinimumStreamPairSize; }

MPersistentObject* AsObject(RWCollectable* value) { return static_cast<MPersistentObject*>(value); }

}  // namespace

GKeyedPool::GKeyedPool(Callback callback, Accepts accepts) : callback_(std::move(callback)), accepts_(accepts) {}

GKeyedPool::~GKeyedPool() {
  for (const Entry& entry : Entries()) Remove(entry.key);
}

int32_t GKeyedPool::Add(uint32_t key, MPersistentObject* value) {
  if (value == nullptr) return 0;
  auto keyObject = std::make_unique<GPersistableULong>(key);
  if (dictionary_.InsertPair(keyObject.get(), value) == nullptr) return 0;
  static_cast<void>(keyObject.release());
  return 1;
}

MPersistentObject* GKeyedPool::Find(uint32_t key) const {
  const GPersistableULong probe(key);
  return AsObject(dictionary_.FindValue(&probe));
}

MPersistentObject* GKeyedPool::Remove(uint32_t key) {
  const GPersistableULong probe(key);
  RWCollectable* value = nullptr;
  delete dictionary_.RemovePair(&probe, value);
  return AsObject(value);
}

bool GKeyedPool::Contains(uint32_t key) const { return Find(key) != nullptr; }

uint32_t GKeyedPool::GetCount() const { return static_cast<uint32_t>(dictionary_.Count()); }

std::vector<uint32_t> GKeyedPool::GetKeys() const {
  std::vector<uint32_t> keys;
  for (const Entry& entry : Entries()) keys.push_back(entry.key);
  return keys;
}

std::vector<GKeyedPool::Entry> GKeyedPool::Entries() const {
  std::vector<Entry> entries;
  dictionary_.ForEachPair(
      [](RWCollectable* key, RWCollectable* value, void* user) {
        static_cast<std::vector<Entry>*>(user)->push_back(
            {static_cast<GPersistableULong*>(key)->Value(), AsObject(value)});
      },
      &entries);
  return entries;
}

void GKeyedPool::Clear() {
  if (!callback_) return;
  for (const Entry& entry : Entries()) {
    // An earlier answer may have changed the pool.
    MPersistentObject* value = Find(entry.key);
    if (value == nullptr || callback_(nullptr, value, kClearEvent) != 1) continue;
    delete Remove(entry.key);
  }
}

template <typename Output>
int32_t GKeyedPool::SaveTo(Output& output, const Filter& filter, void* userData) const {
  const auto chosen = [&filter, userData](MPersistentObject* value, Phase phase) {
    return !filter || filter(value, phase, userData) == 1;
  };
  const std::vector<Entry> entries = Entries();
  uint32_t count = 0;
  for (const Entry& entry : entries) count += chosen(entry.value, kCountPhase) ? 1 : 0;
  // Each value is a graph of its own, also when the pool is saved in the
  // middle of another save.
  const GTablesSetAside ownGraphs;
  PutNumber(output, count);
  uint32_t written = 0;
  for (const Entry& entry : entries) {
    // Never more entries than the count promises a reader.
    if (written == count) break;
    if (!chosen(entry.value, kWritePhase)) continue;
    PutNumber(output, entry.key);
    PutObject(output, *entry.value);
    ++written;
    if (filter) filter(entry.value, kWrittenPhase, userData);
  }
  return written == count && OutputIsGood(output) ? 1 : 0;
}

int32_t GKeyedPool::SaveToStream(GVirtualOutStream& stream, const Filter& filter, void* userData) const {
  return SaveTo(stream, filter, userData);
}

int32_t GKeyedPool::SaveToFile(GBinaryFile& file, const Filter& filter, void* userData) const {
  return SaveTo(file, filter, userData);
}

template <typename Input>
int32_t GKeyedPool::RestoreFrom(Input& input) {
  const GTablesSetAside ownGraphs;
  uint32_t count = 0;
  if (!GetNumber(input, count) || !InputCanHold(input, count, MinimumPairSize(input))) return 0;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t key = 0;
    if (!GetNumber(input, key)) return 0;
    std::unique_ptr<MPersistentObject> restored(GetObject(input));
    // A value the input cut short, or none at all, is not entered.
    if (!restored || !InputIsGood(input) || (accepts_ != nullptr && !accepts_(*restored))) return 0;
    Merge(key, restored.release());
  }
  return 1;
}

void GKeyedPool::Merge(uint32_t key, MPersistentObject* restored) {
  MPersistentObject* stored = Find(key);
  if (stored == nullptr) {
    Add(key, restored);
    if (callback_) callback_(restored, nullptr, kRestoredNewEvent);
    return;
  }
  if (callback_ && callback_(restored, stored, kRestoredOverStoredEvent) != 1) {
    delete restored;
    return;
  }
  // The callback may have taken the stored entry out meanwhile.
  const GPersistableULong probe(key);
  if (Find(key) == stored) {
    delete AsObject(dictionary_.SetValue(&probe, restored));
  } else if (Add(key, restored) == 0) {
    delete restored;
  }
}

int32_t GKeyedPool::RestoreFromStream(GVirtualInStream& stream) { return RestoreFrom(stream); }

int32_t GKeyedPool::RestoreFromFile(GBinaryFile& file) { return RestoreFrom(file); }
