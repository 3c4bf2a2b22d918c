#include "graphics/fonts/space_distributor.h"

namespace {

bool HasSomethingToGive(const GSpaceDistributor::Distribution& distribution) {
  return distribution.remaining != 0 && (distribution.step != 0 || distribution.remainder != 0);
}

}  // namespace

GSpaceDistributor::GSpaceDistributor(const Distribution& character, const Distribution& breaks, bool characterUnbounded,
                                     bool breakIncludesCharacter)
    : breaks_(breaks),
      character_(character),
      characterUnbounded_(characterUnbounded),
      breakIncludesCharacter_(breakIncludesCharacter) {
  if (characterUnbounded_) {
    character_.error = 1;
    character_.remainder = 0;
    character_.remaining = 1;
    character_.divisor = 1;
  }
}

bool GSpaceDistributor::IsActive() const { return HasSomethingToGive(character_) || HasSomethingToGive(breaks_); }

int16_t GSpaceDistributor::NextCharacterSpacing() {
  const int16_t remaining = character_.remaining;
  const int16_t spacing = Step(character_);
  if (characterUnbounded_) character_.remaining = remaining;
  return spacing;
}

int16_t GSpaceDistributor::NextBreakSpacing() {
  const int16_t character = breakIncludesCharacter_ ? NextCharacterSpacing() : int16_t{0};
  return static_cast<int16_t>(character + Step(breaks_));
}

// The error term runs down by the remainder per glyph; each time it is
// used up it is refilled by the divisor and the glyph gets one unit more.
int16_t GSpaceDistributor::Step(Distribution& distribution) {
  if (distribution.remaining == 0) return 0;
  int16_t spacing = distribution.step;
  distribution.error = static_cast<int16_t>(distribution.error - distribution.remainder);
  if (distribution.error <= 0) {
    distribution.error = static_cast<int16_t>(distribution.error + distribution.divisor);
    spacing = static_cast<int16_t>(spacing + 1);
  }
  distribution.remaining = static_cast<int16_t>(distribution.remaining - 1);
  return spacing;
}
