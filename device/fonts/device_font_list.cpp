#include "device/fonts/device_font_list.h"

#include "foundation/class_registrar.h"
#include "model/attributes/string_attribute.h"
#include "model/objects/persistable_number.h"
#include "model/objects/persistent_association.h"
#include "model/objects/reference_reader.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDeviceFontList>, kGDeviceFontListClassID, kGDeviceFontListClassName);

constexpr uint32_t kFirstVersion = 1;
constexpr uint32_t kCatalogueCountVersion = 2;

bool IsDescription(const RWCollectable& object) {
  return dynamic_cast<const GDeviceFontDescription*>(&object) != nullptr;
}

// A copy of the table that shares nothing with it.
GObjectRef CopyOfTable(const GObjectRef& table) { return GObjectRef(table ? table->DeepCopy() : nullptr); }

bool SameTables(const GObjectRef& a, const GObjectRef& b) {
  if (!a || !b) return !a && !b;
  return a->SameContent(*b);
}

// A table as an object reference; what a restore reads that is not an
// association list is dropped.
void TableField(GFieldArchive& archive, GObjectRef& table) {
  archive.Object(table);
  if (archive.IsRestoring() && table && dynamic_cast<MAssociationList*>(table.Get()) == nullptr) table = nullptr;
}

// The descriptions as the archive walks a child list: each stored as an
// object of its own, each read one copied in.
struct Descriptions {
  std::vector<GDeviceFontDescription>& items;
  uint32_t Count() const { return static_cast<uint32_t>(items.size()); }
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const GDeviceFontDescription& item : items) visit(&item);
  }
  void Clear() { items.clear(); }
  bool ReadChild(GFieldArchive& archive) {
    RWCollectable* read = archive.ReadFreshObject(IsDescription);
    if (read == nullptr) return false;
    items.push_back(static_cast<const GDeviceFontDescription&>(*read));
    // Later references of this restore may still name the object read.
    GReferenceReader::Discard(read);
    return true;
  }
};

}  // namespace

GDeviceFontList::GDeviceFontList(const GDeviceFontList& other)
    : MPersistentObject(other),
      descriptions_(other.descriptions_),
      catalogueCount_(other.catalogueCount_),
      firstTable_(CopyOfTable(other.firstTable_)),
      secondTable_(CopyOfTable(other.secondTable_)) {}

GDeviceFontList& GDeviceFontList::operator=(const GDeviceFontList& other) {
  if (this == &other) return *this;
  MPersistentObject::operator=(other);
  descriptions_ = other.descriptions_;
  catalogueCount_ = other.catalogueCount_;
  firstTable_ = CopyOfTable(other.firstTable_);
  secondTable_ = CopyOfTable(other.secondTable_);
  return *this;
}

void GDeviceFontList::SetFirstTable(MAssociationList* table) { firstTable_ = table; }

void GDeviceFontList::SetSecondTable(MAssociationList* table) { secondTable_ = table; }

void GDeviceFontList::AddDescription(const GDeviceFontDescription& description) {
  descriptions_.push_back(description);
}

bool GDeviceFontList::GetDescription(uint32_t index, GDeviceFontDescription& target) const {
  if (index >= GetCount()) return false;
  target = descriptions_[index];
  return true;
}

bool GDeviceFontList::FindDescription(Predicate predicate, void* user, const GDeviceFontDescription*& found) const {
  const int32_t index = FindIndex(predicate, user);
  if (index < 0) return false;
  found = &descriptions_[static_cast<uint32_t>(index)];
  return true;
}

int32_t GDeviceFontList::FindIndex(Predicate predicate, void* user) const {
  for (uint32_t i = 0; i < GetCount(); ++i) {
    if (predicate(descriptions_[i], user)) return static_cast<int32_t>(i);
  }
  return -1;
}

void GDeviceFontList::Clear() {
  descriptions_.clear();
  firstTable_ = nullptr;
  secondTable_ = nullptr;
  catalogueCount_ = 0;
}

const RWCString* GDeviceFontList::Lookup(const GObjectRef& table, uint32_t id) {
  if (!table) return nullptr;
  const GPersistableULong keyObject(id);
  const auto* text =
      dynamic_cast<const GStringAttribute*>(static_cast<MAssociationList&>(*table).FindValue(&keyObject));
  return text != nullptr ? &text->Text() : nullptr;
}

bool GDeviceFontList::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* list = SameClassAndKey<GDeviceFontList>(other);
  if (list == nullptr || !SameTables(firstTable_, list->firstTable_) || !SameTables(secondTable_, list->secondTable_) ||
      list->GetCount() != GetCount()) {
    return false;
  }
  for (uint32_t i = 0; i < GetCount(); ++i) {
    if (!descriptions_[i].SameContent(list->descriptions_[i])) return false;
  }
  return true;
}

void GDeviceFontList::DescriptionsField(GFieldArchive& archive) {
  Descriptions list{descriptions_};
  archive.ChildList(list);
}

void GDeviceFontList::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion(), kFirstVersion)) return;
  DescriptionsField(archive);
  if (archive.StoredVersion() < kCatalogueCountVersion) {
    catalogueCount_ = 0;
  } else {
    archive.UInt32(catalogueCount_);
  }
  if (archive.StoredVersion() < FormatVersion()) {
    firstTable_ = nullptr;
    secondTable_ = nullptr;
    return;
  }
  TableField(archive, firstTable_);
  TableField(archive, secondTable_);
}
