#include "device/driver/driver.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>
#include "device/driver/tree_lookup.h"
#include "device/extensions/device_query.h"
#include "device/paper/paper_handling_device.h"
#include "device/paper/tray.h"
#include "device/query/provider_registry.h"
#include "device/settings/settings_codec.h"
#include "model/attributes/configuration.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/model_stream.h"
#include "model/objects/text_conversion.h"
#include "model/os/osfactry.h"

namespace {

// Keys of the device description.
constexpr int32_t kDeviceGroupKey = 228;
constexpr int32_t kInputPipelineKey = 101;
constexpr int32_t kOutputPipelineKey = 106;
constexpr int32_t kPipelineMapsKey = 198;
constexpr int32_t kPdlTrayMapKey = 85;
constexpr int32_t kPjlBinMapKey = 93;
constexpr int32_t kPresetListKey = 369;
constexpr int32_t kPresetNameKey = 370;
constexpr int32_t kQuickSetTemplateKey = 375;
// Keys of the settings.
constexpr int32_t kSettingsKey = 360;
constexpr int32_t kInstalledOptionsKey = 365;
constexpr int32_t kQuickSetNameKey = 376;
constexpr int32_t kQuickSetPoolKey = 0x4000005C;
constexpr int32_t kBundleIdKey = 927;
constexpr int32_t kTrayCountKey = 202;
constexpr int32_t kTrayCountChoiceKey = 307;
constexpr int32_t kHardDiskKey = 239;
constexpr int32_t kDiskInstalledKey = 226;
constexpr int32_t kOutputDeviceNameKey = 316;
constexpr int32_t kInputDeviceNameKey = 315;
constexpr int32_t kEnvelopeFeederKey = 275;
constexpr int32_t kFixedDevicesDefaultKey = 274;
constexpr int32_t kInputDeviceDefaultKey = 318;
constexpr int32_t kOutputDeviceDefaultKey = 213;

constexpr int16_t kEnvelopeTrayId = 5;
// Bundles that an "Admin" or "Auto" update may leave in force.
constexpr int16_t kUpdateBundles[] = {14113, 14119};

// A value copied from the installed options (source key) to a node of the
// device tree (target key).
struct ValueCopy {
  int32_t target;
  int32_t source;
};

// The values compared with the snapshot of the installed options, and the
// texts.
constexpr int32_t kPhysicalValues[] = {307, 925, 451, 918, 308, 245, 310, 311, 239, 275, 520, 915, 197};
constexpr int32_t kPhysicalTexts[] = {kOutputDeviceNameKey, kInputDeviceNameKey};

// What the settings of a preset bundle give to the quick-set entries, each
// copied from the imported entry when it has it.
constexpr int32_t kQuickSetCopiedKeys[] = {376, 379, 328, 260};

// The n-up choices of the printing group (362) go to group 329.
struct TableRow {
  RWClassID classId;
  int32_t sourceKey;
  int32_t sourceGroup;
  int32_t targetKey;
  int32_t targetGroup;
};
constexpr TableRow kValueTable[] = {
    {kGValueAttributeClassID, 266, 362, 266, 329},
    {kGValueAttributeClassID, 267, 362, 267, 329},
    {kGValueAttributeClassID, 268, 362, 268, 329},
    {kGValueAttributeClassID, 0, 0, 0, 0},
};

// The size of the first buffer the import writes into, and how far it
// grows before it gives up.
constexpr uint32_t kImportBufferSize = 4096;
constexpr uint32_t kLargestImport = 1u << 22;

// Sets the value attribute of targetKey below target to the value of
// sourceKey below source, when both exist.
void CopyValue(MPersistentObject* target, int32_t targetKey, MPersistentObject* source, int32_t sourceKey) {
  GValueAttribute* node = FindAs<GValueAttribute>(target, targetKey);
  const std::optional<int16_t> value = FindValue(source, sourceKey);
  if (node != nullptr && value) node->SetValue(*value);
}

void CopyValues(MPersistentObject* target, MPersistentObject* source, std::initializer_list<ValueCopy> copies) {
  for (const ValueCopy& copy : copies) CopyValue(target, copy.target, source, copy.source);
}

// The configuration of the pipeline stage of that key below the head.
GConfiguration* StageConfiguration(GPeripheral* head, int32_t key) {
  GPeripheral* stage = FindAs<GPeripheral>(head, key);
  return stage != nullptr ? stage->GetConfiguration() : nullptr;
}

// The object stored under the name in the printer data, or null.
std::unique_ptr<MPersistentObject> LoadNamed(GDriver& driver, const WideChar* name, int32_t plain = 0) {
  GOSFactory* factory = GOSFactory::Instance();
  return factory != nullptr ? factory->LoadNamedObject(driver, RWWString(name), plain) : nullptr;
}

// Puts a copy of the object stored under the name in place of the node of
// the key below parent.
void ReplaceFromPrinterData(GDriver& driver, const WideChar* name, MPersistentObject* parent, int32_t key) {
  const std::unique_ptr<MPersistentObject> stored = LoadNamed(driver, name);
  if (stored != nullptr && parent != nullptr) parent->ReplaceChildByKey(key, *stored);
}

// The text of the string attribute of that key, when there is one.
std::optional<RWCString> FindTextValue(MPersistentObject* node, int32_t key) {
  const GStringAttribute* text = FindText(node, key);
  if (text == nullptr) return std::nullopt;
  return text->Text();
}

// The choices of the installed options that install optional devices and
// set the default configurations of devices; each is used up by the first
// device it applies to, except the default of the fixed devices.
struct PendingChoices {
  std::optional<RWCString> outputDevice;
  std::optional<RWCString> inputDevice;
  std::optional<int16_t> envelopeFeeder;
  std::optional<int16_t> fixedDefault;
  std::optional<int16_t> inputDefault;
  std::optional<int16_t> outputDefault;
};

// Sets the device's default configuration to id when it has more than one
// configuration and one of that id.
void ChooseConfiguration(GPaperHandlingDevice& device, const std::optional<int16_t>& id) {
  if (!id || device.GetEntryCount() <= 1 || !device.HasEntry(static_cast<uint16_t>(*id))) return;
  device.SetDefaultId(static_cast<uint16_t>(*id));
}

// Whether the first tray of the device's configuration in effect has the
// envelope feeder's tray id.
bool FeedsEnvelopes(GPaperHandlingDevice& device) {
  const std::unique_ptr<GIterator> trays = device.NewChildIterator();
  if (!trays->Advance()) return false;
  const auto* tray = dynamic_cast<const GTray*>(trays->Current());
  return tray != nullptr && tray->GetId() == kEnvelopeTrayId;
}

void SyncOutputDevice(GPaperHandlingDevice& device, const PendingChoices& choices) {
  const bool install = choices.outputDevice && device.GetName() == *choices.outputDevice;
  device.SetInstalled(install ? 1 : 0);
  if (install && choices.outputDefault) device.SetDefaultId(static_cast<uint16_t>(*choices.outputDefault));
}

void SyncInputDevice(GPaperHandlingDevice& device, PendingChoices& choices) {
  device.SetInstalled(0);
  if (choices.inputDevice && device.GetName() == *choices.inputDevice) {
    device.SetInstalled(1);
    ChooseConfiguration(device, choices.inputDefault);
    choices.inputDevice.reset();
    choices.inputDefault.reset();
  }
  if (choices.envelopeFeeder && *choices.envelopeFeeder == 1 && FeedsEnvelopes(device)) {
    device.SetInstalled(1);
    choices.envelopeFeeder.reset();
  }
}

void SyncPaperHandlingDevices(MPersistentObject& binPool, PendingChoices& choices) {
  ForEachChildAs<GPaperHandlingDevice>(binPool, [&choices](GPaperHandlingDevice& device) {
    if (device.IsOptional() == 0) {
      ChooseConfiguration(device, choices.fixedDefault);
    } else if (device.GetKind() == GPaperHandlingDevice::kOutput) {
      SyncOutputDevice(device, choices);
    } else if (device.GetKind() == GPaperHandlingDevice::kInput) {
      SyncInputDevice(device, choices);
    }
    return true;
  });
}

// Whether the values (or texts) of the key differ between the two, both
// holding it.
bool ValuesDiffer(MPersistentObject* a, MPersistentObject* b, int32_t key) {
  const std::optional<int16_t> first = FindValue(a, key);
  const std::optional<int16_t> second = FindValue(b, key);
  return first && second && *first != *second;
}

bool TextsDiffer(MPersistentObject* a, MPersistentObject* b, int32_t key) {
  const std::optional<RWCString> first = FindTextValue(a, key);
  const std::optional<RWCString> second = FindTextValue(b, key);
  return first && second && !(*first == *second);
}

// Whether the last update of the installed options was an administrator's
// or an automatic one that left a bundle other than its own in force.
bool UpdateLeftForeignBundle(GDriver& driver, MPersistentObject& settings) {
  const std::optional<int16_t> bundle = FindValue(&settings, kBundleIdKey);
  if (!bundle) return false;
  GOSFactory* factory = GOSFactory::Instance();
  if (factory == nullptr) return false;
  RWWString type;
  factory->GetPrinterDataString(type, driver, RWWString(QV_WIDE("LastUpdateType")), RWWString(QV_WIDE("FAILED")));
  if (!(type == QV_WIDE("Admin")) && !(type == QV_WIDE("Auto"))) return false;
  return std::find(std::begin(kUpdateBundles), std::end(kUpdateBundles), *bundle) == std::end(kUpdateBundles);
}

// The object read back through the compact settings format after it was
// written there, in buffers that grow until the whole object fits; null
// when it cannot be written or read.
std::unique_ptr<MPersistentObject> CopyThroughCodec(GOSFactory& factory, GDriver& driver,
                                                    const MPersistentObject& object) {
  GSettingsCodec codec;
  for (uint32_t size = kImportBufferSize; size <= kLargestImport; size *= 2) {
    std::vector<uint8_t> buffer(size);
    std::unique_ptr<GOutputStream> output =
        factory.NewMemoryOutputStream(buffer.data(), size, GOSFactory::kBinaryFormat);
    GVirtualOutStream* out = output ? output->Stream() : nullptr;
    if (out == nullptr) return nullptr;
    const int32_t written = codec.Write(object, *out, *output, 1);
    out->Flush();
    // Only a buffer that ran out is worth a larger one.
    if (!out->IsGood()) continue;
    if (written == 0) return nullptr;
    std::unique_ptr<GInputStream> input =
        factory.NewMemoryInputStream(buffer.data(), output->Position(), GOSFactory::kBinaryFormat);
    GVirtualInStream* in = input ? input->Stream() : nullptr;
    if (in == nullptr) return nullptr;
    return codec.Read(*in, *input, driver, 1);
  }
  return nullptr;
}

// The decimal text of the key as a wide name.
RWWString KeyName(int32_t key) {
  char digits[100];
  std::snprintf(digits, sizeof digits, "%d", static_cast<int>(key));
  RWWString name;
  NarrowToWide(RWCString(digits), name);
  return name;
}

// Replaces the child of the key of entry by a copy of source's child of
// that key, the template's child being dropped either way.
void ReplaceQuickSetChild(MPersistentObject& entry, int32_t key, MPersistentObject* source) {
  std::unique_ptr<MPersistentObject> dropped(entry.RemoveChildByKey(key));
  if (source != nullptr) entry.AddChild(source->DeepCopy());
}

}  // namespace

