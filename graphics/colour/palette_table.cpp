#include "graphics/colour/palette_table.h"

#include <algorithm>
#include <utility>

#include "foundation/class_registrar.h"
#include "foundation/error.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPaletteTable>, kGPaletteTableClassID, kGPaletteTableClassName);

const GRGBColor& ColorOf(const GObjectRef& entry) { return static_cast<const GRGBColor&>(*entry); }

}  // namespace

// The entries as the archive's child list.
class GPaletteTable::EntryList {
 public:
  explicit EntryList(std::vector<GObjectRef>& entries) : entries_(entries) {}

  uint32_t Count() const { return static_cast<uint32_t>(entries_.size()); }
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const GObjectRef& entry : entries_) visit(entry.Get());
  }
  void Clear() { entries_.clear(); }
  bool ReadChild(GFieldArchive& archive) {
    GObjectRef entry;
    if (!archive.ObjectOf<GRGBColor>(entry)) return false;
    if (entry.IsEmpty()) {
      archive.FailInput();
      return false;
    }
    entries_.push_back(std::move(entry));
    return true;
  }

 private:
  std::vector<GObjectRef>& entries_;
};

GPaletteTable::GPaletteTable() {
  entries_.emplace_back(new GRGBColor(255, 255, 255, 255));
  entries_.emplace_back(new GRGBColor(0, 0, 0, 255));
}

GPaletteTable::GPaletteTable(std::span<const GRGBColor> colors) {
  for (const GRGBColor& color : colors) entries_.emplace_back(color.CloneObject());
}

GPaletteTable::GPaletteTable(const GPaletteTable& other) : MPersistentObject() { AppendClonesOf(other.entries_); }

GPaletteTable& GPaletteTable::operator=(const GPaletteTable& other) {
  if (this == &other) return *this;
  entries_.clear();
  AppendClonesOf(other.entries_);
  return *this;
}

void GPaletteTable::AppendClonesOf(const std::vector<GObjectRef>& entries) {
  for (const GObjectRef& entry : entries) entries_.emplace_back(entry->CloneObject());
}

GRGBColor* GPaletteTable::GetEntry(uint32_t index) const {
  if (!CheckIndex(index, GetCount())) return nullptr;
  return static_cast<GRGBColor*>(entries_[index].Get());
}

bool GPaletteTable::IsGray() const {
  return std::all_of(entries_.begin(), entries_.end(), [](const GObjectRef& entry) {
    const GRGBColor& color = ColorOf(entry);
    return color.GetRed() == color.GetGreen() && color.GetGreen() == color.GetBlue();
  });
}

bool GPaletteTable::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* table = SameClassAndKey<GPaletteTable>(other);
  return table != nullptr &&
         std::equal(entries_.begin(), entries_.end(), table->entries_.begin(), table->entries_.end(),
                    [](const GObjectRef& left, const GObjectRef& right) { return left->SameContent(*right); });
}

void GPaletteTable::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  EntryList list(entries_);
  archive.ChildList(list);
}
