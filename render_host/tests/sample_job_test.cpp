// The sample job in the tree reads without a fault, and every image it
// names loads.
#include <gtest/gtest.h>

#include <filesystem>

#include "render_host/image_loader.h"
#include "render_host/job_reader.h"

namespace {

TEST(SampleJob, ReadsToTheEndAndEveryImageLoads) {
  GJobReader reader(std::filesystem::path(RENDER_HOST_SAMPLE_DIR) / "sample.job");
  ASSERT_TRUE(reader.ReadSettings()) << reader.Error();
  EXPECT_TRUE(reader.GetSettings().watermark.has_value());
  GJobPage page;
  uint32_t pages = 0;
  uint32_t images = 0;
  while (reader.NextPage(page)) {
    ++pages;
    for (const GJobItem& item : page.items) {
      const auto* image = std::get_if<GJobImage>(&item.shape);
      if (image == nullptr) continue;
      ++images;
      const GLoadedImage loaded = LoadImageFile(image->file);
      EXPECT_TRUE(loaded.IsLoaded()) << loaded.error;
    }
  }
  EXPECT_EQ(reader.Error(), "");
  EXPECT_EQ(pages, 3u);
  EXPECT_EQ(images, 2u);
}

}  // namespace
