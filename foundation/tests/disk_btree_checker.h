#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

// Reads a disk B-tree straight from the bytes of its file, knowing only the
// stored layout, and checks what every sound tree satisfies: node counts
// within their bounds, all leaves at one depth, keys ascending in key order,
// and each node in a block of its own size.
class DiskBTreeChecker {
 public:
  struct Shape {
    uint32_t keyLength;
    uint32_t order;
    uint32_t minimumFill;
    bool binaryKeys;
  };
  struct Node {
    uint32_t count = 0;
    std::vector<int32_t> children;
    std::vector<int32_t> values;
    std::vector<std::string> keys;  // K bytes each
  };

  DiskBTreeChecker(std::string bytes, Shape shape) : bytes_(std::move(bytes)), shape_(shape) {}

  uint32_t NodeSize() const { return 16 * shape_.order + 2 * shape_.order * shape_.keyLength + 8; }

  int32_t Word(uint32_t offset) const {
    if (offset + 4 > bytes_.size()) return -2;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes_[offset + i]);
    return static_cast<int32_t>(value);
  }

  Node ReadNode(int32_t offset) const {
    Node node;
    const uint32_t n = shape_.order;
    const uint32_t at = static_cast<uint32_t>(offset);
    node.count = static_cast<uint32_t>(Word(at));
    for (uint32_t i = 0; i <= 2 * n; ++i) node.children.push_back(Word(at + 4 + 4 * i));
    for (uint32_t i = 0; i < 2 * n; ++i) node.values.push_back(Word(at + 8 * n + 8 + 4 * i));
    for (uint32_t i = 0; i < 2 * n; ++i) {
      node.keys.push_back(bytes_.substr(at + 16 * n + 8 + shape_.keyLength * i, shape_.keyLength));
    }
    return node;
  }

  // An empty text when the tree under root is sound; entries and height
  // are filled in on the way.
  std::string Check(int32_t root) {
    entries_.clear();
    leafDepth_ = -1;
    nodes_ = 0;
    if (root == -1) return "";
    return Walk(root, 0, nullptr, nullptr);
  }

  // The keys (text keys up to their NUL) and values in key order.
  const std::vector<std::pair<std::string, int32_t>>& Entries() const { return entries_; }
  uint32_t Height() const { return static_cast<uint32_t>(leafDepth_ + 1); }
  uint32_t Nodes() const { return nodes_; }

 private:
  int Compare(const std::string& a, const std::string& b) const {
    return shape_.binaryKeys ? std::memcmp(a.data(), b.data(), shape_.keyLength)
                             : std::strncmp(a.c_str(), b.c_str(), shape_.keyLength);
  }

  std::string Text(const std::string& key) const {
    return shape_.binaryKeys ? key : key.substr(0, std::min(key.find('\0'), key.size()));
  }

  std::string Walk(int32_t offset, int depth, const std::string* low, const std::string* high) {
    if (offset < 4 || offset % 4 != 0 || offset + NodeSize() > bytes_.size()) return "node outside the file";
    if (++nodes_ > bytes_.size() / NodeSize()) return "more nodes than the file holds";
    const uint32_t blockSize = (NodeSize() + 7) & ~3u;
    if (static_cast<uint32_t>(Word(static_cast<uint32_t>(offset) - 4)) != blockSize)
      return "node block of the wrong size";
    const Node node = ReadNode(offset);
    const uint32_t minimum = depth == 0 ? 1 : std::max<uint32_t>(1, shape_.minimumFill);
    if (node.count > 2 * shape_.order) return "node over full";
    if (node.count < minimum) return "node under its minimum at depth " + std::to_string(depth);
    const bool leaf = node.children[0] == -1;
    for (uint32_t i = 0; i <= node.count; ++i) {
      if ((node.children[i] == -1) != leaf) return "leaf and inner children mixed";
    }
    if (leaf) {
      if (leafDepth_ == -1) leafDepth_ = depth;
      if (leafDepth_ != depth) return "leaves at different depths";
    }
    for (uint32_t i = 0; i <= node.count; ++i) {
      const std::string* below = i == 0 ? low : &node.keys[i - 1];
      const std::string* above = i == node.count ? high : &node.keys[i];
      if (!leaf) {
        const std::string problem = Walk(node.children[i], depth + 1, below, above);
        if (!problem.empty()) return problem;
      }
      if (i == node.count) break;
      if (below && Compare(*below, node.keys[i]) >= 0) return "keys out of order";
      if (high && Compare(node.keys[i], *high) >= 0) return "key above its separator";
      entries_.emplace_back(Text(node.keys[i]), node.values[i]);
    }
    return "";
  }

  std::string bytes_;
  Shape shape_;
  std::vector<std::pair<std::string, int32_t>> entries_;
  int leafDepth_ = -1;
  uint32_t nodes_ = 0;
};
