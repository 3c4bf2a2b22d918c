// Tests of the field archive: the stored form of each field kind, classes
// that read older versions of their own part, and where a restore stops.
#include "model/objects/field_archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "foundation/class_registrar.h"
#include "foundation/testing/persistence_test_support.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_composite.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"

namespace {

// One field of every kind. Version 2 added the flag, which a version 1
// part lacks.
class EveryField : public MPersistentObject {
 public:
  static constexpr RWClassID kID = 0x7E50;

  RWCollectable* NewInstance() const override { return new EveryField; }
  RWCollectable* Clone() const override { return new EveryField(*this); }
  RWClassID ClassID() const override { return kID; }
  bool SameContent(const MPersistentObject& other) const override {
    const auto* same = SameClassAndKey<EveryField>(other);
    return same != nullptr && same->i8 == i8 && same->u8 == u8 && same->i16 == i16 && same->u16 == u16 &&
           same->i32 == i32 && same->u32 == u32 && same->flag == flag && same->text == text && same->wide == wide &&
           same->block == block && SameObject(same->owned.Get(), owned.Get()) &&
           same->children.Count() == children.Count();
  }

  int8_t i8 = -2;
  uint8_t u8 = 0xFE;
  int16_t i16 = -3;
  uint16_t u16 = 0xBEEF;
  int32_t i32 = -4;
  uint32_t u32 = 0xDEADBEEF;
  bool flag = true;
  RWCString text = "ab";
  RWWString wide = RWWString("cd");
  std::vector<uint8_t> block = {7, 8, 9};
  GObjectRef owned;
  GCountedPtrVector children;
  uint32_t versionRead = 0;

 protected:
  void Fields(GFieldArchive& archive) override {
    MPersistentObject::Fields(archive);
    if (!archive.Version(2, 1)) return;
    versionRead = archive.StoredVersion();
    archive.Int8(i8);
    archive.UInt8(u8);
    archive.Int16(i16);
    archive.UInt16(u16);
    archive.Int32(i32);
    archive.UInt32(u32);
    if (archive.StoredVersion() >= 2) archive.Bool32(flag);
    archive.String(text);
    archive.WideString(wide);
    uint32_t length = static_cast<uint32_t>(block.size());
    if (!archive.Count(length, 1)) return;
    if (archive.IsRestoring()) block.assign(length, 0);
    archive.Bytes(block.data(), length);
    archive.Object(owned);
    archive.Children(children);
  }

 private:
  static bool SameObject(const MPersistentObject* a, const MPersistentObject* b) {
    return a == nullptr || b == nullptr ? a == b : a->SameContent(*b);
  }
};

const GClassRegistrar everyFieldRegistrar(CreateCollectable<EveryField>, EveryField::kID, "EveryField");

std::string Bytes(std::initializer_list<uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

// The fields of EveryField after its version word, as a file holds them,
// up to the object reference.
std::string PlainFields(bool withFlag) {
  return Bytes({0xFE, 0xFE, 0xFD, 0xFF, 0xEF, 0xBE}) + Words({0xFFFFFFFC, 0xDEADBEEF}) + (withFlag ? Words({1}) : "") +
         Words({2}) + "ab" + Words({2}) + Bytes({'c', 0, 'd', 0}) + Words({3}) + Bytes({7, 8, 9});
}

TEST(FieldArchive, EveryFieldKindKeepsItsStoredForm) {
  EveryField object;
  object.SetKey(5);
  object.SetSerialNumber(6);
  object.owned = new ValueNode(1, 2);
  object.children.Append(GCountedPtr(new ValueNode(3, 4)));
  object.children.Append(GCountedPtr());

  const std::string stored = SaveContentsToFileBytes(object);
  const std::string head = Words({1, 5, 6, 2}) + PlainFields(true);
  ASSERT_GT(stored.size(), head.size());
  EXPECT_EQ(stored.substr(0, head.size()), head);
  EXPECT_EQ(object.StoredSize(), stored.size());
  EXPECT_TRUE(RoundTrips(object));
}

TEST(FieldArchive, AnOlderVersionThatTheClassReadsLacksItsNewerFields) {
  EveryField source;
  source.u32 = 17;
  std::string stored = SaveContentsToFileBytes(source);
  // Version 1 (after the root part) and no flag (after the six integers).
  const size_t versionAt = 12;
  const size_t flagAt = versionAt + 4 + 14;
  stored[versionAt] = 1;
  stored.erase(flagAt, 4);

  EveryField restored;
  restored.flag = false;
  restored.u32 = 0;
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, stored), stored.size());
  EXPECT_EQ(restored.versionRead, 1u);
  EXPECT_FALSE(restored.flag);
  EXPECT_EQ(restored.u32, 17u);
  EXPECT_EQ(restored.block, (std::vector<uint8_t>{7, 8, 9}));
}

