#pragma once

#include <cstdint>

#include "graphics/fonts/code_block.h"
#include "model/objects/persistent_object.h"

class GGlyphCodeMapper;

// The character codes of a text run with their width and encoding. Codes
// are bytes (code size 1) or 16-bit values (code size 2); a string of any
// other code size keeps its length but holds no codes. The encoding is the
// number that text and fonts carry: 1 glyph indices, 2 device codes handed
// out by a glyph-code mapper, 3 symbol, 16 Unicode, 17 to 23 the East Asian
// double-byte sets; 3 to 12, 14, 15 and 24 to 52 are single-byte sets.
//
// Stored part after the root's: version 1; the length (16-bit); the code
// size (32-bit); the encoding (32-bit); then length bytes (code size 1),
// length 16-bit values (code size 2) or nothing. A restored string owns its
// codes.
class GTextString : public MPersistentObject {
 public:
  static constexpr int32_t kGlyphIndexEncoding = 1;
  static constexpr int32_t kMappedEncoding = 2;
  static constexpr int32_t kUnicodeEncoding = 16;

  // No codes: length, code size and encoding 0.
  GTextString() = default;
  // Takes over the codes as they are (borrowed or owned), one code each.
  GTextString(GCodeBlock<uint8_t> codes, int32_t encoding);
  GTextString(GCodeBlock<uint16_t> codes, int32_t encoding);
  // Owns a copy of the other's codes.
  GTextString(const GTextString& other) = default;
  // The source's codes in another encoding, through the process's Unicode
  // converter (mapped codes through the mapper); codes that cannot be
  // converted, or that would need a converter or mapper that is missing,
  // become 0. The result owns its codes.
  GTextString(const GTextString& source, int32_t encoding, GGlyphCodeMapper* mapper);

  // Whether the encoding has one byte per character.
  static bool IsSingleByteEncoding(int32_t encoding);

  uint16_t GetLength() const { return length_; }
  int32_t GetCodeSize() const { return codeSize_; }
  int32_t GetEncoding() const { return encoding_; }
  // The bytes (code size 1) or 16-bit values (code size 2); null when the
  // string holds no codes.
  const void* GetCodes() const;
  // The code at a position below the length; 0 for other code sizes.
  uint16_t GetCodeAt(uint16_t position) const;
  // Copies borrowed codes into a block of the string's own.
  void MakeOwned();

  RWCollectable* NewInstance() const override { return new GTextString; }
  RWCollectable* Clone() const override { return new GTextString(*this); }
  RWClassID ClassID() const override { return kGTextStringClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGTextStringClassID || MPersistentObject::IsKindOf(id); }
  // The same class and key, equal length, code size and encoding, and the
  // same codes.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // Exactly one of the two holds the codes, by the code size.
  GCodeBlock<uint8_t> bytes_;
  GCodeBlock<uint16_t> units_;
  uint16_t length_ = 0;
  int32_t codeSize_ = 0;
  int32_t encoding_ = 0;
};
