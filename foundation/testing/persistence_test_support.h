#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "foundation/binary_file.h"
#include "foundation/rw_collectable.h"
#include "foundation/virtual_stream.h"

// The encodings a graph can be stored in.
enum class StoreForm { kFile, kBinary, kEndianLittle, kEndianBig, kText };
inline constexpr StoreForm kAllStoreForms[] = {StoreForm::kFile, StoreForm::kBinary, StoreForm::kEndianLittle,
                                               StoreForm::kEndianBig, StoreForm::kText};

const char* FormName(StoreForm form);

// Saves a reference to object (null as the nil object) as one outermost
// save, and answers the bytes.
std::string SaveGraph(StoreForm form, const RWCollectable* object);
// The same, telling whether the output is still good afterwards.
std::string SaveGraph(StoreForm form, const RWCollectable* object, bool& good);

// Runs a restore on a file or a stream of the form that holds the bytes and
// answers what it answers. good tells whether the input is still good
// afterwards (for a file: neither at its end nor failed).
RWCollectable* RestoreFrom(StoreForm form, const std::string& bytes, bool& good,
                           const std::function<RWCollectable*(GBinaryFile&)>& fromFile,
                           const std::function<RWCollectable*(GVirtualInStream&)>& fromStream);

// Restores one reference from the bytes as an outermost restore.
RWCollectable* RestoreCollectable(StoreForm form, const std::string& bytes, bool& good);
// The same into an existing object.
RWCollectable* RestoreCollectableInPlace(StoreForm form, const std::string& bytes, RWCollectable* object, bool& good);
