#include "foundation/persistence.h"

#include "foundation/error.h"
#include "foundation/rw/rwstore.h"
#include "foundation/rw_factory.h"
#include "foundation/stored_count.h"

namespace {

// Binary-file tags, read where a class ID would be.
constexpr int32_t kStartValue = 0x8888;
constexpr uint16_t kBackReferenceTag = 0xFFFF;
// Also used in the stream form, after ':'.
constexpr uint16_t kNewNameTag = 0x888F;
constexpr uint16_t kNameIndexTag = 0x888E;

// Virtual-stream marks.
constexpr char kFirstTimeMark = ':';
constexpr char kBackReferenceMark = '@';
constexpr char kOpenFields = '{';
constexpr char kCloseFields = '}';

// Each writer puts the parts of a reference in one encoding; SaveReference
// decides which parts a reference has.
class FileWriter {
 public:
  using Guard = GStoreTableGuard;

  explicit FileWriter(GBinaryFile& file) : file_(file) {}

  void PutStart() { file_.Write(kStartValue); }
  void PutBackReference(uint32_t index) {
    file_.Write(kBackReferenceTag);
    file_.Write(static_cast<int32_t>(index));
  }
  void PutClassID(RWClassID id) { file_.Write(static_cast<uint16_t>(id)); }
  void PutNewName(const RWCString& name) {
    if (file_.Write(kNewNameTag)) name.SaveTo(file_);
  }
  void PutNameIndex(uint32_t index) {
    file_.Write(kNameIndexTag);
    file_.Write(static_cast<int32_t>(index));
  }
  void PutFields(const RWCollectable& object) { object.SaveContentsToFile(file_); }
  void Fail() { file_.MarkFailed(); }

 private:
  GBinaryFile& file_;
};

class StreamWriter {
 public:
  using Guard = GStoreTableGuard;

  explicit StreamWriter(GVirtualOutStream& stream) : stream_(stream) {}

  void PutStart() {}
  void PutBackReference(uint32_t index) { stream_.PutChar(kBackReferenceMark).PutInt(static_cast<int32_t>(index)); }
  void PutClassID(RWClassID id) { stream_.PutChar(kFirstTimeMark).PutUShort(id); }
  // The name in a narrow string's stored form.
  void PutNewName(const RWCString& name) {
    stream_.PutChar(kFirstTimeMark).PutUShort(kNewNameTag);
    name.SaveTo(stream_);
  }
  void PutNameIndex(uint32_t index) {
    stream_.PutChar(kFirstTimeMark).PutUShort(kNameIndexTag).PutInt(static_cast<int32_t>(index));
  }
  void PutFields(const RWCollectable& object) {
    stream_.PutChar(kOpenFields);
    object.SaveContentsToStream(stream_);
    stream_.PutChar(kCloseFields);
  }
  void Fail() { stream_.SetState(stream_.State() | GStreamStateAdapter::kFail); }

 private:
  GVirtualOutStream& stream_;
};

// Counts what FileWriter would write, in a table of its own.
class SizeCounter {
 public:
  using Guard = GSizeTableGuard;

  void PutStart() { size_ += 4; }
  void PutBackReference(uint32_t) { size_ += 6; }
  void PutClassID(RWClassID) { size_ += 2; }
  void PutNewName(const RWCString& name) { size_ += 6 + name.Length(); }
  void PutNameIndex(uint32_t) { size_ += 6; }
  void PutFields(const RWCollectable& object) { size_ += object.StoredSize(); }
  void Fail() {}

  uint32_t Size() const { return size_; }

 private:
  uint32_t size_ = 0;
};

// Counts one level of nesting for as long as it lives, when the table has
// room for it.
template <typename Table>
class NestingLevel {
 public:
  explicit NestingLevel(Table& table) : table_(table), entered_(table.TryEnter()) {}
  ~NestingLevel() {
    if (entered_) table_.Leave();
  }
  NestingLevel(const NestingLevel&) = delete;
  NestingLevel& operator=(const NestingLevel&) = delete;

  bool Entered() const { return entered_; }

 private:
  Table& table_;
  bool entered_;
};

template <typename Writer>
void SaveReference(const RWCollectable& object, Writer& writer) {
  typename Writer::Guard guard;
  GStoreTable& table = guard.Get();
  if (guard.OwnsTable() && !table.ContinuesASave()) writer.PutStart();
  uint32_t index;
  if (!table.AddObject(&object, index)) {
    writer.PutBackReference(index);
    return;
  }
  // Only an object written in full opens a level, as only such an object
  // opens one when it is read back.
  const NestingLevel level(table);
  if (!level.Entered()) {
    writer.Fail();
    return;
  }
  const RWClassID id = object.ClassID();
  if (!IsUserClassID(id)) {
    writer.PutClassID(id);
  } else {
    const RWStringID name = FactoryNameOfID(id);
    if (table.AddName(name, index)) {
      writer.PutNewName(name);
    } else {
      writer.PutNameIndex(index);
    }
  }
  writer.PutFields(object);
}

const RWCollectable& OrNil(const RWCollectable* object) { return object != nullptr ? *object : *RWCollectable::Nil(); }

// The class part of a stored reference, as read.
struct Header {
  enum class Kind { kBackReference, kClassID, kNewName, kNameIndex };

