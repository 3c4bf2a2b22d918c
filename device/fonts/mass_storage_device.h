#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "foundation/binary_file.h"
#include "foundation/rw_wstring.h"

class GDriverInterface;

// The font catalogue file of one mass-storage slot of the printer: its
// path (from the slot's printer value), the file while it is open and the
// catalogue header once it has been read.
//
// A catalogue begins with its header (little-endian): a word at 4 gives
// the header's length, the word at 8 the catalogue count and the word at
// 28 the number of font records, whose file offsets follow from 32 on, one
// word each. The header is held whole.
class GMassStorageDevice {
 public:
  // The smallest header: the fixed fields and room for one record offset.
  static constexpr uint32_t kMinimumHeaderLength = 36;

  // The device of the slot (0 to 9; any other index has no path and no
  // key) of the driver's printer.
  GMassStorageDevice(int32_t slot, GDriverInterface& driver);
  virtual ~GMassStorageDevice();
  GMassStorageDevice(const GMassStorageDevice&) = delete;
  GMassStorageDevice& operator=(const GMassStorageDevice&) = delete;

  // Sets key to the slot's font list key, closes the file if open and opens
  // the catalogue for reading. The file, or null when the path is empty or
  // the file does not open.
  virtual GBinaryFile* OpenCatalogue(int32_t& key);
  // Drops any header held and sets key to 0, then reads the header of the
  // open catalogue. A file of 35 bytes or less, a header shorter than 36
  // bytes or longer than the file, or one whose record offsets would run
  // past its end, is refused. On success sets key to the slot's font list
  // key and answers the header; otherwise answers an empty span.
  virtual std::span<const uint8_t> ReadCatalogueHeader(int32_t& key);
  virtual void CloseCatalogue();
  // The catalogue count of the header; 0 without a header.
  virtual uint32_t GetRecordCount() const;

  int32_t Slot() const { return slot_; }

 protected:
  // The driver object whose printer holds the slot, and the slot's
  // catalogue path, for devices that also write catalogues.
  GDriverInterface& Driver() const { return driver_; }
  const RWWString& Path() const { return path_; }
  // The open catalogue, or null.
  GBinaryFile* File() const { return file_.get(); }
  // The header read, empty when none is held.
  std::span<const uint8_t> Header() const { return header_; }
  // The number of font records the header lists and the file offset of one
  // of them (index below the number); 0 without a header.
  uint32_t FontRecordCount() const;
  uint32_t FontRecordOffset(uint32_t index) const;
  // The slot's font list key, 0 for an index outside 0 to 9.
  int32_t ListKey() const;

 private:
  // Reads the header into header_; false, leaving it empty, when the file
  // does not hold a whole and well-formed one.
  bool LoadHeader();

  GDriverInterface& driver_;
  RWWString path_;
  std::unique_ptr<GBinaryFile> file_;
  std::vector<uint8_t> header_;
  int32_t slot_;
};
