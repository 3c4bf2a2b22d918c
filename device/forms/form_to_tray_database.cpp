#include "device/forms/form_to_tray_database.h"

#include <memory>

#include "device/forms/short_array.h"
#include "foundation/class_registrar.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/text_conversion.h"

namespace {

const GClassRegistrar associationRegistrar(CreateCollectable<GFormToTrayAssociation>, kGFormToTrayAssociationClassID,
                                           kGFormToTrayAssociationClassName);
const GClassRegistrar databaseRegistrar(CreateCollectable<GFormToTrayDatabase>, kGFormToTrayDatabaseClassID,
                                        kGFormToTrayDatabaseClassName);

GObjectRef NewSetting(uint16_t value) { return GObjectRef(new GValueAttribute(static_cast<int16_t>(value), 0)); }

bool IsValueSetting(const RWCollectable& object) { return dynamic_cast<const GValueAttribute*>(&object) != nullptr; }

const GValueAttribute& SettingOf(const GObjectRef& setting) { return static_cast<const GValueAttribute&>(*setting); }

// Saves the setting as a reference; restores only a value setting that the
// read itself made, so that the association owns its ids alone.
void SettingField(GFieldArchive& archive, GObjectRef& setting) {
  if (!archive.IsRestoring()) {
    archive.Object(setting);
    return;
  }
  RWCollectable* read = archive.ReadFreshObject(IsValueSetting);
  if (read != nullptr) setting = static_cast<GValueAttribute*>(read);
}

}  // namespace

GFormToTrayAssociation::GFormToTrayAssociation()
    : mediaId_(NewSetting(0)), trayId_(NewSetting(0)), mediaTypeId_(NewSetting(0)) {}

GFormToTrayAssociation::GFormToTrayAssociation(uint16_t trayId, uint16_t mediaId, uint16_t mediaTypeId,
                                               const RWWString& formName)
    : mediaId_(NewSetting(mediaId)),
      trayId_(NewSetting(trayId)),
      mediaTypeId_(NewSetting(mediaTypeId)),
      formName_(formName) {}

GFormToTrayAssociation::GFormToTrayAssociation(const GFormToTrayAssociation& other)
    : GAttribute(other),
      mediaId_(other.mediaId_->CloneObject()),
      trayId_(other.trayId_->CloneObject()),
      mediaTypeId_(other.mediaTypeId_->CloneObject()),
      formName_(other.formName_) {}

uint16_t GFormToTrayAssociation::ValueOf(const GObjectRef& setting) {
  return static_cast<uint16_t>(SettingOf(setting).Value());
}

bool GFormToTrayAssociation::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* association = SameClassAndKey<GFormToTrayAssociation>(other);
  return association != nullptr && association->mediaId_->SameContent(*mediaId_) &&
         association->trayId_->SameContent(*trayId_) && association->mediaTypeId_->SameContent(*mediaTypeId_) &&
         association->formName_ == formName_;
}

void GFormToTrayAssociation::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  SettingField(archive, mediaId_);
  SettingField(archive, trayId_);
  SettingField(archive, mediaTypeId_);
  archive.WideString(formName_);
}

GFormToTrayDatabase& GFormToTrayDatabase::operator=(const GFormToTrayDatabase& other) {
  if (this == &other) return *this;
  GAttribute::operator=(other);
  associations_.RemoveAllChildren();
  for (const GCountedPtr& association : other.associations_.Children()) associations_.AddChild(association.Get());
  return *this;
}

template <typename Test>
const GFormToTrayAssociation* GFormToTrayDatabase::Find(const Test& test) const {
  for (const GCountedPtr& child : associations_.Children()) {
    const auto* association = dynamic_cast<const GFormToTrayAssociation*>(child.Get());
    if (association != nullptr && test(*association)) return association;
  }
  return nullptr;
}

const GFormToTrayAssociation* GFormToTrayDatabase::FindTray(uint16_t trayId) const {
  return Find([trayId](const auto& a) { return a.GetTrayId() == trayId; });
}

void GFormToTrayDatabase::SetAssociation(uint16_t trayId, uint16_t mediaId, uint16_t mediaTypeId) {
  RemoveAssociation(trayId);
  associations_.AddChild(new GFormToTrayAssociation(trayId, mediaId, mediaTypeId));
}

