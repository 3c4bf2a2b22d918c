#include "model/store/record.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "foundation/binary_file.h"
#include "foundation/binary_stream.h"
#include "foundation/persistence.h"
#include "foundation/rw_factory.h"
#include "foundation/text_stream.h"
#include "model/objects/persistent_composite.h"
#include "model/store/persistent_composite_on_disk.h"
#include "model/store/record_composite.h"
#include "model/store/record_proxy.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_nodes.h"
#include "model/tests/on_disk_test_support.h"

namespace {

constexpr uint32_t kStart = 0x8888;
constexpr uint16_t kBackReference = 0xFFFF;

ValueNode NodeWith(uint32_t serialNumber, int32_t key) {
  ValueNode node(key);
  node.SetSerialNumber(serialNumber);
  return node;
}

// The GRecord part: version, class ID, serial number, key.
std::string RecordPart(RWClassID id, uint32_t serialNumber, int32_t key) {
  return Words({1}) + Half(id) + Words({serialNumber, static_cast<uint32_t>(key)});
}

// One record graph restored from bytes as an outermost restore, from a file
// or from a binary or text stream.
GRecordRef RestoreRecordGraph(StoreForm form, const std::string& bytes) {
  RWCollectable* read = nullptr;
  if (form == StoreForm::kFile) {
    const ScratchDirectory directory;
    const std::string path = directory.File("graph.bin");
    std::ofstream(path, std::ios::binary) << bytes;
    GBinaryFile file(path.c_str(), "rb");
    ReadObjectFromFile(file, read);
  } else {
    std::stringbuf channel(bytes, std::ios::in | std::ios::binary);
    std::unique_ptr<GVirtualInStream> stream;
    if (form == StoreForm::kText) {
      stream = std::make_unique<GTextInStream>(&channel);
    } else {
      stream = std::make_unique<GBinaryInStream>(&channel);
    }
    ReadObjectFromStream(*stream, read);
  }
  auto* record = dynamic_cast<GRecord*>(read);
  if (record == nullptr) delete read;
  return GRecordRef(record);
}

// The record tree as text: class, serial number, key, and the children.
std::string Describe(GRecord& record) {
  std::string text = std::to_string(record.ClassID()) + ":" + std::to_string(record.ObjectClassID()) + "/" +
                     std::to_string(record.SerialNumber()) + "/" + std::to_string(record.Key());
  if (auto* proxy = dynamic_cast<GRecordProxy*>(&record); proxy != nullptr && proxy->HeldObject() != nullptr) {
    text += "=" + std::to_string(proxy->HeldObject()->ClassID());
  }
  if (GDoubleLinkedList* children = record.ChildList()) {
    text += "(";
    for (GDoubleLink* link = children->Head()->next; link != children->Tail(); link = link->next) {
      text += Describe(*GRecordEntry::Of(link)->record) + " ";
    }
    text += ")";
  }
  return text;
}

TEST(Record, TheFactoryMakesEveryClassOfTheStore) {
  const RWClassID ids[] = {kMPersistentCompositeOnDiskClassID, kMPersistentCompositeOnDiskImpClassID, kGRecordClassID,
                           kGRecordProxyClassID, kGRecordCompositeClassID};
  for (RWClassID id : ids) {
    SCOPED_TRACE(id);
    const std::unique_ptr<RWCollectable> made(FactoryCreateByID(id));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->ClassID(), id);
  }
}