  Kind kind = Kind::kClassID;
  // The 16-bit value read where the class ID stands.
  RWClassID id = 0;
  // Of a back-reference or a name index.
  uint32_t index = 0;
  RWCString name;

  RWStringID ClassName() const { return RWStringID(name.Data()); }
};

// What follows the 16-bit value read where a class ID stands: a name index,
// a class name, or nothing for a plain class ID.
template <typename Reader>
bool ReadClassPart(Reader& reader, Header& header) {
  switch (header.id) {
    case kNameIndexTag:
      header.kind = Header::Kind::kNameIndex;
      return reader.ReadIndex(header.index);
    case kNewNameTag:
      header.kind = Header::Kind::kNewName;
      return reader.ReadName(header.name);
    default:
      header.kind = Header::Kind::kClassID;
      return true;
  }
}

// Each reader takes the parts of a reference apart in one encoding;
// RestoreReference resolves them. A false answer means the input ended or
// is malformed.
class FileReader {
 public:
  explicit FileReader(GBinaryFile& file) : file_(file) {}

  bool ReadStart(bool outermost) {
    if (!InputIsGood(file_)) return false;
    if (!outermost) return true;
    int32_t value;
    if (!file_.Read(value)) return false;
    if (value == kStartValue) return true;
    RaiseExternalError(GExternalError(GMessage(MsgMagic(), value, kStartValue)));
    Fail();
    return false;
  }

  bool ReadHeader(Header& header) {
    if (!file_.Read(header.id)) return false;
    if (header.id != kBackReferenceTag) return ReadClassPart(*this, header);
    header.kind = Header::Kind::kBackReference;
    return ReadIndex(header.index);
  }

  void Fail() { FailInput(file_); }

  void RestoreFields(RWCollectable& object) { object.RestoreContentsFromFile(file_); }

  bool ReadIndex(uint32_t& index) {
    int32_t value;
    if (!file_.Read(value)) return false;
    index = static_cast<uint32_t>(value);
    return true;
  }

  // The string's restore checks the stored length against the file.
  bool ReadName(RWCString& name) {
    name.RestoreFrom(file_);
    return InputIsGood(file_);
  }

 private:
  GBinaryFile& file_;
};

class StreamReader {
 public:
  explicit StreamReader(GVirtualInStream& stream) : stream_(stream) {}

  // A stream that is not good is not read at all.
  bool ReadStart(bool) { return stream_.IsGood(); }

  bool ReadHeader(Header& header) {
    char mark;
    if (!stream_.GetChar(mark).IsGood()) return false;
    if (mark == kBackReferenceMark) {
      header.kind = Header::Kind::kBackReference;
      return ReadIndex(header.index);
    }
    if (mark != kFirstTimeMark || !stream_.GetUShort(header.id).IsGood()) return false;
    if (!ReadClassPart(*this, header)) return false;
    char open;
    return stream_.GetChar(open).IsGood() && open == kOpenFields;
  }

  void Fail() { FailInput(stream_); }

  // Whatever the fields were, the reference must close where they end; a
  // reference that does not was read out of step and is not trusted.
  void RestoreFields(RWCollectable& object) {
    object.RestoreContentsFromStream(stream_);
    char close;
    if (!stream_.GetChar(close).IsGood() || close != kCloseFields) Fail();
  }

  bool ReadIndex(uint32_t& index) {
    int32_t value;
    if (!stream_.GetInt(value).IsGood()) return false;
    index = static_cast<uint32_t>(value);
    return true;
  }

  bool ReadName(RWCString& name) {
    name.RestoreFrom(stream_);
    return stream_.IsGood();
  }

