#include "device/tools/class_description.h"

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/fonts/device_font_list_composite.h"
#include "device/media/media.h"
#include "device/media/media_pool.h"
#include "device/paper/bin.h"
#include "device/paper/paper_handling_device.h"
#include "device/paper/tray.h"
#include "device/testing/test_device_tree.h"
#include "device/testing/test_peripheral_composite.h"
#include "device/tools/described_class.h"
#include "foundation/rw_factory.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/configuration.h"
#include "model/attributes/range_attribute.h"
#include "model/attributes/resource_mapping.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/selection_string.h"

// The classes a device description is written in. Each is described by a
// plain record of its properties, filled from the object's readers and given
// back to it whole, through its setters or, for fields without a setter, by
// building it anew from the record (the key, and the children the compiler
// handed it before, are kept).

namespace {

constexpr int64_t kInt16Min = std::numeric_limits<int16_t>::min();
constexpr int64_t kInt16Max = std::numeric_limits<int16_t>::max();
constexpr int64_t kUInt16Max = std::numeric_limits<uint16_t>::max();
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kUInt32Max = std::numeric_limits<uint32_t>::max();

std::string Text(const RWCString& text) { return std::string(text.Data(), text.Length()); }
RWCString Narrow(const std::string& text) { return RWCString(text.data(), static_cast<uint32_t>(text.size())); }
GDotPair Dots(const DescriptionPair& pair) {
  return {static_cast<int16_t>(pair.first), static_cast<int16_t>(pair.second)};
}
DescriptionPair Pair(GDotPair dots) { return {dots.x, dots.y}; }

// Children.

std::string ShowCompositeChildren(MPersistentObject& object, std::vector<MPersistentObject*>& children) {
  children.clear();
  const std::unique_ptr<GIterator> walk = object.NewChildIterator();
  while (walk->Advance()) {
    if (walk->Current() == nullptr) return "an empty child slot";
    children.push_back(walk->Current());
  }
  return {};
}

// The composite's own AddChild decides; a child it does not keep (of a kind
// it does not hold, or equal to one it holds) is an error.
std::optional<DescriptionError> AttachToComposite(MPersistentObject& parent, std::vector<BuiltChild>& children) {
  for (BuiltChild& child : children) {
    const uint32_t before = parent.EntryCount();
    parent.AddChild(child.object.release());
    if (parent.EntryCount() == before) {
      return DescriptionError{child.line, "not taken: of a kind the parent does not hold, or equal to a child before"};
    }
  }
  return std::nullopt;
}

constexpr ChildRule kCompositeChildren{AttachToComposite, ShowCompositeChildren};

std::optional<DescriptionError> AttachMappings(MPersistentObject& parent, std::vector<BuiltChild>& children) {
  auto& list = static_cast<GResourceMappingList&>(parent);
  for (BuiltChild& child : children) {
    auto* mapping = dynamic_cast<GResourceMapping*>(child.object.get());
    if (mapping == nullptr) return DescriptionError{child.line, "a mapping list holds only GResourceMapping"};
    if (!list.AddIfNewDeviceId(mapping)) return DescriptionError{child.line, "its device id is mapped before"};
    child.object.release();
  }
  return std::nullopt;
}

constexpr ChildRule kMappingChildren{AttachMappings, ShowCompositeChildren};

// A stage's configuration is the one GConfiguration among its children; the
// others are its children proper.
std::optional<DescriptionError> AttachStageChildren(MPersistentObject& parent, std::vector<BuiltChild>& children) {
  auto& stage = static_cast<GPeripheral&>(parent);
  bool configured = false;
  std::vector<BuiltChild> rest;
  for (BuiltChild& child : children) {
    auto* configuration = dynamic_cast<GConfiguration*>(child.object.get());
    if (configuration == nullptr) {
      rest.push_back(std::move(child));
      continue;
    }
    if (configured) return DescriptionError{child.line, "a second configuration of the stage"};
    configured = true;
    child.object.release();
    stage.SetConfiguration(configuration);
  }
  return AttachToComposite(parent, rest);
}

std::string ShowStageChildren(MPersistentObject& object, std::vector<MPersistentObject*>& children) {
  std::string error = ShowCompositeChildren(object, children);
  if (GConfiguration* configuration = static_cast<GPeripheral&>(object).GetConfiguration()) {
    children.insert(children.begin(), configuration);
  }
  return error;
}

constexpr ChildRule kStageChildren{AttachStageChildren, ShowStageChildren};

// A paper-handling device's configurations are its children, each under its
// key as the configuration id.
std::optional<DescriptionError> AttachConfigurations(MPersistentObject& parent, std::vector<BuiltChild>& children) {
  auto& device = static_cast<GPaperHandlingDevice&>(parent);
  for (BuiltChild& child : children) {
    auto* configuration = dynamic_cast<GAttribute*>(child.object.get());
    const int32_t id = child.object->Key();
    if (configuration == nullptr) return DescriptionError{child.line, "a configuration must be an attribute"};
    if (id < 1 || id > kUInt16Max) return DescriptionError{child.line, "a configuration's key is its id, 1 to 65535"};
    if (device.HasEntry(static_cast<uint16_t>(id)))
      return DescriptionError{child.line, "a second configuration of the id"};
    child.object.release();
    device.AddEntry(static_cast<uint16_t>(id), configuration);
  }
  return std::nullopt;
}

std::string ShowConfigurations(MPersistentObject& object, std::vector<MPersistentObject*>& children) {
  const auto& device = static_cast<GPaperHandlingDevice&>(object);
  std::vector<uint16_t> ids;
  device.CopyEntries(ids);
  children.clear();
  for (const uint16_t id : ids) {
    GAttribute* configuration = device.GetEntry(id);
    if (configuration->Key() != id) {
      return "configuration " + std::to_string(id) + " keyed " + std::to_string(configuration->Key());
    }
    children.push_back(configuration);
  }
  return {};
}

constexpr ChildRule kConfigurationChildren{AttachConfigurations, ShowConfigurations};

std::optional<DescriptionError> AttachMedium(MPersistentObject& parent, std::vector<BuiltChild>& children) {
  if (children.size() > 1) return DescriptionError{children[1].line, "a tray holds one medium"};
  for (BuiltChild& child : children) {
    if (dynamic_cast<GMedia*>(child.object.get()) == nullptr) {
      return DescriptionError{child.line, "a tray holds only a GMedia"};
    }
    static_cast<GTray&>(parent).SetMedium(std::unique_ptr<GMedia>(static_cast<GMedia*>(child.object.release())));
  }
  return std::nullopt;
}

std::string ShowMedium(MPersistentObject& object, std::vector<MPersistentObject*>& children) {
  children.clear();
  if (GMedia* medium = static_cast<GTray&>(object).GetMedium()) children.push_back(medium);
  return {};
}

constexpr ChildRule kMediumChild{AttachMedium, ShowMedium};

// An association's two children are its key object and its value object.
std::optional<DescriptionError> AttachPair(MPersistentObject& parent, std::vector<BuiltChild>& children) {
  if (children.size() != 2) return DescriptionError{0, "an association holds a key object and a value object"};
  auto& association = static_cast<MPersistentAssociation&>(parent);
  // Assignment takes clones of the pair and keeps the association's key.
  association = MPersistentAssociation(children[0].object.release(), children[1].object.release(), 0);
  return std::nullopt;
}

std::string ShowPair(MPersistentObject& object, std::vector<MPersistentObject*>& children) {
  const auto& association = static_cast<MPersistentAssociation&>(object);
  children.clear();
  if (association.Key() == nullptr || association.Value() == nullptr) return "an association lacks an object";
  children = {association.Key(), association.Value()};
  return {};
}

constexpr ChildRule kPairChildren{AttachPair, ShowPair};

std::string ShowFontLists(MPersistentObject& object, std::vector<MPersistentObject*>& children) {
  children.clear();
  return static_cast<GDeviceFontListComposite&>(object).GetListCount() == 0 ? std::string()
                                                                            : "font lists, which have no description";
}

constexpr ChildRule kNoFontLists{nullptr, ShowFontLists};

// An attribute composite as the compiler builds it: stored exactly as one
// (the attribute part, the version and the child list) but holding model
// objects of every kind, as the stored form allows and a restore keeps. The
// root of a driver data file is such a composite holding the device root
// and the mapping lists, which are no attributes. Adding, the searches and
// the removal by key reach what it holds.
class BuiltAttributeComposite final : public GAttributeComposite {
 public:
  void AddChild(MPersistentObject* node) override { children_.AddChild(node); }
  MPersistentObject* RemoveChildByKey(int32_t key) override { return children_.RemoveChildByKey(key); }
  MPersistentObject* FindByKey(int32_t key) override { return children_.FindByKey(key); }
  MPersistentObject* FindByClassId(RWClassID id) override { return children_.FindByClassId(id); }
  MPersistentObject* FindKindOf(RWClassID id) override { return children_.FindKindOf(id); }
  uint32_t EntryCount() const override { return children_.EntryCount(); }
  uint32_t NodeCount() const override { return children_.NodeCount(); }
  std::unique_ptr<GIterator> NewChildIterator() override { return children_.NewChildIterator(); }

