#pragma once

#include <cstdint>

#include "graphics/display/graphic.h"
#include "graphics/point.h"
#include "model/objects/object_ref.h"

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
  // Holds clones of the other's font, text and escapements.
  GTextStringGraphic(const GTextStringGraphic& other);

  MPersistentObject* GetFont() const { return font_.Get(); }
  MPersistentObject* GetText() const { return text_.Get(); }
  MPersistentObject* GetEscapements() const { return escapements_.Get(); }
  int16_t GetTotalAdvance() const { return totalAdvance_; }
  uint32_t GetOptions() const { return options_; }
  const GPoint& GetPosition() const { return position_; }
  // Takes over the font (which may be null) in place of the one held.
  void SetFont(MPersistentObject* font) { font_ = font; }

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
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef font_;
  GObjectRef text_;
  GObjectRef escapements_;
  int16_t totalAdvance_ = 0;
  uint32_t options_ = 0;
  GPoint position_;
};