 private:
  GVirtualInStream& stream_;
};

void RaiseBadReference() { RaiseInternalError(GInternalError(GMessage(MsgRef()))); }

void RaiseNoCreate(RWClassID id) {
  RaiseInternalError(GInternalError(GMessage(MsgNoCreate(), unsigned{id}, unsigned{id})));
}

void RaiseNoCreate(const RWCString& name) { RaiseInternalError(GInternalError(GMessage(MsgNoPersist(), name.Data()))); }

void RaiseTooDeep() { RaiseExternalError(GExternalError(GMessage(MsgStream()))); }

void RaiseWrongClass(RWClassID stored, RWClassID expected) {
  RaiseInternalError(GInternalError(GMessage(MsgId(), unsigned{stored}, unsigned{expected})));
}

// The class a header names, which for a name index is the one the read
// table recorded for it; false for a bad name index.
bool ResolveClass(const Header& header, const GReadTable& table, RWClassID& id) {
  switch (header.kind) {
    case Header::Kind::kNameIndex:
      return table.ClassIDAt(header.index, id);
    case Header::Kind::kNewName:
      id = FactoryIDOfName(header.ClassName());
      return true;
    default:
      id = header.id;
      return true;
  }
}

// The object a back-reference names; false when the index is out of range
// or holds a class, or names another object than the in-place target.
bool ResolveBackReference(const Header& header, GReadTable& table, const RWCollectable* target,
                          RWCollectable*& object) {
  return table.NameObject(header.index, object) && (target == nullptr || object == target);
}

// The object that takes the stored fields: the in-place target, which must
// be of the stored class, or a new one from the factory. Null once the
// error is raised.
RWCollectable* ObjectFor(const Header& header, RWClassID id, RWCollectable* target) {
  if (target != nullptr) {
    if (target->ClassID() == id) return target;
    RaiseWrongClass(id, target->ClassID());
    return nullptr;
  }
  const bool byName = header.kind == Header::Kind::kNewName;
  RWCollectable* object = byName ? FactoryCreateByName(header.ClassName()) : FactoryCreateByID(id);
  if (object != nullptr) return object;
  if (byName) {
    RaiseNoCreate(header.name);
  } else {
    RaiseNoCreate(id);
  }
  return nullptr;
}

// Reads one reference. target is the object of an in-place restore (null
// otherwise, or to make one); onBadReference is the answer when an index
// is bad.
template <typename Reader>
RWCollectable* RestoreReference(Reader reader, RWCollectable* target, RWCollectable* onBadReference) {
  GReadTableGuard guard;
  GReadTable& table = guard.Get();
  if (!reader.ReadStart(guard.OwnsTable())) return nullptr;
  Header header;
  if (!reader.ReadHeader(header)) {
    reader.Fail();
    return nullptr;
  }

  RWCollectable* object = nullptr;
  RWClassID id = 0;
  const bool resolved = header.kind == Header::Kind::kBackReference
                            ? ResolveBackReference(header, table, target, object)
                            : ResolveClass(header, table, id);
  if (!resolved) {
    RaiseBadReference();
    reader.Fail();
    return onBadReference;
  }
  if (header.kind == Header::Kind::kBackReference) return object == RWCollectable::Nil() ? nullptr : object;

  const NestingLevel level(table);
  if (!level.Entered()) {
    RaiseTooDeep();
    reader.Fail();
    return nullptr;
  }
  object = ObjectFor(header, id, target);
  if (object == nullptr) {
    reader.Fail();
    return nullptr;
  }
  table.AppendObject(object);
  if (header.kind == Header::Kind::kNewName) table.AppendClassID(object->ClassID());
  reader.RestoreFields(*object);
  return object;
}

}  // namespace

void SaveObjectToFile(const RWCollectable& object, GBinaryFile& file) {
  FileWriter writer(file);
  SaveReference(object, writer);
}

void SaveObjectToStream(const RWCollectable& object, GVirtualOutStream& stream) {
  StreamWriter writer(stream);
  SaveReference(object, writer);
}

void WriteObjectToFile(const RWCollectable* object, GBinaryFile& file) { SaveObjectToFile(OrNil(object), file); }

void WriteObjectToStream(const RWCollectable* object, GVirtualOutStream& stream) {
  SaveObjectToStream(OrNil(object), stream);
}

RWCollectable* RestoreObjectFromFile(GBinaryFile& file, RWCollectable*& object) {
  return object = RestoreReference(FileReader(file), nullptr, object);
}

RWCollectable* RestoreObjectFromStream(GVirtualInStream& stream, RWCollectable*& object) {
  return object = RestoreReference(StreamReader(stream), nullptr, object);
}

GBinaryFile& ReadObjectFromFile(GBinaryFile& file, RWCollectable*& object) {
  object = nullptr;
  RestoreObjectFromFile(file, object);
  return file;
}

GVirtualInStream& ReadObjectFromStream(GVirtualInStream& stream, RWCollectable*& object) {
  object = nullptr;
  RestoreObjectFromStream(stream, object);
  return stream;
}

RWCollectable* RestoreObjectInPlaceFromFile(GBinaryFile& file, RWCollectable* object) {
  return RestoreReference(FileReader(file), object, nullptr);
}

RWCollectable* RestoreObjectInPlaceFromStream(GVirtualInStream& stream, RWCollectable* object) {
  return RestoreReference(StreamReader(stream), object, nullptr);
}

uint32_t ObjectStoreSize(const RWCollectable* object) {
  SizeCounter counter;
  SaveReference(OrNil(object), counter);
  return counter.Size();
}
