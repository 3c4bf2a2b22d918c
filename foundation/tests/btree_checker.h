#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/rw_btree.h"

// Walks the nodes of an in-memory B-tree and checks what every sound tree
// satisfies: no node over its capacity, every node but the root at least at
// its minimum (the root holding one item at least), the children of each
// inner node all present and nothing beyond them, all leaves at one depth,
// items strictly ascending by Compare and inside their separators, and the
// tree's count and height agreeing with its nodes.
class BTreeChecker {
 public:
  // An empty text when the tree is sound; Items and Shape are filled in on
  // the way.
  std::string Check(const RWBTree& tree) {
    items_.clear();
    levels_.clear();
    leafDepth_ = -1;
    const GBTreeNode* root = tree.Root();
    std::string problem = root == nullptr ? "" : Walk(*root, 0, nullptr, nullptr);
    if (!problem.empty()) return problem;
    if (items_.size() != tree.Count()) return "count differs from the items in the nodes";
    if (static_cast<int32_t>(tree.Height()) != leafDepth_ + 1) return "height differs from the leaf depth";
    if (tree.IsEmpty() != (root == nullptr)) return "emptiness differs from the root";
    return "";
  }

  // The items in the order the nodes hold them.
  const std::vector<RWCollectable*>& Items() const { return items_; }

  // Each level from the root down, as its nodes' item counts with runs
  // folded: "1 / 50x2" is a root of one item over two nodes of 50.
  std::string Shape() const {
    std::string text;
    for (const std::vector<uint32_t>& level : levels_) {
      if (!text.empty()) text += " / ";
      for (size_t i = 0; i < level.size();) {
        size_t run = i;
        while (run < level.size() && level[run] == level[i]) ++run;
        if (i != 0) text += ' ';
        text += std::to_string(level[i]);
        if (run - i > 1) text += "x" + std::to_string(run - i);
        i = run;
      }
    }
    return text;
  }

 private:
  std::string Walk(const GBTreeNode& node, int32_t depth, const RWCollectable* low, const RWCollectable* high) {
    if (levels_.size() <= static_cast<size_t>(depth)) levels_.emplace_back();
    levels_[depth].push_back(node.count);
    const uint32_t minimum = depth == 0 ? 1 : GBTreeNode::kMinimum;
    if (node.count > GBTreeNode::kCapacity) return "node over its capacity";
    if (node.count < minimum) return "node under its minimum at depth " + std::to_string(depth);
    const bool leaf = node.IsLeaf();
    for (uint32_t i = 0; i <= GBTreeNode::kCapacity; ++i) {
      const bool expected = !leaf && i <= node.count;
      if ((node.children[i] != nullptr) != expected) return "child " + std::to_string(i) + " misplaced";
    }
    if (leaf && leafDepth_ == -1) leafDepth_ = depth;
    if (leaf && leafDepth_ != depth) return "leaves at different depths";
    for (uint32_t i = 0; i <= node.count; ++i) {
      const RWCollectable* below = i == 0 ? low : node.items[i - 1];
      const RWCollectable* above = i == node.count ? high : node.items[i];
      if (!leaf) {
        std::string problem = Walk(*node.children[i], depth + 1, below, above);
        if (!problem.empty()) return problem;
      }
      if (i == node.count) break;
      if (node.items[i] == nullptr) return "null item";
      if (below != nullptr && below->Compare(node.items[i]) >= 0) return "items out of order";
      if (high != nullptr && node.items[i]->Compare(high) >= 0) return "item above its separator";
      items_.push_back(node.items[i]);
    }
    return "";
  }

  std::vector<RWCollectable*> items_;
  std::vector<std::vector<uint32_t>> levels_;
  int32_t leafDepth_ = -1;
};
