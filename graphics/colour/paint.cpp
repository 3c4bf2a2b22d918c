#include "graphics/colour/paint.h"

void GPaint::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  archive.Version(FormatVersion());
}

bool SamePaint(const GPaint* left, const GPaint* right) {
  if (left == nullptr || right == nullptr) return left == right;
  return left->SameContent(*right);
}
