#pragma once

#include <cstdint>
#include <memory>

// Message identifiers and formatted messages of the class library.
//
// Every fault the library reports is worded by one static GMessageID. Its
// format is printf-style; GMessage expands it with the caller's arguments.

struct GMessageID {
  const char* domain;
  uint32_t number;
  const char* format;
};

// The library's own messages, 0x2000 to 0x2015.
const GMessageID* MsgAllocOut();
const GMessageID* MsgBadRe();
const GMessageID* MsgCrabs();
const GMessageID* MsgFList();
const GMessageID* MsgId();
const GMessageID* MsgIndex();
const GMessageID* MsgLock();
const GMessageID* MsgLongIndex();
const GMessageID* MsgMagic();
const GMessageID* MsgNeVecL();
const GMessageID* MsgNoCreate();
const GMessageID* MsgNotAllow();
const GMessageID* MsgReadErr();
const GMessageID* MsgRef();
const GMessageID* MsgSeekErr();
const GMessageID* MsgStream();
const GMessageID* MsgSubString();
const GMessageID* MsgUnlock();
const GMessageID* MsgWriteErr();
const GMessageID* MsgIndexErr();
const GMessageID* MsgNPosIndex();
const GMessageID* MsgNoPersist();

// The core messages, 0x1000 to 0x100A.
const GMessageID* MsgCoreEof();
const GMessageID* MsgCoreGeneric();
const GMessageID* MsgCoreInvAddr();
const GMessageID* MsgCoreLock();
const GMessageID* MsgCoreNoInit();
const GMessageID* MsgCoreNoMem();
const GMessageID* MsgCoreOpErr();
const GMessageID* MsgCoreOutAlloc();
const GMessageID* MsgCoreOverflow();
const GMessageID* MsgCoreStream();
const GMessageID* MsgCoreSynStream();

// One message text, owned on the heap.
class GMessage {
 public:
  // Longest expansion of a format, terminator included; longer text is cut.
  static constexpr int kMaxLength = 504;

  // Expands id's format with printf-style arguments. Every argument of the
  // library's formats is at most 32 bits wide.
  GMessage(const GMessageID* id, ...);
  explicit GMessage(const char* text);
  GMessage(const GMessage& other);
  GMessage& operator=(const GMessage& other);
  ~GMessage();

  const char* Text() const { return text_.get(); }

 private:
  std::unique_ptr<char[]> text_;
};