// A version word a class does not read stops the restore: neither its own
// fields nor those of the classes derived from it are read.
TEST(FieldArchive, AnUnknownVersionStopsTheWholeRestore) {
  struct Case {
    const char* name;
    uint32_t versionAt;
  };
  const Case cases[] = {
      {"root_part", 0},
      {"attribute_part", 12},
      {"value_part", 20},
  };
  const GValueAttribute source(77, 4);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string stored = SaveContentsToFileBytes(source);
    stored[c.versionAt] = 9;
    GValueAttribute inFile(5, 8);
    EXPECT_EQ(RestoreContentsFromFileBytes(inFile, stored), c.versionAt + 4);
    EXPECT_EQ(inFile.Value(), 5);
    GValueAttribute inStream(5, 8);
    EXPECT_EQ(RestoreContentsFromStreamBytes(inStream, stored), c.versionAt + 4);
    EXPECT_EQ(inStream.Value(), 5);
  }
}

// An object that keeps a composite inside itself, stored in place.
class EmbeddingNode : public MPersistentObject {
 public:
  static constexpr RWClassID kID = 0x7E51;

  RWCollectable* NewInstance() const override { return new EmbeddingNode; }
  RWClassID ClassID() const override { return kID; }

  MPersistentComposite inside{0};

 protected:
  void Fields(GFieldArchive& archive) override {
    MPersistentObject::Fields(archive);
    if (!archive.Version(1)) return;
    archive.Embedded(inside);
  }
};

const GClassRegistrar embeddingRegistrar(CreateCollectable<EmbeddingNode>, EmbeddingNode::kID, "EmbeddingNode");

// A reference from inside the embedded part back to the object that holds
// it would make the object own itself: the restore refuses it.
TEST(FieldArchive, AnEmbeddedPartCannotMakeItsHolderOwnItself) {
  GObjectRef cyclic(new EmbeddingNode);
  auto& holder = static_cast<EmbeddingNode&>(*cyclic);
  holder.inside.AddChild(&holder);
  GObjectRef neighbour(new ValueNode(1, 2));
  holder.inside.AddChild(neighbour.Get());
  for (const StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    const std::string stored = SaveGraph(form, &holder);
    GObjectRef restored(new EmbeddingNode);
    bool good = true;
    RestoreCollectableInPlace(form, stored, restored.Get(), good);
    EXPECT_FALSE(good);
    auto& inside = static_cast<EmbeddingNode&>(*restored).inside;
    for (uint32_t i = 0; i < inside.EntryCount(); ++i) EXPECT_NE(inside.Children()[i].Get(), restored.Get());
  }
  holder.inside.RemoveAllChildren();
}

// Both composites keep a stored nil child in its place, so that saving
// again writes what was read.
TEST(FieldArchive, CompositesKeepANilChildInItsPlace) {
  MPersistentComposite plain(1);
  GAttributeComposite attributes(1);
  MPersistentObject* composites[] = {&plain, &attributes};
  for (MPersistentObject* composite : composites) {
    SCOPED_TRACE(composite->ClassID());
    const std::string empty = SaveContentsToFileBytes(*composite);
    // The count (the last word) becomes 1, followed by the nil object.
    const std::string withNil = empty.substr(0, empty.size() - 4) + Words({1}) + SaveContentsToFileBytes(GCountedPtr());
    ASSERT_EQ(RestoreContentsFromFileBytes(*composite, withNil), withNil.size());
    EXPECT_EQ(composite->EntryCount(), 1u);
    EXPECT_EQ(SaveContentsToFileBytes(*composite), withNil);
  }
}

// A part that refuses a negative count, as classes do with values they
// cannot hold.
class RefusingNode : public MPersistentObject {
 public:
  static constexpr RWClassID kID = 0x7E52;

  RWCollectable* NewInstance() const override { return new RefusingNode; }
  RWClassID ClassID() const override { return kID; }

  int32_t count = 1;

 protected:
  void Fields(GFieldArchive& archive) override {
    MPersistentObject::Fields(archive);
    if (!archive.Version(1) || !archive.Int32(count)) return;
    if (archive.IsRestoring() && count < 0) archive.FailInput();
  }
};

const GClassRegistrar refusingRegistrar(CreateCollectable<RefusingNode>, RefusingNode::kID, "RefusingNode");

// A refused value fails the input in every form, binary files included, so
// that whoever reads a file on learns that the object is not whole.
TEST(FieldArchive, ARefusedValueFailsEveryKindOfInput) {
  RefusingNode refused;
  refused.count = -1;
  RefusingNode accepted;
  for (const StoreForm form : kAllStoreForms) {
    SCOPED_TRACE(FormName(form));
    bool good = true;
    delete RestoreCollectable(form, SaveGraph(form, &refused), good);
    EXPECT_FALSE(good);
    good = true;
    delete RestoreCollectable(form, SaveGraph(form, &accepted), good);
    EXPECT_TRUE(good);
  }
}

}  // namespace
