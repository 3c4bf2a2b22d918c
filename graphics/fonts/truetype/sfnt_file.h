#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// A TrueType font file opened for reading its tables: the table directory
// at the start of the file names each table by tag with its offset and
// length. The file is outside the driver's control, so the directory is
// checked as it is read: a table that does not lie wholly inside the file
// is treated as absent, and every read is bounded by its table.
class GSfntFile {
 public:
  GSfntFile() = default;
  GSfntFile(const GSfntFile&) = delete;
  GSfntFile& operator=(const GSfntFile&) = delete;

  // Opens the file and reads its directory; false (and no tables) when the
  // file cannot be read or does not start with a table directory.
  bool Open(const std::string& path);
  bool IsOpen() const { return file_.is_open(); }

  // The length of the table with the tag; 0 when the file has none.
  uint32_t TableSize(uint32_t tag) const;
  // Copies length bytes from offset of the table into destination; false
  // (nothing promised about destination) when the range is not inside the
  // table or the file fails.
  bool Read(uint32_t tag, uint64_t offset, uint8_t* destination, uint32_t length);

 private:
  struct Table {
    uint32_t tag;
    uint32_t offset;
    uint32_t length;
  };

  const Table* Find(uint32_t tag) const;
  bool ReadDirectory(uint64_t fileSize);
  bool ReadAt(uint64_t position, uint8_t* destination, uint32_t length);

  std::ifstream file_;
  std::vector<Table> tables_;
};
