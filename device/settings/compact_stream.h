#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"

class GInputStream;
class GOutputStream;
class GVirtualInStream;
class GVirtualOutStream;

// The fields of the compact settings format on a binary stream. Version and
// key fields take 16 bits in the 16-bit encoding (only the low half of a
// key is kept) and 32 bits in the 32-bit one; every other field has its own
// width whatever the encoding. Texts are in the stream form of narrow
// strings (the length twice, then the bytes).
enum class GCompactEncoding { k16Bit, k32Bit };

// The type byte that opens each node. Composites (1, 2, 9) and the three
// lists (12, 15, 16) hold their children between a length field and a 0
// byte; 10, 14, 17 and 18 occur only inside their own kind of parent. A
// value attribute of 0 to 20 is the single type byte 110 + value.
enum GCompactType : uint8_t {
  kCompactEnd = 0,
  kCompactComposite = 1,
  kCompactState = 2,
  kCompactValue = 3,
  kCompactTintwise = 4,
  kCompactRange = 5,
  kCompactDisplayString = 6,
  kCompactString = 7,
  kCompactFormToTray = 8,
  kCompactEnumeration = 9,
  kCompactFormToTrayAssociation = 10,
  kCompactCustomMediaSize = 11,
  kCompactFontLists = 12,
  kCompactFontList = 14,
  kCompactAssociations = 15,
  kCompactMappings = 16,
  kCompactAssociation = 17,
  kCompactMapping = 18,
  kCompactTintwiseEnhanced = 19,
  kCompactTintwiseVer2 = 20,
  kCompactSmallValue = 110,
  kCompactLastSmallValue = 130,
};

// The version every node writes, and the one font lists carry.
inline constexpr uint32_t kCompactVersion = 1;
inline constexpr uint32_t kCompactFontListVersion = 3;

// The encoding a codec mode selects (0: 16-bit, 1: 32-bit); false for any
// other mode.
bool EncodingOfMode(int32_t mode, GCompactEncoding& encoding);

// The byte that opens every stream, twenty times over.
inline constexpr uint8_t kCompactSignatureByte = 0x73;
inline constexpr uint32_t kCompactSignatureLength = 20;

class GCompactOutput {
 public:
  GCompactOutput(GVirtualOutStream& stream, GOutputStream& owner, GCompactEncoding encoding)
      : stream_(stream), owner_(owner), encoding_(encoding) {}

  void Signature();
  void Byte(uint8_t value);
  void Version(uint32_t version);
  void Key(int32_t key);
  void Short(int16_t value);
  void UShort(uint16_t value);
  void UInt(uint32_t value);
  void Text(const RWCString& text);
  void Bytes(const uint8_t* bytes, uint32_t count);

  uint32_t Position() const;
  void Seek(uint32_t position);
  bool IsGood() const;
  GVirtualOutStream& Stream() { return stream_; }

 private:
  GVirtualOutStream& stream_;
  GOutputStream& owner_;
  GCompactEncoding encoding_;
};

// Reads answer 0 (or empty text) once the input has failed; callers test
// IsGood before they use what they read.
class GCompactInput {
 public:
  GCompactInput(GVirtualInStream& stream, GInputStream& owner, GCompactEncoding encoding)
      : stream_(stream), owner_(owner), encoding_(encoding) {}

  // True when the twenty signature bytes are there; reading stops at the
  // first byte that differs.
  bool Signature();
  // The next byte; false at the end of the input.
  bool Byte(uint8_t& value);
  uint32_t Version();
  int32_t Key();
  int16_t Short();
  uint16_t UShort();
  uint32_t UInt();
  RWCString Text();
  // False, reading nothing, when the input cannot hold count more bytes.
  bool Bytes(uint8_t* bytes, uint32_t count);
  // Skips bytes until the position is the target or the input ends.
  void SkipTo(uint32_t position);

  uint32_t Position() const;
  bool IsGood() const;
  bool Is16Bit() const { return encoding_ == GCompactEncoding::k16Bit; }
  GVirtualInStream& Stream() { return stream_; }

 private:
  GVirtualInStream& stream_;
  GInputStream& owner_;
  GCompactEncoding encoding_;
};
