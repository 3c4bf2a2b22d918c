#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "graphics/tests/sfnt_table_bytes.h"

// Builders of small cmap, OS/2, mort and GSUB tables for the character
// mapping tests and the seeds of their fuzz targets. Each writes the
// format's layout from its parts, computing the offsets.
namespace tt_fixtures {

using Bytes = std::vector<uint8_t>;

// A format 4 segment: codes start..end map to code + delta, or, when glyphs
// is not empty, to glyphs[code - start] + delta (0 staying 0).
struct Segment {
  uint16_t start;
  uint16_t end;
  uint16_t delta;
  std::vector<uint16_t> glyphs;
};

inline Bytes Format4(const std::vector<Segment>& segments) {
  const auto count = static_cast<uint16_t>(segments.size());
  const uint16_t rangeOffsets = 16 + 6 * count;
  const uint16_t glyphArray = rangeOffsets + 2 * count;
  SfntTableBytes t;
  t.U16s({4, 0, 0, static_cast<uint16_t>(2 * count), 0, 0, 0});
  for (const Segment& s : segments) t.U16(s.end);
  t.U16(0);
  for (const Segment& s : segments) t.U16(s.start);
  for (const Segment& s : segments) t.U16(s.delta);
  uint16_t glyphOffset = glyphArray;
  for (uint16_t i = 0; i < count; ++i) {
    const std::vector<uint16_t>& glyphs = segments[i].glyphs;
    t.U16(glyphs.empty() ? 0 : static_cast<uint16_t>(glyphOffset - (rangeOffsets + 2 * i)));
    glyphOffset += static_cast<uint16_t>(2 * glyphs.size());
  }
  for (const Segment& s : segments) {
    for (const uint16_t glyph : s.glyphs) t.U16(glyph);
  }
  t.SetU16(2, t.Size());
  return t.Bytes();
}

// A format 2 subheader: bytes firstCode.. map to glyphs[byte - firstCode]
// + delta (0 staying 0).
struct Subheader {
  uint16_t firstCode;
  uint16_t delta;
  std::vector<uint16_t> glyphs;
};

// keys: lead bytes and the index of their subheader; other lead bytes use
// subheader 0.
inline Bytes Format2(const std::vector<std::pair<uint8_t, uint16_t>>& keys, const std::vector<Subheader>& subheaders) {
  std::vector<uint16_t> keyTable(256, 0);
  for (const auto& [lead, index] : keys) keyTable[lead] = static_cast<uint16_t>(8 * index);
  SfntTableBytes t;
  t.U16s({2, 0, 0});
  for (const uint16_t key : keyTable) t.U16(key);
  const uint16_t first = t.Size();
  uint16_t glyphOffset = static_cast<uint16_t>(first + 8 * subheaders.size());
  for (size_t j = 0; j < subheaders.size(); ++j) {
    const Subheader& s = subheaders[j];
    const auto rangeOffsetField = static_cast<uint16_t>(first + 8 * j + 6);
    t.U16s({s.firstCode, static_cast<uint16_t>(s.glyphs.size()), s.delta,
            static_cast<uint16_t>(glyphOffset - rangeOffsetField)});
    glyphOffset += static_cast<uint16_t>(2 * s.glyphs.size());
  }
  for (const Subheader& s : subheaders) {
    for (const uint16_t glyph : s.glyphs) t.U16(glyph);
  }
  t.SetU16(2, t.Size());
  return t.Bytes();
}

// Trimmed table mapping: codes firstCode.. to the glyphs.
inline Bytes Format6(uint16_t firstCode, const std::vector<uint16_t>& glyphs) {
  SfntTableBytes t;
  t.U16s({6, static_cast<uint16_t>(10 + 2 * glyphs.size()), 0, firstCode, static_cast<uint16_t>(glyphs.size())});
  for (const uint16_t glyph : glyphs) t.U16(glyph);
  return t.Bytes();
}

// Segmented coverage with one group: codes start..end to startGlyph on.
inline Bytes Format12(uint32_t start, uint32_t end, uint32_t startGlyph) {
  SfntTableBytes t;
  t.U16s({12, 0}).U32(28).U32(0).U32(1).U32(start).U32(end).U32(startGlyph);
  return t.Bytes();
}

struct Subtable {
  uint16_t platformId;
  uint16_t encodingId;
  Bytes body;
};

inline Bytes Cmap(const std::vector<Subtable>& subtables) {
  SfntTableBytes t;
  t.U16s({0, static_cast<uint16_t>(subtables.size())});
  uint32_t offset = 4 + 8 * static_cast<uint32_t>(subtables.size());
  for (const Subtable& s : subtables) {
    t.U16s({s.platformId, s.encodingId}).U32(offset);
    offset += static_cast<uint32_t>(s.body.size());
  }
  for (const Subtable& s : subtables) t.Append(s.body);
  return t.Bytes();
}

// A version 0 OS/2 table (78 bytes) with its character range.
inline Bytes Os2(uint16_t firstCharIndex, uint16_t lastCharIndex) {
  Bytes bytes(78, 0);
  bytes[64] = static_cast<uint8_t>(firstCharIndex >> 8);
  bytes[65] = static_cast<uint8_t>(firstCharIndex);
  bytes[66] = static_cast<uint8_t>(lastCharIndex >> 8);
  bytes[67] = static_cast<uint8_t>(lastCharIndex);
  return bytes;
}

// A mort table of the layout vertical fonts use, with its lookup's
// (glyph, substitute) entries.
inline Bytes Mort(const std::vector<std::pair<uint16_t, uint16_t>>& entries) {
  SfntTableBytes t;
  t.U32(0x00010000).U32(1);               // version, one chain
  t.U32(1).U32(0);                        // default flags, chain length (patched)
  t.U16s({3, 1});                         // three features, one subtable
  t.U16s({3, 0}).U32(1).U32(0xFFFFFFFF);  // feature entries
  t.U16s({3, 1}).U32(0).U32(0xFFFFFFFE);
  t.U16s({8, 0}).U32(0).U32(0);
  t.U16s({0, 0x8004}).U32(1);                                      // subtable: length (patched), coverage, flags
  t.U16s({6, 4, static_cast<uint16_t>(entries.size()), 0, 0, 0});  // lookup format 6, search header
  for (const auto& [glyph, substitute] : entries) t.U16s({glyph, substitute});
  t.SetU16(14, t.Size());
  t.SetU16(56, static_cast<uint16_t>(t.Size() - 56));
  return t.Bytes();
}

inline Bytes Coverage1(const std::vector<uint16_t>& glyphs) {
  SfntTableBytes t;
  t.U16s({1, static_cast<uint16_t>(glyphs.size())});
  for (const uint16_t glyph : glyphs) t.U16(glyph);
  return t.Bytes();
}

struct CoverageRange {
  uint16_t start;
  uint16_t end;
  uint16_t startCoverageIndex;
};

inline Bytes Coverage2(const std::vector<CoverageRange>& ranges) {
  SfntTableBytes t;
  t.U16s({2, static_cast<uint16_t>(ranges.size())});
  for (const CoverageRange& r : ranges) t.U16s({r.start, r.end, r.startCoverageIndex});
  return t.Bytes();
}

// Single substitution by a delta (format 1).
inline Bytes SingleByDelta(const Bytes& coverage, uint16_t delta) {
  SfntTableBytes t;
  t.U16s({1, 6, delta}).Append(coverage);
  return t.Bytes();
}

// Single substitution by a list (format 2): the covered glyph of coverage
// index i becomes substitutes[i].
inline Bytes SingleByList(const Bytes& coverage, const std::vector<uint16_t>& substitutes) {
  SfntTableBytes t;
  t.U16s({2, static_cast<uint16_t>(6 + 2 * substitutes.size()), static_cast<uint16_t>(substitutes.size())});
  for (const uint16_t glyph : substitutes) t.U16(glyph);
  t.Append(coverage);
  return t.Bytes();
}

struct GsubFeature {
  uint32_t tag;
  std::vector<uint16_t> lookups;
};

struct GsubLookup {
  uint16_t type;
  std::vector<Bytes> subtables;
};

inline constexpr uint32_t kVert = 0x76657274;
inline constexpr uint32_t kLiga = 0x6C696761;

// A GSUB table without scripts (the reader does not need them): the
// feature list from byte 10, then the lookup list.
inline Bytes Gsub(uint32_t version, const std::vector<GsubFeature>& features, const std::vector<GsubLookup>& lookups) {
  SfntTableBytes t;
  t.U32(version).U16s({0, 10, 0});
  t.U16(static_cast<uint16_t>(features.size()));
  uint16_t offset = static_cast<uint16_t>(2 + 6 * features.size());
  for (const GsubFeature& f : features) {
    t.U32(f.tag).U16(offset);
    offset += static_cast<uint16_t>(4 + 2 * f.lookups.size());
  }
  for (const GsubFeature& f : features) {
    t.U16s({0, static_cast<uint16_t>(f.lookups.size())});
    for (const uint16_t index : f.lookups) t.U16(index);
  }
  const uint16_t lookupList = t.Size();
  t.SetU16(8, lookupList);
  t.U16(static_cast<uint16_t>(lookups.size()));
  offset = static_cast<uint16_t>(2 + 2 * lookups.size());
  std::vector<Bytes> tables;
  for (const GsubLookup& l : lookups) {
    t.U16(offset);
    SfntTableBytes table;
    table.U16s({l.type, 0, static_cast<uint16_t>(l.subtables.size())});
    uint16_t subtableOffset = static_cast<uint16_t>(6 + 2 * l.subtables.size());
    for (const Bytes& s : l.subtables) {
      table.U16(subtableOffset);
      subtableOffset += static_cast<uint16_t>(s.size());
    }
    for (const Bytes& s : l.subtables) table.Append(s);
    tables.push_back(table.Bytes());
    offset += static_cast<uint16_t>(tables.back().size());
  }
  for (const Bytes& table : tables) t.Append(table);
  return t.Bytes();
}

}  // namespace tt_fixtures
