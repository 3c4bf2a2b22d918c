#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/testing/test_driver.h"
#include "graphics/device/graphics_device.h"
#include "model/os/memory_os_factory.h"

// A graphics device for tests of what is built on the device's interface,
// with the test's settings. Every operation the interface leaves to a
// device records its name in calls and does the least it can: commands
// handed to it are deleted, statuses are 0, new objects are empty or null.
// Its handle is the one the driver server's render table holds it under (0
// outside the table); the document starts it makes carry it.
class TestGraphicsDevice : public GGraphicsDevice, public TestDriverSettings {
 public:
  explicit TestGraphicsDevice(const RWWString& printerName = RWWString(QV_WIDE("Test Printer")),
                              const RWWString& driverName = RWWString(QV_WIDE("Test Driver")),
                              const RWWString& portName = RWWString(QV_WIDE("LPT1:")));

  // The driver object's operations.
  void RefreshAppFlags() override { SetAppFlags(moduleAppFlags); }
  std::unique_ptr<GAttributeComposite> CreateDefaultSettings() override { return DefaultSettingsCopy(); }
  std::unique_ptr<GAttributeComposite> LoadSettings() override { return LoadStoredSettings(); }
  void ReleaseJobResources() override { Note("ReleaseJobResources"); }
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override { return IdentityOfNames(*this); }
  void LocalJobStorageKey(RWWString& key) override { key = QV_WIDE("LocalJobStorageData"); }
  GAttributeComposite* GetDevmodeSettings() override { return devmodeSettings.get(); }
  GAttributeComposite* GetDocumentSettings() override { return documentSettings.get(); }
  std::unique_ptr<GAttributeComposite> GetReloadedSettings() override { return StoredSettingsCopy(); }

  // The device's operations.
  int32_t StartJob() override { return Note("StartJob"); }
  void SetGrayMode(int32_t) override { Note("SetGrayMode"); }
  using GGraphicsDevice::SetGrayConversion;
  uint16_t PassThrough(const uint8_t*, uint16_t, uint16_t, int32_t, int32_t, int32_t) override {
    return Note("PassThrough");
  }
  uint32_t GetHandle() const override;
  const RWWString& GetOutputName() const override { return outputName; }
  std::unique_ptr<GState> BuildDocumentState() override;
  // A document start with the names, this device and an empty state.
  std::unique_ptr<GDocumentStart> StartDocument(const RWWString& documentName, const RWWString& outputName) override;
  std::unique_ptr<GPageStart> StartPage() override;
  std::unique_ptr<GPageEnd> EndPage() override;
  std::unique_ptr<GMedia> ResolveMediaById(int16_t) override;
  std::unique_ptr<GMedia> ResolveMediaBySize(int16_t, int32_t, uint16_t, uint16_t) override;
  void ApplyMarginSettings(std::unique_ptr<GMedia>&) override { Note("ApplyMarginSettings"); }
  uint16_t FlushPendingPage() override { return Note("FlushPendingPage"); }
  uint16_t GetDeviceStatus() override { return Note("GetDeviceStatus"); }
  uint16_t Submit(GCommand* command) override;
  uint16_t Process(GCommand* command) override;
  // Grants what is asked.
  int32_t SetCopies(int32_t requested, int32_t& granted) override;
  void SplitCopies(GAttributeComposite*, GAttributeComposite*, GAttributeComposite*, GAttributeComposite*) override {
    Note("SplitCopies");
  }
  uint16_t FlushPendingDocument() override { return Note("FlushPendingDocument"); }
  void EndFontJob() override { Note("EndFontJob"); }
  uint16_t SendNoCommand() override { return Note("SendNoCommand"); }
  std::unique_ptr<GAttributeComposite> GetJobStorageState() override;
  std::unique_ptr<GAttributeComposite> FindJobStorageEntry() override;
  int32_t BeginPath() override { return Note("BeginPath"); }
  int32_t EndPath(int32_t) override { return Note("EndPath"); }
  int32_t SetClipPath(int32_t, int32_t) override { return Note("SetClipPath"); }
  int32_t PaintPath(int32_t) override { return Note("PaintPath"); }
  int32_t ShouldCloseSubPath(int32_t) override { return Note("ShouldCloseSubPath"); }
  void SaveState() override { Note("SaveState"); }
  void RestoreState() override { Note("RestoreState"); }
  uint16_t EmitLetterheadBlankPage() override { return Note("EmitLetterheadBlankPage"); }

  using GDriver::GetJobStarted;
  using GDriver::SetJobStarted;

  // The names of the operations called, in order.
  std::vector<std::string> calls;
  RWWString outputName;

 protected:
  void ResetJobState() override { Note("ResetJobState"); }

 private:
  // Records the call; 0.
  int32_t Note(const char* operation);
  // Records the call and deletes the command; 0.
  uint16_t Take(const char* operation, GCommand* command);
};

// The stand-in OS factory, whose render-side driver objects are test
// graphics devices named after the key.
class TestGraphicsDeviceFactory : public GMemoryOSFactory {
 public:
  std::unique_ptr<GDriverInterface> CreateRenderDriverObject(const GDriverKey& key) override;
};
