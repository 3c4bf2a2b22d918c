#include "model/os/os_data_store.h"

#include <fstream>
#include <iterator>

#include "foundation/little_endian.h"

namespace {

constexpr char kMagic[] = "QVOSDATA";
constexpr uint32_t kMagicLength = 8;
constexpr uint32_t kFormatVersion = 1;

WideChar FoldUnit(WideChar c) { return c >= 'A' && c <= 'Z' ? static_cast<WideChar>(c + ('a' - 'A')) : c; }

template <typename Text>
void PutText(std::vector<uint8_t>& out, const Text& text) {
  AppendLittle32(out, static_cast<uint32_t>(text.size()));
  for (WideChar unit : text) AppendLittle16(out, unit);
}

// Reads the stored form from the front; every count is held against the
// bytes that are left before anything is taken.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool AtEnd() const { return position_ == bytes_.size(); }
  size_t Left() const { return bytes_.size() - position_; }

  bool Uint32(uint32_t& value) {
    if (Left() < 4) return false;
    value = LoadLittle32(&bytes_[position_]);
    position_ += 4;
    return true;
  }

  template <typename Text>
  bool Units(Text& text) {
    uint32_t count = 0;
    if (!Uint32(count) || Left() / 2 < count) return false;
    text.clear();
    for (uint32_t i = 0; i < count; ++i, position_ += 2) {
      text.push_back(LoadLittle16(&bytes_[position_]));
    }
    return true;
  }

  bool Bytes(std::vector<uint8_t>& out) {
    uint32_t count = 0;
    if (!Uint32(count) || Left() < count) return false;
    out.assign(bytes_.begin() + position_, bytes_.begin() + position_ + count);
    position_ += count;
    return true;
  }

  bool Magic() {
    if (Left() < kMagicLength || !std::equal(kMagic, kMagic + kMagicLength, bytes_.begin())) return false;
    position_ += kMagicLength;
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

}  // namespace

GOSDataStore::Text GOSDataStore::FoldName(Text name) {
  for (WideChar& c : name) c = FoldUnit(c);
  return name;
}

GOSDataStore::Text GOSDataStore::FoldName(const RWWString& name) { return FoldName(Text(name.Data(), name.Length())); }

// "\a\\b\" and "A\B" name the same key.
GOSDataStore::Text GOSDataStore::FoldPath(const Text& path) {
  Text folded;
  for (WideChar c : FoldName(path)) {
    if (c == '\\' && (folded.empty() || folded.back() == '\\')) continue;
    folded.push_back(c);
  }
  if (!folded.empty() && folded.back() == '\\') folded.pop_back();
  return folded;
}

GOSDataStore::Text GOSDataStore::FoldPath(const RWWString& path) { return FoldPath(Text(path.Data(), path.Length())); }

void GOSDataStore::AddKeyLocked(const KeyId& key) {
  Text path = key.second;
  while (keys_.insert({key.first, path}).second) {
    const size_t parent = path.rfind('\\');
    if (parent == Text::npos) break;
    path.resize(parent);
  }
}

bool GOSDataStore::KeyExists(uint32_t root, const RWWString& path) const {
  std::lock_guard guard(mutex_);
  return keys_.count({root, FoldPath(path)}) != 0;
}

void GOSDataStore::CreateKey(uint32_t root, const RWWString& path) {
  std::lock_guard guard(mutex_);
  AddKeyLocked({root, FoldPath(path)});
}

bool GOSDataStore::Read(uint32_t root, const RWWString& path, const RWWString& name, Value& value) const {
  std::lock_guard guard(mutex_);
  const auto found = values_.find({{root, FoldPath(path)}, FoldName(name)});
  if (found == values_.end()) return false;
  value = found->second;
  return true;
}

void GOSDataStore::Write(uint32_t root, const RWWString& path, const RWWString& name, Value value) {
  std::lock_guard guard(mutex_);
  KeyId key{root, FoldPath(path)};
  AddKeyLocked(key);
  values_[{std::move(key), FoldName(name)}] = std::move(value);
}

bool GOSDataStore::Delete(uint32_t root, const RWWString& path, const RWWString& name) {
  std::lock_guard guard(mutex_);
  return values_.erase({{root, FoldPath(path)}, FoldName(name)}) != 0;
}

void GOSDataStore::Clear() {
  std::lock_guard guard(mutex_);
  keys_.clear();
  values_.clear();
}

std::vector<uint8_t> GOSDataStore::Serialize() const {
  std::lock_guard guard(mutex_);
  std::vector<uint8_t> out(kMagic, kMagic + kMagicLength);
  AppendLittle32(out, kFormatVersion);
  AppendLittle32(out, static_cast<uint32_t>(keys_.size()));
  for (const KeyId& key : keys_) {
    AppendLittle32(out, key.first);
    PutText(out, key.second);
  }
  AppendLittle32(out, static_cast<uint32_t>(values_.size()));
  for (const auto& [id, value] : values_) {
    AppendLittle32(out, id.first.first);
    PutText(out, id.first.second);
    PutText(out, id.second);
    AppendLittle32(out, value.type);
    AppendLittle32(out, static_cast<uint32_t>(value.bytes.size()));
    out.insert(out.end(), value.bytes.begin(), value.bytes.end());
  }
  return out;
}

bool GOSDataStore::Deserialize(std::span<const uint8_t> bytes) {
  Reader in(bytes);
  uint32_t version = 0;
  uint32_t keyCount = 0;
  if (!in.Magic() || !in.Uint32(version) || version != kFormatVersion || !in.Uint32(keyCount)) return false;
  std::set<KeyId> keys;
  for (uint32_t i = 0; i < keyCount; ++i) {
    KeyId key;
    if (!in.Uint32(key.first) || !in.Units(key.second)) return false;
    keys.insert({key.first, FoldPath(key.second)});
  }
  uint32_t valueCount = 0;
  if (!in.Uint32(valueCount)) return false;
  std::map<ValueId, Value> values;
  for (uint32_t i = 0; i < valueCount; ++i) {
    ValueId id;
    Value value;
    if (!in.Uint32(id.first.first) || !in.Units(id.first.second) || !in.Units(id.second) || !in.Uint32(value.type) ||
        !in.Bytes(value.bytes)) {
      return false;
    }
    values[{{id.first.first, FoldPath(id.first.second)}, FoldName(id.second)}] = std::move(value);
  }
  if (!in.AtEnd()) return false;

  std::lock_guard guard(mutex_);
  keys_ = std::move(keys);
  values_ = std::move(values);
  // A hand-made file may spell keys in any case and leave out the keys
  // above its values.
  for (const KeyId& key : std::set<KeyId>(keys_)) AddKeyLocked(key);
  for (const auto& entry : values_) AddKeyLocked(entry.first.first);
  return true;
}

bool GOSDataStore::SaveToFile(const std::filesystem::path& file) const {
  const std::vector<uint8_t> bytes = Serialize();
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

bool GOSDataStore::LoadFromFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return Deserialize(bytes);
}
