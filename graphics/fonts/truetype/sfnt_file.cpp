#include "graphics/fonts/truetype/sfnt_file.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "graphics/fonts/truetype/big_endian_span.h"

namespace {

constexpr uint32_t kHeaderSize = 12;
constexpr uint32_t kRecordSize = 16;
// Version words of TrueType outlines: 1.0 and Apple's 'true'.
constexpr uint32_t kVersionOne = 0x00010000;
constexpr uint32_t kVersionTrue = 0x74727565;

}  // namespace

bool GSfntFile::Open(const std::string& path) {
  tables_.clear();
  file_.close();
  file_.clear();
  // The path may come from a stored job: only a plain file is opened, so a
  // name of a pipe or a device cannot block or flood the reader.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  file_.open(path, std::ios::binary);
  if (!file_.is_open()) return false;
  file_.seekg(0, std::ios::end);
  const std::streamoff end = file_.tellg();
  if (end < 0 || !ReadDirectory(static_cast<uint64_t>(end))) {
    file_.close();
    tables_.clear();
    return false;
  }
  return true;
}

bool GSfntFile::ReadDirectory(uint64_t fileSize) {
  std::array<uint8_t, kHeaderSize> header{};
  if (fileSize < kHeaderSize || !ReadAt(0, header.data(), kHeaderSize)) return false;
  const GBigEndianSpan head(header.data(), header.size());
  const uint32_t version = *head.U32(0);
  if (version != kVersionOne && version != kVersionTrue) return false;
  const uint16_t count = *head.U16(4);
  if (kHeaderSize + uint64_t{count} * kRecordSize > fileSize) return false;
  std::vector<uint8_t> records(size_t{count} * kRecordSize);
  if (!ReadAt(kHeaderSize, records.data(), static_cast<uint32_t>(records.size()))) return false;
  const GBigEndianSpan directory(records.data(), records.size());
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t at = uint64_t{i} * kRecordSize;
    const Table table{*directory.U32(at), *directory.U32(at + 8), *directory.U32(at + 12)};
    // A table that runs past the end of the file, or a second table with a
    // tag already seen, is left out.
    if (uint64_t{table.offset} + table.length > fileSize || Find(table.tag) != nullptr) continue;
    tables_.push_back(table);
  }
  return true;
}

const GSfntFile::Table* GSfntFile::Find(uint32_t tag) const {
  for (const Table& table : tables_) {
    if (table.tag == tag) return &table;
  }
  return nullptr;
}

uint32_t GSfntFile::TableSize(uint32_t tag) const {
  const Table* table = Find(tag);
  return table != nullptr ? table->length : 0;
}

bool GSfntFile::Read(uint32_t tag, uint64_t offset, uint8_t* destination, uint32_t length) {
  const Table* table = Find(tag);
  if (table == nullptr || offset > table->length || length > table->length - offset) return false;
  return ReadAt(table->offset + offset, destination, length);
}

bool GSfntFile::ReadAt(uint64_t position, uint8_t* destination, uint32_t length) {
  if (length == 0) return true;
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(position));
  file_.read(reinterpret_cast<char*>(destination), length);
  return file_.good() && static_cast<uint64_t>(file_.gcount()) == length;
}
