#include "foundation/testing/test_collectables.h"

#include <set>
#include <vector>

#include "foundation/class_registrar.h"
#include "foundation/persistence.h"

namespace {

const GClassRegistrar leafRegistrar(CreateCollectable<TestLeaf>, TestLeaf::kID, "TestLeaf");
const GClassRegistrar namedLeafRegistrar(CreateCollectable<TestNamedLeaf>, TestNamedLeaf::kID, TestNamedLeaf::kName);
const GClassRegistrar pairRegistrar(CreateCollectable<TestPair>, TestPair::kID, "TestPair");

}  // namespace

uint32_t TestPair::StoredSize() const { return ObjectStoreSize(first) + ObjectStoreSize(second); }

void TestPair::SaveContentsToStream(GVirtualOutStream& stream) const {
  WriteObjectToStream(first, stream);
  WriteObjectToStream(second, stream);
}

void TestPair::SaveContentsToFile(GBinaryFile& file) const {
  WriteObjectToFile(first, file);
  WriteObjectToFile(second, file);
}

void TestPair::RestoreContentsFromStream(GVirtualInStream& stream) {
  ReadObjectFromStream(stream, first);
  ReadObjectFromStream(stream, second);
}

void TestPair::RestoreContentsFromFile(GBinaryFile& file) {
  ReadObjectFromFile(file, first);
  ReadObjectFromFile(file, second);
}

void DeleteGraph(RWCollectable* root) {
  std::set<RWCollectable*> seen;
  std::vector<RWCollectable*> pending{root};
  while (!pending.empty()) {
    RWCollectable* object = pending.back();
    pending.pop_back();
    if (object == nullptr || !seen.insert(object).second) continue;
    if (auto* pair = dynamic_cast<TestPair*>(object)) {
      pending.push_back(pair->first);
      pending.push_back(pair->second);
    }
  }
  for (RWCollectable* object : seen) delete object;
}
