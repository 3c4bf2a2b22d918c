#include "device/testing/test_device_tree.h"

#include "device/media/media_pool.h"
#include "device/paper/paper_handling_device.h"
#include "device/paper/tray.h"
#include "foundation/class_registrar.h"
#include "model/attributes/value_attribute.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<TestGenerator>, TestGenerator::kID, TestGenerator::kName);

constexpr int32_t kDeviceRootKey = 353;
constexpr int32_t kPipelineHeadKey = 76;

}  // namespace

TestDeviceTree MakeDeviceTree() {
  TestDeviceTree tree;
  tree.root = std::make_unique<TestPeripheralComposite>(kDeviceRootKey);
  tree.head = new TestPeripheralComposite(kPipelineHeadKey);
  tree.root->AddChild(tree.head);
  tree.rootConfiguration = tree.root->GetConfiguration();
  tree.configuration = tree.head->GetConfiguration();
  return tree;
}

GValueAttribute* AddValue(MPersistentObject& parent, int32_t key, int16_t value) {
  auto* attribute = new GValueAttribute(value, key);
  parent.AddChild(attribute);
  return attribute;
}

GAttributeComposite* AddGroup(MPersistentObject& parent, int32_t key) {
  auto* group = new GAttributeComposite(key);
  parent.AddChild(group);
  return group;
}

std::unique_ptr<GMedia> MakeMedium(int16_t sizeId, GDotPair paperSize, GDotPair printableSize, GDotPair printableOrigin,
                                   int32_t orientation, uint16_t xResolution, uint16_t yResolution) {
  return std::make_unique<GMedia>(RWCString("medium"), paperSize, printableSize, printableOrigin, orientation, sizeId,
                                  xResolution, yResolution, GMedia::kDefaultKey, 0, nullptr, nullptr);
}

GMediaPool* AddMediaPool(MPersistentObject& parent, int32_t key) {
  auto* pool = new GMediaPool(key);
  parent.AddChild(pool);
  return pool;
}

GPaperHandlingDevice* AddInputDevice(MPersistentObject& binPool, const char* name,
                                     std::initializer_list<int16_t> trayIds, int32_t optional, int32_t installed) {
  auto* device = new GPaperHandlingDevice(RWCString(name), GPaperHandlingDevice::kInput, optional, installed, 0, 0, 0);
  auto* trays = new GAttributeComposite(0);
  for (const int16_t id : trayIds) trays->AddChild(new GTray(RWCString("tray"), id, 0));
  device->AddEntry(1, trays);
  binPool.AddChild(device);
  return device;
}
