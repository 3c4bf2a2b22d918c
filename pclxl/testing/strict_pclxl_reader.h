#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A strict reader of PCL XL streams (little-endian binding) for tests, with
// its own tables of data types, attributes and operators written from the
// public format description. It checks every tag, array length, attribute
// identifier and type, the attribute set of every operator, the framing and
// length of all embedded data, and (unless told otherwise) that every
// operator stands where it belongs: inside the session, data source, page,
// image, raster pattern, scan, font header, character or stream. It stops at
// the first fault and says where it is.
//
// Disassemble prints what was read, one operator a line, so that a test that
// compares streams names the operator that differs.
namespace strict_pclxl {

enum class ValueKind : uint8_t { kScalar, kArray, kXY, kBox };
enum class ElementType : uint8_t { kUByte, kUInt16, kUInt32, kSInt16, kSInt32, kReal32 };

struct Value {
  ValueKind kind = ValueKind::kScalar;
  ElementType element = ElementType::kUByte;
  // One number for a scalar, two for a pair, four for a box, the elements of
  // an array.
  std::vector<double> numbers;

  // "ubyte", "sint16_xy", "real32_box", "uint16_array" ...
  std::string TypeName() const;
  // The elements of a ubyte array as characters.
  std::string Text() const;
};

struct Attribute {
  uint8_t id = 0;
  std::string_view name;
  Value value;
};

struct Operation {
  size_t offset = 0;  // of the operator byte
  uint8_t tag = 0;
  std::string_view name;
  std::vector<Attribute> attributes;
  bool hasData = false;
  bool longDataFrame = false;
  std::vector<uint8_t> data;

  const Attribute* Find(std::string_view attributeName) const;
  // The index-th number of the named attribute; fails the test's assumption
  // loudly (returns NaN) when the attribute is missing.
  double Number(std::string_view attributeName, size_t index = 0) const;
};

struct StreamHeader {
  int32_t majorClass = 0;
  int32_t minorClass = 0;
  std::string comment;
};

struct ReadOptions {
  // The bytes start with the stream header line.
  bool expectHeader = true;
  // Operators must stand inside what they belong to.
  bool checkNesting = true;
  // At the end nothing may be left open (session, data source, page, blocks).
  bool requireClosed = true;
};

struct ReadResult {
  std::optional<StreamHeader> header;
  std::vector<Operation> operations;
  // Empty when the whole stream was read without a fault.
  std::string error;
  size_t errorOffset = 0;

  bool Ok() const { return error.empty(); }
  std::vector<std::string> OperatorNames() const;
};

ReadResult ReadStrictly(std::span<const uint8_t> bytes, const ReadOptions& options = {});

// The header, one line per operator ("SetCursor Point=sint16_xy(10,20)"),
// and a last line naming the fault when there is one.
std::string Disassemble(const ReadResult& result);

// One operator as Disassemble prints it.
std::string FormatOperation(const Operation& operation);

}  // namespace strict_pclxl
