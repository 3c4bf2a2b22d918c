#pragma once

#include <cstdint>

#include "foundation/binary_file.h"
#include "foundation/rw_collectable.h"
#include "foundation/virtual_stream.h"

// Small collectable classes for persistence tests and the persistence
// fuzzer, registered with the factory under IDs no real class uses. They live in a
// library of their own, so that only the programs that test persistence
// itself can restore them (a pair does not own what it holds).

// One 32-bit value.
class TestLeaf : public RWCollectable {
 public:
  static constexpr RWClassID kID = 0x7E01;

  explicit TestLeaf(int32_t value = 0) : value(value) {}

  RWCollectable* NewInstance() const override { return new TestLeaf; }
  RWClassID ClassID() const override { return kID; }
  uint32_t StoredSize() const override { return 4; }
  void SaveContentsToStream(GVirtualOutStream& stream) const override { stream.PutInt(value); }
  void SaveContentsToFile(GBinaryFile& file) const override { file.Write(value); }
  void RestoreContentsFromStream(GVirtualInStream& stream) override { stream.GetInt(value); }
  void RestoreContentsFromFile(GBinaryFile& file) override { file.Read(value); }

  int32_t value;
};

// The same fields, in a class that stored data names by its class name.
class TestNamedLeaf : public TestLeaf {
 public:
  static constexpr RWClassID kID = 0xA001;
  static constexpr const char* kName = "TestNamedLeaf";

  using TestLeaf::TestLeaf;
  RWCollectable* NewInstance() const override { return new TestNamedLeaf; }
  RWClassID ClassID() const override { return kID; }
};

// Two references, each of which may be null, shared, or lead back to the
// pair itself. A pair does not own what it refers to (graphs may share and
// cycle); DeleteGraph frees a whole graph.
class TestPair : public RWCollectable {
 public:
  static constexpr RWClassID kID = 0x7E02;

  TestPair(RWCollectable* first = nullptr, RWCollectable* second = nullptr) : first(first), second(second) {}

  RWCollectable* NewInstance() const override { return new TestPair; }
  RWClassID ClassID() const override { return kID; }
  uint32_t StoredSize() const override;
  void SaveContentsToStream(GVirtualOutStream& stream) const override;
  void SaveContentsToFile(GBinaryFile& file) const override;
  void RestoreContentsFromStream(GVirtualInStream& stream) override;
  void RestoreContentsFromFile(GBinaryFile& file) override;

  RWCollectable* first;
  RWCollectable* second;
};

// Deletes every object reachable from root through pairs, each once.
void DeleteGraph(RWCollectable* root);
