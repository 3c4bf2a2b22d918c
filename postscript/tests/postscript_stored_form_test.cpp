#include <gtest/gtest.h>

#include <string>

#include "model/objects/object_ref.h"
#include "model/testing/registered_classes.h"
#include "model/testing/round_trip.h"
#include "pclxl/testing/test_pdl_generator.h"
#include "pipeline/printer.h"
#include "postscript/generator/postscript.h"
#include "postscript/testing/ps_job.h"

namespace {

using ps_job::Job;

TEST(GPostScriptStoredForm, TheFactoryMakesItAsTheClassTableSays) {
  const RWClassID ids[] = {kGPostScriptClassID};
  ExpectMadeAsTheClassTableSays(ids);
}

TEST(GPostScriptStoredForm, RoundTrips) {
  const GObjectRef fresh(ps_job::NewGenerator(nullptr));
  EXPECT_TRUE(RoundTrips(*fresh));
}

// The generator's part closes the stored form: version 1, option A 1,
// pending status 0 (16-bit each), output ok 1, 600 x 600 (16-bit each),
// colour 0. What comes before it is the generator base's part.
constexpr char kOwnPart[] =
    "\x01\x00\x00\x00"
    "\x01\x00"
    "\x00\x00"
    "\x01\x00\x00\x00"
    "\x58\x02\x58\x02"
    "\x00\x00\x00\x00";
constexpr size_t kOwnPartSize = sizeof(kOwnPart) - 1;

TEST(GPostScriptStoredForm, ItsPartIsTwentyBytesAfterTheGeneratorBase) {
  const GObjectRef held(ps_job::NewGenerator(nullptr));
  const GPostScript& generator = static_cast<GPostScript&>(*held);
  const TestPDLGenerator base(RWCString("POSTSCRIPT"), nullptr, nullptr, GPrinter::kGeneratorKey);
  const std::string bytes = SaveContentsToFileBytes(generator);
  EXPECT_EQ(bytes.size(), SaveContentsToFileBytes(base).size() + kOwnPartSize);
  EXPECT_EQ(bytes.substr(bytes.size() - kOwnPartSize), std::string(kOwnPart, kOwnPartSize));
  EXPECT_EQ(generator.StoredSize(), bytes.size());

  GPostScript restored;
  std::string changed = bytes;
  changed[changed.size() - 4] = '\x01';  // the colour flag
  changed[changed.size() - 8] = '\x2C';  // x resolution 300
  changed[changed.size() - 7] = '\x01';
  changed[changed.size() - 16] = '\x02';  // option A 2
  EXPECT_EQ(RestoreContentsFromFileBytes(restored, changed), changed.size());
  EXPECT_TRUE(restored.IsColour());
  EXPECT_EQ(restored.XResolution(), 300);
  EXPECT_EQ(restored.OptionA(), 2);
  EXPECT_NE(restored.DeviceFontListInUse(), nullptr);
  EXPECT_TRUE(RoundTrips(restored));

  // Another version ends the restore after the base's part.
  std::string otherVersion = bytes;
  otherVersion[otherVersion.size() - kOwnPartSize] = '\x02';
  GPostScript older;
  EXPECT_EQ(RestoreContentsFromFileBytes(older, otherVersion), bytes.size() - kOwnPartSize + 4);
  EXPECT_FALSE(older.IsColour());
  EXPECT_EQ(older.OptionA(), 1);
}

// The copy the printer stores takes the settings of the job that was read,
// but nothing of the job being written.
TEST(GPostScriptStoredForm, CopyKeepsTheSettingsAndDropsTheJob) {
  Job job;
  ASSERT_EQ(job.Start({{296, 0}, {600, 1}, {277, 0}, {571, 5}}), 0);
  ASSERT_EQ(job.Print({}), 0);
  GPostScript& generator = job.Generator();
  generator.SetCurrentPoint(12, 34);
  ASSERT_EQ(generator.RawMode(), 1);
  ASSERT_EQ(generator.CoordinateMode(), GPostScript::kApplicationCoordinates);

  const GPostScript copy(generator);
  EXPECT_TRUE(copy.IsColour());
  EXPECT_FALSE(copy.UsesPatterns());
  EXPECT_EQ(copy.DeviceFontFilter(), 5);
  EXPECT_EQ(copy.CurrentPointX(), 12);
  EXPECT_EQ(copy.RawMode(), 0);
  EXPECT_EQ(copy.CoordinateMode(), GPostScript::kNoCoordinates);
  EXPECT_EQ(copy.CurrentMedia(), nullptr);
  EXPECT_NE(&copy.Context(), &generator.Context());

  GPrinter printer;
  EXPECT_EQ(const_cast<GPostScript&>(copy).SendTo(printer), 0);
  ASSERT_NE(printer.GeneratorChild(), nullptr);
  EXPECT_TRUE(printer.GeneratorChild()->IsKindOf(kGPostScriptClassID));
  EXPECT_TRUE(printer.GeneratorChild()->IsKindOf(kGPDLGeneratorClassID));
}

}  // namespace
