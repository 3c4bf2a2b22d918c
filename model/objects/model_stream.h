#pragma once

#include <cstdint>
#include <memory>

#include "foundation/byte_channel.h"
#include "foundation/rw_wstring.h"
#include "foundation/virtual_stream.h"

// Typed virtual streams bound to a memory buffer or a file, through which
// object graphs are saved into and restored from DEVMODEs, printer data
// and files. Format codes:
//   0  text (values as decimal text)
//   1  binary (values in the machine's byte order)
//   2  byte-swapping binary: a 9-byte header records the writer's byte
//      order and the reader converts when it differs
// Any other code gives no virtual stream (Stream answers null).
enum GStreamFormat : uint32_t { kTextStreamFormat = 0, kBinaryStreamFormat = 1, kEndianStreamFormat = 2 };

class GInputStream {
 public:
  // Reads the caller's buffer, which must outlive the stream.
  GInputStream(const void* buffer, uint32_t length, uint32_t format);
  // Reads a file; the wide path is converted to the narrow code page. A
  // file that cannot be opened reads as empty input.
  GInputStream(const RWWString& path, uint32_t format);
  virtual ~GInputStream();
  GInputStream(const GInputStream&) = delete;
  GInputStream& operator=(const GInputStream&) = delete;

  // The virtual stream, or null for an unknown format.
  virtual GVirtualInStream* Stream() const { return stream_.get(); }
  // The read position in the bytes.
  virtual uint32_t Position() const;
  // Input does not seek.
  virtual void Seek(uint32_t) {}

 private:
  // The stream reads through the channel, so it is declared after it and
  // destroyed before it.
  std::unique_ptr<GByteChannel> channel_;
  std::unique_ptr<GVirtualInStream> stream_;
};

class GOutputStream {
 public:
  // Writes into the caller's buffer, at most length bytes; writes beyond
  // them fail.
  GOutputStream(void* buffer, uint32_t length, uint32_t format);
  // Creates or truncates a file; the wide path is converted to the narrow
  // code page. A file that cannot be created makes every write fail.
  GOutputStream(const RWWString& path, uint32_t format);
  virtual ~GOutputStream();
  GOutputStream(const GOutputStream&) = delete;
  GOutputStream& operator=(const GOutputStream&) = delete;

  virtual GVirtualOutStream* Stream() const { return stream_.get(); }
  // The write position; for a buffer, the number of bytes written.
  virtual uint32_t Position() const;
  // Moves the write position to an absolute offset.
  virtual void Seek(uint32_t position);

 private:
  // Declared before the stream that writes through it.
  std::unique_ptr<GByteChannel> channel_;
  std::unique_ptr<GVirtualOutStream> stream_;
};
