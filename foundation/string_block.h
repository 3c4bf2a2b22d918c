#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/wide_char.h"

// The position that strings answer when there is none, and the start of a
// null substring view.
inline constexpr uint32_t RW_NPOS = 0xFFFFFFFFu;

// The heap block that copies of a string share: a header followed at once by
// capacity + 1 characters, of which text[length] is always 0. refs holds the
// number of owners minus one and changes only under the string kind's lock.
template <typename Char>
struct GBasicStringBlock {
  uint32_t refs;
  uint32_t capacity;
  uint32_t length;

  Char* Text() { return reinterpret_cast<Char*>(reinterpret_cast<unsigned char*>(this) + sizeof(*this)); }
  static GBasicStringBlock* OfText(Char* text) {
    return reinterpret_cast<GBasicStringBlock*>(reinterpret_cast<unsigned char*>(text) - sizeof(GBasicStringBlock));
  }
};

using GStringBlock = GBasicStringBlock<char>;
using GWStringBlock = GBasicStringBlock<WideChar>;

// The block that every empty string shares. Its count starts at 0 with no
// owner, so releasing it never reports a last owner and it is never freed.
template <typename Char>
struct GEmptyStringBlock {
  GBasicStringBlock<Char> header{0, 0, 0};
  Char terminator[1] = {0};
};

// The process-wide values that shape a string kind's capacities; each setter
// of the string class answers the value it replaced.
struct GStringTuning {
  std::atomic<uint32_t> initialCapacity{15};
  std::atomic<uint32_t> resizeIncrement{16};
  std::atomic<uint32_t> maxWaste{15};
};

// Asks a constructor for an empty string that holds room for n characters.
struct GStringCapacity {
  uint32_t n;
};
