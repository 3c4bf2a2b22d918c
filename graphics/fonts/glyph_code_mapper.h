#pragma once

#include <array>
#include <cstdint>
#include <memory>

// Hands out the printer-side codes of the characters a generator sends in
// a downloaded font. Codes in the Latin-1, general-punctuation and
// half/full-width ranges keep their value; every other character code gets
// the next free device code on its first use and keeps it until Reset.
// Each page-description generator owns one of its own kind (which decides
// how the next code moves on); the generator base holds it through this
// base and deletes it with itself.
//
// Codes are kept in pages of 256, made on first need, so that a job with a
// few characters of a large font costs only the pages it touches.
class GGlyphCodeMapper {
 public:
  GGlyphCodeMapper() = default;
  GGlyphCodeMapper(const GGlyphCodeMapper&) = delete;
  GGlyphCodeMapper& operator=(const GGlyphCodeMapper&) = delete;
  virtual ~GGlyphCodeMapper() = default;

  // The device code of a 16-bit character code.
  virtual uint16_t Map(uint16_t code);
  // Forgets every code handed out; the next one is 256 again.
  virtual void Reset();

  // The code the next new character gets.
  uint16_t NextCode() const { return nextCode_; }

 protected:
  static constexpr uint16_t kFirstCode = 256;

  // Moves the next code on after it was handed out.
  virtual void Advance() = 0;
  void SetNextCode(uint16_t code) { nextCode_ = code; }

 private:
  using Page = std::array<uint16_t, 256>;
  // One page per high byte from 0x01 to 0xFF.
  using PageTable = std::array<std::unique_ptr<Page>, 255>;

  std::unique_ptr<PageTable> pages_;
  uint16_t nextCode_ = kFirstCode;
};
