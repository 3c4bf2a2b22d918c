#include "pclxl/generator/printer_memory_budget.h"

void GPrinterMemoryBudget::SetLimit(uint32_t limit) {
  limit_ = limit;
  used_ = 0;
}

uint32_t GPrinterMemoryBudget::ResetUsage() {
  used_ = 0;
  return limit_;
}

uint32_t GPrinterMemoryBudget::Consume(uint32_t bytes) {
  if (Remaining() >= bytes) {
    used_ += bytes;
  } else {
    used_ = limit_;
  }
  return Remaining();
}

uint32_t GPrinterMemoryBudget::Release(uint32_t bytes) {
  used_ = bytes <= used_ ? used_ - bytes : 0;
  return Remaining();
}

uint32_t GPrinterMemoryBudget::Remaining() const { return used_ >= limit_ ? 0 : limit_ - used_; }
