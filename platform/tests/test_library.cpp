// A small loadable library for the tests of module loading: exports in the
// forms the system calls its libraries' entry points.
#include <cstdarg>
#include <cstdint>

#ifdef _WIN32
#define QV_TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define QV_TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Two 32-bit arguments, a 16-bit answer.
QV_TEST_EXPORT uint16_t QvTestCombine(uint32_t high, uint32_t low) {
  return static_cast<uint16_t>((high << 8) | (low & 0xFF));
}

// A 32-bit value and a table to fill, a 16-bit answer: stores the value in
// the table's first word and answers its low 16 bits.
QV_TEST_EXPORT uint16_t QvTestFill(uint32_t value, void* table) {
  *static_cast<uint32_t*>(table) = value;
  return static_cast<uint16_t>(value);
}

// Reads its arguments as a variable argument list: a count, then that many
// ints; answers their sum as a pointer-sized number.
QV_TEST_EXPORT void* QvTestSum(va_list arguments) {
  const int count = va_arg(arguments, int);
  intptr_t sum = 0;
  for (int i = 0; i < count; ++i) sum += va_arg(arguments, int);
  return reinterpret_cast<void*>(sum);
}
