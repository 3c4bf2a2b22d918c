#pragma once

#include <cstdint>
#include <memory>

class GDriverInterface;
class GInputStream;
class GOutputStream;
class GVirtualInStream;
class GVirtualOutStream;
class MPersistentObject;

// What the OS factory uses of the codec of the compact settings format
// (GSettingsCodec, built by the device layer), through which named objects
// are kept in the printer data when the device description asks for it.
// Mode 1 is the 32-bit encoding that named objects use.
class GSettingsCodecInterface {
 public:
  GSettingsCodecInterface() = default;
  GSettingsCodecInterface(const GSettingsCodecInterface&) = delete;
  GSettingsCodecInterface& operator=(const GSettingsCodecInterface&) = delete;
  virtual ~GSettingsCodecInterface() = default;

  // Writes the tree to the stream, whose owner gives the positions; 1 on
  // success, 0 otherwise.
  virtual int32_t Write(const MPersistentObject& tree, GVirtualOutStream& stream, GOutputStream& owner,
                        int32_t mode) = 0;
  // The tree read, merged with the defaults of the driver's device
  // description; null when nothing could be read.
  virtual std::unique_ptr<MPersistentObject> Read(GVirtualInStream& stream, GInputStream& owner,
                                                  GDriverInterface& driver, int32_t mode) = 0;
};
