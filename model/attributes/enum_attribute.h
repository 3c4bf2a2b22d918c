#pragma once

#include <cstdint>

#include "model/attributes/attribute_composite.h"

// A setting with a set of choices, one of them current: the children are
// the choices, all of one class (the class of the first choice taken), no
// two of equal content. The media pool derives from it.
//
// The current choice is always one of the children or none: whatever takes
// it out of the children (removal, replacement, a restore) moves it on, so
// it never points at an object the enumeration no longer holds.
//
// Stored part: the composite's, then version 1, the current choice as an
// object reference (a back-reference to its child, or the nil object) and
// the choice class ID (16-bit).
class GEnumAttribute : public GAttributeComposite {
 public:
  GEnumAttribute() = default;
  explicit GEnumAttribute(int32_t key) : GAttributeComposite(key) {}
  // Shares the choices and the current choice.
  GEnumAttribute(const GEnumAttribute& other) = default;

  MPersistentObject* CurrentChoice() const { return current_; }
  RWClassID ChoiceClassId() const { return choiceClassId_; }
  // Makes the choice equal to the object current and answers it; null,
  // changing nothing, when no choice is equal.
  MPersistentObject* SetCurrentChoice(const MPersistentObject& object);
  // Move the current choice to the next or previous child; it stays at the
  // last or first one, and when there is no current choice. Answer the
  // current choice.
  MPersistentObject* NextChoice();
  MPersistentObject* PreviousChoice();

  RWCollectable* NewInstance() const override { return new GEnumAttribute; }
  RWCollectable* Clone() const override { return new GEnumAttribute(*this); }
  RWClassID ClassID() const override { return kGEnumAttributeClassID; }
  bool IsKindOf(RWClassID id) const override {
    return id == kGEnumAttributeClassID || GAttributeComposite::IsKindOf(id);
  }
  // The composite's comparison, and current choices of equal content (or
  // none on both sides) and equal choice class IDs.
  bool SameContent(const MPersistentObject& other) const override;

  // Takes an attribute of the choice class that equals no choice held; the
  // first choice taken becomes current. Anything else is let go of.
  void AddChild(MPersistentObject* node) override;
  // When the current choice leaves, the first remaining choice becomes
  // current, or none.
  MPersistentObject* RemoveChild(const MPersistentObject* node) override;
  MPersistentObject* RemoveChildByKey(int32_t key) override;
  MPersistentObject* RemoveChildByClassId(RWClassID id) override;
  void RemoveAllChildren() override;
  // A replaced current choice hands its place to its replacement.
  bool ReplaceChildByKey(int32_t key, const MPersistentObject& object) override;
  bool ReplaceChildByClassId(RWClassID id, const MPersistentObject& object) override;
  bool ReplaceChild(const MPersistentObject* node, const MPersistentObject& object) override;
  bool ReplaceChildByKind(RWClassID id, const MPersistentObject& object) override;

  // A new enumeration of deep copies of the choices whose current choice is
  // the copy of this one's, with this one's choice class.
  MPersistentObject* DeepCopy() const override;

  // Every class derived from this one merges as an enumeration.
  RWClassID BaseTypeId() const override { return kGEnumAttributeClassID; }
  // Enumerations are not merged: nothing changes.
  int32_t UpdateFrom(GAttribute*) override { return 0; }
  // ApplyEnumAttribute of the target, then the changed flag is cleared.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  // The composite's part, then the current choice as an object reference
  // (a back-reference to the child it is) and the choice class ID. The
  // stored current choice is trusted only as one of the children just read;
  // whatever else it names, the repair that follows the restore moves it on.
  void Fields(GFieldArchive& archive) override;

 private:
  // Runs a replacement below and keeps the current choice among the
  // children: a replaced current choice is followed by the child now at its
  // index.
  template <typename Replace>
  bool KeepingCurrentChoice(const Replace& replace);
  // Keeps the current choice among the children: when it is no longer one,
  // the child at formerIndex (when there is one) or else the first child
  // becomes current, or none when no child is left.
  void RepairCurrentChoice(int32_t formerIndex);

  MPersistentObject* current_ = nullptr;
  RWClassID choiceClassId_ = 0;
};
