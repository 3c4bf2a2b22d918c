#include "foundation/held_graph.h"

#include <unordered_set>

#include "foundation/collectable_association.h"
#include "foundation/collection.h"
#include "foundation/rw_btree_dictionary.h"

std::vector<RWCollectable*> HeldGraph(RWCollectable* root) {
  std::vector<RWCollectable*> held;
  std::unordered_set<const RWCollectable*> seen;
  // Objects to visit, each with whether it goes into the answer.
  std::vector<std::pair<RWCollectable*, bool>> pending{{root, true}};
  while (!pending.empty()) {
    const auto [object, listed] = pending.back();
    pending.pop_back();
    if (object == nullptr || !seen.insert(object).second) continue;
    if (listed) held.push_back(object);
    if (const auto* association = dynamic_cast<const RWCollectableAssociation*>(object)) {
      pending.emplace_back(association->Key(), true);
      pending.emplace_back(association->Value(), true);
    } else if (const auto* collection = dynamic_cast<const GCollection*>(object)) {
      const bool owned = dynamic_cast<const RWBTreeDictionary*>(object) != nullptr;
      collection->ForEachMember([&pending, owned](RWCollectable* member) { pending.emplace_back(member, !owned); });
    }
  }
  return held;
}
