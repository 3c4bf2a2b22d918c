// Tests of the error, pass-through, header and empty commands: their
// accessors, comparisons and stored forms.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "graphics/commands/download_face.h"
#include "graphics/commands/download_header_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/tests/command_bytes.h"

namespace {

TEST(ErrorCommand, CarriesACodeAndSharesTheFailedCommand) {
  GObjectRef failed(new GPageStart(3));
  GErrorCommand error(7, failed.Get(), 0);
  EXPECT_EQ(failed->ReferenceCount(), 1);
  EXPECT_EQ(error.ExchangeErrorCode(9), 7);
  EXPECT_EQ(error.GetErrorCode(), 9);

  const std::unique_ptr<GErrorCommand> clone(static_cast<GErrorCommand*>(error.Clone()));
  EXPECT_EQ(clone->GetRelatedObject(), failed.Get());
  EXPECT_TRUE(clone->SameContent(error));
  EXPECT_FALSE(clone->SameContent(GErrorCommand(9, new GPageStart(3), 0))) << "the same object, not an equal one";

  EXPECT_EQ(error.TakeRelatedObject(), failed.Get());
  EXPECT_EQ(error.GetRelatedObject(), nullptr);
  EXPECT_EQ(failed->ReferenceCount(), 1) << "the clone still holds it";
}

TEST(ErrorCommand, StoresCodeFlagAndRelatedObject) {
  const GErrorCommand bare(601, nullptr, 0);
  EXPECT_EQ(SaveContentsToFileBytes(bare),
            CommandPart(0, bare.SerialNumber()) + kNilInFile + Words({1}) + Shorts({601}) + Words({0}));
  EXPECT_TRUE(RoundTrips(bare));

  const GErrorCommand related(7, new GPageEnd(4), 0);
  const std::string bytes = SaveContentsToFileBytes(related);
  EXPECT_EQ(bytes.substr(26, 10), Words({1}) + Shorts({7}) + Words({1}));
  EXPECT_EQ(bytes.size(), related.StoredSize());
  GErrorCommand restored;
  RestoreContentsFromFileBytes(restored, bytes);
  ASSERT_NE(restored.GetRelatedObject(), nullptr);
  EXPECT_TRUE(restored.GetRelatedObject()->SameContent(*related.GetRelatedObject()));
  EXPECT_EQ(restored.GetErrorCode(), 7);
}

TEST(PassThroughCommand, BorrowsUntilItMakesItsOwnCopy) {
  uint8_t bytes[] = {0x1B, 'E'};
  GPassThroughCommand command(bytes, 2, 767, 0);
  EXPECT_EQ(command.GetData(), bytes);
  EXPECT_FALSE(command.OwnsData());
  const std::unique_ptr<GPassThroughCommand> clone(static_cast<GPassThroughCommand*>(command.Clone()));
  EXPECT_EQ(clone->GetData(), bytes);

  EXPECT_TRUE(command.MakeOwnCopy());
  EXPECT_TRUE(command.OwnsData());
  const uint8_t* own = command.GetData();
  EXPECT_NE(own, bytes);
  bytes[1] = 'X';
  EXPECT_EQ(own[1], 'E');
  EXPECT_TRUE(command.MakeOwnCopy());
  EXPECT_EQ(command.GetData(), own);
  const std::unique_ptr<GPassThroughCommand> ownClone(static_cast<GPassThroughCommand*>(command.Clone()));
  EXPECT_FALSE(ownClone->OwnsData()) << "a clone borrows";
  EXPECT_EQ(ownClone->GetData(), own);

  EXPECT_EQ(GPassThroughCommand(nullptr, 5, 767, 0).GetLength(), 0) << "no bytes, no length";
}

TEST(PassThroughCommand, ComparesLengthTargetOwnershipAndBytes) {
  static const uint8_t kBytes[] = {1, 2, 3};
  static const uint8_t kSameBytes[] = {1, 2, 3};
  static const uint8_t kOtherByte[] = {1, 9, 3};
  const GPassThroughCommand command(kBytes, 3, 767, 0);
  struct Case {
    const char* name;
    GPassThroughCommand other;
    bool same;
  };
  const Case cases[] = {
      {"same_bytes", GPassThroughCommand(kBytes, 3, 767, 0), true},
      {"equal_bytes_elsewhere", GPassThroughCommand(kSameBytes, 3, 767, 0), true},
      {"other_target", GPassThroughCommand(kSameBytes, 3, 788, 0), false},
      {"one_byte_differs", GPassThroughCommand(kOtherByte, 3, 767, 0), false},
      {"shorter", GPassThroughCommand(kBytes, 2, 767, 0), false},
      {"no_bytes", GPassThroughCommand(nullptr, 0, 767, 0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(command.SameContent(c.other), c.same);
  }
  GPassThroughCommand owning(kBytes, 3, 767, 0);
  owning.MakeOwnCopy();
  EXPECT_FALSE(owning.SameContent(command)) << "owned and borrowed bytes differ";
}

TEST(PassThroughCommand, StoresLengthTargetAndBytes) {
  static const uint8_t kBytes[] = {0x1B, 'E', 0};
  struct Case {
    const char* name;
    GPassThroughCommand command;
    std::string own;
  };
  const Case cases[] = {
      {"three_bytes", GPassThroughCommand(kBytes, 3, 768, 0),
       Words({1}) + Shorts({3, 768}) +
           std::string("\x1B"
                       "E\0",
                       3)},
      {"no_bytes", GPassThroughCommand(kBytes, 0, 788, 0), Words({1}) + Shorts({0, 788})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = SaveContentsToFileBytes(c.command);
    EXPECT_EQ(bytes, CommandPart(0, c.command.SerialNumber()) + kNilInFile + c.own);
    GPassThroughCommand restored(kBytes, 1, 1, 0);
    EXPECT_EQ(RestoreContentsFromFileBytes(restored, bytes), bytes.size());
    EXPECT_EQ(restored.GetLength(), c.command.GetLength());
    EXPECT_EQ(restored.GetValue2(), c.command.GetValue2());
    EXPECT_EQ(restored.OwnsData(), c.command.GetLength() != 0);
    if (c.command.GetLength() == 0) {
      EXPECT_EQ(restored.GetData(), nullptr);
    }
  }
  GPassThroughCommand owning(kBytes, 3, 767, 0);
  owning.MakeOwnCopy();
  EXPECT_TRUE(RoundTrips(owning));
}

// A stored length that the input cannot hold allocates nothing and leaves
// the command without bytes.
TEST(PassThroughCommand, ALengthBeyondTheInputIsRefused) {
  const GPassThroughCommand command(nullptr, 0, 767, 0);
  const std::string bytes = SaveContentsToFileBytes(command);
  const std::string hostile = bytes.substr(0, bytes.size() - 4) + Shorts({0xFFFF, 767}) + "ab";
  GPassThroughCommand restored;
  RestoreContentsFromFileBytes(restored, hostile);
  EXPECT_EQ(restored.GetData(), nullptr);
  EXPECT_EQ(restored.GetLength(), 0);
}

TEST(DownloadHeaderCommand, KeepsAndStoresItsSelector) {
  const GDownloadHeaderCommand header(19, 0);
  EXPECT_EQ(header.GetData(), 19);
  EXPECT_EQ(SaveContentsToFileBytes(header), CommandPart(0, header.SerialNumber()) + kNilInFile + Words({1, 19}));
  EXPECT_TRUE(RoundTrips(header));
  EXPECT_FALSE(header.SameContent(GDownloadHeaderCommand(20, 0)));
}

// The face command holds its font (any persistent object stands in for
// one here), its own clone of it in a copy, and stores the font and the
// option; the face name and the two values are neither stored nor compared.
TEST(DownloadFace, HoldsClonesComparesAndStoresItsFontAndOption) {
  GDownloadFace face(new GPageEnd(5), 3);
  ASSERT_NE(face.GetFont(), nullptr);
  EXPECT_EQ(face.GetFont()->ReferenceCount(), 0) << "held by the command alone";

  const std::unique_ptr<GDownloadFace> clone(static_cast<GDownloadFace*>(face.Clone()));
  EXPECT_NE(clone->GetFont(), face.GetFont());
  EXPECT_TRUE(clone->SameContent(face));
  EXPECT_FALSE(clone->SameContent(GDownloadFace(new GPageEnd(6), 3)));
  EXPECT_FALSE(clone->SameContent(GDownloadFace(new GPageEnd(5), 4)));
  EXPECT_FALSE(clone->SameContent(GDownloadFace(nullptr, 3)));
  EXPECT_TRUE(GDownloadFace(nullptr, 3).SameContent(GDownloadFace(nullptr, 3)));

  face.SetFaceName(RWCString(std::string(200, 'f').c_str()));
  EXPECT_EQ(face.GetFaceName().Length(), GDownloadFace::kMaxFaceNameLength);
  face.SetValue1(9);
  EXPECT_TRUE(clone->SameContent(face));

  const GDownloadFace bare(nullptr, 7);
  EXPECT_EQ(SaveContentsToFileBytes(bare),
            CommandPart(0, bare.SerialNumber()) + kNilInFile + Words({1}) + kNilInFile + Words({7}));
  EXPECT_EQ(SaveContentsToFileBytes(bare).size(), bare.StoredSize());
  EXPECT_TRUE(RoundTrips(face));
  EXPECT_TRUE(RoundTrips(bare));
}

// Commands without fields compare by class and command part.
TEST(FieldlessCommands, CompareByClassAndStateAndRoundTrip) {
  EXPECT_TRUE(GJobAbort(1).SameContent(GJobAbort(1)));
  EXPECT_FALSE(GJobAbort(1).SameContent(GNoCommand(1)));
  EXPECT_FALSE(GNullCommand(SampleState(1, 1), 0).SameContent(GNullCommand(SampleState(1, 2), 0)));
  EXPECT_TRUE(GNullCommand(SampleState(1, 1), 0).SameContent(GNullCommand(SampleState(1, 1), 0)));
  EXPECT_FALSE(GPageStart(2).SameContent(GPageEnd(2)));
  EXPECT_TRUE(RoundTrips(GJobAbort(3)));
  EXPECT_TRUE(RoundTrips(GNoCommand(3)));
  EXPECT_TRUE(RoundTrips(GNullCommand(SampleState(1, 5), 3)));
  EXPECT_TRUE(RoundTrips(GPageStart(SampleState(1, 5), 3)));
  EXPECT_TRUE(RoundTrips(GPageEnd(3)));
  const GPageEnd end(3);
  const std::string bytes = SaveContentsToFileBytes(end);
  EXPECT_EQ(bytes.substr(bytes.size() - 8), Words({1, 1})) << "the page command's version, then the end's";
}

}  // namespace
