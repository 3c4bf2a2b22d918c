#pragma once

#include <span>

#include "foundation/rw_collectable.h"

// Expects, for each class ID, what linking its library must give: the
// factory knows the class by its ID and by the name of its row in the class
// table, makes a model object of that class, and the object answers
// IsKindOf for every ID of the table as the table's base chains say.
void ExpectMadeAsTheClassTableSays(std::span<const RWClassID> ids);
