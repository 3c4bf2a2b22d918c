#pragma once

#include <cstdint>

#include "foundation/class_registrar.h"
#include "model/objects/field_archive.h"
#include "model/objects/persistent_object.h"

// Stand-ins for the font, the text and the escapements of a text graphic
// until their own classes exist: each answers IsKindOf for the class whose
// place it takes and holds one 16-bit value that makes its content.
//
// Stored part after the root's: version 1, the value (16-bit).
template <RWClassID kID, RWClassID kKind>
class TextPartFixture : public MPersistentObject {
 public:
  explicit TextPartFixture(int16_t value = 0) : value_(value) {}
  TextPartFixture(const TextPartFixture& other) = default;

  int16_t Value() const { return value_; }

  RWCollectable* NewInstance() const override { return new TextPartFixture; }
  RWCollectable* Clone() const override { return new TextPartFixture(*this); }
  RWClassID ClassID() const override { return kID; }
  bool IsKindOf(RWClassID id) const override { return id == kID || id == kKind || MPersistentObject::IsKindOf(id); }
  bool SameContent(const MPersistentObject& other) const override {
    const auto* part = SameClassAndKey<TextPartFixture>(other);
    return part != nullptr && part->value_ == value_;
  }

 protected:
  void Fields(GFieldArchive& archive) override {
    MPersistentObject::Fields(archive);
    if (!archive.Version(FormatVersion())) return;
    archive.Int16(value_);
  }

 private:
  int16_t value_;
};

using TestFont = TextPartFixture<0x7E90, kGFontClassID>;
using TestTextString = TextPartFixture<0x7E91, kGTextStringClassID>;
using TestTextEscapements = TextPartFixture<0x7E92, kGTextEscapementsClassID>;

inline const GClassRegistrar kTestFontRegistrar(CreateCollectable<TestFont>, 0x7E90, "TestFont");
inline const GClassRegistrar kTestTextStringRegistrar(CreateCollectable<TestTextString>, 0x7E91, "TestTextString");
inline const GClassRegistrar kTestTextEscapementsRegistrar(CreateCollectable<TestTextEscapements>, 0x7E92,
                                                           "TestTextEscapements");
