#pragma once

#include <cstdint>
#include <memory>

#include "graphics/display/graphic_composite.h"
#include "graphics/rectangle.h"

// A path: its children, in drawing order, are the shapes and nested paths
// that make it up. A path hides its children from generic traversal (it is
// no composite to the tree operations and iterates over nothing); the code
// that draws it walks Children() and dispatches each child. The closed
// flag of a nested path tells the generator to close that sub-path after
// its pieces.
//
// Stored part after the graphic composite's: version 1; the closed flag
// (32-bit).
class GPathGraphic : public GGraphicComposite {
 public:
  GPathGraphic() = default;
  GPathGraphic(GGraphicBundle* state, int32_t key) : GGraphicComposite(state, key) {}
  // Shares every child of the other.
  GPathGraphic(const GPathGraphic& other) = default;

  void SetClosed() { closed_ = true; }
  bool IsClosed() const { return closed_; }
  // The smallest rectangle holding the bounds of every shape and nested
  // path among the children; all zeros when there is none.
  void GetBounds(GRectangle& bounds);

  RWCollectable* NewInstance() const override { return new GPathGraphic; }
  RWCollectable* Clone() const override { return new GPathGraphic(*this); }
  RWClassID ClassID() const override { return kGPathGraphicClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPathGraphicClassID || GGraphicComposite::IsKindOf(id); }
  // The same class and closed flag, and agreeing composite parts.
  bool SameContent(const MPersistentObject& other) const override;

  MPersistentObject* AsComposite() override { return nullptr; }
  std::unique_ptr<GIterator> NewChildIterator() override { return GCommand::NewChildIterator(); }
  // DrawPath of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  bool closed_ = false;
};
