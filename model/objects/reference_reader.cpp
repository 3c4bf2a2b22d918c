#include "model/objects/reference_reader.h"

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "foundation/held_graph.h"
#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "foundation/stored_count.h"
#include "model/objects/persistent_object.h"

namespace {

// The model restore running on this thread: from the first reader made to
// the end of the last one.
struct RestoreSession {
  uint32_t readers = 0;
  // Objects whose restore is running, outermost first.
  std::vector<const MPersistentObject*> underRestore;
  // Every model object read, kept alive for the whole restore.
  std::vector<GObjectRef> held;
  // Collectables that were not model objects, deleted at the end.
  std::set<RWCollectable*> discarded;
};

RestoreSession& Session() {
  static thread_local RestoreSession session;
  return session;
}

}  // namespace

GReferenceReader::GReferenceReader(const MPersistentObject* owner) {
  RestoreSession& session = Session();
  ++session.readers;
  session.underRestore.push_back(owner);
}

GReferenceReader::~GReferenceReader() {
  RestoreSession& session = Session();
  session.underRestore.pop_back();
  if (--session.readers != 0) return;
  // Letting go may delete objects, whose destructors must not see a
  // half-cleared session.
  std::vector<GObjectRef> held = std::move(session.held);
  std::set<RWCollectable*> discarded = std::move(session.discarded);
  session.held.clear();
  session.discarded.clear();
  held.clear();
  for (RWCollectable* object : discarded) delete object;
}

void GReferenceReader::Discard(RWCollectable* object) {
  // A container goes with what it holds, which nothing else can have taken:
  // model objects hold only model objects.
  for (RWCollectable* held : HeldGraph(object)) DiscardOne(held);
}

void GReferenceReader::DiscardOne(RWCollectable* object) {
  RestoreSession& session = Session();
  // A model object may have an owner by now, or get one before the end:
  // the session holds it like everything else it read, and letting go
  // deletes it only when nobody else did take it.
  if (auto* model = dynamic_cast<MPersistentObject*>(object)) {
    GObjectRef held(model);
    if (session.readers != 0) session.held.push_back(std::move(held));
    return;
  }
  if (session.readers == 0) {
    delete object;
    return;
  }
  session.discarded.insert(object);
}

bool GReferenceReader::Accept(RWCollectable* read, bool fresh, GObjectRef& object) {
  if (read == nullptr) {
    object = nullptr;
    return true;
  }
  auto* model = dynamic_cast<MPersistentObject*>(read);
  if (model == nullptr) {
    // An object read earlier belongs to whoever read it first.
    if (fresh) Discard(read);
    return false;
  }
  RestoreSession& session = Session();
  const auto& open = session.underRestore;
  if (std::find(open.begin(), open.end(), model) != open.end()) return false;
  object = model;
  session.held.push_back(object);
  return true;
}

// What was read is taken (or discarded) before the input is judged, so that
// an object restored from truncated input still has an owner.
bool GReferenceReader::Read(GBinaryFile& file, GObjectRef& object) const {
  const GFreshReadProbe probe;
  RWCollectable* read = nullptr;
  ReadObjectFromFile(file, read);
  const bool accepted = Accept(read, probe.Fresh(read), object);
  if (!accepted) FailInput(file);
  return accepted && InputIsGood(file);
}

bool GReferenceReader::Read(GVirtualInStream& stream, GObjectRef& object) const {
  const GFreshReadProbe probe;
  RWCollectable* read = nullptr;
  ReadObjectFromStream(stream, read);
  const bool accepted = Accept(read, probe.Fresh(read), object);
  if (!accepted) FailInput(stream);
  return accepted && stream.IsGood();
}
