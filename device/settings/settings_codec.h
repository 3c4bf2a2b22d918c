#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "model/attributes/attribute_composite.h"
#include "model/os/settings_codec_interface.h"

// The compact settings format: the byte form in which a settings tree is
// kept where room is short (the DEVMODE's private part in the 16-bit
// encoding, mode 0; named objects in the printer data and settings copied
// through a buffer in the 32-bit encoding, mode 1), always on binary
// streams.
//
// A stream is twenty "s" bytes, then the root node. Composites (attribute
// composites, states, enumerations) and the three lists (device font lists,
// association lists, resource-mapping lists) are written as type, version,
// key, a 16-bit length patched in once the children are written, the
// children and a 0 byte; leaves as compact_leaves.h and compact_lists.h
// describe. Reading merges each composite with a default tree built from
// the device description at the codec's first read and kept for every
// later one (settings_default_tree.h, settings_tree_reader.h); lists are
// taken as stored.
class GSettingsCodec : public GSettingsCodecInterface {
 public:
  GSettingsCodec();
  ~GSettingsCodec() override;

  // 1 on success. 0 for a mode other than 0 and 1 (nothing written), for a
  // root that is no composite or list (nothing written), or when a child of
  // a class the format has no kind for, a colour-control setting that
  // cannot be read, a node longer than its 16-bit length can say, or a
  // stream that fails met the write: the children after it are left out,
  // and every node already opened is still closed.
  int32_t Write(const MPersistentObject& tree, GVirtualOutStream& stream, GOutputStream& owner, int32_t mode) override;
  // The tree read, or null for another mode, a wrong signature, or a root
  // that is neither a list nor a composite the default tree has a node for.
  std::unique_ptr<MPersistentObject> Read(GVirtualInStream& stream, GInputStream& owner, GDriverInterface& driver,
                                          int32_t mode) override;

 private:
  // One codec may serve several threads (the OS factory holds one for the
  // process); the default tree is built and searched under this lock.
  std::mutex defaultsLock_;
  std::unique_ptr<GAttributeComposite> defaults_;
};
