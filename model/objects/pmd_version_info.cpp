#include "model/objects/pmd_version_info.h"

#include <algorithm>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPMDVersionInfo>, kGPMDVersionInfoClassID, kGPMDVersionInfoClassName);

constexpr uint16_t kLastNumber = 0xFFFF;

uint16_t Major(uint32_t word) { return static_cast<uint16_t>(word >> 16); }
uint16_t Minor(uint32_t word) { return static_cast<uint16_t>(word); }

uint16_t NextMinor(uint32_t& word) {
  const uint16_t minor = Minor(word);
  if (minor != kLastNumber) word = (word & 0xFFFF0000u) | uint32_t{static_cast<uint16_t>(minor + 1)};
  return minor;
}

uint16_t NextMajor(uint32_t& word) {
  const uint16_t major = Major(word);
  if (major != kLastNumber) word = uint32_t{static_cast<uint16_t>(major + 1)} << 16;
  return major;
}

// A stored text takes at least its 4-byte length.
constexpr uint32_t kMinimumTextSize = 4;

}  // namespace

GPMDVersionInfo::GPMDVersionInfo(uint32_t versionA, uint32_t versionB, uint16_t shortValue, int32_t key)
    : MPersistentObject(key), versionA_(versionA), versionB_(versionB), shortValue_(shortValue) {}

GPMDVersionInfo& GPMDVersionInfo::operator=(const GPMDVersionInfo& other) {
  if (this == &other) return *this;
  MPersistentObject::operator=(other);
  versionA_ = other.versionA_;
  versionB_ = other.versionB_;
  shortValue_ = other.shortValue_;
  firstValue_ = other.firstValue_;
  secondValue_ = other.secondValue_;
  texts_.Clear(texts_.Capacity());
  for (const RWCString& text : other.texts_) texts_.Append(text);
  return *this;
}

uint16_t GPMDVersionInfo::NextMinorVersion() { return NextMinor(versionB_); }

uint16_t GPMDVersionInfo::NextMajorVersion() { return NextMajor(versionB_); }

uint16_t GPMDVersionInfo::NextMinorVersionA() { return NextMinor(versionA_); }

uint16_t GPMDVersionInfo::NextMajorVersionA() { return NextMajor(versionA_); }

bool GPMDVersionInfo::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* info = SameClassAndKey<GPMDVersionInfo>(other);
  return info != nullptr && info->versionA_ == versionA_ && info->versionB_ == versionB_ &&
         info->shortValue_ == shortValue_ && info->firstValue_ == firstValue_ && info->secondValue_ == secondValue_ &&
         std::equal(texts_.begin(), texts_.end(), info->texts_.begin(), info->texts_.end());
}

void GPMDVersionInfo::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (!archive.UInt32(versionB_) || !archive.UInt32(versionA_) || !archive.UInt16(shortValue_) ||
      !archive.UInt32(firstValue_) || !archive.UInt32(secondValue_)) {
    return;
  }
  uint32_t count = texts_.Count();
  if (!archive.UInt32(count)) return;
  if (!archive.IsRestoring()) {
    for (RWCString& text : texts_) archive.String(text);
    return;
  }
  texts_.Clear(texts_.Capacity());
  if (!archive.Holds(count, kMinimumTextSize)) return;
  for (uint32_t i = 0; i < count; ++i) {
    RWCString text;
    if (!archive.String(text)) return;
    texts_.Append(text);
  }
}
