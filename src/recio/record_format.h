#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "recio/record_file.h"

namespace packscan {

// A 4-character text value, blank-filled on the right (atom labels).
using Label = std::array<char, 4>;

enum class EditKind { Integer, Real, Text, Skip, RecordEnd, Literal };

// One item of a parsed format, repeat counts already expanded.
struct EditItem {
  EditKind kind;
  int width = 0;         // I, F, A: field width; X: columns skipped
  int decimals = 0;      // F only
  std::string literal;   // Literal only
};

struct RecordFormat {
  std::string text;
  std::vector<EditItem> items;
};

// Parses a format text such as "(I4,X,3F10.5,4X,A4)". Blanks outside
// literals carry no meaning. Throws std::invalid_argument on a malformed text.
RecordFormat parseFormat(std::string_view text);

// A value handed to a write, held as the caller holds it.
struct FieldValue {
  EditKind kind;
  std::int32_t integer = 0;
  float real = 0.0f;
  std::string_view text;

  FieldValue(std::int32_t value) : kind(EditKind::Integer), integer(value) {}
  FieldValue(float value) : kind(EditKind::Real), real(value) {}
  FieldValue(const Label& value) : kind(EditKind::Text), text(value.data(), value.size()) {}
  FieldValue(double) = delete;  // every real of the system is a 32-bit float
};

// A variable that a read stores one converted field into.
struct Destination {
  EditKind kind;
  std::int32_t* integer = nullptr;
  float* real = nullptr;
  char* text = nullptr;
  int length = 0;

  Destination(std::int32_t& value) : kind(EditKind::Integer), integer(&value) {}
  Destination(float& value) : kind(EditKind::Real), real(&value) {}
  template <std::size_t N>
  Destination(std::array<char, N>& value)
      : kind(EditKind::Text), text(value.data()), length(static_cast<int>(N)) {}
};

enum class ReadStatus { Ok, ConversionError };

// The records a write of these values produces, without terminators.
std::vector<std::string> formatRecords(const RecordFormat& format,
                                       std::initializer_list<FieldValue> values);

void write(const RecordFormat& format, RecordFile& file,
           std::initializer_list<FieldValue> values);

// Reads whole records into the destinations. End of file, and a field that
// cannot be converted when errorBranch is not set, throw an input RunFailure
// whose message names `what` (for instance "atom 3 of the coordinate block").
// With errorBranch a conversion failure returns ConversionError and leaves its
// description in conversionFault.
ReadStatus read(const RecordFormat& format, RecordFile& file,
                std::initializer_list<Destination> destinations, bool errorBranch,
                std::string_view what, std::string* conversionFault = nullptr);

// The text with every byte outside printable ASCII, and every byte of
// alsoEscaped, written as \xHH: listing text quoted in a message can then
// neither cut the message short (NUL) nor drive the terminal (ESC).
std::string escapeUnprintable(std::string_view text, std::string_view alsoEscaped = {});

// Field rendering and conversion, exposed for tests.
std::string renderInteger(std::int32_t value, int width);
std::string renderReal(float value, int width, int decimals);
// Empty string on success, otherwise why the field is not a number.
std::string convertInteger(std::string_view field, std::int32_t& value);
std::string convertReal(std::string_view field, int decimals, float& value);

}  // namespace packscan
