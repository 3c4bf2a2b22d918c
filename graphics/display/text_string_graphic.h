#pragma once

#include <cstdint>
#include <span>

#include "graphics/display/graphic.h"
#include "graphics/fonts/code_block.h"
#include "graphics/point.h"
#include "model/objects/object_ref.h"

class GFont;
class GSpaceDistributor;
class GTextEscapements;
class GTextString;

// A run of text drawn at a position: the font it is set in, the text (its
// character codes with their width and encoding) and the escapements (the
// advance of each character in x and y), each an object the graphic owns.
// The total advance is the sum of the advances; the options are handed to
// the generators as they came.
//
// Stored part after the graphic's: version 1; the font, the text and the
// escapements, each as an object reference (nil when absent); the total
// advance (16-bit); the options (32-bit); the position x, y (16-bit each).
// A restore keeps each object only when it is of its kind.
class GTextStringGraphic : public GGraphic {
 public:
  // No font, text or escapements.
  GTextStringGraphic() = default;
  // Glyph codes (16-bit, in the encoding) placed at device positions, one
  // per code: the text starts at the first position and each advance is
  // the step to the next position (the last one 0). An axis along which
  // every position is the same gets no advances. Takes over the font.
  GTextStringGraphic(GFont* font, GCodeBlock<uint16_t> codes, int32_t encoding, std::span<const GPoint> positions,
                     uint32_t options, GGraphicBundle* state);
  // Text as the application gave it: length units of the encoding (bytes,
  // or 16-bit units for Unicode and glyph indices) and, optionally, the
  // advance of each unit; without advances the font measures the codes.
  // Double-byte encodings pair a lead byte with the byte after it into one
  // code, whose advance is the sum of both bytes'. The distributor, when
  // active, adds its spacing to the advances. The position is packed, x in
  // the low 16 bits. The advances are turned by the font's escapement
  // angle. Borrows the units and advances where no conversion is needed
  // (OwnData copies them). Takes over the font.
  GTextStringGraphic(GFont* font, int32_t encoding, const void* units, const int16_t* advances, uint32_t options,
                     uint32_t length, uint32_t position, GSpaceDistributor* distributor, GGraphicBundle* state);
  // Holds clones of the other's font, text and escapements.
  GTextStringGraphic(const GTextStringGraphic& other);

  GFont* GetFont() const;
  GTextString* GetText() const;
  GTextEscapements* GetEscapements() const;
  int16_t GetTotalAdvance() const { return totalAdvance_; }
  uint32_t GetOptions() const { return options_; }
  const GPoint& GetPosition() const { return position_; }
  // Takes over the font (which may be null) in place of the one held.
  void SetFont(GFont* font);

  // 1 when a 16-bit code of the text lies in its encoding's user-defined
  // (end-user character) area, else 0.
  int32_t ContainsUserDefinedCode() const;
  // 1 when a code of the text is in the list (a 16-bit count, then that
  // many codes in ascending order), else 0; no list answers 0.
  int32_t ContainsAnyCode(const uint16_t* list) const;

  // Has the font prepare the text, then copies borrowed codes and advances.
  void OwnData() override;

  RWCollectable* NewInstance() const override { return new GTextStringGraphic; }
  RWCollectable* Clone() const override { return new GTextStringGraphic(*this); }
  RWClassID ClassID() const override { return kGTextStringGraphicClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGTextStringGraphicClassID || GGraphic::IsKindOf(id); }
  // The same class, agreeing command parts, equal total advances and
  // positions, and font, text and escapements each the same object or both
  // present with equal content.
  bool SameContent(const MPersistentObject& other) const override;
  // DrawTextString of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  // Saving (and sizing) first has the font prepare the text.
  void Fields(GFieldArchive& archive) override;

 private:
  // The font's preparation of the text for storage, in the mode its kind
  // asks for.
  void PrepareText() const;

  GObjectRef font_;
  GObjectRef text_;
  GObjectRef escapements_;
  int16_t totalAdvance_ = 0;
  uint32_t options_ = 0;
  GPoint position_;
};
