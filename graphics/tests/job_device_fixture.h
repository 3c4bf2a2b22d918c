#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "device/driver/tree_lookup.h"
#include "device/testing/test_device_tree.h"
#include "device/testing/test_driver.h"
#include "graphics/device/job_graphics_device.h"
#include "graphics/testing/command_recording_peripheral.h"
#include "graphics/testing/test_graphics_device.h"
#include "model/attributes/configuration.h"
#include "model/objects/object_ref.h"

// The head of the pipeline of a job device's tests: it records the
// handlers its commands reach and fails the one the test names; it counts
// as the job's generator of the kind given (none for 0), answers the scale
// of the test and says whether it can scale.
class JobHead : public CommandRecordingPeripheral {
 public:
  explicit JobHead(RWClassID generatorKind) : generatorKind_(generatorKind) {
    SetKey(GDriver::kPipelineHeadKey);
    SetConfiguration(new GConfiguration(198));
  }

  bool IsKindOf(RWClassID id) const override {
    return (generatorKind_ != 0 && (id == generatorKind_ || id == kGPDLGeneratorClassID)) ||
           CommandRecordingPeripheral::IsKindOf(id);
  }
  // Keeps every command it is handed, so that the test can look at them
  // after the device has let them go.
  GCommand* ProcessCommand(GCommand* command) override {
    kept.emplace_back(command);
    return CommandRecordingPeripheral::ProcessCommand(command);
  }
  int32_t IsScalable() override { return scalable; }
  std::pair<float, float>& GetScaleFactor(std::pair<float, float>& factor, GState*, GState*, int32_t pageNumber,
                                          int32_t*) override {
    scaleQueries.push_back(pageNumber);
    factor = scale;
    return factor;
  }

  // The handlers reached, in order.
  std::vector<std::string> Handlers() const {
    std::vector<std::string> names;
    for (const Call& call : calls) names.push_back(call.handler);
    return names;
  }

  int32_t scalable = 1;
  std::pair<float, float> scale{1.0F, 1.0F};
  std::vector<int32_t> scaleQueries;
  std::vector<GObjectRef> kept;

 private:
  RWClassID generatorKind_;
};

// A job device as the rendering module makes one, with the test's settings
// and a pipeline of one recording head. It paints paths by counting them.
class JobDevice : public GJobGraphicsDevice, public TestDriverSettings {
 public:
  explicit JobDevice(RWClassID generatorKind = 767, const char* port = "LPT1:") {
    SetPrinterNames(RWWString(QV_WIDE("Test Printer")), RWWString(QV_WIDE("Test Driver")), RWWString(port));
    auto root = std::make_unique<TestPeripheralComposite>(353);
    head = new JobHead(generatorKind);
    root->AddChild(head);
    SetSettingsRoot(std::move(root));
    documentSettings = std::make_unique<GAttributeComposite>(360);
  }

  void RefreshAppFlags() override { SetAppFlags(moduleAppFlags); }
  std::unique_ptr<GAttributeComposite> CreateDefaultSettings() override { return DefaultSettingsCopy(); }
  std::unique_ptr<GAttributeComposite> LoadSettings() override { return LoadStoredSettings(); }
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override { return IdentityOfNames(*this); }
  void LocalJobStorageKey(RWWString& key) override { key = QV_WIDE("LocalJobStorageData"); }
  GAttributeComposite* GetDevmodeSettings() override { return devmodeSettings.get(); }
  GAttributeComposite* GetDocumentSettings() override { return documentSettings.get(); }
  std::unique_ptr<GAttributeComposite> GetReloadedSettings() override { return StoredSettingsCopy(); }
  uint32_t GetHandle() const override { return 0; }
  uint16_t GetDeviceStatus() override { return deviceStatus; }
  int32_t PaintPath(int32_t) override {
    ++paintedPaths;
    return 1;
  }
  int32_t ShouldCloseSubPath(int32_t argument) override { return argument; }

  using GDriver::GetJobStarted;
  using GDriver::SetAppFlags;

  GConfiguration& Configuration() { return *head->GetConfiguration(); }
  // The group of the document settings, made when missing.
  GAttributeComposite& Group(int32_t key) {
    if (auto* group = FindAs<GAttributeComposite>(documentSettings.get(), key); group != nullptr) return *group;
    return *AddGroup(*documentSettings, key);
  }

  JobHead* head;
  uint16_t deviceStatus = 0;
  int32_t paintedPaths = 0;
};