 protected:
  void Fields(GFieldArchive& archive) override {
    GAttribute::Fields(archive);
    if (archive.Version(FormatVersion())) archive.Children(children_.MutableChildren());
  }

 private:
  class ChildList : public MPersistentComposite {
   public:
    using MPersistentComposite::MutableChildren;
  };

  ChildList children_;
};

// Records of the classes' properties.

struct NoValues {};

template <typename T>
NoValues ReadNothing(const T&) {
  return {};
}

template <typename T>
void WriteNothing(T&, const NoValues&) {}

template <typename T>
std::unique_ptr<ClassDescription> WithoutProperties(
    const char* name, ChildRule children, typename DescribedClass<T, NoValues>::CreateObject create = nullptr) {
  return std::make_unique<DescribedClass<T, NoValues>>(name, std::vector<DescribedField<NoValues>>{}, ReadNothing<T>,
                                                       WriteNothing<T>, children, create);
}

struct NumberValues {
  int64_t value = 0;
};

std::unique_ptr<ClassDescription> ValueDescription() {
  return std::make_unique<DescribedClass<GValueAttribute, NumberValues>>(
      kGValueAttributeClassName, std::vector{Field<&NumberValues::value>("value", kInt16Min, kInt16Max)},
      [](const GValueAttribute& attribute) { return NumberValues{attribute.Value()}; },
      [](GValueAttribute& attribute, const NumberValues& values) {
        attribute.SetValue(static_cast<int16_t>(values.value));
      });
}

struct TextValues {
  std::string text;
};

std::unique_ptr<ClassDescription> StringDescription() {
  return std::make_unique<DescribedClass<GStringAttribute, TextValues>>(
      kGStringAttributeClassName, std::vector{Field<&TextValues::text>("text")},
      [](const GStringAttribute& attribute) { return TextValues{Text(attribute.Text())}; },
      [](GStringAttribute& attribute, const TextValues& values) { attribute.SetText(Narrow(values.text)); });
}

struct RangeValues {
  int64_t minimum = 0;
  int64_t maximum = 0;
  int64_t step = 0;
  int64_t value = 0;
};

std::unique_ptr<ClassDescription> RangeDescription() {
  return std::make_unique<DescribedClass<GRangeAttribute, RangeValues>>(
      kGRangeAttributeClassName,
      std::vector{Field<&RangeValues::minimum>("min", kInt16Min, kInt16Max),
                  Field<&RangeValues::maximum>("max", kInt16Min, kInt16Max),
                  Field<&RangeValues::step>("step", kInt16Min, kInt16Max),
                  Field<&RangeValues::value>("value", kInt16Min, kInt16Max)},
      [](const GRangeAttribute& range) {
        return RangeValues{range.Min(), range.Max(), range.Step(), range.Value()};
      },
      [](GRangeAttribute& range, const RangeValues& values) {
        range = GRangeAttribute(static_cast<int16_t>(values.minimum), static_cast<int16_t>(values.maximum),
                                static_cast<int16_t>(values.step), static_cast<int16_t>(values.value), range.Key());
      });
}

struct SelectionValues {
  std::string text;
  int64_t value = 0;
};

std::unique_ptr<ClassDescription> SelectionDescription() {
  return std::make_unique<DescribedClass<GSelectionString, SelectionValues>>(
      kGSelectionStringClassName,
      std::vector{Field<&SelectionValues::text>("text"), Field<&SelectionValues::value>("value", kInt16Min, kInt16Max)},
      [](const GSelectionString& selection) {
        return SelectionValues{Text(selection.Text()), selection.Value()};
      },
      [](GSelectionString& selection, const SelectionValues& values) {
        selection = GSelectionString(Narrow(values.text), static_cast<int16_t>(values.value), selection.Key());
      });
}

struct MappingValues {
  int64_t resource = 0;
  int64_t os = 0;
  int64_t device = 0;
};

std::unique_ptr<ClassDescription> MappingDescription() {
  return std::make_unique<DescribedClass<GResourceMapping, MappingValues>>(
      kGResourceMappingClassName,
      std::vector{Field<&MappingValues::os>("os", 0, kUInt16Max),
                  Field<&MappingValues::device>("device", kInt16Min, kInt16Max),
                  Field<&MappingValues::resource>("resource", 0, kUInt32Max)},
      [](const GResourceMapping& mapping) {
        return MappingValues{mapping.ResourceId(), mapping.OsId(), mapping.DeviceId()};
      },
      [](GResourceMapping& mapping, const MappingValues& values) {
        mapping = GResourceMapping(static_cast<uint32_t>(values.resource), static_cast<uint16_t>(values.os),
                                   static_cast<int16_t>(values.device), mapping.Key());
      });
}

// The current choice as its index among the media, -1 for none.
struct PoolValues {
  int64_t current = -1;
};

PoolValues ReadPool(const GMediaPool& pool) {
  int64_t index = 0;
  for (const GCountedPtr& child : pool.Children()) {
    if (child.Get() == pool.CurrentChoice()) return {index};
    ++index;
  }
  return {-1};
}

void WritePool(GMediaPool& pool, const PoolValues& values) {
  if (values.current >= 0 && values.current < pool.EntryCount()) {
    pool.SetCurrentChoice(*pool.Children()[static_cast<uint32_t>(values.current)].Get());
  }
}

std::unique_ptr<ClassDescription> PoolDescription() {
  return std::make_unique<DescribedClass<GMediaPool, PoolValues>>(
      kGMediaPoolClassName, std::vector{Field<&PoolValues::current>("current", -1, kInt32Max)}, ReadPool, WritePool,
      kCompositeChildren);
}

struct MediaValues {
  int64_t id = 0;
  std::string name;
  DescriptionPair paper;
  DescriptionPair origin;
  DescriptionPair printable;
  DescriptionPair resolution;
  int64_t orientation = 0;
  std::string type;
  std::string text;
  int64_t extra = 0;
};

MediaValues ReadMedia(const GMedia& media) {
  return {media.GetSizeId(),
          Text(media.GetName()),
          Pair(media.GetPaperSize()),
          Pair(media.GetPrintableOrigin()),
          Pair(media.GetPrintableSize()),
          {media.GetXResolution(), media.GetYResolution()},
          media.GetOrientation(),
          Text(media.GetMediaType()),
          Text(media.GetFirstText()),
          media.GetExtraValue()};
}

void WriteMedia(GMedia& media, const MediaValues& values) {
  media = GMedia(Narrow(values.name), Dots(values.paper), Dots(values.printable), Dots(values.origin),
                 static_cast<int32_t>(values.orientation), static_cast<int16_t>(values.id),
                 static_cast<uint16_t>(values.resolution.first), static_cast<uint16_t>(values.resolution.second),
                 media.Key(), static_cast<uint16_t>(values.extra), nullptr, nullptr);
  media.SetMediaType(Narrow(values.type));
  media.SetFirstText(Narrow(values.text));
}

std::unique_ptr<ClassDescription> MediaDescription() {
  return std::make_unique<DescribedClass<GMedia, MediaValues>>(
      kGMediaClassName,
      std::vector{Field<&MediaValues::id>("id", kInt16Min, kInt16Max), Field<&MediaValues::name>("name"),
                  Field<&MediaValues::paper>("paper", 0, kInt16Max),
                  Field<&MediaValues::origin>("origin", 0, kInt16Max),
                  Field<&MediaValues::printable>("printable", 0, kInt16Max),
                  Field<&MediaValues::resolution>("resolution", 1, kUInt16Max),
                  Field<&MediaValues::orientation>("orientation", 0, 359), Field<&MediaValues::type>("type"),
                  Field<&MediaValues::text>("text"), Field<&MediaValues::extra>("extra", 0, kUInt16Max)},
      ReadMedia, WriteMedia);
}

struct DeviceValues {
  std::string name;
  int64_t kind = 0;
  int64_t optional = 0;
  int64_t installed = 0;
  int64_t detection = 0;
  int64_t selects = 0;
  int64_t defaultId = 0;
};

DeviceValues ReadDevice(const GPaperHandlingDevice& device) {
  return {Text(device.GetName()),    device.GetKind(),         device.IsOptional(),  device.IsInstalled(),
          device.GetDetectionMode(), device.GetSelectsEntry(), device.GetDefaultId()};
}

// The name and kind have no setters: the device is made anew and takes the
// configurations over.
void WriteDevice(GPaperHandlingDevice& device, const DeviceValues& values) {
  GPaperHandlingDevice made(Narrow(values.name), static_cast<int32_t>(values.kind),
                            static_cast<int32_t>(values.optional), static_cast<int32_t>(values.installed),
                            static_cast<int32_t>(values.detection), static_cast<int32_t>(values.selects), device.Key());
  std::vector<uint16_t> ids;
  device.CopyEntries(ids);
  for (const uint16_t id : ids) made.AddEntry(id, device.GetEntry(id));
  made.SetDefaultId(static_cast<uint16_t>(values.defaultId));
  device = made;
}

std::unique_ptr<ClassDescription> DeviceDescription() {
  return std::make_unique<DescribedClass<GPaperHandlingDevice, DeviceValues>>(
      kGPaperHandlingDeviceClassName,
      std::vector{Field<&DeviceValues::name>("name"), Field<&DeviceValues::kind>("kind", 0, 1),
                  Field<&DeviceValues::optional>("optional", 0, 1), Field<&DeviceValues::installed>("installed", 0, 1),
                  Field<&DeviceValues::detection>("detection", 0, 3), Field<&DeviceValues::selects>("selects", 0, 1),
                  Field<&DeviceValues::defaultId>("default", 0, kUInt16Max)},
      ReadDevice, WriteDevice, kConfigurationChildren);
}

// What trays and bins share; bins add their output order and last value.
struct SheetValues {
  std::string name;
  int64_t id = 0;
  int64_t first = 0;
  int64_t second = 0;
  int64_t capacity = -1;
  int64_t level = -1;
  int64_t order = 0;
  int64_t last = 0;
};

SheetValues ReadSheets(const GSheetContainer& container) {
  return {Text(container.GetName()),  container.GetId(),       container.GetFirstValue(),
          container.GetSecondValue(), container.GetCapacity(), container.GetLevel()};
}

std::vector<DescribedField<SheetValues>> SheetFields() {
  return {Field<&SheetValues::name>("name"),
          Field<&SheetValues::id>("id", kInt16Min, kInt16Max),
          Field<&SheetValues::capacity>("capacity", -1, kInt32Max),
          Field<&SheetValues::level>("level", -1, kInt32Max),
          Field<&SheetValues::first>("first", kInt32Min, kInt32Max),
          Field<&SheetValues::second>("second", kInt32Min, kInt32Max)};
}

// The id has no setter: the tray is made anew with a copy of its medium.
void WriteTray(GTray& tray, const SheetValues& values) {
  GMedia* medium = tray.GetMedium();
  tray = GTray(Narrow(values.name), static_cast<int16_t>(values.id), static_cast<int32_t>(values.first),
               static_cast<int32_t>(values.second), static_cast<int32_t>(values.capacity),
               static_cast<int32_t>(values.level), medium != nullptr ? std::make_unique<GMedia>(*medium) : nullptr,
               tray.Key());
}

std::unique_ptr<ClassDescription> TrayDescription() {
  return std::make_unique<DescribedClass<GTray, SheetValues>>(
      kGTrayClassName, SheetFields(), [](const GTray& tray) { return ReadSheets(tray); }, WriteTray, kMediumChild);
}

SheetValues ReadBin(const GBin& bin) {
  SheetValues values = ReadSheets(bin);
  values.order = bin.GetOutputOrder();
  values.last = bin.GetLastValue();
  return values;
}

void WriteBin(GBin& bin, const SheetValues& values) {
  bin = GBin(Narrow(values.name), static_cast<int16_t>(values.id), static_cast<int32_t>(values.first),
             static_cast<int32_t>(values.second), static_cast<int32_t>(values.capacity),
             static_cast<int32_t>(values.level), static_cast<int32_t>(values.order), static_cast<int32_t>(values.last),
             bin.Key());
}

std::unique_ptr<ClassDescription> BinDescription() {
  std::vector<DescribedField<SheetValues>> fields = SheetFields();
  fields.push_back(Field<&SheetValues::order>("order", kInt32Min, kInt32Max));
  fields.push_back(Field<&SheetValues::last>("last", kInt32Min, kInt32Max));
  return std::make_unique<DescribedClass<GBin, SheetValues>>(kGBinClassName, std::move(fields), ReadBin, WriteBin);
}

// Every described class by its registered name.
std::map<std::string, std::unique_ptr<ClassDescription>, std::less<>>& Descriptions() {
  static auto descriptions = [] {
    std::map<std::string, std::unique_ptr<ClassDescription>, std::less<>> all;
    auto add = [&all](std::unique_ptr<ClassDescription> description) {
      all.emplace(std::string(description->Name()), std::move(description));
    };
    add(WithoutProperties<GAttributeComposite>(
        kGAttributeCompositeClassName, kCompositeChildren,
        []() -> std::unique_ptr<MPersistentObject> { return std::make_unique<BuiltAttributeComposite>(); }));
    add(WithoutProperties<GConfiguration>(kGConfigurationClassName, kCompositeChildren));
    add(WithoutProperties<MAssociationList>(kMAssociationListClassName, kCompositeChildren));
    add(WithoutProperties<GResourceMappingList>(kGResourceMappingListClassName, kMappingChildren));
    add(WithoutProperties<MPersistentAssociation>(kMPersistentAssociationClassName, kPairChildren));
    add(WithoutProperties<GDeviceFontListComposite>(kGDeviceFontListCompositeClassName, kNoFontLists));
    add(StageDescription(TestPeripheralComposite::kName));
    add(StageDescription(TestGenerator::kName));
    add(ValueDescription());
    add(StringDescription());
    add(RangeDescription());
    add(SelectionDescription());
    add(MappingDescription());
    add(PoolDescription());
    add(MediaDescription());
    add(DeviceDescription());
    add(TrayDescription());
    add(BinDescription());
    return all;
  }();
  return descriptions;
}

}  // namespace

