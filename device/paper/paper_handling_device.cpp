#include "device/paper/paper_handling_device.h"

#include <algorithm>
#include <utility>

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPaperHandlingDevice>, kGPaperHandlingDeviceClassID,
                                kGPaperHandlingDeviceClassName);

// What an older stored version lacks: the detection by name within an
// option name.
constexpr int32_t kOlderDetectionMode = 1;

}  // namespace

GPaperHandlingDevice::GPaperHandlingDevice(const RWCString& name, int32_t kind, int32_t optional, int32_t installed,
                                           int32_t detectionMode, int32_t selectsEntry, int32_t key)
    : GAttribute(key),
      name_(name),
      kind_(kind),
      optional_(optional),
      installed_(optional == 0 ? 1 : installed),
      detectionMode_(detectionMode),
      selectsEntry_(selectsEntry) {}

GPaperHandlingDevice::GPaperHandlingDevice(const RWCString& name, int32_t kind, int32_t optional, int32_t installed,
                                           int32_t detectionMode, int32_t selectsEntry, int16_t resourceId,
                                           const char* defaultText, const char* moduleName, int32_t key)
    : GPaperHandlingDevice(name, kind, optional, installed, detectionMode, selectsEntry, key) {
  displayString_ = GDisplayString(resourceId, defaultText, moduleName);
}

template <typename Visit>
void GPaperHandlingDevice::ForEachEntry(Visit visit) const {
  for (const std::vector<Entry>& bucket : buckets_) {
    for (const Entry& entry : bucket) visit(entry);
  }
}

