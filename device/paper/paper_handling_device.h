#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/rw_cstring.h"
#include "model/attributes/attribute.h"
#include "model/objects/display_string.h"
#include "model/objects/object_ref.h"

// One device of the printer's paper path: an input (kind 0) holding trays
// or an output (kind 1) holding bins, possibly an optional accessory with
// an installed flag. It has alternative configurations, each a composite
// of trays or bins under a 16-bit id; the default id names the one in
// effect, and walking the device's children walks that configuration.
//
// The configurations sit in 16 buckets by id modulo 16, each bucket in the
// order its ids were added. The walk over them, bucket 0 to 15, decides
// which configuration becomes the default after a removal and the order in
// which ids are copied and configurations stored. Configurations are
// shared: a copy of the device holds the same objects.
//
// Stored part after the attribute's: version 2, the name, kind, optional
// and installed flags (32-bit each), the default id (16-bit), the count of
// configurations that hold an object, each as its id (16-bit) and an object
// reference, then the detection mode and the selects-configuration flag
// (32-bit each) and the display string as an object reference. A version
// before 2 ends after the configurations; a version above 2 stops after
// the version word.
class GPaperHandlingDevice : public GAttribute {
 public:
  static constexpr int32_t kInput = 0;
  static constexpr int32_t kOutput = 1;

  static uint32_t FormatVersion() { return 2; }

  GPaperHandlingDevice() = default;
  // A device that is not optional is installed, whatever installed says.
  GPaperHandlingDevice(const RWCString& name, int32_t kind, int32_t optional, int32_t installed, int32_t detectionMode,
                       int32_t selectsEntry, int32_t key);
  GPaperHandlingDevice(const RWCString& name, int32_t kind, int32_t optional, int32_t installed, int32_t detectionMode,
                       int32_t selectsEntry, int16_t resourceId, const char* defaultText, const char* moduleName,
                       int32_t key);
  // The copy shares the configurations.
  GPaperHandlingDevice(const GPaperHandlingDevice& other) = default;
  GPaperHandlingDevice& operator=(const GPaperHandlingDevice& other) = default;

  // Stores the configuration (shared) under the id, letting go of one held
  // there before. When the default id is 0 afterwards, it becomes this id.
  void AddEntry(uint16_t id, GAttribute* configuration);
  // Takes the configuration out and hands it to the caller: the object
  // itself when nobody else held it, else a clone; null when the id is
  // absent. Removing the default makes the first configuration of the walk
  // that holds an object the default (0 when none).
  GAttribute* RemoveEntry(uint16_t id);
  // The configuration under the id, or null; the device keeps it.
  GAttribute* GetEntry(uint16_t id) const;
  GAttribute* FindEntry(uint16_t id) const { return GetEntry(id); }
  bool HasEntry(uint16_t id) const { return Find(id) != nullptr; }
  // Every configuration id in walk order, in place of what list held.
  void CopyEntries(std::vector<uint16_t>& list) const;
  uint32_t GetEntryCount() const;

  // Makes the id the default when a configuration has it; false, changing
  // nothing, otherwise.
  bool SetDefaultId(uint16_t id);
  uint16_t GetDefaultId() const { return defaultId_; }

  // Child counts of the configurations: the smallest that is not 0, the
  // largest, and that of the default configuration; 0 when there is none.
  uint32_t GetMinChildCount() const;
  uint32_t GetMaxChildCount() const;
  uint32_t GetDefaultChildCount() const;

  RWCString GetName() const { return name_; }
  int32_t GetKind() const { return kind_; }
  int32_t IsOptional() const { return optional_; }
  int32_t IsInstalled() const { return installed_; }
  // 0 makes the device installed as well.
  void SetOptional(int32_t optional);
  // Only an optional device takes the flag; otherwise false and no change.
  bool SetInstalled(int32_t installed);
  // How the device-options query tells that the accessory is there: 1 its
  // name occurs in a reported option name, 2 it equals one (both ignoring
  // case), 3 (inputs) a configuration matches the reported tray capacities.
  int32_t GetDetectionMode() const { return detectionMode_; }
  // Whether that query also picks the default configuration.
  int32_t GetSelectsEntry() const { return selectsEntry_; }
  // Both setters answer the value held before.
  int32_t SetDetectionMode(int32_t mode);
  int32_t SetSelectsEntry(int32_t selects);
  const GDisplayString& GetDisplayString() const { return displayString_; }
  void SetDisplayString(const GDisplayString& text) { displayString_ = text; }

  RWCollectable* NewInstance() const override { return new GPaperHandlingDevice; }
  RWCollectable* Clone() const override { return new GPaperHandlingDevice(*this); }
  RWClassID ClassID() const override { return kGPaperHandlingDeviceClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPaperHandlingDeviceClassID || GAttribute::IsKindOf(id); }
  // Same class and key, every own field equal and as many configurations;
  // the configurations themselves are not compared.
  bool SameContent(const MPersistentObject& other) const override;
  // The children of the default configuration; none without one.
  std::unique_ptr<GIterator> NewChildIterator() override;
  // Hands nothing on.
  uint16_t SendTo(GPeripheral&) override { return 1; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  struct Entry {
    uint16_t id;
    GObjectRef configuration;
  };
  static constexpr size_t kBuckets = 16;

  const Entry* Find(uint16_t id) const;
  // Stores under the id, replacing in place; the default id stays.
  void Put(uint16_t id, GObjectRef configuration);
  // Calls visit with each entry in walk order.
  template <typename Visit>
  void ForEachEntry(Visit visit) const;
  void ConfigurationFields(GFieldArchive& archive);

  RWCString name_;
  int32_t kind_ = kInput;
  int32_t optional_ = 1;
  int32_t installed_ = 0;
  uint16_t defaultId_ = 0;
  std::array<std::vector<Entry>, kBuckets> buckets_;
  int32_t detectionMode_ = 0;
  int32_t selectsEntry_ = 0;
  GDisplayString displayString_;
};
