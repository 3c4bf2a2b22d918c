#include "graphics/commands/page_command.h"

#include "foundation/class_registrar.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/state.h"

namespace {

const GClassRegistrar startRegistrar(CreateCollectable<GPageStart>, kGPageStartClassID, kGPageStartClassName);
const GClassRegistrar endRegistrar(CreateCollectable<GPageEnd>, kGPageEndClassID, kGPageEndClassName);

}  // namespace

GPageCommand::GPageCommand(int32_t key) : GFieldlessCommand(StateWithKey(nullptr, kStateKey), key) {}

GPageCommand::GPageCommand(GState* state, int32_t key) : GFieldlessCommand(StateWithKey(state, kStateKey), key) {}

bool GPageCommand::AcceptsState(GState* state) { return AcceptWithKey(state, kStateKey); }

uint16_t GPageStart::DispatchTo(GPeripheral& peripheral) { return peripheral.PageStart(*this); }

void GPageStart::Fields(GFieldArchive& archive) {
  GPageCommand::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}

uint16_t GPageEnd::DispatchTo(GPeripheral& peripheral) { return peripheral.PageEnd(*this); }

void GPageEnd::Fields(GFieldArchive& archive) {
  GPageCommand::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