namespace {

struct StageValues {
  std::string name;
};

}  // namespace

std::unique_ptr<ClassDescription> StageDescription(const char* name) {
  return std::make_unique<DescribedClass<GPeripheral, StageValues>>(
      name, std::vector{Field<&StageValues::name>("name")},
      [](const GPeripheral& stage) { return StageValues{Text(stage.GetName())}; },
      [](GPeripheral& stage, const StageValues& values) { stage.SetName(Narrow(values.name)); }, kStageChildren);
}

void AddClassDescription(std::unique_ptr<ClassDescription> description) {
  const std::string name(description->Name());
  Descriptions().insert_or_assign(name, std::move(description));
}

std::unique_ptr<MPersistentObject> ClassDescription::Create() const {
  const std::string name(Name());
  std::unique_ptr<RWCollectable> made(FactoryCreateByName(RWStringID(name.c_str())));
  auto* object = dynamic_cast<MPersistentObject*>(made.get());
  if (object == nullptr) return nullptr;
  made.release();
  return std::unique_ptr<MPersistentObject>(object);
}

std::optional<DescriptionError> ClassDescription::Attach(MPersistentObject&, std::vector<BuiltChild> children) const {
  if (children.empty()) return std::nullopt;
  return DescriptionError{children.front().line, "a " + std::string(Name()) + " takes no children"};
}

std::string ClassDescription::ChildrenOf(MPersistentObject&, std::vector<MPersistentObject*>& children) const {
  children.clear();
  return {};
}

const ClassDescription* FindClassDescription(std::string_view name) {
  const auto found = Descriptions().find(name);
  return found != Descriptions().end() ? found->second.get() : nullptr;
}

const ClassDescription* ClassDescriptionOf(const MPersistentObject& object) {
  const RWStringID name = FactoryNameOfID(object.ClassID());
  return FindClassDescription(std::string_view(name.Data(), name.Length()));
}
