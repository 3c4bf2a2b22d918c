#include "model/objects/counted_ptr_vector.h"

MPersistentObject* GCountedPtrVectorIterator::Current() { return vector_->At(static_cast<uint32_t>(index_)).Get(); }

void GCountedPtrVectorIterator::Insert(MPersistentObject* node) {
  if (vector_->IsEmpty()) {
    vector_->Append(GCountedPtr(node));
    return;
  }
  vector_->Set(static_cast<uint32_t>(index_), GCountedPtr(node));
}

bool GCountedPtrVectorIterator::Advance() {
  ++index_;
  if (static_cast<uint32_t>(index_) < vector_->Count()) return true;
  index_ = -1;
  return false;
}
