#include "graphics/commands/download_face.h"

#include <algorithm>

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDownloadFace>, kGDownloadFaceClassID, kGDownloadFaceClassName);

}  // namespace

GDownloadFace::GDownloadFace(MPersistentObject* font, int32_t downloadOption)
    : GCommand(0), font_(font), downloadOption_(downloadOption) {}

GDownloadFace::GDownloadFace(const GDownloadFace& other)
    : GCommand(other),
      font_(other.font_ ? static_cast<MPersistentObject*>(other.font_->Clone()) : nullptr),
      downloadOption_(other.downloadOption_) {}

bool GDownloadFace::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID()) return false;
  const auto& face = static_cast<const GDownloadFace&>(other);
  if (downloadOption_ != face.downloadOption_) return false;
  if (font_.Get() == face.font_.Get()) return true;
  return font_ && face.font_ && font_->SameContent(*face.font_);
}

uint16_t GDownloadFace::DispatchTo(GPeripheral& peripheral) { return peripheral.DownloadFace(*this); }

void GDownloadFace::SetFaceName(const RWCString& name) {
  faceName_ = RWCString(name.Data(), std::min(name.Length(), kMaxFaceNameLength));
}

void GDownloadFace::Fields(GFieldArchive& archive) {
  GCommand::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Object(font_);
  archive.Int32(downloadOption_);
}
