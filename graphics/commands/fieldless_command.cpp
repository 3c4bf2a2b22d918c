#include "graphics/commands/fieldless_command.h"

bool GFieldlessCommand::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  return other.ClassID() == ClassID() && GCommand::SameContent(other);
}

void GFieldlessCommand::Fields(GFieldArchive& archive) {
  GCommand::Fields(archive);
  archive.TrailingVersion(FormatVersion());
}
