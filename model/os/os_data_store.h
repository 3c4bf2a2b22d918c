#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "foundation/rw_wstring.h"

// The registry of the stand-in OS services: keys under two roots, each key
// holding typed values. The spooler's printer data lives here too, under the
// printer's machine key, so whatever is written as printer data reads back
// through the registry, as on Windows. Key paths and value names compare
// without regard to ASCII case, as the registry's do. Safe to use from
// several threads.
class GOSDataStore {
 public:
  // The predefined roots, numbered as the registry numbers them.
  static constexpr uint32_t kCurrentUser = 0x80000001;
  static constexpr uint32_t kLocalMachine = 0x80000002;
  // Value types, numbered as the registry numbers them.
  static constexpr uint32_t kString = 1;
  static constexpr uint32_t kBinary = 3;
  static constexpr uint32_t kDword = 4;

  struct Value {
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
  };

  // A key exists once it was created, a value was written under it, or it
  // lies above such a key.
  bool KeyExists(uint32_t root, const RWWString& path) const;
  void CreateKey(uint32_t root, const RWWString& path);

  // False when the value is missing.
  bool Read(uint32_t root, const RWWString& path, const RWWString& name, Value& value) const;
  // Creates the key when needed.
  void Write(uint32_t root, const RWWString& path, const RWWString& name, Value value);
  // False when there was no such value.
  bool Delete(uint32_t root, const RWWString& path, const RWWString& name);

  void Clear();

  // The stored form: "QVOSDATA", a 32-bit version (1), the count of keys and
  // each key (root, path), the count of values and each value (root, path,
  // name, type, byte count, bytes); numbers little-endian, texts as a 32-bit
  // unit count and UTF-16LE units.
  std::vector<uint8_t> Serialize() const;
  // Replaces the contents with the stored form; false, contents unchanged,
  // when the bytes are not a well-formed stored form.
  bool Deserialize(std::span<const uint8_t> bytes);
  bool SaveToFile(const std::filesystem::path& file) const;
  bool LoadFromFile(const std::filesystem::path& file);

 private:
  using Text = std::basic_string<WideChar>;
  using KeyId = std::pair<uint32_t, Text>;
  using ValueId = std::pair<KeyId, Text>;

  static Text FoldPath(const Text& path);
  static Text FoldPath(const RWWString& path);
  static Text FoldName(Text name);
  static Text FoldName(const RWWString& name);
  void AddKeyLocked(const KeyId& key);

  mutable std::mutex mutex_;
  std::set<KeyId> keys_;
  std::map<ValueId, Value> values_;
};
