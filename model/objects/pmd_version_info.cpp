#include "model/objects/pmd_version_info.h"

#include <algorithm>

#include "foundation/class_registrar.h"
#include "foundation/stored_count.h"

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

bool ReadValues(GBinaryFile& file, uint32_t& b, uint32_t& a, uint16_t& s, uint32_t& first, uint32_t& second,
                uint32_t& count) {
  return file.Read(b) && file.Read(a) && file.Read(s) && file.Read(first) && file.Read(second) && file.Read(count);
}

bool ReadValues(GVirtualInStream& stream, uint32_t& b, uint32_t& a, uint16_t& s, uint32_t& first, uint32_t& second,
                uint32_t& count) {
  return stream.GetULong(b).GetULong(a).GetUShort(s).GetULong(first).GetULong(second).GetULong(count).IsGood();
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

uint32_t GPMDVersionInfo::StoredSize() const {
  uint32_t size = MPersistentObject::StoredSize() + 26;
  for (const RWCString& text : texts_) size += text.Length() + 4;
  return size;
}

bool GPMDVersionInfo::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* info = SameClassAndKey<GPMDVersionInfo>(other);
  return info != nullptr && info->versionA_ == versionA_ && info->versionB_ == versionB_ &&
         info->shortValue_ == shortValue_ && info->firstValue_ == firstValue_ && info->secondValue_ == secondValue_ &&
         std::equal(texts_.begin(), texts_.end(), info->texts_.begin(), info->texts_.end());
}

void GPMDVersionInfo::SaveContentsToFile(GBinaryFile& file) const {
  MPersistentObject::SaveContentsToFile(file);
  file.Write(FormatVersion());
  file.Write(versionB_);
  file.Write(versionA_);
  file.Write(shortValue_);
  file.Write(firstValue_);
  file.Write(secondValue_);
  file.Write(texts_.Count());
  for (const RWCString& text : texts_) text.SaveTo(file);
}

void GPMDVersionInfo::SaveContentsToStream(GVirtualOutStream& stream) const {
  MPersistentObject::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion()).PutULong(versionB_).PutULong(versionA_).PutUShort(shortValue_);
  stream.PutULong(firstValue_).PutULong(secondValue_).PutULong(texts_.Count());
  for (const RWCString& text : texts_) text.SaveTo(stream);
}

void GPMDVersionInfo::RestoreContentsFromFile(GBinaryFile& file) {
  MPersistentObject::RestoreContentsFromFile(file);
  if (ReadVersion(file, FormatVersion())) RestoreFields(file);
}

void GPMDVersionInfo::RestoreContentsFromStream(GVirtualInStream& stream) {
  MPersistentObject::RestoreContentsFromStream(stream);
  if (ReadVersion(stream, FormatVersion())) RestoreFields(stream);
}

// The stored text count is checked against the input left; reading stops at
// the first text that fails.
template <typename Input>
void GPMDVersionInfo::RestoreFields(Input& input) {
  uint32_t count;
  if (!ReadValues(input, versionB_, versionA_, shortValue_, firstValue_, secondValue_, count)) return;
  texts_.Clear(texts_.Capacity());
  if (!InputCanHold(input, count, kMinimumTextSize)) return;
  for (uint32_t i = 0; i < count; ++i) {
    RWCString text;
    text.RestoreFrom(input);
    if (!InputIsGood(input)) return;
    texts_.Append(text);
  }
}
