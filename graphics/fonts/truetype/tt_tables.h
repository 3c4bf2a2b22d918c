#pragma once

#include <array>
#include <cstdint>

// The TrueType tables the reader knows, named by a small index into one tag
// list; the caches keep one entry per index.
namespace tt_tables {

// Index 25 names no table.
inline constexpr uint32_t kNone = 25;
inline constexpr uint32_t kIndexCount = 26;

enum : uint32_t {
  kCmap = 0,
  kHead = 1,
  kGlyf = 2,
  kLoca = 3,
  kMaxp = 4,
  kMort = 5,
  kName = 6,
  kOs2 = 7,
  kPost = 8,
  kCvt = 9,
  kEdt0 = 10,
  kEdt1 = 11,
  kCryp = 12,
  kFpgm = 13,
  kGdir = 14,
  kHdmx = 15,
  kHhea = 16,
  kHmtx = 17,
  kVhea = 18,
  kVmtx = 19,
  kKern = 20,
  kLtsh = 21,
  kGsub = 22,
  kPrep = 23,
  kPclt = 24,
};

// The 4-byte tag as the big-endian number a table directory holds.
constexpr uint32_t MakeTag(const char (&text)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8 | static_cast<uint8_t>(text[3]);
}

// Tags in index order; the entry of kNone is 0.
inline constexpr std::array<uint32_t, kIndexCount> kTags = {MakeTag("cmap"), MakeTag("head"),
                                                            MakeTag("glyf"), MakeTag("loca"),
                                                            MakeTag("maxp"), MakeTag("mort"),
                                                            MakeTag("name"), MakeTag("OS/2"),
                                                            MakeTag("post"), MakeTag("cvt "),
                                                            MakeTag("edt0"), MakeTag("edt1"),
                                                            MakeTag("cryp"), MakeTag("fpgm"),
                                                            MakeTag("gdir"), MakeTag("hdmx"),
                                                            MakeTag("hhea"), MakeTag("hmtx"),
                                                            MakeTag("vhea"), MakeTag("vmtx"),
                                                            MakeTag("kern"), MakeTag("LTSH"),
                                                            MakeTag("GSUB"), MakeTag("prep"),
                                                            MakeTag("PCLT"), 0};

// The tag of an index; 0 for kNone and for indexes past the list.
constexpr uint32_t TagOf(uint32_t index) { return index < kIndexCount ? kTags[index] : 0; }

// A font is usable only when all of these are present; tested in this order.
inline constexpr std::array<uint32_t, 10> kRequired = {kCmap, kGlyf, kHead, kHhea, kHmtx,
                                                       kLoca, kMaxp, kName, kPost, kOs2};

// Read in one pass by Preload, in this order.
inline constexpr std::array<uint32_t, 14> kPreload = {kCmap, kMaxp, kMort, kName, kOs2,  kCvt,  kHead,
                                                      kFpgm, kHhea, kHmtx, kVhea, kVmtx, kGsub, kPrep};

// Tables of this size or more are never read whole nor cached: they are read
// piecewise from the source on every request.
inline constexpr uint32_t kWholeTableLimit = 250000;

}  // namespace tt_tables
