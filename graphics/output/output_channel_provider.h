#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "device/query/device_query_provider.h"

// The query-object provider that makes the job's output channels: the
// first stage of a job that needs to write asks the provider registry for a
// query object for the document's output name and takes the answer as its
// channel. A file provider makes a channel writing to the file of that name;
// a memory provider makes one collecting the bytes in memory, and keeps the
// bytes of the last channel it made for whoever reads the output.
//
// Providers are process-wide objects owned by whoever registers them; this
// one is never stored.
class GOutputChannelProvider : public GDeviceQueryProvider {
 public:
  enum class Kind { kFile, kMemory };

  // The capability bit of output channels among the query objects.
  static constexpr uint32_t kOutputChannelMask = 0x1;

  explicit GOutputChannelProvider(Kind kind) : kind_(kind) {}

  // A new channel named by the output name (the parameter), owned by the
  // caller; it may not be ready (a file that could not be created).
  MPersistentObject* CreateQueryObject(MPersistentObject* object, const RWCString& name, uint32_t mask,
                                       const RWWString& parameter) override;
  uint32_t GetCapabilityMask() const override { return kOutputChannelMask; }

  RWCollectable* NewInstance() const override { return new GOutputChannelProvider(kind_); }
  RWCollectable* Clone() const override { return new GOutputChannelProvider(kind_); }

  // The bytes of the last memory channel made; null before the first.
  const std::shared_ptr<std::string>& LastOutput() const { return lastOutput_; }

 private:
  Kind kind_;
  std::shared_ptr<std::string> lastOutput_;
};
