#include "device/colour/tintwise_attribute.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar tintwiseRegistrar(CreateCollectable<GTintwiseAttribute>, kGTintwiseAttributeClassID,
                                        kGTintwiseAttributeClassName);
const GClassRegistrar enhancedRegistrar(CreateCollectable<GTintwiseEnhancedAttribute>,
                                        kGTintwiseEnhancedAttributeClassID, kGTintwiseEnhancedAttributeClassName);
const GClassRegistrar ver2Registrar(CreateCollectable<GTintwiseEnhancedAttributeVer2>,
                                    kGTintwiseEnhancedAttributeVer2ClassID, kGTintwiseEnhancedAttributeVer2ClassName);

// The key whose base rows differ.
constexpr int32_t kAlternateRowsKey = 227;

}  // namespace

std::array<uint8_t, 6> GTintwiseAttribute::DefaultRows(int32_t key) {
  if (key == kAlternateRowsKey) return {16, 40, 22, 50, 32, 62};
  return {15, 40, 21, 50, 31, 62};
}

int32_t GTintwiseAttribute::Slot(int32_t index, int32_t row) {
  if (index < 0 || index > 2 || row < 0 || row > 2) return Rows::kOutOfRange;
  if (row == 2) return Rows::kNoByte;
  return 2 * index + row;
}

bool GTintwiseAttribute::GetSettingByte(int32_t index, int32_t row, uint8_t& byte) const {
  return rows_.Read(Slot(index, row), byte);
}

bool GTintwiseAttribute::SetSettingByte(int32_t index, int32_t row, uint8_t byte) {
  return rows_.Write(Slot(index, row), byte);
}

bool GTintwiseAttribute::SameSettings(const GTintwiseAttribute& other) const {
  return other.ClassID() == ClassID() && other.rows_.SameStored(rows_);
}

void GTintwiseAttribute::CopySettings(const GTintwiseAttribute& other) {
  if (other.ClassID() == ClassID()) rows_ = other.rows_;
}

bool GTintwiseAttribute::SameContent(const MPersistentObject& other) const {
  const auto* attribute = SameClassAndKey<GTintwiseAttribute>(other);
  return attribute != nullptr && attribute->rows_.SameStored(rows_);
}

void GTintwiseAttribute::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) rows_.Fields(archive);
}

GTintwiseEnhancedAttribute::GTintwiseEnhancedAttribute(int32_t key)
    : GTintwiseEnhancedAttribute(key, 70, 41, 80, 51, 91, 61, 95, 98) {}

int32_t GTintwiseEnhancedAttribute::Slot(int32_t index, int32_t kind) {
  if (index < 0 || index > 3 || kind < 0 || kind > 4) return Settings::kOutOfRange;
  switch (kind) {
    case 0:
    case 1:
      return index < 3 ? 2 * index + kind : 8 + kind;
    case 2:
      return 6;
    case 3:
      return 7;
    default:
      return Settings::kNoByte;
  }
}

GTintwiseEnhancedAttributeVer2::GTintwiseEnhancedAttributeVer2(int32_t key)
    : GTintwiseEnhancedAttributeVer2(key, 70, 41, 100, 80, 51, 103, 91, 61, 106, 95) {}

int32_t GTintwiseEnhancedAttributeVer2::Slot(int32_t index, int32_t kind) {
  if (index < 0 || index > 3 || kind < 0 || kind > 4) return Settings::kOutOfRange;
  if (kind == 4) return Settings::kNoByte;
  if (kind == 2) return 9;
  // Kinds 0, 1 and 3 are rows X0, X1 and X2.
  const int32_t row = kind == 3 ? 2 : kind;
  return index < 3 ? 3 * index + row : 10 + row;
}
