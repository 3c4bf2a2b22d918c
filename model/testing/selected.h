#pragma once

#include <memory>

#include "model/objects/persistent_object.h"

// Takes ownership of a selection and answers it as the composite type it
// must be; null (and the selection deleted) when it is of another type.
template <typename Composite>
std::unique_ptr<Composite> Selected(MPersistentObject* selection) {
  std::unique_ptr<MPersistentObject> owned(selection);
  auto* typed = dynamic_cast<Composite*>(owned.get());
  if (typed != nullptr) owned.release();
  return std::unique_ptr<Composite>(typed);
}
