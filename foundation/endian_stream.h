#pragma once

#include <cstdint>
#include <iosfwd>

#include "foundation/binary_stream.h"

// Byte orders: 0 least significant byte first, 1 most significant byte first.
uint32_t MachineByteOrder();

// Binary form that starts with a 9-byte header declaring the writer's byte
// order and type sizes, so that a reader on another machine can convert:
//   'e' 's' 0x01, order, sizeof short (2), int (4), long (4),
//   wide character (2), size type (4)
class GEndianOutStream : public GBinaryOutStream {
 public:
  // byteOrder 0 or 1 chooses the order written; any other value (2 by
  // default) means the machine's own. The channel must be empty: a channel
  // whose end is not at position 0 raises "[STREAM] Bad input stream" and
  // gives a bad stream with no header.
  explicit GEndianOutStream(GByteChannel* channel, uint32_t byteOrder = 2);
  explicit GEndianOutStream(std::ostream& stream, uint32_t byteOrder = 2);

  uint32_t ByteOrder() const { return byteOrder_; }

 protected:
  void PutUnits(const void* values, uint32_t count, uint32_t unitSize) override;

 private:
  void WriteHeader();

  uint32_t byteOrder_;
};

class GEndianInStream : public GBinaryInStream {
 public:
  // Reads the header at once. A header that is missing, wrong or unreadable
  // raises "[STREAM] Bad input stream" and leaves the stream failed and bad.
  explicit GEndianInStream(GByteChannel* channel);
  explicit GEndianInStream(std::istream& stream);

  uint32_t WriterByteOrder() const { return byteOrder_; }
  uint32_t ShortSize() const { return shortSize_; }
  uint32_t IntSize() const { return intSize_; }
  uint32_t LongSize() const { return longSize_; }
  uint32_t WideCharSize() const { return wideCharSize_; }
  uint32_t SizeTypeSize() const { return sizeTypeSize_; }

  GVirtualInStream& GetString(char* buffer, uint32_t size) override;
  bool CanHold(uint32_t count, uint32_t elementSize) override;

 protected:
  void GetUnits(void* values, uint32_t count, uint32_t unitSize, Width width, bool isSigned) override;

 private:
  bool ReadHeader();
  uint32_t WriterSize(Width width, uint32_t nativeSize) const;
  void GetConverted(uint8_t* value, uint32_t nativeSize, uint32_t writerSize, bool isSigned);

  uint32_t shortSize_ = 2;
  uint32_t intSize_ = 4;
  uint32_t longSize_ = 4;
  uint32_t wideCharSize_ = 2;
  uint32_t sizeTypeSize_ = 4;
  uint32_t byteOrder_;
};
