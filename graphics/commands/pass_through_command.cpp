#include "graphics/commands/pass_through_command.h"

#include <algorithm>
#include <new>

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPassThroughCommand>, kGPassThroughCommandClassID,
                                kGPassThroughCommandClassName);

}  // namespace

GPassThroughCommand::GPassThroughCommand(const uint8_t* data, uint16_t length, uint16_t target, int32_t key)
    : GCommand(key), data_(data), length_(data != nullptr ? length : 0), target_(target) {}

GPassThroughCommand::GPassThroughCommand(const GPassThroughCommand& other)
    : GCommand(other), data_(other.data_), length_(other.length_), target_(other.target_) {}

bool GPassThroughCommand::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GCommand::SameContent(other)) return false;
  const auto& command = static_cast<const GPassThroughCommand&>(other);
  if (length_ != command.length_ || target_ != command.target_ || OwnsData() != command.OwnsData()) return false;
  if (data_ == command.data_) return true;
  return data_ != nullptr && command.data_ != nullptr && std::equal(data_, data_ + length_, command.data_);
}

uint16_t GPassThroughCommand::DispatchTo(GPeripheral& peripheral) { return peripheral.PassThrough(*this); }

bool GPassThroughCommand::MakeOwnCopy() {
  if (OwnsData()) return true;
  std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[length_]);
  if (copy == nullptr) return false;
  std::copy_n(data_, length_, copy.get());
  owned_ = std::move(copy);
  data_ = owned_.get();
  return true;
}

// A restore lets go of the bytes held and owns the bytes it reads; a
// length of 0 leaves the command without bytes.
void GPassThroughCommand::Fields(GFieldArchive& archive) {
  GCommand::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  if (!archive.IsRestoring()) {
    if (archive.UInt16(length_) && archive.UInt16(target_) && length_ != 0) {
      archive.Bytes(const_cast<uint8_t*>(data_), length_);
    }
    return;
  }
  owned_.reset();
  data_ = nullptr;
  length_ = 0;
  uint16_t length = 0;
  if (!archive.UInt16(length) || !archive.UInt16(target_) || !archive.Holds(length, 1)) return;
  auto bytes = std::make_unique<uint8_t[]>(length);
  if (length == 0 || !archive.Bytes(bytes.get(), length)) return;
  owned_ = std::move(bytes);
  data_ = owned_.get();
  length_ = length;
}
