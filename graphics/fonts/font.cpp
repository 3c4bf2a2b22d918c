#include "graphics/fonts/font.h"

#include "graphics/bitmaps/byte_buffer.h"
#include "graphics/device/graphics_device.h"
#include "graphics/fonts/font_database.h"
#include "graphics/fonts/text_string.h"
#include "model/os/drvrsrvr.h"

namespace {

// What a handle without a body stores for its font ID and change count.
constexpr uint32_t kNoBody = 0xFFFFFFFF;

GGraphicsDevice* DeviceOfHandle(uint32_t handle) {
  GDriverServer* server = GDriverServer::Instance();
  return server != nullptr ? server->FindRenderObject(handle) : nullptr;
}

}  // namespace

GFont::GFont(GFontImp* body, GGraphicsDevice* device) : body_(body), device_(device) {
  if (body_ != nullptr) body_->AddUse();
}

GFont::GFont(const GFont& other) : MPersistentObject(other), body_(other.body_), device_(other.device_) {
  if (body_ != nullptr) body_->AddUse();
}

GFont::~GFont() { ReleaseBody(); }

void GFont::ReleaseBody() {
  if (body_ == nullptr) return;
  if (body_->DropUse() > 0) {
    body_->SetContext(0);
  } else {
    delete body_;
  }
  body_ = nullptr;
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

void GFont::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  // Writes nothing: a save (not a size) hands the body to the database.
  archive.Field([this](auto&) { EnterBodyForSave(); }, [] { return uint32_t{0}; }, [](auto&) { return true; });
  uint32_t handle = device_ != nullptr ? device_->GetHandle() : 0;
  uint32_t fontId = body_ != nullptr ? body_->GetFontId() : kNoBody;
  uint32_t changeCount = body_ != nullptr ? body_->GetChangeCount() : kNoBody;
  const bool read = archive.UInt32(handle) && archive.UInt32(fontId) && archive.UInt32(changeCount);
  if (archive.IsRestoring()) FindRestoredBody(read, handle, fontId, changeCount);
}

void GFont::EnterBodyForSave() const {
  if (body_ == nullptr) return;
  body_->MarkForSave();
  GFontDatabase* database = device_ != nullptr ? device_->GetFontDatabase() : nullptr;
  if (database != nullptr) database->Add(body_);
}

// The database's Find counts this handle's use of the body it answers.
void GFont::FindRestoredBody(bool read, uint32_t handle, uint32_t fontId, uint32_t changeCount) {
  ReleaseBody();
  device_ = read ? DeviceOfHandle(handle) : nullptr;
  GFontDatabase* database = device_ != nullptr ? device_->GetFontDatabase() : nullptr;
  if (database != nullptr) body_ = database->Find(fontId, changeCount);
}
