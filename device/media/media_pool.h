#pragma once

#include <cstdint>
#include <memory>

#include "device/media/media.h"
#include "model/attributes/enum_attribute.h"
#include "model/objects/child_iterator.h"

class GMediaPool;

// Walks the media of one pool that fit a filter: one orientation, one x and
// one y resolution, and a paper size from a minimum to a maximum (both
// inclusive, signed 16-bit comparisons). Children that are no media, and
// empty slots, never fit. Walking changes no child's reference count.
//
// Like every child iterator it starts before the first medium; Advance
// answers false after the last fit and stands before the first again.
class GMediaIterator : public GIterator {
 public:
  GMediaIterator(GMediaPool& pool, int32_t orientation, uint16_t xResolution, uint16_t yResolution,
                 GDotPair minimumSize, GDotPair maximumSize);

  MPersistentObject* Current() override { return children_->Current(); }
  void Insert(MPersistentObject* node) override { children_->Insert(node); }
  // Moves to the next medium that fits.
  bool Advance() override;
  void Reset() override { children_->Reset(); }

  // The current medium, or null.
  GMedia* CurrentMedia();

 private:
  bool Fits(const MPersistentObject* child) const;

  std::unique_ptr<GIterator> children_;
  int32_t orientation_;
  uint16_t xResolution_;
  uint16_t yResolution_;
  GDotPair minimumSize_;
  GDotPair maximumSize_;
};

// The printer's media as the choices of an enumeration: its children are
// GMedia objects, the current choice the selected medium. Media are added,
// removed and selected through the enumeration's operations.
//
// Stored part: the enumeration's, then version 1.
class GMediaPool : public GEnumAttribute {
 public:
  GMediaPool() = default;
  explicit GMediaPool(int32_t key) : GEnumAttribute(key) {}
  // Shares the media and the current choice.
  GMediaPool(const GMediaPool& other) = default;

  // A new iterator before the first medium that fits; the caller owns it.
  std::unique_ptr<GMediaIterator> CreateIterator(int32_t orientation, uint16_t xResolution, uint16_t yResolution,
                                                 GDotPair minimumSize, GDotPair maximumSize);
  std::unique_ptr<GMediaIterator> CreateIterator(int32_t orientation, uint16_t resolution, GDotPair minimumSize,
                                                 GDotPair maximumSize) {
    return CreateIterator(orientation, resolution, resolution, minimumSize, maximumSize);
  }

  // The first medium in child order with the size id, the orientation and
  // both resolutions, and a paper size from (0, 0) to (32767, 32767); null
  // when none. The pool keeps owning it; the caller takes no reference.
  GMedia* FindBySizeId(int16_t sizeId, int32_t orientation, uint16_t xResolution, uint16_t yResolution);
  GMedia* FindBySizeId(int16_t sizeId, int32_t orientation, uint16_t resolution) {
    return FindBySizeId(sizeId, orientation, resolution, resolution);
  }

  RWCollectable* NewInstance() const override { return new GMediaPool; }
  RWCollectable* Clone() const override { return new GMediaPool(*this); }
  RWClassID ClassID() const override { return kGMediaPoolClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGMediaPoolClassID || GEnumAttribute::IsKindOf(id); }

 protected:
  void Fields(GFieldArchive& archive) override {
    GEnumAttribute::Fields(archive);
    archive.TrailingVersion(FormatVersion());
  }
};
