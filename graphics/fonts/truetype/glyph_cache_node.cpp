#include "graphics/fonts/truetype/glyph_cache_node.h"

#include <utility>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GGlyphCacheNode>, kGGlyphCacheNodeClassID, kGGlyphCacheNodeClassName);

void TakeIfGiven(GCachedBytes& bytes, const std::unique_ptr<GByteBuffer>& buffer) {
  if (buffer) bytes.Take(*buffer);
}

void MoveIfMissing(GCachedBytes& mine, GCachedBytes& theirs) {
  if (mine.Length() == 0 && theirs.Length() != 0) mine = std::move(theirs);
}

std::unique_ptr<GByteBuffer> ViewIfAny(const GCachedBytes& bytes) {
  return bytes.Length() == 0 ? nullptr : bytes.View();
}

}  // namespace

GGlyphCacheNode::GGlyphCacheNode(std::unique_ptr<GByteBuffer> outline, std::unique_ptr<GByteBuffer> image) {
  TakeIfGiven(outline_, outline);
  TakeIfGiven(image_, image);
}

bool GGlyphCacheNode::SameContent(const MPersistentObject& other) const {
  const auto* node = SameClassAndKey<GGlyphCacheNode>(other);
  return node != nullptr && node->outline_.SameBytes(outline_);
}

void GGlyphCacheNode::UpdateFrom(std::unique_ptr<GGlyphCacheNode> other) {
  // A node handed itself is not deleted under its owner.
  if (other.get() == this) {
    static_cast<void>(other.release());
    return;
  }
  if (!other) return;
  MoveIfMissing(outline_, other->outline_);
  MoveIfMissing(image_, other->image_);
}

std::unique_ptr<GByteBuffer> GGlyphCacheNode::GetOutline() const { return ViewIfAny(outline_); }

std::unique_ptr<GByteBuffer> GGlyphCacheNode::GetImage() const { return ViewIfAny(image_); }

void GGlyphCacheNode::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  // Each block empties itself before it reads, so a record cut short
  // leaves no bytes of what the node held before.
  outline_.Fields(archive);
  image_.Fields(archive);
}
