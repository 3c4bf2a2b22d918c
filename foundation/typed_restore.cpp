#include "foundation/typed_restore.h"

#include "foundation/rw/rwstore.h"

namespace typed_restore {

bool IsOutermost() {
  // A guard made with no table in place makes one of its own, and drops it
  // again at once.
  const GReadTableGuard probe;
  return probe.OwnsTable();
}

}  // namespace typed_restore
