#include "model/objects/locale_info.h"

#include "foundation/class_registrar.h"
#include "foundation/stored_count.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GLocaleInfo>, kGLocaleInfoClassID, kGLocaleInfoClassName);

constexpr std::array<int32_t, GLocaleInfo::kNumberCount> kDefaultNumbers = {1, 2, 0, 0, 2, 1, 1, 1, 0, 0, 409};
constexpr std::array<const char*, GLocaleInfo::kTextCount> kDefaultTexts = {
    "AM", "PM", "United States", "$", "/", ".", "ENU", ",", "dddd, MMMM dd, yyyy", "M/d/yy", ",", ":"};

bool ReadNumber(GBinaryFile& file, int32_t& value) { return file.Read(value); }

bool ReadNumber(GVirtualInStream& stream, int32_t& value) { return stream.GetLong(value).IsGood(); }

}  // namespace

GLocaleInfo::GLocaleInfo() : GLocaleInfo(0) {}

GLocaleInfo::GLocaleInfo(int32_t key) : MPersistentObject(key), numbers_(kDefaultNumbers) {
  for (uint32_t i = 0; i < kTextCount; ++i) texts_[i] = kDefaultTexts[i];
}

uint32_t GLocaleInfo::StoredSize() const {
  uint32_t size = MPersistentObject::StoredSize() + 96;
  for (const RWCString& text : texts_) size += text.Length();
  return size;
}

bool GLocaleInfo::SameContent(const MPersistentObject& other) const {
  const auto* locale = SameClassAndKey<GLocaleInfo>(other);
  return locale != nullptr && locale->numbers_ == numbers_ && locale->texts_ == texts_;
}

void GLocaleInfo::SaveContentsToFile(GBinaryFile& file) const {
  MPersistentObject::SaveContentsToFile(file);
  file.Write(FormatVersion());
  for (int32_t number : numbers_) file.Write(number);
  for (const RWCString& text : texts_) text.SaveTo(file);
}

void GLocaleInfo::SaveContentsToStream(GVirtualOutStream& stream) const {
  MPersistentObject::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion());
  for (int32_t number : numbers_) stream.PutLong(number);
  for (const RWCString& text : texts_) text.SaveTo(stream);
}

void GLocaleInfo::RestoreContentsFromFile(GBinaryFile& file) {
  MPersistentObject::RestoreContentsFromFile(file);
  if (ReadVersion(file, FormatVersion())) RestoreFields(file);
}

void GLocaleInfo::RestoreContentsFromStream(GVirtualInStream& stream) {
  MPersistentObject::RestoreContentsFromStream(stream);
  if (ReadVersion(stream, FormatVersion())) RestoreFields(stream);
}

template <typename Input>
void GLocaleInfo::RestoreFields(Input& input) {
  for (int32_t& number : numbers_) {
    if (!ReadNumber(input, number)) return;
  }
  for (RWCString& text : texts_) {
    text.RestoreFrom(input);
    if (!InputIsGood(input)) return;
  }
}
