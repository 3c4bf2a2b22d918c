#include "model/objects/locale_info.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GLocaleInfo>, kGLocaleInfoClassID, kGLocaleInfoClassName);

constexpr std::array<int32_t, GLocaleInfo::kNumberCount> kDefaultNumbers = {1, 2, 0, 0, 2, 1, 1, 1, 0, 0, 409};
constexpr std::array<const char*, GLocaleInfo::kTextCount> kDefaultTexts = {
    "AM", "PM", "United States", "$", "/", ".", "ENU", ",", "dddd, MMMM dd, yyyy", "M/d/yy", ",", ":"};

}  // namespace

GLocaleInfo::GLocaleInfo() : GLocaleInfo(0) {}

GLocaleInfo::GLocaleInfo(int32_t key) : MPersistentObject(key), numbers_(kDefaultNumbers) {
  for (uint32_t i = 0; i < kTextCount; ++i) texts_[i] = kDefaultTexts[i];
}

bool GLocaleInfo::SameContent(const MPersistentObject& other) const {
  const auto* locale = SameClassAndKey<GLocaleInfo>(other);
  return locale != nullptr && locale->numbers_ == numbers_ && locale->texts_ == texts_;
}

void GLocaleInfo::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  for (int32_t& number : numbers_) {
    if (!archive.Int32(number)) return;
  }
  for (RWCString& text : texts_) {
    if (!archive.String(text)) return;
  }
}
