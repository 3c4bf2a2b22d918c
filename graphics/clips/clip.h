#pragma once

#include <cstdint>

#include "graphics/clips/rectangle_list.h"
#include "graphics/display/path_graphic.h"
#include "graphics/rectangle.h"
#include "model/attributes/graphic_state_attribute.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

// Where a graphic may paint: the whole page, a path, one rectangle or a
// list of rectangles. A graphic bundle holds one clip under its clip key
// whatever the class, so every clip shares the base type of GClip.
//
// Stored part after the graphic-state attribute's: version 1; the fill rule
// (32-bit); the region (32-bit).
class GClip : public GGraphicStateAttribute {
 public:
  // Fill rules.
  static constexpr int32_t kEvenOdd = 0;
  static constexpr int32_t kWinding = 1;
  // Regions.
  static constexpr int32_t kInside = 0;
  static constexpr int32_t kOutside = 1;
  // Either field when the clip leaves it to the device.
  static constexpr int32_t kNotSet = 2;

  GClip() = default;
  GClip(int32_t region, int32_t fillRule, int32_t key)
      : GGraphicStateAttribute(key), fillRule_(fillRule), region_(region) {}
  GClip(const GClip& other) = default;

  virtual int32_t GetRegion() const { return region_; }
  virtual int32_t GetFillRule() const { return fillRule_; }
  // Writes the clip's bounding rectangle and answers 1, or answers 0 and
  // writes nothing when the clip has no bounds.
  virtual int32_t GetBounds(GRectangle& bounds) const = 0;

  RWClassID BaseTypeId() const override { return kGClipClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGClipClassID || GGraphicStateAttribute::IsKindOf(id); }
  // Same class, key, fill rule and region.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  int32_t fillRule_ = kNotSet;
  int32_t region_ = kNotSet;
};

// The whole page. Stored part after the clip's: version 1.
class GClipToPage : public GClip {
 public:
  // Non-zero winding, inside.
  explicit GClipToPage(int32_t key = 0) : GClip(kInside, kWinding, key) {}
  GClipToPage(const GClipToPage& other) = default;

  // No bounds.
  int32_t GetBounds(GRectangle& bounds) const override;

  RWCollectable* NewInstance() const override { return new GClipToPage; }
  RWCollectable* Clone() const override { return new GClipToPage(*this); }
  RWClassID ClassID() const override { return kGClipToPageClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGClipToPageClassID || GClip::IsKindOf(id); }
  // ApplyClipToPage of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;
};

// The inside or outside of a path, which the clip owns (a clone goes with
// every clone of the clip). Its bounds are the path's.
//
// Stored part after the clip's: version 1; the path as an object reference,
// nil without path.
class GClipToPath : public GClip {
 public:
  GClipToPath() = default;
  // Takes over the path, which may be null.
  GClipToPath(GPathGraphic* path, int32_t region, int32_t fillRule, int32_t key);
  GClipToPath(const GClipToPath& other);

  GPathGraphic* GetPath() const { return static_cast<GPathGraphic*>(path_.Get()); }
  // Answers 0 without path.
  int32_t GetBounds(GRectangle& bounds) const override;

  RWCollectable* NewInstance() const override { return new GClipToPath; }
  RWCollectable* Clone() const override { return new GClipToPath(*this); }
  RWClassID ClassID() const override { return kGClipToPathClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGClipToPathClassID || GClip::IsKindOf(id); }
  // Both paths absent, or both present with equal content.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyClipToPath of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  // A stored path of another class fails the input and leaves none.
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef path_;
};

// One rectangle. Stored part after the clip's: version 1; left, top,
// right, bottom (16-bit each).
class GClipToSingleRectangle : public GClip {
 public:
  GClipToSingleRectangle() = default;
  GClipToSingleRectangle(const GRectangle& rectangle, int32_t region, int32_t fillRule, int32_t key)
      : GClip(region, fillRule, key), rectangle_(rectangle) {}
  GClipToSingleRectangle(const GClipToSingleRectangle& other) = default;

  const GRectangle* GetRectangle() const { return &rectangle_; }
  void SetRectangle(const GRectangle& rectangle) { rectangle_ = rectangle; }
  // The rectangle.
  int32_t GetBounds(GRectangle& bounds) const override;

  RWCollectable* NewInstance() const override { return new GClipToSingleRectangle; }
  RWCollectable* Clone() const override { return new GClipToSingleRectangle(*this); }
  RWClassID ClassID() const override { return kGClipToSingleRectangleClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGClipToSingleRectangleClassID || GClip::IsKindOf(id); }
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyClipToSingleRectangle of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GRectangle rectangle_;
};

// The union of a list of rectangles; an empty list shows nothing.
//
// Stored part after the clip's: version 1; the count (32-bit); each
// rectangle as left, top, right, bottom (16-bit each).
class GClipToRectangle : public GClip {
 public:
  GClipToRectangle() = default;
  // A list holding the one rectangle.
  GClipToRectangle(const GRectangle& rectangle, int32_t region, int32_t fillRule, int32_t key);
  // A copy of the list, its capacity included.
  GClipToRectangle(const GRectangleList& rectangles, int32_t region, int32_t fillRule, int32_t key)
      : GClip(region, fillRule, key), rectangles_(rectangles) {}
  GClipToRectangle(const GClipToRectangle& other) = default;

  // The rectangle at the index; all zeros for an index not below the count.
  GRectangle GetRectangle(uint32_t index) const;
  uint32_t GetCount() const { return rectangles_.Count(); }
  const GRectangleList& GetRectangles() const { return rectangles_; }
  // The smallest left and top and the largest right and bottom; all zeros
  // for an empty list, so that nothing shows.
  int32_t GetBounds(GRectangle& bounds) const override;

  RWCollectable* NewInstance() const override { return new GClipToRectangle; }
  RWCollectable* Clone() const override { return new GClipToRectangle(*this); }
  RWClassID ClassID() const override { return kGClipToRectangleClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGClipToRectangleClassID || GClip::IsKindOf(id); }
  // The same rectangles in the same order.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyClipToRectangle of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GRectangleList rectangles_;
};