uint16_t GDriver::QueryDevice(int32_t) {
  constexpr uint32_t kDeviceQueryMask = 0x10000;
  const std::unique_ptr<GDeviceQuery> query(
      GetProviderRegistry().CreateDeviceQuery(this, GetText3(), kDeviceQueryMask));
  if (query == nullptr) return kNoDeviceQuery;
  GConfiguration* configuration = GetConfiguration();
  if (configuration == nullptr) return kNoDeviceQuery;
  return query->Run(configuration, 1);
}

int32_t GDriver::SyncDeviceModel(MPersistentObject* settings) {
  if (settings == nullptr) settings = CurrentSettings();
  if (settings == nullptr) return 0;
  MPersistentObject* options =
      settings->Key() == kInstalledOptionsKey ? settings : settings->FindByKey(kInstalledOptionsKey);
  if (options == nullptr) return 0;

  GConfiguration* configuration = GetConfiguration();
  MPersistentObject* devices = configuration != nullptr ? configuration->FindByKey(kDeviceGroupKey) : nullptr;
  GConfiguration* input = StageConfiguration(GetPipelineHead(), kInputPipelineKey);
  GConfiguration* output = StageConfiguration(GetPipelineHead(), kOutputPipelineKey);

  // The tray count belongs to the device group and the input stage alike.
  MPersistentObject* trayCount = devices != nullptr ? devices->FindByKey(kTrayCountKey) : nullptr;
  if (input != nullptr && input->FindByKey(kTrayCountKey) == nullptr && trayCount != nullptr) {
    input->AddChild(trayCount);
  }
  if (input != nullptr && input->FindByKey(kTrayCountKey) != nullptr) trayCount = input->FindByKey(kTrayCountKey);
  const std::optional<int16_t> trayCountChoice = FindValue(options, kTrayCountChoiceKey);
  if (auto* range = dynamic_cast<GRangeAttribute*>(trayCount); range != nullptr && trayCountChoice) {
    range->SetValue(*trayCountChoice);
  }

  CopyValues(devices, options, {{201, 925}, {1011, 918}, {204, 308}});
  CopyValue(configuration, 245, options, 245);
  CopyValue(devices, 231, options, 310);
  CopyValue(configuration, 311, options, 311);
  if (auto* disk = FindAs<GValueAttribute>(devices, kDiskInstalledKey);
      disk != nullptr && FindValue(options, kHardDiskKey)) {
    disk->SetValue(FindValue(options, kHardDiskKey) == 1 ? 1 : 0);
  }
  CopyValue(input, 317, options, 317);

  // Extensions rewrite these device objects in the printer data.
  ReplaceFromPrinterData(*this, QV_WIDE("ZUDBinPool"), devices, kBinPoolKey);
  std::unique_ptr<MPersistentObject> trayMap = LoadNamed(*this, QV_WIDE("RODIDTrayMap"));
  if (dynamic_cast<GResourceMappingList*>(trayMap.get()) != nullptr) {
    SetOSTrayMap(std::unique_ptr<GResourceMappingList>(static_cast<GResourceMappingList*>(trayMap.release())));
  }
  ReplaceFromPrinterData(*this, QV_WIDE("DEKPDLTrayMap"),
                         input != nullptr ? input->FindByKey(kPipelineMapsKey) : nullptr, kPdlTrayMapKey);
  ReplaceFromPrinterData(*this, QV_WIDE("DEKPJLBinMap"),
                         output != nullptr ? output->FindByKey(kPipelineMapsKey) : nullptr, kPjlBinMapKey);

  PendingChoices choices{FindTextValue(options, kOutputDeviceNameKey), FindTextValue(options, kInputDeviceNameKey),
                         FindValue(options, kEnvelopeFeederKey),       FindValue(options, kFixedDevicesDefaultKey),
                         FindValue(options, kInputDeviceDefaultKey),   FindValue(options, kOutputDeviceDefaultKey)};
  if (MPersistentObject* binPool = devices != nullptr ? devices->FindByKey(kBinPoolKey) : nullptr) {
    SyncPaperHandlingDevices(*binPool, choices);
  }

  CopyValue(devices, 441, options, 441);
  CopyValue(configuration, 915, options, 915);
  CopyValue(devices, 976, options, 976);
  return 1;
}

