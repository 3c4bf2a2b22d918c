#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>

// A sparse set of 32-bit values (the codes of a font, the codes sent to a
// printer). Values live in blocks of 128 bits, made when a value of their
// range is first added and kept until Clear, so a font with tens of
// thousands of codes costs memory only for the ranges a job uses.
class GBitSet {
 public:
  static constexpr uint32_t kBlockBits = 128;

  void Add(uint32_t value);
  void Remove(uint32_t value);
  bool Contains(uint32_t value) const;
  // Calls visit with each member in ascending order; answers the last
  // call's answer, 0 when the set is empty.
  int32_t ForEach(const std::function<int32_t(uint32_t)>& visit) const;
  void Clear() { blocks_.clear(); }
  // Blocks held, members or not.
  uint32_t BlockCount() const { return static_cast<uint32_t>(blocks_.size()); }

 private:
  using Block = std::array<uint8_t, kBlockBits / 8>;

  // Blocks by base (a multiple of 128), ascending.
  std::map<uint32_t, Block> blocks_;
};
