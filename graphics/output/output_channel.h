#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "model/objects/persistent_object.h"

// The job's byte sink, shared by the PJL writer and the page-description
// generator. The base keeps the channel's state, its name and a running
// count of the bytes accepted; a concrete channel (a file, memory, the
// spooler) moves the bytes.
//
// States: closed -> Open -> open -> Begin -> in document -> End -> open ->
// Close -> closed; Finish from any state leads to finished, from which only
// the destructor leads on. An operation called in the wrong state answers 1
// and changes nothing.
//
// A channel is handed out by the query-object providers of the provider
// registry, which answer model objects; that is the only reason it is one.
// It is never stored, registered or compared.
//
// The base destructor only moves the state; a concrete channel finishes its
// own work (flushing, closing) in its own destructor.
class GOutputChannel : public MPersistentObject {
 public:
  enum State : int32_t { kClosed = 0, kOpen = 1, kInDocument = 2, kFinished = 3 };

  // Status of an operation in the wrong state.
  static constexpr uint16_t kWrongState = 1;
  // Status of a write that could not be completed, whole or in part.
  static constexpr uint16_t kWriteFailed = 2;

  explicit GOutputChannel(const RWCString& name) : name_(name) {}
  GOutputChannel(const GOutputChannel&) = delete;
  GOutputChannel& operator=(const GOutputChannel&) = delete;
  // Ends and closes an active channel (the base's part of it only).
  ~GOutputChannel() override;

  // A channel is only ever itself.
  bool SameContent(const MPersistentObject& other) const override { return this == &other; }

  // Closed to open; answers 0.
  virtual uint16_t Open(const RWWString& documentName);
  // Open to in document; answers 0, also when already in document.
  virtual uint16_t Begin();
  // A point where buffered output may be pushed on. The base answers 1 when
  // closed or finished, else 0.
  virtual uint16_t Checkpoint();
  // Writes count bytes and sets written to how many were accepted, each of
  // which is counted. Any answer but 0 reports that not all were written.
  virtual uint16_t Write(const uint8_t* bytes, uint32_t count, uint32_t& written) = 0;
  // The string's characters through Write, beginning the document first
  // when the channel is only open.
  virtual uint16_t WriteString(const RWCString& text, uint32_t& written);
  // In document to open; answers 0, also when only open.
  virtual uint16_t End();
  // Ends an in-document channel first, then open to closed; answers what
  // the end answered.
  virtual uint16_t Close();
  // Ends and closes as needed; the state becomes finished in every case.
  // Answers the last answer (0 when nothing was needed).
  virtual uint16_t Finish();
  // Whether the channel can accept output at all.
  virtual bool IsReady() const = 0;

  // Open or in document.
  bool IsActive() const { return state_ == kOpen || state_ == kInDocument; }
  State GetState() const { return state_; }
  uint32_t GetBytesWritten() const { return bytesWritten_; }
  const RWCString& GetName() const { return name_; }

 protected:
  void CountWritten(uint32_t count) { bytesWritten_ += count; }

 private:
  uint16_t BaseEnd();
  uint16_t BaseClose();

  uint32_t bytesWritten_ = 0;
  RWCString name_;
  State state_ = kClosed;
};
