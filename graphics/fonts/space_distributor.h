#pragma once

#include <cstdint>

// Extra spacing spread over the glyphs of one text run: a character
// distribution that every glyph draws from and a break distribution that
// the break (word-space) glyphs draw from. Each hands out its step per
// glyph plus remainder/divisor extra units, one unit at a time, evenly,
// to the number of glyphs it has left. Made per run by the code that
// applies the spacing and used up glyph by glyph.
class GSpaceDistributor {
 public:
  struct Distribution {
    int16_t step = 0;       // what every glyph receives
    int16_t error = 1;      // the running error term
    int16_t remainder = 0;  // extra units spread over the glyphs
    int16_t remaining = 0;  // glyphs still to receive spacing
    int16_t divisor = 0;
  };

  // Nothing to hand out; both flags set.
  GSpaceDistributor() = default;
  // With an unbounded character distribution every glyph gets exactly its
  // step, however many there are.
  GSpaceDistributor(const Distribution& character, const Distribution& breaks, bool characterUnbounded,
                    bool breakIncludesCharacter);
  virtual ~GSpaceDistributor() = default;

  // Whether either distribution has glyphs left and something to give.
  bool IsActive() const;
  // The spacing of the next glyph that is not a break.
  virtual int16_t NextCharacterSpacing();
  // The spacing of the next break glyph: the break distribution's, plus the
  // character spacing when breaks include it.
  virtual int16_t NextBreakSpacing();
  // The next share of a distribution; 0 once it has no glyphs left.
  virtual int16_t Step(Distribution& distribution);

 private:
  Distribution breaks_;
  Distribution character_;
  bool characterUnbounded_ = true;
  bool breakIncludesCharacter_ = true;
};
