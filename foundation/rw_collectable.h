#pragma once

#include <cstdint>

class GBinaryFile;
class GVirtualInStream;
class GVirtualOutStream;

// The 16-bit number that identifies a persistent class in stored data.
using RWClassID = uint16_t;

// Class IDs of the class library's own collectables. The system's own
// classes use 3 to 1207.
enum : RWClassID {
  kRWBTreeClassID = 0x8003,
  kRWBTreeDictionaryClassID = 0x8004,
  kRWCollectableClassID = 0x8007,
  kRWCollectableAssociationClassID = 0x8008,
  kGCollectionClassID = 0x801D,
  kRWIdentitySetClassID = 0x8025,
  kRWSetClassID = 0x802B,
  kRWSlistCollectablesClassID = 0x8033,
  kRWSlistCollectablesStackClassID = 0x8036,
  kRWHashTableClassID = 0x805E,
  kRWCollectableIDAssociationClassID = 0x805F,
};

// The answer of a class-name lookup that finds nothing.
inline constexpr RWClassID kUnknownClassID = 0x8000;
// The name of a class registered without one, and the answer of a class-ID
// lookup that finds nothing.
inline constexpr const char* kNoRWStringIDName = "No_RWStringID";
inline constexpr const char* kNoIDName = "NoID";

// The base of every object that can live in a collection or be saved. A
// derived class saves and restores its base part first, then its own fields,
// in the same order both ways; restore reads exactly what save wrote.
class RWCollectable {
 public:
  RWCollectable() = default;
  RWCollectable(const RWCollectable&) = default;
  RWCollectable& operator=(const RWCollectable&) = default;
  virtual ~RWCollectable() = default;

  // A new default object of this object's own class.
  virtual RWCollectable* NewInstance() const;
  // A new copy of this object.
  virtual RWCollectable* Clone() const;
  virtual RWClassID ClassID() const;
  // The bytes this object's own fields take when saved to a binary file.
  virtual uint32_t StoredSize() const;
  // Three-way order; the base orders by address.
  virtual int32_t Compare(const RWCollectable* other) const;
  // The base hashes the address (AddressHash).
  virtual uint32_t HashValue() const;
  // The base is equal only to itself.
  virtual bool Equals(const RWCollectable* other) const;
  virtual void RestoreContentsFromStream(GVirtualInStream& stream);
  virtual void RestoreContentsFromFile(GBinaryFile& file);
  virtual void SaveContentsToStream(GVirtualOutStream& stream) const;
  virtual void SaveContentsToFile(GBinaryFile& file) const;

  // The class ID without an object.
  static RWClassID StaticClassID() { return kRWCollectableClassID; }
  // The create function registered for this class: a new RWCollectable.
  static RWCollectable* Create();
  // The bytes a reference to the object takes in a binary file, counted as
  // within the thread's current save (null meaning the nil object): the
  // object-graph persistence's ObjectStoreSize under the class's name.
  static uint32_t ObjectStoreSize(const RWCollectable* object);
  // The shared object that stands for no object: a null pointer is saved as
  // a reference to it, and a reference to it restores as null.
  static RWCollectable* Nil();
};

// a->Equals(b).
bool CollectablesEqual(const RWCollectable* a, const RWCollectable* b);

// The hash of an address: its low 32 bits XOR those bits shifted right by 3.
// Collections and tables that identify objects by address share it.
uint32_t AddressHash(const void* address);

// User class IDs mark classes that stored data identifies by name rather
// than by number.
bool IsUserClassID(RWClassID id);
// Hands out user class IDs in order from 0x9000; safe from several threads.
RWClassID NewUserClassID();
