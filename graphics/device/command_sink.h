#pragma once

#include <cstdint>
#include <memory>

class GCommand;
class GCommandSink;

// What a concrete device may put between its graphics device and the
// pipeline: a sink that can hold commands back while it waits for
// something of its own. This library attaches none.
class GInnerSink {
 public:
  virtual ~GInnerSink() = default;
  virtual int32_t Attach(GCommandSink& sink, int32_t argument) = 0;
  virtual uint16_t GetStatus() = 0;
  virtual void Signal(int32_t argument) = 0;
  virtual int32_t Deliver(int32_t first, int32_t second, int32_t third, int32_t fourth) = 0;
  virtual bool Matches(int32_t argument) = 0;
};

// The gate every command of a device passes before the pipeline. Without
// an inner sink every command passes. A command marked pending passes once
// and is forgotten; while none is pending the inner sink's status decides.
class GCommandSink {
 public:
  // Poll's answers.
  static constexpr int32_t kWaiting = 1;
  static constexpr int32_t kFinished = 2;

  GCommandSink() = default;
  GCommandSink(const GCommandSink&) = delete;
  GCommandSink& operator=(const GCommandSink&) = delete;
  virtual ~GCommandSink() = default;

  virtual bool HasPending() const { return pending_ != nullptr; }
  virtual void Signal(int32_t argument);
  virtual int32_t Deliver(int32_t first, int32_t second, int32_t third, int32_t fourth);
  // Takes the inner sink and answers its Attach with this sink.
  virtual int32_t Attach(std::unique_ptr<GInnerSink> inner, int32_t argument);
  // Non-zero holds the command back.
  virtual uint16_t BeforeCommand(const GCommand* command);
  // The inner sink's status; 0 without one.
  virtual uint16_t GetStatus();
  // The command is not owned; it is only compared.
  virtual void SetPending(const GCommand* command) { pending_ = command; }
  // kWaiting while the inner sink matches the argument; otherwise the inner
  // sink is asked its status and let go: kFinished.
  virtual int32_t Poll(int32_t argument);
  // The inner sink when it matches the argument, else null.
  virtual GInnerSink* Find(int32_t argument);

 private:
  const GCommand* pending_ = nullptr;
  std::unique_ptr<GInnerSink> inner_;
};
