#include "graphics/fonts/bit_set.h"

namespace {

constexpr uint32_t BaseOf(uint32_t value) { return value & ~(GBitSet::kBlockBits - 1); }
constexpr uint32_t ByteOf(uint32_t value) { return (value >> 3) & 0xF; }
constexpr uint8_t MaskOf(uint32_t value) { return static_cast<uint8_t>(1U << (value & 7)); }

}  // namespace

void GBitSet::Add(uint32_t value) { blocks_[BaseOf(value)][ByteOf(value)] |= MaskOf(value); }

void GBitSet::Remove(uint32_t value) {
  auto found = blocks_.find(BaseOf(value));
  if (found != blocks_.end()) found->second[ByteOf(value)] &= static_cast<uint8_t>(~MaskOf(value));
}

bool GBitSet::Contains(uint32_t value) const {
  auto found = blocks_.find(BaseOf(value));
  return found != blocks_.end() && (found->second[ByteOf(value)] & MaskOf(value)) != 0;
}

int32_t GBitSet::ForEach(const std::function<int32_t(uint32_t)>& visit) const {
  int32_t answer = 0;
  for (const auto& [base, block] : blocks_) {
    for (uint32_t bit = 0; bit < kBlockBits; ++bit) {
      if ((block[bit >> 3] & (1U << (bit & 7))) != 0) answer = visit(base + bit);
    }
  }
  return answer;
}
