#pragma once

#include <cstdint>

#include "foundation/string_block.h"
#include "foundation/unit_lock.h"
#include "platform/wide_char.h"

class RWCString;
class RWWString;
class GSubString;
class GWSubString;

// What tells the narrow and the wide string apart: their types, their lock,
// empty block and tuning values, and how one character compares, folds and
// hashes. The shared string code is written once against these.
template <typename Char>
struct GStringKind;

template <>
struct GStringKind<char> {
  using String = RWCString;
  using SubString = GSubString;

  static GUnitLock& Lock();
  static GStringBlock* EmptyBlock();
  static GStringTuning& Tuning();

  // Characters order as signed 8-bit values, folded through tolower.
  static int Order(char c) { return static_cast<signed char>(c); }
  static int FoldedOrder(char c);
  static char ToUpper(char c);
  static char ToLower(char c);
  // A byte left over at the end of a hash, sign-extended.
  static uint32_t HashTail(char c) { return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c))); }
  static uint32_t HashFolded(char c);
  // The index check of a view's character access.
  static bool CheckViewIndex(uint32_t index, uint32_t length);
};

template <>
struct GStringKind<WideChar> {
  using String = RWWString;
  using SubString = GWSubString;

  static GUnitLock& Lock();
  static GWStringBlock* EmptyBlock();
  static GStringTuning& Tuning();

  // Code units order as unsigned 16-bit values, folded through towlower.
  static int Order(WideChar c) { return static_cast<uint16_t>(c); }
  static int FoldedOrder(WideChar c);
  static WideChar ToUpper(WideChar c);
  static WideChar ToLower(WideChar c);
  static uint32_t HashTail(WideChar c) { return static_cast<uint16_t>(c); }
  static uint32_t HashFolded(WideChar c);
  static bool CheckViewIndex(uint32_t index, uint32_t length);
};
