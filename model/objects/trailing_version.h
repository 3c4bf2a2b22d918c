#pragma once

#include <cstdint>

#include "foundation/binary_file.h"
#include "foundation/virtual_stream.h"

// For a class that adds no fields to its base, only its own version word:
// saved (1) after the base part, read back and not examined, so that a
// restore goes on whatever the word holds.
template <typename Base>
class GTrailingVersion : public Base {
 public:
  using Base::Base;

  uint32_t StoredSize() const override { return Base::StoredSize() + 4; }
  void SaveContentsToFile(GBinaryFile& file) const override {
    Base::SaveContentsToFile(file);
    file.Write(Base::FormatVersion());
  }
  void SaveContentsToStream(GVirtualOutStream& stream) const override {
    Base::SaveContentsToStream(stream);
    stream.PutULong(Base::FormatVersion());
  }
  void RestoreContentsFromFile(GBinaryFile& file) override {
    Base::RestoreContentsFromFile(file);
    uint32_t version;
    file.Read(version);
  }
  void RestoreContentsFromStream(GVirtualInStream& stream) override {
    Base::RestoreContentsFromStream(stream);
    uint32_t version;
    stream.GetULong(version);
  }
};
