#pragma once

#include <cstdint>

#include "graphics/commands/command.h"

class GGraphicBundle;

// A command that paints something: a path, a shape, an image or a run of
// text. Its state is always the graphic bundle it is painted with, under
// the graphic state's key; a graphic takes no other state (a refused one
// that nobody else owns is deleted, and the graphic keeps the state it
// had).
//
// Stored part after the command's: version 1, no fields.
class GGraphic : public GCommand {
 public:
  // The key of the graphic state within a stage's state.
  static constexpr int32_t kStateKey = 244;

  bool IsKindOf(RWClassID id) const override { return id == kGGraphicClassID || GCommand::IsKindOf(id); }

 protected:
  GGraphic() = default;
  // Holds the bundle (which may be null), giving it the graphic state's key.
  GGraphic(GGraphicBundle* state, int32_t key);
  GGraphic(const GGraphic& other) = default;

  // Only a graphic bundle, which gets the graphic state's key.
  bool AcceptsState(GState* state) override;

  void Fields(GFieldArchive& archive) override;
};
