#include "graphics/device/graphics_device.h"

#include "device/driver/tree_lookup.h"
#include "graphics/commands/document_command.h"
#include "model/attributes/peripheral.h"

namespace {

// The document settings' job group, its job-storage group and that group's
// mode, whose value 2 means that job storage is off.
constexpr int32_t kJobGroupKey = 364;
constexpr int32_t kJobStorageKey = 379;
constexpr int32_t kJobStorageModeKey = 382;
constexpr int16_t kJobStorageOff = 2;

}  // namespace

void GGraphicsDevice::Invalidate(const GDriverKey& key) {
  GDriver::Invalidate(key);
  jobMark_ = 0;
  if (GetJobStarted() != 0) {
    if (GPeripheral* head = GetPipelineHead(); head != nullptr) head->ResetJob();
    SetJobStarted(0);
  }
  ResetJobState();
}

uint32_t GGraphicsDevice::CreateWatermarkFont(const GWatermarkDescription&, GDotPair, int32_t&) { return 0; }

void GGraphicsDevice::ReleaseWatermarkFont(uint32_t*) {}

std::unique_ptr<GCommand> GGraphicsDevice::MakeWatermarkGraphic(RWWString, uint32_t, int32_t, const GRGBColor&,
                                                                const GMedia&, int16_t) {
  return nullptr;
}

std::unique_ptr<GDocumentEnd> GGraphicsDevice::EndDocument() { return std::make_unique<GDocumentEnd>(0); }

int32_t GGraphicsDevice::IsJobStorageActive() {
  MPersistentObject* jobGroup = FindAs<MPersistentObject>(GetDocumentSettings(), kJobGroupKey);
  MPersistentObject* storage = FindAs<MPersistentObject>(jobGroup, kJobStorageKey);
  const std::optional<int16_t> mode = FindValue(storage, kJobStorageModeKey);
  return mode.has_value() && *mode != kJobStorageOff ? 1 : 0;
}
