#include "graphics/attributes/joint.h"

#include "foundation/class_registrar.h"
#include "graphics/float_field.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar jointRegistrar(CreateCollectable<GJoint>, kGJointClassID, kGJointClassName);
const GClassRegistrar miterJointRegistrar(CreateCollectable<GMiterJoint>, kGMiterJointClassID, kGMiterJointClassName);

}  // namespace

bool GJoint::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* joint = SameClassAndKey<GJoint>(other);
  return joint != nullptr && joint->kind_ == kind_;
}

uint16_t GJoint::SendTo(GPeripheral& target) { return target.ApplyJoint(*this); }

void GJoint::Fields(GFieldArchive& archive) {
  GGraphicStateAttribute::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int32(kind_);
}

GMiterJoint::GMiterJoint(float limit, int32_t key) : GJoint(kNone, key), limit_(limit) { SetKind(kMiter); }

bool GMiterJoint::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* joint = dynamic_cast<const GMiterJoint*>(&other);
  return joint != nullptr && GJoint::SameContent(other) && joint->limit_ == limit_;
}

uint16_t GMiterJoint::SendTo(GPeripheral& target) { return target.ApplyMiterJoint(*this); }

void GMiterJoint::Fields(GFieldArchive& archive) {
  GJoint::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  FloatField(archive, limit_);
}
