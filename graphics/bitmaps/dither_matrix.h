#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

// A threshold matrix of 8-bit cells for halftoning, found by its five
// selectors, with a cursor that walks one row round and round.
//
// Stored part after the root's: version 3; width, height (16-bit); the
// width x height cells; selector 1 (16-bit); the tag (32-bit); selectors 2
// to 5 (16-bit each). Versions 1 (no tag, no further selectors) and 2 (no
// further selectors) are read too.
class GDitherMatrix : public MPersistentObject {
 public:
  // An empty matrix: no cells, every selector and the tag 0.
  GDitherMatrix() = default;
  // Selector 2 = selector 1; the others and the tag 0.
  GDitherMatrix(uint8_t width, uint8_t height, const uint8_t* cells, uint16_t selector1, int32_t key);
  GDitherMatrix(uint8_t width, uint8_t height, const uint8_t* cells, uint16_t selector1, uint16_t selector2,
                uint8_t selector3, uint8_t selector4, uint16_t selector5, int32_t key);
  // Size, cells, selectors and tag; key 0 and a serial number of its own.
  GDitherMatrix(const GDitherMatrix& other);
  GDitherMatrix& operator=(const GDitherMatrix&) = delete;

  // 0 outside the matrix.
  uint8_t GetCell(uint32_t row, uint32_t column) const;
  // Nothing outside the matrix.
  void SetCell(uint32_t row, uint32_t column, uint8_t value);
  // The first width x height cells in storage order; answers the count.
  uint32_t CopyCells(uint8_t* destination, uint8_t width, uint8_t height) const;

  // Places the cursor on the row at the column.
  void SelectRow(uint8_t column, uint8_t row);
  // The cell under the cursor; the cursor then moves right, back to the
  // row's start after its last column.
  uint8_t NextCell();
  // The row rotated left by the column: its cells from the column to the
  // end, then those before the column. Writes the width's count.
  void CopyRow(uint8_t* destination, uint8_t column, uint8_t row);

  uint8_t GetWidth() const { return static_cast<uint8_t>(width_); }
  uint8_t GetHeight() const { return static_cast<uint8_t>(height_); }
  uint16_t GetSelector1() const { return selectors_[0]; }
  uint16_t GetSelector2() const { return selectors_[1]; }
  uint16_t GetSelector3() const { return selectors_[2]; }
  uint16_t GetSelector4() const { return selectors_[3]; }
  uint16_t GetSelector5() const { return selectors_[4]; }
  int32_t GetTag() const { return tag_; }
  void SetTag(int32_t tag) { tag_ = tag; }

  RWCollectable* NewInstance() const override { return new GDitherMatrix; }
  RWCollectable* Clone() const override { return new GDitherMatrix(*this); }
  RWClassID ClassID() const override { return kGDitherMatrixClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGDitherMatrixClassID || MPersistentObject::IsKindOf(id); }
  // Same class, size, selectors, tag and cells.
  bool SameContent(const MPersistentObject& other) const override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  static constexpr uint32_t kStoredVersion = 3;

  uint16_t width_ = 0;
  uint16_t height_ = 0;
  std::vector<uint8_t> cells_;
  // Selectors 1 to 5; 3 and 4 hold 8-bit values.
  uint16_t selectors_[5] = {};
  int32_t tag_ = 0;
  // The row cursor.
  uint32_t lastColumn_ = 0;
  uint32_t cursorColumn_ = 0;
  uint32_t rowStart_ = 0;
};

// The first matrix after index start (-1: from the first) whose selectors
// match: 1 and 2 equal; 3 and 4 equal or either 0; 5 likewise, or in the
// strict search the matrix's selector 5 is 0xFFFF. Null at the end of the
// list; entries of other classes are passed over; no reference is taken.
GDitherMatrix* FindSharedDitherMatrix(uint16_t selector1, uint16_t selector2, uint16_t selector3, uint16_t selector4,
                                      uint16_t selector5, std::span<const GObjectRef> matrices, int32_t start,
                                      bool strict);
