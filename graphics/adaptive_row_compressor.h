#pragma once

#include <cstdint>
#include <memory>

#include "graphics/row_compressor.h"

// Packs each row as one block chosen for it: unpacked (type 0), PackBits
// (type 2) or delta row against the previous row (type 3). A block is the type
// byte, the data length in 2 bytes (high byte first) and the data. A row that
// the source repeats is followed by a duplicate-row block (5, 0, repeat - 1).
class GAdaptiveRowCompressor : public GRowCompressor {
 public:
  GAdaptiveRowCompressor(uint16_t paddingMultiple, int32_t invertFlag);

  int32_t ReadRow(uint8_t* buffer, uint16_t& row, uint32_t& length, uint8_t& repeat, uint8_t& rows) override;
  int32_t Open() override;
  uint32_t GetMaxRowBytes() const override;

  // Clears the seed row to zeros; the next row is compared with no seed.
  void ResetSeedRow();

 private:
  enum BlockType : uint8_t { kUnpacked = 0, kPackBits = 2, kDeltaRow = 3, kDuplicateRows = 5 };

  BlockType ChooseBlock();
  uint32_t PackBlock(BlockType type, uint8_t* data);

  std::unique_ptr<uint8_t[]> seed_;
  int32_t seedValid_ = 0;
};