TEST(Record, KeyStringIsTheSerialNumberInLowercaseHex) {
  struct Case {
    const char* name;
    uint32_t serialNumber;
    const char* key;
  };
  const Case cases[] = {
      {"two_digits", 255, "ff"}, {"no_leading_zero", 31, "1f"},
      {"round", 0x10, "10"},     {"largest", 0xFFFFFFFF, "ffffffff"},
      {"one", 1, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(GRecord(NodeWith(c.serialNumber, 0)).KeyString().Data(), c.key);
  }
}

TEST(Record, StoredForms) {
  const ScratchDirectory directory;
  const std::string path = directory.File("nested.spl");
  const MPersistentCompositeOnDisk nested(WidePath(path), 0, 6);
  auto* twoChildren = new GRecordComposite(NodeWith(3, 30));
  twoChildren->AddRecord(new GRecord(NodeWith(4, 40)));
  twoChildren->AddRecord(new GRecord(NodeWith(5, 50)));
  const GRecordRef composite(twoChildren);
  const GRecordRef leaf(new GRecord(NodeWith(255, 7)));
  const GRecordRef emptyProxy(new GRecordProxy);
  const GRecordRef proxy(new GRecordProxy(nested));
  const std::string handleContents =
      Words({1, 6, nested.SerialNumber(), 1, 1, static_cast<uint32_t>(path.size())}) + path + Words({0});
  struct Case {
    const char* name;
    const GRecord* record;
    std::string contents;
  };
  const Case cases[] = {
      {"leaf", leaf.Get(), Half(783) + RecordPart(ValueNode::kID, 255, 7)},
      {"proxy_without_object", emptyProxy.Get(),
       Half(784) + RecordPart(0, 0, 0) + Words({1}) + Half(kBackReference) + Words({0})},
      {"proxy_of_a_store", proxy.Get(),
       Half(784) + RecordPart(781, nested.SerialNumber(), 6) + Words({1}) + Half(781) + handleContents},
      {"composite_of_two", composite.Get(),
       Half(785) + RecordPart(ValueNode::kID, 3, 30) + Words({1, 2}) + Half(783) + RecordPart(ValueNode::kID, 4, 40) +
           Half(783) + RecordPart(ValueNode::kID, 5, 50)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = SaveGraph(StoreForm::kFile, c.record);
    EXPECT_EQ(bytes, Words({kStart}) + c.contents);
    EXPECT_EQ(ObjectStoreSize(c.record), bytes.size());
  }
  EXPECT_EQ(leaf->StoredSize(), 14u);
}

TEST(Record, TreesRoundTripInEveryForm) {
  const ScratchDirectory directory;
  const MPersistentCompositeOnDisk nested(WidePath(directory.File("nested.spl")), 0, 2);
  auto* root = new GRecordComposite(NodeWith(10, 1));
  root->AddRecord(new GRecord(NodeWith(11, 2)));
  root->AddRecord(new GRecordProxy(nested));
  auto* inner = new GRecordComposite(NodeWith(12, 3));
  inner->AddRecord(new GRecord(NodeWith(13, 4)));
  inner->AddRecord(new GRecord(NodeWith(14, 5)));
  root->AddRecord(inner);
  const GRecordRef tree(root);
  EXPECT_EQ(tree->ObjectCount(), 4u);

  const GRecordRef copy(static_cast<GRecord*>(tree->Clone()));
  EXPECT_EQ(Describe(*copy), Describe(*tree));
  for (StoreForm form : {StoreForm::kFile, StoreForm::kBinary, StoreForm::kText}) {
    SCOPED_TRACE(FormName(form));
    const GRecordRef back = RestoreRecordGraph(form, SaveGraph(form, tree.Get()));
    ASSERT_TRUE(back);
    EXPECT_EQ(Describe(*back), Describe(*tree));
    EXPECT_EQ(back->ObjectCount(), 4u);
  }
}

// A stored record list names each of its records once; anything else
// stops the list where it appears, and nothing is freed twice or kept.
TEST(Record, StoredListsHoldOnlyRecordsOfTheirOwn) {
  const std::string head = Words({kStart}) + Half(785) + RecordPart(1, 1, 1) + Words({1});
  const std::string child = Half(783) + RecordPart(1, 2, 2);
  struct Case {
    const char* name;
    std::string bytes;
    uint32_t children;
  };
  const Case cases[] = {
      {"well_formed", head + Words({2}) + child + child, 2},
      {"record_named_again", head + Words({2}) + child + Half(kBackReference) + Words({2}), 1},
      {"list_names_itself", head + Words({1}) + Half(kBackReference) + Words({1}), 0},
      {"model_object_in_the_list", head + Words({2}) + Half(ValueNode::kID) + Words({1, 0, 9, 1, 0}) + child, 0},
      {"nil_in_the_list", head + Words({1}) + Half(kBackReference) + Words({0}), 0},
      {"count_beyond_the_input", head + Words({0x10000000}) + child, 0},
      {"unknown_version", Words({kStart}) + Half(785) + RecordPart(1, 1, 1) + Words({2, 1}) + child, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GRecordRef list = RestoreRecordGraph(StoreForm::kFile, c.bytes);
    ASSERT_TRUE(list);
    EXPECT_EQ(static_cast<GRecordComposite&>(*list).RecordCount(), c.children);
  }
}

// A model composite that refuses a record list, and then meets one of the
// list's records again, leaves the record to the list that owns it.
TEST(Record, AModelRestoreLeavesRecordsToTheirList) {
  const std::string composite = Words({1, 0, 5, 1});
  const std::string bytes = Words({kStart}) + Half(kMPersistentCompositeClassID) + composite + Words({2}) +
                            Half(kMPersistentCompositeClassID) + Words({1, 0, 6, 1, 1}) + Half(785) +
                            RecordPart(1, 1, 1) + Words({1, 1}) + Half(783) + RecordPart(1, 2, 2) +
                            Half(kBackReference) + Words({4});
  // A record named outside its list is refused, which fails the file as it
  // fails a stream; the composite that stood around it goes with it.
  bool good = true;
  const GObjectRef restored = RestoreGraph(StoreForm::kFile, bytes, good);
  ASSERT_TRUE(restored);
  EXPECT_FALSE(good);
  EXPECT_EQ(restored->NodeCount(), 1u);
}

TEST(Record, AProxyNeverMatchesAReplacementByIdentity) {
  const ScratchDirectory directory;
  MPersistentCompositeOnDisk outer(WidePath(directory.File("outer.spl")), 0, 0);
  const GObjectRef nested(new MPersistentCompositeOnDisk(WidePath(directory.File("inner.spl")), 0, 5));
  nested->AddShared(GObjectRef(new ValueNode(50)));
  outer.AddShared(nested);
  EXPECT_FALSE(outer.ReplaceShared(*nested, ValueNode(9)));
  EXPECT_TRUE(outer.SharedIfEqual(*nested));
  EXPECT_TRUE(outer.ReplaceSharedByKey(5, ValueNode(9)));
  EXPECT_EQ(outer.SharedIfKey(9)->ClassID(), ValueNode::kID);
}

}  // namespace