bool GDriver::ApplyNamedPreset(const RWWString& name, GAttribute& target) {
  MPersistentObject* presets = FindInConfiguration(kPresetListKey);
  if (presets == nullptr) return false;
  const RWWString wanted = ToUpper(name);
  return !ForEachChildAs<MPersistentObject>(*presets, [&](MPersistentObject& preset) {
    const GStringAttribute* presetName = FindText(&preset, kPresetNameKey);
    if (presetName == nullptr) return true;
    RWWString wide;
    NarrowToWide(ToUpper(presetName->Text()), wide);
    if (!(wide == wanted)) return true;
    if (auto* settings = FindAs<GAttribute>(&preset, kSettingsKey)) target.UpdateFrom(settings);
    return false;
  });
}

int32_t GDriver::UpdatePhysicalSettings(MPersistentObject* settings) {
  const std::unique_ptr<MPersistentObject> snapshot = LoadNamed(*this, QV_WIDE("PhySetting"));
  if (snapshot == nullptr || settings == nullptr) return 1;
  int32_t answer = UpdateLeftForeignBundle(*this, *settings) ? 0 : 1;
  for (const int32_t key : kPhysicalValues) {
    if (ValuesDiffer(snapshot.get(), settings, key)) answer = 0;
  }
  for (const int32_t key : kPhysicalTexts) {
    if (TextsDiffer(snapshot.get(), settings, key)) answer = 0;
  }
  return answer;
}

