#include "foundation/message.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kLibraryDomain[] = "foundation";
const char kCoreDomain[] = "core";

std::unique_ptr<char[]> CopyText(const char* text) {
  const size_t size = std::strlen(text) + 1;
  auto copy = std::make_unique<char[]>(size);
  std::memcpy(copy.get(), text, size);
  return copy;
}

// The stored formats write "%ld" and "%lu" for 32-bit values, as long is on
// the module's own platform. Every argument here is 32 bits wide, so the 'l'
// length modifier is dropped: on an LP64 host it would read 64-bit arguments.
std::string Without32BitLongModifier(const char* format) {
  std::string out;
  for (const char* p = format; *p != '\0'; ++p) {
    out += *p;
    if (*p != '%') continue;
    while (p[1] != '\0' && std::strchr("-+ #0123456789.*", p[1]) != nullptr) out += *++p;
    if (p[1] == 'l')
      ++p;
    else if (p[1] == '%')
      out += *++p;
  }
  return out;
}

}  // namespace

#define QV_MESSAGE(accessor, domain, number, format)    \
  const GMessageID* accessor() {                        \
    static const GMessageID id{domain, number, format}; \
    return &id;                                         \
  }

QV_MESSAGE(MsgAllocOut, kLibraryDomain, 0x2000, "[ALLOCOUT] %s destructor called with allocation outstanding")
QV_MESSAGE(MsgBadRe, kLibraryDomain, 0x2001, "[BADRE] Attempt to use invalid regular expression")
QV_MESSAGE(MsgCrabs, kLibraryDomain, 0x2002,
           "[CRABS] RWFactory: attempting to create abstract class with ID %hu (0x%hx)")
QV_MESSAGE(MsgFList, kLibraryDomain, 0x2003, "[FLIST] Free list size error: expected %ld, got %ld")
QV_MESSAGE(MsgId, kLibraryDomain, 0x2004, "[ID] Unexpected class ID %hu; should be %hu")
QV_MESSAGE(MsgIndex, kLibraryDomain, 0x2005, "[INDEX] Index (%u) out of range [0->%u]")
QV_MESSAGE(MsgLock, kLibraryDomain, 0x2006, "[LOCK] Locked object deleted")
QV_MESSAGE(MsgLongIndex, kLibraryDomain, 0x2007, "[LONGINDEX] Long index (%lu) out of range [0->%lu]")
QV_MESSAGE(MsgMagic, kLibraryDomain, 0x2008, "[MAGIC] Bad magic number: %ld (should be %ld)")
QV_MESSAGE(MsgNeVecL, kLibraryDomain, 0x2009, "[NEVECL] Unequal vector lengths: %u versus %u")
QV_MESSAGE(MsgNoCreate, kLibraryDomain, 0x200A,
           "[NOCREATE] RWFactory: no create function for class with ID %hu (0x%hx)")
QV_MESSAGE(MsgNotAllow, kLibraryDomain, 0x200B, "[NOTALLOW] Function not allowed for derived class")
QV_MESSAGE(MsgReadErr, kLibraryDomain, 0x200C, "[READERR] Read error")
QV_MESSAGE(MsgRef, kLibraryDomain, 0x200D, "[REF] Bad persistence reference")
QV_MESSAGE(MsgSeekErr, kLibraryDomain, 0x200E, "[SEEKERR] Seek error")
QV_MESSAGE(MsgStream, kLibraryDomain, 0x200F, "[STREAM] Bad input stream")
QV_MESSAGE(MsgSubString, kLibraryDomain, 0x2010, "[SUBSTRING] Illegal substring (%d, %u) from %u element RWCString")
QV_MESSAGE(MsgUnlock, kLibraryDomain, 0x2011, "[UNLOCK] Improper use of locked object")
QV_MESSAGE(MsgWriteErr, kLibraryDomain, 0x2012, "[WRITEERR] Write error")
QV_MESSAGE(MsgIndexErr, kLibraryDomain, 0x2013,
           "[INDEXERR] Illegal Index (%u) for collection or string with %u elements")
QV_MESSAGE(MsgNPosIndex, kLibraryDomain, 0x2014, "[NPOSINDEX] The value RW_NPOS cannot be used as an index.")
QV_MESSAGE(MsgNoPersist, kLibraryDomain, 0x2015, "[NOPERSIST] Persistence not implemented for type %s.")

QV_MESSAGE(MsgCoreEof, kCoreDomain, 0x1000, "[EOF] EOF on input")
QV_MESSAGE(MsgCoreGeneric, kCoreDomain, 0x1001, "[GENERIC] Generic error number %d; %s")
QV_MESSAGE(MsgCoreInvAddr, kCoreDomain, 0x1002, "[INVADDR] Invalid address: %lx")
QV_MESSAGE(MsgCoreLock, kCoreDomain, 0x1003, "[LOCK] Unable to lock memory")
QV_MESSAGE(MsgCoreNoInit, kCoreDomain, 0x1004, "[NOINIT] Memory allocated without being initialized")
QV_MESSAGE(MsgCoreNoMem, kCoreDomain, 0x1005, "[NOMEM] No memory")
QV_MESSAGE(MsgCoreOpErr, kCoreDomain, 0x1006, "[OPERR] Could not open file %s")
QV_MESSAGE(MsgCoreOutAlloc, kCoreDomain, 0x1007, "[OUTALLOC] Memory released with allocations still outstanding")
QV_MESSAGE(MsgCoreOverflow, kCoreDomain, 0x1008, "[OVFLOW] Overflow error -> \"%.*s\" <- (%u max characters)")
QV_MESSAGE(MsgCoreStream, kCoreDomain, 0x1009, "[STREAM] Bad input stream")
QV_MESSAGE(MsgCoreSynStream, kCoreDomain, 0x100A, "[SYNSTREAM] Syntax error in input stream: expected %s, got %s")

#undef QV_MESSAGE

GMessage::GMessage(const GMessageID* id, ...) {
  char buffer[kMaxLength];
  const std::string format = Without32BitLongModifier(id->format);
  va_list args;
  va_start(args, id);
  std::vsnprintf(buffer, sizeof buffer, format.c_str(), args);
  va_end(args);
  text_ = CopyText(buffer);
}

GMessage::GMessage(const char* text) : text_(CopyText(text)) {}

GMessage::GMessage(const GMessage& other) : text_(CopyText(other.Text())) {}

GMessage& GMessage::operator=(const GMessage& other) {
  if (this != &other) text_ = CopyText(other.Text());
  return *this;
}

GMessage::~GMessage() = default;
