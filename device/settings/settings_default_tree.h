#pragma once

#include <memory>

#include "model/attributes/attribute_composite.h"

class GDriverInterface;

// The tree a stored settings tree is merged with when it is read: what a
// complete, current tree of the printer's device description holds. Its
// root (no key) holds
//   - the document settings (360): the device description's settings
//     template (359) under the document-settings key;
//   - an empty composite 1101, which takes whatever is stored in it;
//   - the quick-set pool (0x4000005C) holding one template quick set (key
//     0): the device description's list of quick-set settings (375) with
//     the set's name (376, empty) and its per-user flag (1124, 0);
// and, in the first watermark pool (378) below the root, the template of a
// watermark (380), and in the first custom-size pool (276) the template of
// a custom paper size (0x40000019). A part whose source the device
// description lacks is left out; without the list 375 the template quick
// set holds only its name and flag.
std::unique_ptr<GAttributeComposite> BuildSettingsDefaultTree(GDriverInterface& driver);
