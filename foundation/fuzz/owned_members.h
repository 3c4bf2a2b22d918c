#pragma once

#include <set>
#include <vector>

#include "foundation/rw_btree_dictionary.h"

// Of the objects a restore made, a B-tree dictionary owns the associations
// it holds, which go with it; fuzz targets that free what a restore made
// leave those out. No other class of the library owns what it refers to.
inline void LeaveOutOwnedMembers(std::set<RWCollectable*>& made) {
  std::vector<RWCollectable*> owned;
  for (RWCollectable* object : made) {
    if (const auto* dictionary = dynamic_cast<const RWBTreeDictionary*>(object)) {
      dictionary->ForEachMember([&owned](RWCollectable* association) { owned.push_back(association); });
    }
  }
  for (RWCollectable* association : owned) made.erase(association);
}
