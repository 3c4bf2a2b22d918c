// Tests of the text graphic's shell: the objects it owns, copies, equality
// and the stored form.
#include "graphics/display/text_string_graphic.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "graphics/testing/text_part_fixtures.h"
#include "graphics/tests/stored_parts.h"
#include "model/testing/round_trip.h"

namespace {

// Where the objects start in a text graphic stored as the outermost object
// of a graph in a binary file (after the graph's start value and class ID,
// the root and command parts, the nil state and two version words), and how
// long the fields after them are.
constexpr size_t kObjectsOffset = 6 + 16 + 6 + 8;
constexpr size_t kTrailingFieldsSize = 10;

// The stored reference to an object that is the graphic's only one besides
// two nil objects.
std::string ReferenceTo(GTextStringGraphic& graphic, MPersistentObject* object) {
  graphic.SetFont(object);
  const std::string bytes = SaveGraph(StoreForm::kFile, &graphic);
  return bytes.substr(kObjectsOffset, bytes.size() - kObjectsOffset - 2 * kNilObject.size() - kTrailingFieldsSize);
}

// A graphic stored with the given font, text and escapements references and
// trailing fields.
std::string Stored(GTextStringGraphic& graphic, const std::string& objects, const std::string& trailing) {
  graphic.SetFont(nullptr);
  return SaveGraph(StoreForm::kFile, &graphic).substr(0, kObjectsOffset) + objects + trailing;
}

TEST(TextStringGraphic, AnEmptyGraphicStoresNilObjectsAndZeros) {
  GTextStringGraphic text;
  EXPECT_EQ(text.GetFont(), nullptr);
  EXPECT_EQ(text.GetText(), nullptr);
  EXPECT_EQ(text.GetEscapements(), nullptr);
  const std::string stored = SaveGraph(StoreForm::kFile, &text);
  EXPECT_EQ(stored, Graph(kGTextStringGraphicClassID, Words({1, 0, text.SerialNumber(), 1}) + kNilObject +
                                                          Words({1, 1}) + kNilObject + kNilObject + kNilObject +
                                                          Shorts({0}) + Words({0}) + Shorts({0, 0})));
  EXPECT_TRUE(RoundTrips(text));
}

TEST(TextStringGraphic, RestoresItsObjectsAndFields) {
  GTextStringGraphic source;
  const std::string font = ReferenceTo(source, new TestFont(1));
  const std::string text = ReferenceTo(source, new TestTextString(2));
  const std::string escapements = ReferenceTo(source, new TestTextEscapements(3));
  const std::string stored =
      Stored(source, font + text + escapements, Shorts({0xFFFB}) + Words({0x01020304}) + Shorts({10, 0xFFF6}));

  const GObjectRef restored = RestoreGraph(StoreForm::kFile, stored);
  ASSERT_TRUE(restored);
  const auto& graphic = static_cast<const GTextStringGraphic&>(*restored);
  ASSERT_NE(graphic.GetFont(), nullptr);
  ASSERT_NE(graphic.GetText(), nullptr);
  ASSERT_NE(graphic.GetEscapements(), nullptr);
  EXPECT_EQ(static_cast<TestFont*>(graphic.GetFont())->Value(), 1);
  EXPECT_EQ(static_cast<TestTextString*>(graphic.GetText())->Value(), 2);
  EXPECT_EQ(static_cast<TestTextEscapements*>(graphic.GetEscapements())->Value(), 3);
  EXPECT_EQ(graphic.GetTotalAdvance(), -5);
  EXPECT_EQ(graphic.GetOptions(), 0x01020304U);
  EXPECT_EQ(graphic.GetPosition(), (GPoint{10, -10}));
  EXPECT_TRUE(RoundTrips(graphic));

  // A copy holds copies of all three.
  const std::unique_ptr<GTextStringGraphic> clone(static_cast<GTextStringGraphic*>(graphic.Clone()));
  EXPECT_NE(clone->GetFont(), graphic.GetFont());
  EXPECT_NE(clone->GetText(), graphic.GetText());
  EXPECT_NE(clone->GetEscapements(), graphic.GetEscapements());
  EXPECT_EQ(clone->GetOptions(), graphic.GetOptions());
  EXPECT_TRUE(clone->SameContent(graphic));
}

// Each object must be of its kind: another in its place is not kept.
TEST(TextStringGraphic, AStoredObjectOfAnotherKindIsRefused) {
  GTextStringGraphic source;
  const std::string text = ReferenceTo(source, new TestTextString(2));
  const std::string font = ReferenceTo(source, new TestFont(1));
  const std::string trailing = Shorts({0}) + Words({0}) + Shorts({0, 0});
  struct Case {
    const char* name;
    std::string objects;
  };
  const Case cases[] = {
      {"text_as_font", text + kNilObject + kNilObject},
      {"font_as_text", kNilObject + font + kNilObject},
      {"font_as_escapements", kNilObject + kNilObject + font},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    GTextStringGraphic restored;
    RestoreInPlace(restored, Stored(source, c.objects, trailing).substr(6));
    EXPECT_EQ(restored.GetFont(), nullptr);
    EXPECT_EQ(restored.GetText(), nullptr);
    EXPECT_EQ(restored.GetEscapements(), nullptr);
  }
}

TEST(TextStringGraphic, SetFontReplacesTheFont) {
  GTextStringGraphic text;
  auto* first = new TestFont(1);
  text.SetFont(first);
  EXPECT_EQ(text.GetFont(), first);
  // The first font goes with its last owner (the address sanitizer reports
  // a leak otherwise).
  text.SetFont(new TestFont(2));
  EXPECT_EQ(static_cast<TestFont*>(text.GetFont())->Value(), 2);
}

TEST(TextStringGraphic, Equality) {
  GTextStringGraphic a;
  GTextStringGraphic b;
  EXPECT_TRUE(a.SameContent(b));
  a.SetFont(new TestFont(1));
  EXPECT_FALSE(a.SameContent(b));
  EXPECT_FALSE(b.SameContent(a));
  b.SetFont(new TestFont(1));
  EXPECT_TRUE(a.SameContent(b));
  b.SetFont(new TestFont(2));
  EXPECT_FALSE(a.SameContent(b));
  b.SetFont(a.GetFont());
  EXPECT_TRUE(a.SameContent(b));
  b.SetKey(3);
  EXPECT_FALSE(a.SameContent(b));
}

}  // namespace
