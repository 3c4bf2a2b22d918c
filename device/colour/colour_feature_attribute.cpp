#include "device/colour/colour_feature_attribute.h"

#include "foundation/class_registrar.h"

namespace {

// GHalftoneEnhanced first, so that the factory keeps it for 790.
const GClassRegistrar halftoneEnhancedRegistrar(CreateCollectable<GHalftoneEnhanced>, kGHalftoneEnhancedClassID,
                                                kGHalftoneEnhancedClassName);
const GClassRegistrar halftoneRegistrar(CreateCollectable<GHalftone>, kGHalftoneClassID, kGHalftoneClassName);
const GClassRegistrar srgbExtensionRegistrar(CreateCollectable<GSRGBExtension>, kGSRGBExtensionClassID,
                                             kGSRGBExtensionClassName);
const GClassRegistrar edgeControlRegistrar(CreateCollectable<GEdgeControl>, kGEdgeControlClassID,
                                           kGEdgeControlClassName);
const GClassRegistrar srgbColorRegistrar(CreateCollectable<GSRGBColor>, kGSRGBColorClassID, kGSRGBColorClassName);
const GClassRegistrar neutralGraysRegistrar(CreateCollectable<GNeutralGrays>, kGNeutralGraysClassID,
                                            kGNeutralGraysClassName);
const GClassRegistrar colorMapRegistrar(CreateCollectable<GColorMap>, kGColorMapClassID, kGColorMapClassName);

}  // namespace

bool GColorFeatureAttribute::SameContent(const MPersistentObject& other) const {
  // The two halftones share a class ID and compare equal, as a stored
  // GHalftone comes back a GHalftoneEnhanced.
  const auto* feature = dynamic_cast<const GColorFeatureAttribute*>(&other);
  return feature != nullptr && other.ClassID() == ClassID() && feature->value_ == value_;
}

void GColorFeatureAttribute::Fields(GFieldArchive& archive) {
  GGraphicStateAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int32(value_);
}
