#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/attributes/configuration.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/resource_mapping.h"
#include "model/os/driver_interface.h"
#include "model/os/lock.h"
#include "model/os/memory_os_factory.h"
#include "model/os/printer_identity.h"
#include "model/testing/test_peripheral.h"

// Doubles and fixtures for the tests of the OS factory and the driver server.

// A device root for driver data files, registered under an ID that no class
// of the system uses.
class TestDeviceRoot : public TestPeripheral {
 public:
  static constexpr RWClassID kID = 0x7E30;

  using TestPeripheral::TestPeripheral;
  RWCollectable* NewInstance() const override { return new TestDeviceRoot; }
  RWCollectable* Clone() const override { return new TestDeviceRoot(*this); }
  RWClassID ClassID() const override { return kID; }
};

// What happened to the driver objects of a test, counted across threads.
struct DriverEvents {
  std::atomic<int> created{0};
  std::atomic<int> deleted{0};
  std::atomic<int> invalidated{0};
  std::atomic<int> jobReleases{0};
  std::atomic<int> memoryAsked{0};
};

// A printer identity that counts its deletions.
class CountedIdentity : public GPrinterIdentity {
 public:
  CountedIdentity(const char* printer, const char* driver, std::atomic<int>* deletions);
  ~CountedIdentity() override;

 private:
  std::atomic<int>* deletions_;
};

std::unique_ptr<GPrinterIdentity> Identity(const char* printer, const char* driver);

// A driver object: it keeps what the server hands it and records what the
// server asks of it. Its two side-specific objects are stand-ins whose
// addresses the tests only compare.
class FakeDriver : public GDriverInterface {
 public:
  FakeDriver(const GDriverKey& key, DriverEvents& events);
  ~FakeDriver() override;

  GUIDriver* AsUIDriver() override { return reinterpret_cast<GUIDriver*>(&uiSide_); }
  GGraphicsDevice* AsGraphicsDevice() override { return reinterpret_cast<GGraphicsDevice*>(&renderSide_); }
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override;
  void Invalidate(const GDriverKey& key) override;
  void ReleaseJobResources() override;
  int32_t ReleaseCachedMemory() override;
  void SetSettingsRoot(std::unique_ptr<GPeripheral> root) override { root_ = std::move(root); }
  void SetResourceMappings(std::unique_ptr<GResourceMappingList> mappings) override {
    resourceMappings_ = std::move(mappings);
  }
  void SetOSTrayMap(std::unique_ptr<GResourceMappingList> mappings) override { trayMap_ = std::move(mappings); }
  void SetExtraMappings(std::unique_ptr<GResourceMappingList> mappings) override {
    extraMappings_ = std::move(mappings);
  }
  GConfiguration* GetConfiguration() override { return configuration_.get(); }
  const RWWString& GetPrinterName() const override { return printerName_; }
  const RWWString& GetText2() const override { return driverName_; }

  static FakeDriver* From(GUIDriver* side);
  static FakeDriver* From(GGraphicsDevice* side);

  GPeripheral* Root() const { return root_.get(); }
  GResourceMappingList* ResourceMappings() const { return resourceMappings_.get(); }
  GResourceMappingList* TrayMap() const { return trayMap_.get(); }
  GResourceMappingList* ExtraMappings() const { return extraMappings_.get(); }
  void SetConfiguration(std::unique_ptr<GConfiguration> configuration) { configuration_ = std::move(configuration); }

  // What ReleaseCachedMemory answers; and work it does first (run with the
  // server's lock of its side held where the server calls it).
  int32_t memoryAnswer = 0;
  void (*onReleaseJobResources)() = nullptr;
  void (*onReleaseCachedMemory)() = nullptr;

 private:
  struct Side {
    FakeDriver* owner;
  };

  DriverEvents& events_;
  RWWString printerName_;
  RWWString driverName_;
  Side uiSide_{this};
  Side renderSide_{this};
  std::unique_ptr<GPeripheral> root_;
  std::unique_ptr<GResourceMappingList> resourceMappings_;
  std::unique_ptr<GResourceMappingList> trayMap_;
  std::unique_ptr<GResourceMappingList> extraMappings_;
  std::unique_ptr<GConfiguration> configuration_;
};

// A lock whose Lock or Unlock answers a failure when told to.
class FailingLock : public GLock {
 public:
  explicit FailingLock(const std::atomic<bool>& failLock, const std::atomic<bool>& failUnlock)
      : failLock_(failLock), failUnlock_(failUnlock) {}
  int32_t Unlock() override { return failUnlock_ ? kUnlockFailed : 0; }
  int32_t Lock() override { return failLock_ ? 1 : 0; }

 private:
  const std::atomic<bool>& failLock_;
  const std::atomic<bool>& failUnlock_;
};

// The stand-in factory making FakeDrivers (render objects only when asked
// to) and, when asked to, locks that fail.
class TestOSFactory : public GMemoryOSFactory {
 public:
  explicit TestOSFactory(DriverEvents& events, std::unique_ptr<GSettingsCodecInterface> codec = nullptr);

  std::unique_ptr<GDriverInterface> CreateDriverObject(const GDriverKey& key) override;
  std::unique_ptr<GDriverInterface> CreateRenderDriverObject(const GDriverKey& key) override;
  std::unique_ptr<GLock> CreateLock() override;

  bool makesRenderObjects = false;
  bool useFailingLocks = false;
  std::atomic<bool> failLock{false};
  std::atomic<bool> failUnlock{false};

 private:
  DriverEvents& events_;
};

// Writes a driver data file: an attribute composite holding a device root
// (353), the two mapping lists (191, 84) and, when asked, the extra
// mappings (194).
void WriteDriverDataFile(const std::string& path, bool withExtraMappings);

// Records the fatal-error reporter's messages and exits for the life of the
// object; the process goes on.
class FatalRecorder {
 public:
  FatalRecorder();
  ~FatalRecorder();
  FatalRecorder(const FatalRecorder&) = delete;
  FatalRecorder& operator=(const FatalRecorder&) = delete;

  std::vector<std::string> Messages() const;
  std::vector<int> Exits() const;
  void Clear();
};

// The path of a file of the running test in the temporary directory.
std::string TempPath(const char* name);
RWWString Wide(const std::string& text);
