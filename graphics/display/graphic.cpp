#include "graphics/display/graphic.h"

#include "graphics/attributes/graphic_bundle.h"

namespace {

GState* Keyed(GGraphicBundle* state) {
  if (state != nullptr) state->SetKey(GGraphic::kStateKey);
  return state;
}

}  // namespace

GGraphic::GGraphic(GGraphicBundle* state, int32_t key) : GCommand(Keyed(state), key) {}

bool GGraphic::AcceptsState(GState* state) {
  return state != nullptr && state->IsKindOf(kGGraphicBundleClassID) && AcceptWithKey(state, kStateKey);
}

// Fields of the derived classes follow; a version this class does not read
// stops them all.
void GGraphic::Fields(GFieldArchive& archive) {
  GCommand::Fields(archive);
  archive.Version(FormatVersion());
}