const GPaperHandlingDevice::Entry* GPaperHandlingDevice::Find(uint16_t id) const {
  for (const Entry& entry : buckets_[id % kBuckets]) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

void GPaperHandlingDevice::Put(uint16_t id, GObjectRef configuration) {
  std::vector<Entry>& bucket = buckets_[id % kBuckets];
  for (Entry& entry : bucket) {
    if (entry.id == id) {
      entry.configuration = std::move(configuration);
      return;
    }
  }
  bucket.push_back({id, std::move(configuration)});
}

void GPaperHandlingDevice::AddEntry(uint16_t id, GAttribute* configuration) {
  Put(id, GObjectRef(configuration));
  if (defaultId_ == 0) defaultId_ = id;
}

GAttribute* GPaperHandlingDevice::RemoveEntry(uint16_t id) {
  std::vector<Entry>& bucket = buckets_[id % kBuckets];
  const auto found = std::find_if(bucket.begin(), bucket.end(), [id](const Entry& entry) { return entry.id == id; });
  if (found == bucket.end()) return nullptr;
  GObjectRef removed = std::move(found->configuration);
  bucket.erase(found);
  if (defaultId_ == id) {
    defaultId_ = 0;
    bool chosen = false;
    ForEachEntry([this, &chosen](const Entry& entry) {
      if (chosen || entry.configuration.IsEmpty()) return;
      defaultId_ = entry.id;
      chosen = true;
    });
  }
  return static_cast<GAttribute*>(removed.HandOver());
}

GAttribute* GPaperHandlingDevice::GetEntry(uint16_t id) const {
  const Entry* entry = Find(id);
  return entry != nullptr ? static_cast<GAttribute*>(entry->configuration.Get()) : nullptr;
}

void GPaperHandlingDevice::CopyEntries(std::vector<uint16_t>& list) const {
  list.clear();
  ForEachEntry([&list](const Entry& entry) { list.push_back(entry.id); });
}

uint32_t GPaperHandlingDevice::GetEntryCount() const {
  uint32_t count = 0;
  for (const std::vector<Entry>& bucket : buckets_) count += static_cast<uint32_t>(bucket.size());
  return count;
}

bool GPaperHandlingDevice::SetDefaultId(uint16_t id) {
  if (!HasEntry(id)) return false;
  defaultId_ = id;
  return true;
}

uint32_t GPaperHandlingDevice::GetMinChildCount() const {
  uint32_t smallest = 0;
  ForEachEntry([&smallest](const Entry& entry) {
    const uint32_t count = entry.configuration ? entry.configuration->EntryCount() : 0;
    if (count != 0 && (smallest == 0 || count < smallest)) smallest = count;
  });
  return smallest;
}

uint32_t GPaperHandlingDevice::GetMaxChildCount() const {
  uint32_t largest = 0;
  ForEachEntry([&largest](const Entry& entry) {
    if (entry.configuration) largest = std::max(largest, entry.configuration->EntryCount());
  });
  return largest;
}

uint32_t GPaperHandlingDevice::GetDefaultChildCount() const {
  const GAttribute* configuration = GetEntry(defaultId_);
  return configuration != nullptr ? configuration->EntryCount() : 0;
}

void GPaperHandlingDevice::SetOptional(int32_t optional) {
  optional_ = optional;
  if (optional == 0) installed_ = 1;
}

bool GPaperHandlingDevice::SetInstalled(int32_t installed) {
  if (optional_ != 1) return false;
  installed_ = installed;
  return true;
}

int32_t GPaperHandlingDevice::SetDetectionMode(int32_t mode) { return std::exchange(detectionMode_, mode); }

int32_t GPaperHandlingDevice::SetSelectsEntry(int32_t selects) { return std::exchange(selectsEntry_, selects); }

bool GPaperHandlingDevice::SameContent(const MPersistentObject& other) const {
  const auto* device = SameClassAndKey<GPaperHandlingDevice>(other);
  return device != nullptr && device->name_ == name_ && device->kind_ == kind_ && device->optional_ == optional_ &&
         device->installed_ == installed_ && device->defaultId_ == defaultId_ &&
         device->detectionMode_ == detectionMode_ && device->selectsEntry_ == selectsEntry_ &&
         device->displayString_.SameContent(displayString_) && device->GetEntryCount() == GetEntryCount();
}

std::unique_ptr<GIterator> GPaperHandlingDevice::NewChildIterator() {
  GAttribute* configuration = GetEntry(defaultId_);
  if (configuration == nullptr) return std::make_unique<GEmptyIterator>();
  return configuration->NewChildIterator();
}

void GPaperHandlingDevice::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (!archive.Version(FormatVersion(), 0)) return;
  archive.String(name_);
  archive.Int32(kind_);
  archive.Int32(optional_);
  archive.Int32(installed_);
  archive.UInt16(defaultId_);
  ConfigurationFields(archive);
  if (archive.StoredVersion() == FormatVersion()) {
    archive.Int32(detectionMode_);
    archive.Int32(selectsEntry_);
    archive.ObjectValue(displayString_);
  } else {
    detectionMode_ = kOlderDetectionMode;
    selectsEntry_ = GetEntryCount() >= 2 ? 1 : 0;
  }
}

void GPaperHandlingDevice::ConfigurationFields(GFieldArchive& archive) {
  if (!archive.IsRestoring()) {
    // Entries without an object are left out of the count and the list.
    uint32_t count = 0;
    ForEachEntry([&count](const Entry& entry) { count += entry.configuration ? 1 : 0; });
    archive.Count(count, 0);
    for (std::vector<Entry>& bucket : buckets_) {
      for (Entry& entry : bucket) {
        if (entry.configuration.IsEmpty()) continue;
        archive.UInt16(entry.id);
        archive.Object(entry.configuration);
      }
    }
    return;
  }
  for (std::vector<Entry>& bucket : buckets_) bucket.clear();
  uint32_t count = 0;
  if (!archive.Count(count, sizeof(uint16_t))) return;
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t id = 0;
    GObjectRef configuration;
    if (!archive.UInt16(id) || !archive.ObjectOf<GAttribute>(configuration)) return;
    Put(id, std::move(configuration));
  }
}
