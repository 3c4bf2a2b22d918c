#include "graphics/commands/job_commands.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"

namespace {

const GClassRegistrar abortRegistrar(CreateCollectable<GJobAbort>, kGJobAbortClassID, kGJobAbortClassName);
const GClassRegistrar noRegistrar(CreateCollectable<GNoCommand>, kGNoCommandClassID, kGNoCommandClassName);
const GClassRegistrar nullRegistrar(CreateCollectable<GNullCommand>, kGNullCommandClassID, kGNullCommandClassName);

}  // namespace

uint16_t GJobAbort::DispatchTo(GPeripheral& peripheral) { return peripheral.JobAbort(*this); }
