#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "foundation/rw_collectable.h"
#include "foundation/testing/persistence_test_support.h"
#include "model/objects/object_ref.h"
#include "model/objects/persistent_object.h"

// Persistence helpers for tests of model classes.

// The store forms and SaveGraph are those of the class library's tests.

// 32-bit values as a binary file stores them (little-endian), back to back.
std::string Words(std::initializer_list<uint32_t> values);

// Restores one reference from bytes as an outermost restore. The result
// owns the object; good tells whether the input was still good afterwards
// (for a file: neither at its end nor failed).
GObjectRef RestoreGraph(StoreForm form, const std::string& bytes, bool& good);
GObjectRef RestoreGraph(StoreForm form, const std::string& bytes);

// An object's own fields alone, as its SaveContentsToFile writes them.
std::string SaveContentsToFileBytes(const RWCollectable& object);
// Runs the object's RestoreContentsFromFile on a file holding bytes and
// answers how many bytes it read.
uint32_t RestoreContentsFromFileBytes(RWCollectable& object, const std::string& bytes);
// The same through a binary virtual stream.
uint32_t RestoreContentsFromStreamBytes(RWCollectable& object, const std::string& bytes);

// The check every persistent model class passes: in every form, saving the
// object and restoring the bytes gives an object of the same class that
// Equals the original and keeps its serial number; in a binary file the
// bytes written are exactly the size ObjectStoreSize reports.
::testing::AssertionResult RoundTrips(const MPersistentObject& object);
