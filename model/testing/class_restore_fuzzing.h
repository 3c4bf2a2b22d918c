#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "foundation/rw_collectable.h"
#include "foundation/testing/fuzz_seeds.h"
#include "model/objects/object_ref.h"

class MPersistentObject;

// What the restore fuzz targets of the libraries share. An input is one
// byte choosing the store form, one choosing the class among the library's
// list of class IDs, then a stored graph whose outermost object is restored
// in place into a new object of that class.

// One seed for each sample in each store form; every sample's class must be
// in the list.
GFuzzSeeds ClassRestoreSeeds(std::span<const RWClassID> ids, const std::vector<GObjectRef>& samples);

// Restores the input, then holds the object to what anything restored must
// stand: a stored size, a save as a graph and equality with itself. prepare,
// when given, runs on the restored object first. A fault aborts.
void FuzzClassRestore(std::span<const RWClassID> ids, const uint8_t* data, size_t size,
                      void (*prepare)(MPersistentObject&) = nullptr);
