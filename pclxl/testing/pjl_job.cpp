#include "pclxl/testing/pjl_job.h"

#include "device/query/provider_registry.h"
#include "device/testing/test_device_tree.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "model/attributes/state.h"
#include "pclxl/pjl/pjl.h"
#include "pipeline/printer.h"

FixedClockFactory::FixedClockFactory() { GOSFactory::SetInstance(this); }

FixedClockFactory::~FixedClockFactory() = default;

int32_t FixedClockFactory::GetLocalTime(GDateTime& now, GDateTime& shifted, int16_t& minuteOffset) {
  if (!timeAvailable) return 0;
  now = time;
  minuteOffset = offset;
  shifted = ShiftDateTime(time, offset);
  return 1;
}

GOSVersion& FixedClockFactory::GetOSVersion(GOSVersion& record) {
  record = system;
  return record;
}

RegisteredMemoryProvider::RegisteredMemoryProvider() { GetProviderRegistry().Register(&provider_, "OutputChannel"); }

RegisteredMemoryProvider::~RegisteredMemoryProvider() { GetProviderRegistry().Unregister("OutputChannel"); }

std::string RegisteredMemoryProvider::Output() const {
  return provider_.LastOutput() != nullptr ? *provider_.LastOutput() : std::string();
}

uint16_t ProcessThrough(GPeripheral& stage, GCommand* command) {
  const GObjectRef held(command);
  const GObjectRef answer(stage.ProcessCommand(command));
  auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
  return error != nullptr ? error->GetErrorCode() : 0;
}

PJLJobStatus RunJob(PJLJob& job, const GPJL& writer) {
  GPrinter printer;
  TestGenerator generator(GPrinter::kGeneratorKey);
  generator.SetName(RWCString("TESTPDL"));
  printer.AddGenerator(generator);
  printer.AddWriter(writer);
  if (job.configuration != nullptr) printer.PJLChild()->SetConfiguration(job.configuration);
  GState* settings = job.settings != nullptr ? job.settings.release() : new GState(GPeripheral::kDocumentStateKey);
  PJLJobStatus status;
  status.start = ProcessThrough(
      printer, new GDocumentStart(job.documentName, job.alternateName, job.outputName, job.device, settings, 0));
  status.end = ProcessThrough(printer, new GDocumentEnd(job.documentName, job.outputName, 0));
  return status;
}
