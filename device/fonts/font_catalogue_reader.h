#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "device/fonts/device_font_list.h"
#include "device/fonts/mass_storage_device.h"
#include "foundation/rw_cstring.h"

class GDriverInterface;

// Reads the fonts of a slot's catalogue, either into the slot's device
// font list or, one font at a time, into a callback.
//
// Each font record lies at the file offset the header gives for it: 28
// bytes (little-endian) followed directly by its further symbol-set codes.
//   0  4  not used                  16  2  weight
//   4  2  name block length         18  2  italic (non-zero)
//   6  4  name block offset         20  1  bit 0 pitch, bit 2 DIMM flag,
//  10  2  device-name block length          bits 4-7 family
//  12  4  device-name block offset  21  1  bit 7 hidden, bits 0-6 format
//                                   22  2  height
//                                   24  2  number of symbol-set codes k
//                                   26  2  first symbol-set code
// The block offsets count from the record's start; each block holds
// NUL-terminated text within its length.
class GFontCatalogueReader : public GMassStorageDevice {
 public:
  // Records with more symbol-set codes than this are skipped.
  static constexpr uint16_t kMaximumSymbolSetCodes = 16;

  // Called once per font with the font's display name (its name with the
  // bold and italic endings), its device name, the record with its further
  // symbol-set codes, and the user data; the answers are summed.
  using FontCallback = int32_t (*)(const RWCString& displayName, const RWCString& deviceName,
                                   std::span<const uint8_t> record, void* user);

  GFontCatalogueReader(int32_t slot, GDriverInterface& driver) : GMassStorageDevice(slot, driver) {}

  // The fonts of the open catalogue that are not hidden, in catalogue
  // order, in a new list keyed by the slot, with the catalogue count of the
  // header. A record that cannot be read ends the list there. Null when no
  // catalogue is open or its header cannot be read.
  virtual std::unique_ptr<GDeviceFontList> ReadFontList();
  // Hands every font of the open catalogue, hidden ones too, to the
  // callback and answers the sum of its answers; 0 when no catalogue is
  // open or its header cannot be read.
  virtual int32_t ForEachFont(FontCallback callback, void* user);

 private:
  struct Font;
  using Visit = void (*)(const Font& font, void* context);

  // Reads the header of the open catalogue unless it is held already;
  // whether a catalogue and its header are there.
  bool HasCatalogue();
  // Reads the records in order and visits each readable one, hidden ones
  // only when asked to; stops at the first that cannot be read. False when
  // the records cannot be reached at all.
  bool Walk(bool includeHidden, Visit visit, void* context);
  // Reads the record at the offset into font; false when it cannot be
  // read. Sets skip for a record to leave out.
  bool ReadFont(uint32_t offset, bool includeHidden, Font& font, bool& skip);
  // The NUL-terminated text of the block of length bytes at the offset.
  bool ReadText(uint32_t recordOffset, uint32_t blockOffset, uint16_t length, RWCString& text);
};

// The internal symbol-set code of a catalogue's symbol-set code; 0 for a
// code without one.
int32_t MapSymbolSetCode(uint16_t code);

// Appends " -Bd" to a font name for a weight of 700 or more, then " -It"
// when italic is non-zero.
void BuildFontDisplayName(RWCString& name, uint16_t weight, int32_t italic);
