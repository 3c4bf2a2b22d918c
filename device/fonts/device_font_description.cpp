#include "device/fonts/device_font_description.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDeviceFontDescription>, kGDeviceFontDescriptionClassID,
                                kGDeviceFontDescriptionClassName);

constexpr uint32_t kFirstVersion = 1;
constexpr uint32_t kStoredSymbolSetSize = 4;

// The symbol sets as their count and codes; restoring starts from an empty
// array and appends only codes that arrived.
void SymbolSetsField(GFieldArchive& archive, GIntArray& symbolSets) {
  uint32_t count = symbolSets.Count();
  if (!archive.IsRestoring()) {
    archive.Count(count, kStoredSymbolSetSize);
    for (int32_t code : symbolSets) archive.Int32(code);
    return;
  }
  symbolSets.Clear();
  if (!archive.Count(count, kStoredSymbolSetSize)) return;
  for (uint32_t i = 0; i < count; ++i) {
    int32_t code = 0;
    if (!archive.Int32(code)) return;
    symbolSets.Add(code);
  }
}

}  // namespace

GDeviceFontDescription::GDeviceFontDescription(const RWCString& faceName, const RWCString& deviceName,
                                               int32_t primarySymbolSet, const GIntArray& symbolSets, uint16_t weight,
                                               int32_t italic, int32_t family, int32_t pitchFlag, int32_t format,
                                               int16_t height, uint16_t lookupId, int32_t location)
    : faceName_(faceName),
      deviceName_(deviceName),
      primarySymbolSet_(primarySymbolSet),
      symbolSets_(symbolSets),
      weight_(weight),
      italic_(italic),
      family_(family),
      pitchFlag_(pitchFlag),
      format_(format),
      height_(height),
      lookupId_(lookupId),
      location_(location) {}

bool GDeviceFontDescription::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* font = SameClassAndKey<GDeviceFontDescription>(other);
  return font != nullptr && font->faceName_ == faceName_ && font->deviceName_ == deviceName_ &&
         font->primarySymbolSet_ == primarySymbolSet_ && font->weight_ == weight_ && font->italic_ == italic_ &&
         font->family_ == family_ && font->pitchFlag_ == pitchFlag_ && font->format_ == format_ &&
         font->height_ == height_ && font->location_ == location_ && font->lookupId_ == lookupId_ &&
         font->symbolSets_ == symbolSets_;
}

void GDeviceFontDescription::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion(), kFirstVersion)) return;
  archive.String(faceName_);
  archive.String(deviceName_);
  archive.Int32(primarySymbolSet_);
  SymbolSetsField(archive, symbolSets_);
  archive.UInt16(weight_);
  archive.Int32(italic_);
  archive.Int32(family_);
  archive.Int32(pitchFlag_);
  archive.Int32(format_);
  archive.Int16(height_);
  if (archive.StoredVersion() < FormatVersion()) {
    lookupId_ = 0;
    location_ = 0;
    return;
  }
  archive.UInt16(lookupId_);
  archive.Int32(location_);
}