void GFormToTrayDatabase::SetAssociationWithName(uint16_t trayId, uint16_t mediaId, uint16_t mediaTypeId,
                                                 const RWCString& formName) {
  RWWString wide;
  NarrowToWide(formName, wide);
  RemoveAssociation(trayId);
  associations_.AddChild(new GFormToTrayAssociation(trayId, mediaId, mediaTypeId, wide));
}

void GFormToTrayDatabase::ResetAssociation(uint16_t trayId) {
  SetAssociation(trayId, kDefaultMediaId, kDefaultMediaTypeId);
}

void GFormToTrayDatabase::RemoveAssociation(uint16_t trayId) {
  const GFormToTrayAssociation* association = FindTray(trayId);
  if (association == nullptr) return;
  const std::unique_ptr<MPersistentObject> removed(associations_.RemoveChild(association));
}

uint16_t GFormToTrayDatabase::GetFirstValueFor(uint16_t trayId) const {
  const auto* association = FindTray(trayId);
  return association != nullptr ? association->GetMediaId() : kDefaultMediaId;
}

uint16_t GFormToTrayDatabase::GetSecondValueFor(uint16_t trayId) const {
  const auto* association = FindTray(trayId);
  return association != nullptr ? association->GetMediaTypeId() : kDefaultMediaTypeId;
}

uint16_t GFormToTrayDatabase::GetFirstNonDefaultValue() const {
  const auto* association = Find([](const auto& a) { return a.GetMediaId() != kDefaultMediaId; });
  return association != nullptr ? association->GetMediaId() : kDefaultMediaId;
}

uint16_t GFormToTrayDatabase::GetSecondNonDefaultValue() const {
  const auto* association = Find([](const auto& a) { return a.GetMediaTypeId() != kDefaultMediaTypeId; });
  return association != nullptr ? association->GetMediaTypeId() : kDefaultMediaTypeId;
}

uint16_t GFormToTrayDatabase::GetSecondValueForFirst(uint16_t mediaId) const {
  const auto* association = Find([mediaId](const auto& a) { return a.GetMediaId() == mediaId; });
  return association != nullptr ? association->GetMediaTypeId() : kDefaultMediaTypeId;
}

uint16_t GFormToTrayDatabase::GetFirstValueForSecond(uint16_t mediaTypeId) const {
  const auto* association = Find([mediaTypeId](const auto& a) { return a.GetMediaTypeId() == mediaTypeId; });
  return association != nullptr ? association->GetMediaId() : kDefaultMediaId;
}

bool GFormToTrayDatabase::HasTray(uint16_t trayId) const { return FindTray(trayId) != nullptr; }

bool GFormToTrayDatabase::HasAssociationWithValue(uint16_t mediaId) const {
  return Find([mediaId](const auto& a) { return a.GetMediaId() == mediaId; }) != nullptr;
}

bool GFormToTrayDatabase::HasAssociationWithSecondValue(uint16_t mediaTypeId) const {
  return Find([mediaTypeId](const auto& a) { return a.GetMediaTypeId() == mediaTypeId; }) != nullptr;
}

bool GFormToTrayDatabase::HasAssociationWithPair(uint16_t mediaId, uint16_t mediaTypeId) const {
  return Find([mediaId, mediaTypeId](const auto& a) {
           return a.GetMediaId() == mediaId && a.GetMediaTypeId() == mediaTypeId;
         }) != nullptr;
}

bool GFormToTrayDatabase::HasAssociationWithValueAndName(uint16_t mediaId, const RWWString& formName) const {
  return Find([mediaId, &formName](const auto& a) {
           return a.GetMediaId() == mediaId && a.GetFormName() == formName;
         }) != nullptr;
}

bool GFormToTrayDatabase::HasNonDefaultAssociation() const {
  return Find([](const auto& a) {
           return a.GetMediaId() != kDefaultMediaId || a.GetMediaTypeId() != kDefaultMediaTypeId;
         }) != nullptr;
}

void GFormToTrayDatabase::CollectValues(GShortArray& trayIds) const {
  // A test that passes nothing visits every association.
  Find([&trayIds](const auto& a) {
    trayIds.Add(a.GetTrayId());
    return false;
  });
}

bool GFormToTrayDatabase::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* database = SameClassAndKey<GFormToTrayDatabase>(other);
  return database != nullptr && database->associations_.SameContent(associations_);
}

void GFormToTrayDatabase::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Embedded(associations_);
}
