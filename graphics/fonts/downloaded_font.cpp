#include "graphics/fonts/downloaded_font.h"

#include "graphics/fonts/downloaded_font_owner.h"

void GDownloadedFont::AddSize(uint32_t bytes) {
  size_ += bytes;
  if (GDownloadedFontOwner* owner = Owner()) owner->ConsumeMemory(bytes);
}

void GDownloadedFont::Unload() {
  if (size_ == 0) return;
  if (GDownloadedFontOwner* owner = Owner()) {
    if (downloadKind_ != kResidentKind) owner->DeleteFont(name_);
    owner->ReleaseMemory(size_);
  }
  size_ = 0;
  glyphCount_ = 0;
  codesSent_.Clear();
}

GDownloadedFontRef::GDownloadedFontRef(GDownloadedFont* font) : font_(font) { ++font_->references_; }

GDownloadedFontRef::~GDownloadedFontRef() {
  if (--font_->references_ <= 0) delete font_;
}
