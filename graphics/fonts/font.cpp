#include "graphics/fonts/font.h"

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/fonts/text_string.h"

GFont::GFont(GFontImp* body, GGraphicsDevice* device) : body_(body), device_(device) {
  if (body_ != nullptr) body_->AddUse();
}

GFont::GFont(const GFont& other) : MPersistentObject(other), body_(other.body_), device_(other.device_) {
  if (body_ != nullptr) body_->AddUse();
}

GFont::~GFont() {
  if (body_ == nullptr) return;
  if (body_->DropUse() > 0) {
    body_->SetContext(0);
  } else {
    delete body_;
  }
}

bool GFont::SameContent(const MPersistentObject& other) const {
  const auto* font = dynamic_cast<const GFont*>(&other);
  if (font == nullptr || !MPersistentObject::SameContent(other)) return false;
  if (body_ == font->body_) return true;
  return body_ != nullptr && font->body_ != nullptr && body_->SameContent(*font->body_);
}

uint32_t GFont::GetGlyphImage(uint16_t, int32_t, GGlyphMetrics&, std::unique_ptr<GByteBuffer>&) { return 0; }

GGraphicsDevice* GFont::SwapDevice(GGraphicsDevice* device) {
  GGraphicsDevice* previous = device_;
  device_ = device;
  return previous;
}

uint16_t GFont::MarkCodesUsed(const GTextString& text) {
  const uint16_t length = text.GetLength();
  for (uint16_t i = 0; i < length; ++i) body_->UsedCodes().Add(text.GetCodeAt(i));
  return length;
}

int32_t GFont::DownloadUsedCodes() {
  const int32_t encoding = body_->GetFontValue10();
  const int32_t last =
      body_->UsedCodes().ForEach([this, encoding](uint32_t code) { return body_->DownloadGlyph(code, encoding); });
  return last != 0 ? body_->IsReady() : 0;
}

int32_t GFont::PreparationGate() const {
  if (body_->GetMetricsRecord().IsResident()) return 1;
  if (body_->IsReady() != 1) return 0;
  return -1;
}

int32_t GFont::PrepareText(GTextString& text, int32_t mode) {
  const int32_t gate = PreparationGate();
  return gate >= 0 ? gate : body_->PrepareText(text, mode);
}

int32_t GFont::PrepareFace(int32_t mode, void* faceData) {
  const int32_t gate = PreparationGate();
  return gate >= 0 ? gate : body_->PrepareFace(mode, faceData);
}