int32_t GDriver::ImportSettingsObject(std::unique_ptr<MPersistentObject> object, const RWWString* name) {
  GOSFactory* factory = GOSFactory::Instance();
  if (object == nullptr || factory == nullptr) return 0;
  std::unique_ptr<MPersistentObject> result = CopyThroughCodec(*factory, *this, *object);
  object.reset();
  if (result == nullptr) return 0;
  if (result->Key() == kQuickSetPoolKey) {
    auto pool = std::make_unique<GAttributeComposite>(kQuickSetPoolKey);
    MergeSettings(*result, *pool);
    result = std::move(pool);
  }
  const RWWString storedName = name != nullptr ? *name : KeyName(result->Key());
  return factory->StoreNamedObject(*this, storedName, *result) != 0 ? 1 : 0;
}

int32_t GDriver::MergeSettings(MPersistentObject& imported, MPersistentObject& target) {
  MPersistentObject* quickSetTemplate = FindInConfiguration(kQuickSetTemplateKey);
  if (quickSetTemplate == nullptr) return 1;
  ForEachChildAs<MPersistentObject>(imported, [&](MPersistentObject& source) {
    std::unique_ptr<MPersistentObject> entry(quickSetTemplate->DeepCopy());
    entry->SetKey(0);
    std::vector<MPersistentObject*> children;
    ForEachChildAs<MPersistentObject>(*entry, [&children](MPersistentObject& child) {
      children.push_back(&child);
      return true;
    });
    for (MPersistentObject* child : children) {
      if (MPersistentObject* value = source.FindByKey(child->Key())) entry->ReplaceChild(child, *value);
    }
    std::unique_ptr<MPersistentObject> name(source.RemoveChildByKey(kQuickSetNameKey));
    if (source.Key() != kQuickSetTemplateKey) {
      if (name != nullptr) entry->AddChild(name.release());
      target.AddChild(entry.release());
      return true;
    }
    // The template itself: a fresh copy that takes the entry's own name,
    // names and paper.
    entry.reset(quickSetTemplate->DeepCopy());
    entry->SetKey(0);
    for (const int32_t key : kQuickSetCopiedKeys) {
      ReplaceQuickSetChild(*entry, key, key == kQuickSetNameKey ? name.get() : source.FindByKey(key));
    }
    target.AddChild(entry.release());
    return true;
  });
  return 1;
}

int32_t GDriver::ReadObjectByName(int32_t key) {
  constexpr int32_t kTextForm = 3;
  const RWWString name = KeyName(key);
  return ImportSettingsObject(LoadNamed(*this, name.Data(), kTextForm), nullptr);
}

int32_t GDriver::ReadObjectByWideName(const RWCString& name) {
  constexpr int32_t kTextForm = 3;
  RWWString wide;
  NarrowToWide(name, wide);
  return ImportSettingsObject(LoadNamed(*this, wide.Data(), kTextForm), &wide);
}

MPersistentObject* GDriver::CopyTableValues(MPersistentObject* source, MPersistentObject* target) {
  for (const TableRow& row : kValueTable) {
    if (row.sourceKey == 0) break;
    if (row.classId != kGValueAttributeClassID || source == nullptr || target == nullptr) continue;
    CopyValue(target->FindByKey(row.targetGroup), row.targetKey, source->FindByKey(row.sourceGroup), row.sourceKey);
  }
  return target;
}
