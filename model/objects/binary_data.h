#pragma once

#include <cstdint>

#include "model/objects/persistent_object.h"

// A block of bytes carried through the model and its stored graphs. The
// block is either the object's own (it frees it when it lets go) or a
// caller's, whose pointer it holds without copying. Blocks that the object
// frees are allocated with new[].
//
// Stored contents after the base part: version 1, the length, the owned
// flag (32-bit each), the bytes.
class GBinaryData : public MPersistentObject {
 public:
  GBinaryData() = default;
  explicit GBinaryData(int32_t key) : MPersistentObject(key) {}
  // Holds data without copying it; frees it later when owned is non-zero.
  GBinaryData(uint8_t* data, uint32_t length, int32_t owned, int32_t key);
  // A new base part (key 0, a new serial number) and an owned copy of the
  // source's bytes.
  GBinaryData(const GBinaryData& other);
  GBinaryData& operator=(const GBinaryData& other) = delete;
  ~GBinaryData() override;

  RWCollectable* NewInstance() const override { return new GBinaryData; }
  RWCollectable* Clone() const override { return new GBinaryData(*this); }
  RWClassID ClassID() const override { return kGBinaryDataClassID; }
  // Equal lengths and equal bytes.
  bool SameContent(const MPersistentObject& other) const override;

  uint8_t* Data() const { return data_; }
  uint32_t Length() const { return length_; }
  int32_t IsOwned() const { return owned_; }

  // Frees the current block when the object frees it, then holds the new one.
  void SetData(uint8_t* data, uint32_t length, int32_t owned);
  // Hands the block to the caller (who frees it with delete[]) and leaves
  // the object empty.
  uint8_t* Detach();
  // Frees the block when the object frees it and leaves the object empty.
  void Clear();

 protected:
  // The stored length is checked against the input left before anything
  // is allocated; a length the input cannot hold fails the restore and
  // leaves the object empty.
  void Fields(GFieldArchive& archive) override;

 private:
  void Hold(uint8_t* data, uint32_t length, int32_t owned, bool frees);

  uint8_t* data_ = nullptr;
  uint32_t length_ = 0;
  // The flag as given or stored.
  int32_t owned_ = 0;
  // Whether the object deletes the block: when owned, and always for a
  // block it allocated itself (a copy's or a restore's), whatever the
  // stored flag said.
  bool frees_ = false;
};
