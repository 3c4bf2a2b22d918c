#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "foundation/rw_factory.h"
#include "foundation/testing/persistence_test_support.h"
#include "foundation/testing/test_collectables.h"

namespace {

constexpr RWClassID kTransientID = 0x7E31;

class Transient : public RWCollectable {
 public:
  RWClassID ClassID() const override { return kTransientID; }
};

RWCollectable* NewTransient() { return new Transient; }

// Look-ups on several threads while another thread keeps registering and
// removing a class: a registered class is always found, the coming and
// going one is found whole or not at all.
TEST(RWFactoryThread, LookUpsRunWhileClassesComeAndGo) {
  std::atomic<bool> done{false};
  std::atomic<int> failures{0};
  std::thread churn([&] {
    for (int i = 0; i < 2000; ++i) {
      FactoryAddCreator(NewTransient, kTransientID, "Transient");
      FactoryRemoveID(kTransientID);
      FactoryRemoveName("Transient");
    }
    done = true;
  });
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      while (!done) {
        const std::unique_ptr<RWCollectable> leaf(FactoryCreateByID(TestLeaf::kID));
        if (leaf == nullptr || leaf->ClassID() != TestLeaf::kID) ++failures;
        if (FactoryIDOfName("TestLeaf") != TestLeaf::kID) ++failures;
        const std::unique_ptr<RWCollectable> transient(FactoryCreateByName("Transient"));
        if (transient != nullptr && transient->ClassID() != kTransientID) ++failures;
        const RWStringID name = FactoryNameOfID(kTransientID);
        if (!(name == "Transient") && !(name == "NoID")) ++failures;
      }
    });
  }
  churn.join();
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(failures, 0);
}

}  // namespace
