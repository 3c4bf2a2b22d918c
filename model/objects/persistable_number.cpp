#include "model/objects/persistable_number.h"

#include "foundation/class_registrar.h"

template class GPersistableNumber<int32_t>;
template class GPersistableNumber<uint32_t>;

namespace {

const GClassRegistrar longRegistrar(CreateCollectable<GPersistableLong>, kGPersistableLongClassID,
                                    kGPersistableLongClassName);
const GClassRegistrar unsignedRegistrar(CreateCollectable<GPersistableULong>, kGPersistableULongClassID,
                                        kGPersistableULongClassName);

}  // namespace
