#include "foundation/error.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/stream_state_adapter.h"
#include "foundation/testing/recording_error_handler.h"
#include "platform/process_hooks.h"

namespace {

TEST(SetErrorHandler, FirstAnswerIsTheDefaultAndNullRestoresIt) {
  auto record = [](const GError*) {};
  GErrorHandler previous = SetErrorHandler(record);
  EXPECT_EQ(previous, &DefaultErrorHandler);
  EXPECT_EQ(SetErrorHandler(nullptr), static_cast<GErrorHandler>(record));
  EXPECT_EQ(SetErrorHandler(nullptr), &DefaultErrorHandler);
}

TEST(RaiseError, EachKindReachesTheHandlerOnceAsItself) {
  GStreamStateAdapter stream;
  struct Case {
    const char* name;
    std::function<void()> raise;
    const char* kind;
    const char* text;
  };
  const Case cases[] = {
      {"plain", [] { RaiseError(GError("plain")); }, "error", "plain"},
      {"allocation", [] { RaiseAllocationError(GAllocationError(64)); }, "allocation", "[NOMEM] No memory"},
      {"external", [] { RaiseExternalError(GExternalError(GMessage(MsgMagic(), 1, 2))); }, "external",
       "[MAGIC] Bad magic number: 1 (should be 2)"},
      {"file", [] { RaiseFileError(GFileError(GMessage(MsgReadErr()), nullptr, GFileError::kRead)); }, "file",
       "[READERR] Read error"},
      {"stream", [&] { RaiseStreamError(GStreamError(GMessage(MsgStream()), &stream)); }, "stream",
       "[STREAM] Bad input stream"},
      {"internal", [] { RaiseInternalError(GInternalError(GMessage(MsgRef()))); }, "internal",
       "[REF] Bad persistence reference"},
      {"bounds", [] { RaiseBoundsError(GBoundsError(GMessage(MsgIndexErr(), 9u, 2u))); }, "bounds",
       "[INDEXERR] Illegal Index (9) for collection or string with 2 elements"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingErrorHandler handler;
    c.raise();
    ASSERT_EQ(handler.Count(), 1u);
    EXPECT_EQ(handler.Records()[0].kind, c.kind);
    EXPECT_EQ(handler.Records()[0].text, c.text);
  }
}

TEST(CheckIndex, RaisesTheBoundsMessageThatFitsTheIndex) {
  struct Case {
    const char* name;
    uint32_t index;
    uint32_t count;
    bool inRange;
    const char* text;
  };
  const Case cases[] = {
      {"first_of_one", 0, 1, true, nullptr},
      {"last_of_five", 4, 5, true, nullptr},
      {"one_past_the_end", 5, 5, false, "[INDEXERR] Illegal Index (5) for collection or string with 5 elements"},
      {"empty", 0, 0, false, "[INDEXERR] Illegal Index (0) for collection or string with 0 elements"},
      {"npos", 0xFFFFFFFF, 5, false, "[NPOSINDEX] The value RW_NPOS cannot be used as an index."},
      {"largest_real_index", 0xFFFFFFFE, 3, false,
       "[INDEXERR] Illegal Index (4294967294) for collection or string with 3 elements"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingErrorHandler handler;
    EXPECT_EQ(CheckIndex(c.index, c.count), c.inRange);
    if (c.inRange) {
      EXPECT_EQ(handler.Count(), 0u);
    } else {
      ASSERT_EQ(handler.Count(), 1u);
      EXPECT_EQ(handler.Records()[0].kind, "bounds");
      EXPECT_EQ(handler.Records()[0].text, c.text);
    }
  }
}

TEST(GError, TextOwnership) {
  // An error built from a message keeps its own copy.
  auto message = std::make_unique<GMessage>(MsgIndexErr(), 5u, 5u);
  GBoundsError fromMessage(*message);
  message.reset();
  EXPECT_STREQ(fromMessage.Text(), "[INDEXERR] Illegal Index (5) for collection or string with 5 elements");
  EXPECT_TRUE(fromMessage.OwnsText());

  // A borrowed text is shared by copies; an owned one is copied.
  static const char kStatic[] = "static text";
  GError borrowed(kStatic, false);
  GError borrowedCopy(borrowed);
  EXPECT_EQ(borrowed.Text(), kStatic);
  EXPECT_EQ(borrowedCopy.Text(), kStatic);
  EXPECT_FALSE(borrowedCopy.OwnsText());

  char buffer[] = "heap text";
  GError owned(buffer, true);
  buffer[0] = 'X';
  GError ownedCopy(owned);
  EXPECT_STREQ(owned.Text(), "heap text");
  EXPECT_NE(ownedCopy.Text(), owned.Text());
  EXPECT_STREQ(ownedCopy.Text(), "heap text");

  GAllocationError noMemory(4096);
  EXPECT_FALSE(noMemory.OwnsText());
  EXPECT_EQ(noMemory.Text(), MsgCoreNoMem()->format);
  EXPECT_EQ(noMemory.RequestedSize(), 4096u);
}

// The default handler's own path, with the platform hooks watching instead
// of a message box and a process exit.
std::string shownCaption;
std::string shownText;
int exitCode = -1;

TEST(DefaultErrorHandler, ShowsFatalErrorAndEndsWithCodeOne) {
  auto sink = platform::SetFatalMessageSink([](const char* caption, const char* text) {
    shownCaption = caption;
    shownText = text;
  });
  auto exit = platform::SetProcessExitHook([](int code) { exitCode = code; });

  EXPECT_FALSE(CheckIndex(5, 5));

  platform::SetFatalMessageSink(sink);
  platform::SetProcessExitHook(exit);
  EXPECT_EQ(shownCaption, "Fatal Error");
  EXPECT_EQ(shownText, "[INDEXERR] Illegal Index (5) for collection or string with 5 elements");
  EXPECT_EQ(exitCode, 1);
}

}  // namespace
