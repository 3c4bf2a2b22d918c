#pragma once

#include <vector>

#include "foundation/rw_collectable.h"

// The root and every object it reaches through the library's containers
// (collection members, association keys and values), each once: what has
// to go with a container that nobody took, since containers do not delete
// what they hold. Objects a container deletes itself (a dictionary's
// associations) are walked through but left out.
std::vector<RWCollectable*> HeldGraph(RWCollectable* root);
