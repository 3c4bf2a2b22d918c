#include "graphics/bitmaps/dither_matrix.h"

#include <algorithm>
#include <cstring>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDitherMatrix>, kGDitherMatrixClassID, kGDitherMatrixClassName);

// A requested selector matches a held one when they are equal or either
// is 0.
bool Matches(uint16_t held, uint16_t requested) { return held == requested || held == 0 || requested == 0; }

}  // namespace

GDitherMatrix::GDitherMatrix(uint8_t width, uint8_t height, const uint8_t* cells, uint16_t selector1, int32_t key)
    : GDitherMatrix(width, height, cells, selector1, selector1, 0, 0, 0, key) {}

GDitherMatrix::GDitherMatrix(uint8_t width, uint8_t height, const uint8_t* cells, uint16_t selector1,
                             uint16_t selector2, uint8_t selector3, uint8_t selector4, uint16_t selector5, int32_t key)
    : MPersistentObject(key),
      width_(width),
      height_(height),
      cells_(cells, cells + width * height),
      selectors_{selector1, selector2, selector3, selector4, selector5} {}

GDitherMatrix::GDitherMatrix(const GDitherMatrix& other)
    : MPersistentObject(), width_(other.width_), height_(other.height_), cells_(other.cells_), tag_(other.tag_) {
  std::copy(std::begin(other.selectors_), std::end(other.selectors_), selectors_);
}

uint8_t GDitherMatrix::GetCell(uint32_t row, uint32_t column) const {
  return row < height_ && column < width_ ? cells_[row * width_ + column] : 0;
}

void GDitherMatrix::SetCell(uint32_t row, uint32_t column, uint8_t value) {
  if (row < height_ && column < width_) cells_[row * width_ + column] = value;
}

uint32_t GDitherMatrix::CopyCells(uint8_t* destination, uint8_t width, uint8_t height) const {
  const uint32_t count = std::min<uint32_t>(uint32_t{width} * height, static_cast<uint32_t>(cells_.size()));
  std::copy_n(cells_.begin(), count, destination);
  return count;
}

void GDitherMatrix::SelectRow(uint8_t column, uint8_t row) {
  lastColumn_ = width_ == 0 ? 0 : width_ - 1u;
  cursorColumn_ = column;
  rowStart_ = uint32_t{row} * width_;
}

uint8_t GDitherMatrix::NextCell() {
  const uint32_t at = rowStart_ + cursorColumn_;
  const uint8_t cell = at < cells_.size() ? cells_[at] : 0;
  cursorColumn_ = cursorColumn_ >= lastColumn_ ? 0 : cursorColumn_ + 1;
  return cell;
}

void GDitherMatrix::CopyRow(uint8_t* destination, uint8_t column, uint8_t row) {
  SelectRow(column, row);
  for (uint32_t i = 0; i < width_; ++i) destination[i] = NextCell();
}

bool GDitherMatrix::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID()) return false;
  const auto& matrix = static_cast<const GDitherMatrix&>(other);
  return matrix.width_ == width_ && matrix.height_ == height_ &&
         std::equal(std::begin(selectors_), std::end(selectors_), std::begin(matrix.selectors_)) &&
         matrix.tag_ == tag_ && matrix.cells_ == cells_;
}

void GDitherMatrix::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(kStoredVersion, 1)) return;
  const uint32_t version = archive.StoredVersion();
  uint16_t width = width_;
  uint16_t height = height_;
  if (!archive.UInt16(width) || !archive.UInt16(height)) return;
  if (archive.IsRestoring()) {
    const uint32_t count = uint32_t{width} * height;
    if (!archive.Holds(count, 1)) return;
    std::vector<uint8_t> cells(count);
    if (!archive.Bytes(cells.data(), count)) return;
    width_ = width;
    height_ = height;
    cells_ = std::move(cells);
  } else {
    archive.Bytes(cells_.data(), static_cast<uint32_t>(cells_.size()));
  }
  if (!archive.UInt16(selectors_[0])) return;
  if (archive.IsRestoring() && version < 3) selectors_[1] = selectors_[0];
  if (version < 2 || !archive.Int32(tag_) || version < 3) return;
  for (int i = 1; i < 5; ++i) archive.UInt16(selectors_[i]);
}

GDitherMatrix* FindSharedDitherMatrix(uint16_t selector1, uint16_t selector2, uint16_t selector3, uint16_t selector4,
                                      uint16_t selector5, std::span<const GObjectRef> matrices, int32_t start,
                                      bool strict) {
  for (size_t i = start < 0 ? 0 : static_cast<size_t>(start) + 1; i < matrices.size(); ++i) {
    auto* matrix = dynamic_cast<GDitherMatrix*>(matrices[i].Get());
    if (matrix == nullptr || matrix->GetSelector1() != selector1 || matrix->GetSelector2() != selector2 ||
        !Matches(matrix->GetSelector3(), selector3) || !Matches(matrix->GetSelector4(), selector4)) {
      continue;
    }
    if (strict ? matrix->GetSelector5() == 0xFFFF : Matches(matrix->GetSelector5(), selector5)) return matrix;
  }
  return nullptr;
}
