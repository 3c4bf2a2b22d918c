#pragma once

#include <cstdint>
#include <memory>

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/truetype/cached_bytes.h"
#include "model/objects/persistent_object.h"

// What the font reader has fetched for one glyph: its outline bytes and its
// rendered image bytes, either of which may be missing. The node owns both
// blocks and hands out buffers that point at them without owning them.
//
// Stored part after the base part: version 1, the outline length (32-bit)
// and bytes, the image length (32-bit) and bytes.
class GGlyphCacheNode : public MPersistentObject {
 public:
  GGlyphCacheNode() = default;
  // Takes each given buffer's bytes (over when the buffer owned them, else
  // as a copy); either buffer may be null.
  GGlyphCacheNode(std::unique_ptr<GByteBuffer> outline, std::unique_ptr<GByteBuffer> image);
  // Owned copies of both blocks and the base part.
  GGlyphCacheNode(const GGlyphCacheNode& other) = default;
  GGlyphCacheNode& operator=(const GGlyphCacheNode&) = delete;

  RWCollectable* NewInstance() const override { return new GGlyphCacheNode; }
  RWCollectable* Clone() const override { return new GGlyphCacheNode(*this); }
  RWClassID ClassID() const override { return kGGlyphCacheNodeClassID; }
  // Same class and key and byte-equal outlines; the images are not
  // compared.
  bool SameContent(const MPersistentObject& other) const override;

  // Takes over the other's outline when this node has none, and the
  // other's image likewise, then deletes the other node.
  virtual void UpdateFrom(std::unique_ptr<GGlyphCacheNode> other);
  // A buffer on the bytes that does not own them; null when the node has
  // no such bytes.
  virtual std::unique_ptr<GByteBuffer> GetOutline() const;
  virtual uint32_t GetOutlineLength() const { return outline_.Length(); }
  virtual std::unique_ptr<GByteBuffer> GetImage() const;
  virtual uint32_t GetImageLength() const { return image_.Length(); }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GCachedBytes outline_;
  GCachedBytes image_;
};
