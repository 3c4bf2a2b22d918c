#include "model/os/unicode.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "model/os/memory_os_factory.h"

namespace {

class TestConverter : public GUnicodeConverter {
 public:
  uint16_t ToUnicode(uint16_t code, int32_t) override { return code; }
  int32_t ConvertString(const WideChar*, RWCString&, uint32_t) override { return 0; }
  int32_t NarrowToWide(const char*, WideChar*, uint32_t) override { return 0; }
  uint16_t FromUnicode(uint16_t unicode, int32_t) override { return unicode; }
  void ConvertToCodePage(const WideChar*, char*, uint32_t, uint32_t) override {}
};

class ConverterFactory : public GMemoryOSFactory {
 public:
  std::unique_ptr<GUnicodeConverter> CreateUnicodeConverter() override {
    ++asked;
    return makes ? std::make_unique<TestConverter>() : nullptr;
  }
  std::atomic<bool> makes{false};
  std::atomic<int> asked{0};
};

// The converter is the process's from its first making to the end, so the
// whole story is one test: nothing without a factory, nothing (asked every
// time) while the factory makes none, then exactly one converter however
// many threads ask at once.
TEST(UnicodeConverterThread, MadeOnceWhenTheFactoryOffersOne) {
  GOSFactory::SetInstance(nullptr);
  EXPECT_EQ(GetUnicodeConverter(), nullptr);

  auto* factory = new ConverterFactory;
  GOSFactory::SetInstance(factory);
  EXPECT_EQ(GetUnicodeConverter(), nullptr);
  EXPECT_EQ(GetUnicodeConverter(), nullptr);
  EXPECT_EQ(factory->asked, 2);

  factory->makes = true;
  std::vector<GUnicodeConverter*> seen(8);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < seen.size(); ++t) {
    threads.emplace_back([&seen, t] { seen[t] = GetUnicodeConverter(); });
  }
  for (std::thread& thread : threads) thread.join();
  ASSERT_NE(seen.front(), nullptr);
  for (GUnicodeConverter* converter : seen) EXPECT_EQ(converter, seen.front());
  EXPECT_EQ(factory->asked, 3);
  EXPECT_EQ(GetUnicodeConverter()->FromUnicode(0x41, 0), 0x41);
  delete factory;
}

}  // namespace
