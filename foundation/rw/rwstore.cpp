#include "foundation/rw/rwstore.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Far deeper than any graph the system writes; shallow enough that the
// nested restores fit a thread's stack. Saves refuse what restores would.
constexpr uint32_t kMaxDepth = 256;

// The index of key when map holds it.
template <typename Map, typename Key>
bool Find(const Map& map, const Key& key, uint32_t& index) {
  const auto entry = map.find(key);
  if (entry == map.end()) return false;
  index = entry->second;
  return true;
}

// Enters key with the next index unless it is there already; answers
// whether it was entered, and its index either way.
template <typename Map, typename Key>
bool Enter(Map& map, const Key& key, uint32_t& count, uint32_t& index) {
  const auto [entry, added] = map.try_emplace(key, count);
  if (added) ++count;
  index = entry->second;
  return added;
}

}  // namespace

GStoreTable::GStoreTable() {
  uint32_t index;
  AddObject(RWCollectable::Nil(), index);
}

GStoreTable::GStoreTable(const GStoreTable* base) : base_(base), count_(base != nullptr ? base->count_ : 0) {
  uint32_t index;
  if (base == nullptr) AddObject(RWCollectable::Nil(), index);
}

bool GStoreTable::AddObject(const void* object, uint32_t& index) {
  if (base_ != nullptr && Find(base_->objects_, object, index)) return false;
  return Enter(objects_, object, count_, index);
}

bool GStoreTable::AddName(const RWCString& name, uint32_t& index) {
  std::string key(name.Data(), name.Length());
  if (base_ != nullptr && Find(base_->names_, key, index)) return false;
  return Enter(names_, key, count_, index);
}

bool GStoreTable::TryEnter() {
  if (depth_ >= kMaxDepth) return false;
  ++depth_;
  return true;
}

void GStoreTable::Leave() { --depth_; }

GStoreTable*& GStoreTable::Current() {
  static thread_local GStoreTable* current = nullptr;
  return current;
}

GSizeTable::GSizeTable() : GStoreTable(GStoreTable::Current()) {}

GSizeTable*& GSizeTable::Current() {
  static thread_local GSizeTable* current = nullptr;
  return current;
}

GReadTable::GReadTable() {
  entries_.reserve(30);
  AppendObject(RWCollectable::Nil());
}

GReadTable::~GReadTable() {
  std::unordered_set<RWCollectable*> deleted;
  for (const DiscardedGroup& group : discarded_) {
    if (!WillDelete(group)) continue;
    for (RWCollectable* object : group.objects) {
      if (deleted.insert(object).second) delete object;
    }
  }
}

void GReadTable::AppendObject(RWCollectable* object) { entries_.emplace_back(object); }

void GReadTable::AppendClassID(RWClassID id) { entries_.emplace_back(id); }

bool GReadTable::ObjectAt(uint32_t index, RWCollectable*& object) const {
  if (index >= entries_.size()) return false;
  const auto* entry = std::get_if<RWCollectable*>(&entries_[index]);
  if (entry == nullptr) return false;
  object = *entry;
  return true;
}

bool GReadTable::NameObject(uint32_t index, RWCollectable*& object) {
  if (!ObjectAt(index, object)) return false;
  ++namings_[object];
  return true;
}

void GReadTable::Discard(uint32_t first, const std::vector<RWCollectable*>& objects) {
  const uint32_t end = Count();
  discarded_.push_back({objects, first, end, NamingsIn(first, end)});
}

bool GReadTable::Discards(const RWCollectable* object) const {
  for (const DiscardedGroup& group : discarded_) {
    if (std::find(group.objects.begin(), group.objects.end(), object) != group.objects.end() && WillDelete(group)) {
      return true;
    }
  }
  return false;
}

uint64_t GReadTable::NamingsIn(uint32_t first, uint32_t end) const {
  uint64_t namings = 0;
  for (uint32_t index = first; index < end; ++index) {
    RWCollectable* object = nullptr;
    if (!ObjectAt(index, object)) continue;
    const auto named = namings_.find(object);
    if (named != namings_.end()) namings += named->second;
  }
  return namings;
}

bool GReadTable::WillDelete(const DiscardedGroup& group) const {
  const auto named = [this](const RWCollectable* object) { return namings_.count(object) != 0; };
  return NamingsIn(group.first, group.end) == group.namings &&
         std::none_of(group.objects.begin(), group.objects.end(), named);
}

bool GReadTable::ClassIDAt(uint32_t index, RWClassID& id) const {
  if (index >= entries_.size()) return false;
  const auto* entry = std::get_if<RWClassID>(&entries_[index]);
  if (entry == nullptr) return false;
  id = *entry;
  return true;
}

bool GReadTable::TryEnter() {
  if (depth_ >= kMaxDepth) return false;
  ++depth_;
  return true;
}

void GReadTable::Leave() { --depth_; }

GReadTable*& GReadTable::Current() {
  static thread_local GReadTable* current = nullptr;
  return current;
}

GStoreTable* CurrentStoreTable() { return GStoreTable::Current(); }

GTablesSetAside::GTablesSetAside()
    : store_(GStoreTable::Current()), size_(GSizeTable::Current()), read_(GReadTable::Current()) {
  GStoreTable::Current() = nullptr;
  GSizeTable::Current() = nullptr;
  GReadTable::Current() = nullptr;
}

GTablesSetAside::~GTablesSetAside() {
  GStoreTable::Current() = store_;
  GSizeTable::Current() = size_;
  GReadTable::Current() = read_;
}

GFreshReadProbe::GFreshReadProbe() : table_(GReadTable::Current()), count_(table_ != nullptr ? table_->Count() : 0) {}

// A read appends the object it makes before anything of its contents, so a
// fresh object sits at the first index the read added. Without a table the
// read was an outermost one, and whatever it answered it made.
bool GFreshReadProbe::Fresh(const RWCollectable* object) const {
  if (object == nullptr) return false;
  if (table_ == nullptr) return true;
  RWCollectable* first = nullptr;
  return table_->ObjectAt(count_, first) && first == object;
}

void GFreshReadProbe::DiscardMade(const std::vector<RWCollectable*>& objects) const {
  if (table_ == nullptr) return;
  std::vector<RWCollectable*> made;
  for (uint32_t index = count_; index < table_->Count(); ++index) {
    RWCollectable* object = nullptr;
    if (!table_->ObjectAt(index, object)) continue;
    if (std::find(objects.begin(), objects.end(), object) != objects.end()) made.push_back(object);
  }
  if (!made.empty()) table_->Discard(count_, made);
}
