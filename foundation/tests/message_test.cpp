#include "foundation/message.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct MessageCase {
  const char* name;
  const GMessageID* (*accessor)();
  uint32_t number;
  const char* text;
};

const MessageCase kMessages[] = {
    {"alloc_out", MsgAllocOut, 0x2000, "[ALLOCOUT] %s destructor called with allocation outstanding"},
    {"bad_re", MsgBadRe, 0x2001, "[BADRE] Attempt to use invalid regular expression"},
    {"crabs", MsgCrabs, 0x2002, "[CRABS] RWFactory: attempting to create abstract class with ID %hu (0x%hx)"},
    {"flist", MsgFList, 0x2003, "[FLIST] Free list size error: expected %ld, got %ld"},
    {"id", MsgId, 0x2004, "[ID] Unexpected class ID %hu; should be %hu"},
    {"index", MsgIndex, 0x2005, "[INDEX] Index (%u) out of range [0->%u]"},
    {"lock", MsgLock, 0x2006, "[LOCK] Locked object deleted"},
    {"long_index", MsgLongIndex, 0x2007, "[LONGINDEX] Long index (%lu) out of range [0->%lu]"},
    {"magic", MsgMagic, 0x2008, "[MAGIC] Bad magic number: %ld (should be %ld)"},
    {"nevecl", MsgNeVecL, 0x2009, "[NEVECL] Unequal vector lengths: %u versus %u"},
    {"no_create", MsgNoCreate, 0x200A, "[NOCREATE] RWFactory: no create function for class with ID %hu (0x%hx)"},
    {"not_allow", MsgNotAllow, 0x200B, "[NOTALLOW] Function not allowed for derived class"},
    {"read_err", MsgReadErr, 0x200C, "[READERR] Read error"},
    {"ref", MsgRef, 0x200D, "[REF] Bad persistence reference"},
    {"seek_err", MsgSeekErr, 0x200E, "[SEEKERR] Seek error"},
    {"stream", MsgStream, 0x200F, "[STREAM] Bad input stream"},
    {"substring", MsgSubString, 0x2010, "[SUBSTRING] Illegal substring (%d, %u) from %u element RWCString"},
    {"unlock", MsgUnlock, 0x2011, "[UNLOCK] Improper use of locked object"},
    {"write_err", MsgWriteErr, 0x2012, "[WRITEERR] Write error"},
    {"index_err", MsgIndexErr, 0x2013, "[INDEXERR] Illegal Index (%u) for collection or string with %u elements"},
    {"npos_index", MsgNPosIndex, 0x2014, "[NPOSINDEX] The value RW_NPOS cannot be used as an index."},
    {"no_persist", MsgNoPersist, 0x2015, "[NOPERSIST] Persistence not implemented for type %s."},
    {"core_eof", MsgCoreEof, 0x1000, "[EOF] EOF on input"},
    {"core_generic", MsgCoreGeneric, 0x1001, "[GENERIC] Generic error number %d; %s"},
    {"core_inv_addr", MsgCoreInvAddr, 0x1002, "[INVADDR] Invalid address: %lx"},
    {"core_lock", MsgCoreLock, 0x1003, "[LOCK] Unable to lock memory"},
    {"core_no_init", MsgCoreNoInit, 0x1004, "[NOINIT] Memory allocated without being initialized"},
    {"core_no_mem", MsgCoreNoMem, 0x1005, "[NOMEM] No memory"},
    {"core_op_err", MsgCoreOpErr, 0x1006, "[OPERR] Could not open file %s"},
    {"core_out_alloc", MsgCoreOutAlloc, 0x1007, "[OUTALLOC] Memory released with allocations still outstanding"},
    {"core_overflow", MsgCoreOverflow, 0x1008, "[OVFLOW] Overflow error -> \"%.*s\" <- (%u max characters)"},
    {"core_stream", MsgCoreStream, 0x1009, "[STREAM] Bad input stream"},
    {"core_syn_stream", MsgCoreSynStream, 0x100A, "[SYNSTREAM] Syntax error in input stream: expected %s, got %s"},
};

TEST(GMessageID, EveryMessageHasItsNumberAndText) {
  for (const MessageCase& c : kMessages) {
    SCOPED_TRACE(c.name);
    const GMessageID* id = c.accessor();
    ASSERT_EQ(id, c.accessor()) << "one static record per message";
    EXPECT_EQ(id->number, c.number);
    EXPECT_STREQ(id->format, c.text);
    EXPECT_NE(id->domain, nullptr);
  }
  // The library's messages and the core messages are two domains.
  EXPECT_EQ(MsgIndexErr()->domain, MsgRef()->domain);
  EXPECT_EQ(MsgCoreNoMem()->domain, MsgCoreEof()->domain);
  EXPECT_NE(MsgIndexErr()->domain, MsgCoreNoMem()->domain);
}

TEST(GMessage, ExpandsFormatsWithThirtyTwoBitArguments) {
  EXPECT_STREQ(GMessage(MsgIndexErr(), 5u, 5u).Text(),
               "[INDEXERR] Illegal Index (5) for collection or string with 5 elements");
  // "%ld" formats take 32-bit values on every build.
  EXPECT_STREQ(GMessage(MsgFList(), int32_t{-1}, int32_t{7}).Text(),
               "[FLIST] Free list size error: expected -1, got 7");
  EXPECT_STREQ(GMessage(MsgLongIndex(), 0xFFFFFFFFu, 3u).Text(),
               "[LONGINDEX] Long index (4294967295) out of range [0->3]");
  EXPECT_STREQ(GMessage(MsgCoreInvAddr(), 0xDEADBEEFu).Text(), "[INVADDR] Invalid address: deadbeef");
  EXPECT_STREQ(GMessage(MsgNoCreate(), 0x8001, 0x8001).Text(),
               "[NOCREATE] RWFactory: no create function for class with ID 32769 (0x8001)");
  EXPECT_STREQ(GMessage(MsgCoreOverflow(), 33, "Buffer may not resize larger than", 0xFFFFFFFFu).Text(),
               "[OVFLOW] Overflow error -> \"Buffer may not resize larger than\" <- (4294967295 max characters)");
}

TEST(GMessage, LongExpansionsAreCutToTheBuffer) {
  const std::string name(1000, 'x');
  GMessage message(MsgCoreOpErr(), name.c_str());
  EXPECT_EQ(std::string(message.Text()).size(), size_t{GMessage::kMaxLength - 1});
}

TEST(GMessage, CopiesOwnTheirText) {
  GMessage original("first");
  GMessage copy(original);
  GMessage assigned("other");
  assigned = original;
  original = GMessage("changed");
  EXPECT_STREQ(copy.Text(), "first");
  EXPECT_STREQ(assigned.Text(), "first");
  EXPECT_STREQ(original.Text(), "changed");
  assigned = assigned;
  EXPECT_STREQ(assigned.Text(), "first");
}

}  // namespace
