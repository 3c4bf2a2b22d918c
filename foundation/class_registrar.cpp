#include "foundation/class_registrar.h"

GClassRegistrar::GClassRegistrar(RWCreateFunction create, RWClassID id, const char* name) : id_(id), name_(name) {
  FactoryAddCreator(create, id, RWStringID(name));
}

GClassRegistrar::~GClassRegistrar() {
  FactoryRemoveID(id_);
  FactoryRemoveName(RWStringID(name_));
}
