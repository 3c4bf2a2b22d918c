// Object graphs through the model streams, in memory and in files.
#include "model/objects/model_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/persistence.h"
#include "foundation/testing/scratch_files.h"
#include "model/tests/attribute_test_support.h"
#include "platform/file_path.h"

namespace {

constexpr uint32_t kFormats[] = {kTextStreamFormat, kBinaryStreamFormat, kEndianStreamFormat};

std::unique_ptr<GState> Settings() {
  return std::unique_ptr<GState>(State(360, {Value(265, 90), Text(63, "QVEXT.DLL"), Range(249, 600)}));
}

RWWString WidePath(const std::string& name) {
  static const ScratchDirectory directory;
  return RWWString(directory.File(name).c_str());
}

GObjectRef ReadBack(GInputStream& input) {
  MPersistentObject* object = nullptr;
  ReadObjectFromStream(*input.Stream(), object);
  return GObjectRef(object);
}

TEST(ModelStreamTest, GraphsRoundTripThroughMemoryInEveryFormat) {
  const std::unique_ptr<GState> settings = Settings();
  for (uint32_t format : kFormats) {
    SCOPED_TRACE(format);
    std::vector<char> buffer(4096);
    uint32_t written;
    {
      GOutputStream output(buffer.data(), static_cast<uint32_t>(buffer.size()), format);
      ASSERT_NE(output.Stream(), nullptr);
      WriteObjectToStream(settings.get(), *output.Stream());
      output.Stream()->Flush();
      EXPECT_TRUE(output.Stream()->IsGood());
      written = output.Position();
    }
    EXPECT_GT(written, 0u);
    if (format == kEndianStreamFormat) {
      EXPECT_EQ(std::string(buffer.data(), 3), "es\x01");
    }

    GInputStream input(buffer.data(), written, format);
    const GObjectRef restored = ReadBack(input);
    ASSERT_FALSE(restored.IsEmpty());
    EXPECT_TRUE(restored->Equals(settings.get()));
    EXPECT_EQ(input.Position(), written);
  }
}

TEST(ModelStreamTest, GraphsRoundTripThroughFiles) {
  const std::unique_ptr<GState> settings = Settings();
  for (uint32_t format : kFormats) {
    SCOPED_TRACE(format);
    const RWWString path = WidePath("graph" + std::to_string(format));
    {
      GOutputStream output(path, format);
      WriteObjectToStream(settings.get(), *output.Stream());
      EXPECT_GT(output.Position(), 0u);
    }
    GInputStream input(path, format);
    const GObjectRef restored = ReadBack(input);
    ASSERT_FALSE(restored.IsEmpty());
    EXPECT_TRUE(restored->Equals(settings.get()));
  }
}

// Names go to the file system as they are, also outside the narrow code page.
TEST(ModelStreamTest, FileNamesOutsideTheNarrowCodePageOpen) {
  const std::unique_ptr<GState> settings = Settings();
  RWWString path = WidePath("wide_");
  path.Append(QV_WIDE("\u4e2d\u6587"));
  {
    GOutputStream output(path, kBinaryStreamFormat);
    WriteObjectToStream(settings.get(), *output.Stream());
  }
  EXPECT_TRUE(std::filesystem::exists(platform::ToFilePath(path.Data(), path.Length())));
  GInputStream input(path, kBinaryStreamFormat);
  const GObjectRef restored = ReadBack(input);
  ASSERT_FALSE(restored.IsEmpty());
  EXPECT_TRUE(restored->Equals(settings.get()));
}

TEST(ModelStreamTest, AFullBufferFailsFurtherWrites) {
  const std::unique_ptr<GState> settings = Settings();
  std::vector<char> buffer(20, '\x7F');
  GOutputStream output(buffer.data(), 16, kBinaryStreamFormat);
  WriteObjectToStream(settings.get(), *output.Stream());
  output.Stream()->Flush();
  EXPECT_FALSE(output.Stream()->IsGood());
  EXPECT_EQ(output.Position(), 16u);
  EXPECT_EQ(buffer[16], '\x7F');

  output.Seek(2);
  EXPECT_EQ(output.Position(), 2u);
}

TEST(ModelStreamTest, AnUnknownFormatHasNoStream) {
  char buffer[8] = {};
  EXPECT_EQ(GInputStream(buffer, sizeof buffer, 5).Stream(), nullptr);
  EXPECT_EQ(GOutputStream(buffer, sizeof buffer, 3).Stream(), nullptr);
}

TEST(ModelStreamTest, AMissingFileReadsAsEmptyInput) {
  GInputStream input(WidePath("missing"), kBinaryStreamFormat);
  ASSERT_NE(input.Stream(), nullptr);
  EXPECT_TRUE(ReadBack(input).IsEmpty());
  EXPECT_FALSE(input.Stream()->IsGood());
}

}  // namespace
