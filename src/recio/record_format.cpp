#include "recio/record_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "recio/run_failure.h"

namespace packscan {
namespace {

// Walks a format text, skipping the blanks that carry no meaning outside literals.
struct FormatCursor {
  std::string_view text;
  std::size_t pos = 0;

  char peek() {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    return pos < text.size() ? text[pos] : '\0';
  }
  bool isDigit() {
    const char c = peek();
    return c >= '0' && c <= '9';
  }
  int number(const char* what) {
    if (!isDigit()) throw std::invalid_argument(std::string("format: expected ") + what);
    int value = 0;
    while (isDigit()) {
      value = value * 10 + (text[pos++] - '0');
      if (value > 100000) throw std::invalid_argument("format: number too large");
    }
    return value;
  }
};

void appendRepeated(RecordFormat& format, int repeat, EditItem item) {
  for (int k = 0; k < repeat; ++k) format.items.push_back(item);
}

std::string blanks(std::size_t count) { return std::string(count, ' '); }

std::string rightJustify(const std::string& text, int width) {
  if (text.size() > static_cast<std::size_t>(width)) return std::string(width, '*');
  return blanks(width - text.size()) + text;
}

// The field as a diagnostic quotes it: blanks trimmed, unprintable bytes escaped.
std::string quoteField(std::string_view field) {
  const auto first = field.find_first_not_of(' ');
  if (first == std::string_view::npos) return "\"\"";
  field = field.substr(first, field.find_last_not_of(' ') - first + 1);
  return "\"" + escapeUnprintable(field, "\"\\") + "\"";
}

std::string withoutBlanks(std::string_view field) {
  std::string kept;
  for (char c : field)
    if (c != ' ') kept.push_back(c);
  return kept;
}

bool isDigitChar(char c) { return c >= '0' && c <= '9'; }

std::string fieldFailure(const RecordFile& file, std::size_t column, int width,
                         std::string_view field, const std::string& reason,
                         std::string_view what) {
  return file.name + ":" + std::to_string(file.lineNumber) + ": columns " +
         std::to_string(column + 1) + "-" + std::to_string(column + width) + " hold " +
         quoteField(field) + ": " + reason + " (" + std::string(what) + ")";
}

[[noreturn]] void failEndOfFile(const RecordFile& file, std::string_view what) {
  std::string message = file.name + ":" + std::to_string(file.lineNumber + 1) +
                        ": end of file while reading " + std::string(what);
  if (file.createdEmpty)
    message += " (" + file.name + " did not exist and was created empty: is this the right folder?)";
  throw RunFailure{FailureKind::Input, message};
}

void nextRecord(RecordFile& file, std::string_view what) {
  if (!readRecord(file)) failEndOfFile(file, what);
}

}  // namespace

RecordFormat parseFormat(std::string_view text) {
  RecordFormat format;
  format.text = std::string(text);
  FormatCursor cursor{text};
  if (cursor.peek() != '(') throw std::invalid_argument("format: expected '('");
  ++cursor.pos;
  for (;;) {
    const char c = cursor.peek();
    if (c == ')') break;
    if (c == '/') {
      ++cursor.pos;
      format.items.push_back({EditKind::RecordEnd, 0, 0, {}});
      if (cursor.peek() == ',') ++cursor.pos;
      continue;
    }
    if (c == '\'') {
      const std::size_t close = text.find('\'', cursor.pos + 1);
      if (close == std::string_view::npos) throw std::invalid_argument("format: unclosed literal");
      EditItem item{EditKind::Literal, 0, 0, {}};
      item.literal = std::string(text.substr(cursor.pos + 1, close - cursor.pos - 1));
      format.items.push_back(item);
      cursor.pos = close + 1;
    } else {
      const int repeat = cursor.isDigit() ? cursor.number("repeat count") : 1;
      const char letter = cursor.peek();
      ++cursor.pos;
      switch (letter) {
        case 'X':
          format.items.push_back({EditKind::Skip, repeat, 0, {}});
          break;
        case 'I':
          appendRepeated(format, repeat, {EditKind::Integer, cursor.number("field width"), 0, {}});
          break;
        case 'A':
          appendRepeated(format, repeat, {EditKind::Text, cursor.number("field width"), 0, {}});
          break;
        case 'F': {
          EditItem item{EditKind::Real, cursor.number("field width"), 0, {}};
          if (cursor.peek() != '.') throw std::invalid_argument("format: expected '.' in F field");
          ++cursor.pos;
          item.decimals = cursor.number("decimals");
          appendRepeated(format, repeat, item);
          break;
        }
        default:
          throw std::invalid_argument("format: unknown edit descriptor");
      }
      if (repeat == 0 || format.items.empty()) throw std::invalid_argument("format: zero count");
    }
    const char next = cursor.peek();
    if (next == ',') {
      ++cursor.pos;
    } else if (next != ')' && next != '/') {
      throw std::invalid_argument("format: expected ',' or ')'");
    }
  }
  ++cursor.pos;
  if (cursor.peek() != '\0') throw std::invalid_argument("format: text after ')'");
  return format;
}

std::string escapeUnprintable(std::string_view text, std::string_view alsoEscaped) {
  std::string escaped;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7f && alsoEscaped.find(static_cast<char>(c)) == std::string_view::npos) {
      escaped.push_back(static_cast<char>(c));
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      escaped += escape;
    }
  }
  return escaped;
}

std::string renderInteger(std::int32_t value, int width) {
  return rightJustify(std::to_string(value), width);
}

namespace {

std::string decimalText(float value, int decimals) {
  // The value is m * 2^e exactly, with m below 2^24; value * 10^decimals rounded
  // to an integer, halfway cases to even, fits 64 bits for every value below 2^44
  // with at most five decimals, which covers every value a field can show.
  int exponent = 0;
  const float fraction = std::frexp(std::fabs(value), &exponent);
  const std::uint64_t mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
  const int shift = exponent - 24;  // |value| = mantissa * 2^shift
  std::uint64_t scale = 1;
  for (int k = 0; k < decimals; ++k) scale *= 10;
  std::uint64_t scaled;
  if (shift >= 0) {
    if (shift > 20) return {};  // 2^44 and more: wider than any field of the system
    scaled = (mantissa << shift) * scale;
  } else if (-shift >= 64) {
    scaled = 0;  // below half of the last decimal
  } else {
    const std::uint64_t numerator = mantissa * scale;
    const int drop = -shift;
    scaled = numerator >> drop;
    const std::uint64_t rest = numerator & ((std::uint64_t{1} << drop) - 1);
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    if (rest > half || (rest == half && (scaled & 1))) ++scaled;
  }
  std::string digits = std::to_string(scaled);
  if (digits.size() <= static_cast<std::size_t>(decimals))
    digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
  if (decimals > 0) digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
  // Every negative value keeps its sign, also negative zero and values that round to zero.
  return std::signbit(value) ? "-" + digits : digits;
}

}  // namespace

std::string renderReal(float value, int width, int decimals) {
  std::string text;
  if (std::isnan(value)) {
    text = "NaN";
  } else if (std::isinf(value)) {
    text = value > 0 ? "Infinity" : "-Infinity";
    if (text.size() > static_cast<std::size_t>(width)) text = value > 0 ? "Inf" : "-Inf";
  } else {
    // The exact binary value rounded to the requested decimals, halfway cases to even.
    text = decimals <= 5 ? decimalText(value, decimals) : std::string();
    if (text.empty()) {
      // Values too large for 64-bit arithmetic: glibc prints them exactly as well.
      char buffer[128];
      std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
      text = buffer;
    }
    const bool negative = text[0] == '-';
    const std::size_t zero = negative ? 1 : 0;
    // The "0" before the point goes only when the field has no room for it.
    if (text.size() > static_cast<std::size_t>(width) && text.compare(zero, 2, "0.") == 0)
      text.erase(zero, 1);
  }
  return rightJustify(text, width);
}

std::string convertInteger(std::string_view field, std::int32_t& value) {
  const std::string digits = withoutBlanks(field);
  std::size_t pos = 0;
  bool negative = false;
  if (pos < digits.size() && (digits[pos] == '+' || digits[pos] == '-')) negative = digits[pos++] == '-';
  if (digits.empty()) {
    value = 0;
    return {};
  }
  if (pos == digits.size()) return "not an integer";
  std::int64_t magnitude = 0;
  for (; pos < digits.size(); ++pos) {
    if (!isDigitChar(digits[pos])) return "not an integer";
    magnitude = magnitude * 10 + (digits[pos] - '0');
    if (magnitude > 2147483648LL) return "out of range for a 32-bit integer";
  }
  if (!negative && magnitude > 2147483647LL) return "out of range for a 32-bit integer";
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return {};
}

std::string convertReal(std::string_view field, int decimals, float& value) {
  const std::string text = withoutBlanks(field);
  if (text.empty()) {
    value = 0.0f;
    return {};
  }
  std::size_t pos = 0;
  bool negative = false;
  if (text[pos] == '+' || text[pos] == '-') negative = text[pos++] == '-';

  std::string digits;
  int digitsAfterPoint = 0;
  bool point = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (isDigitChar(c)) {
      digits.push_back(c);
      if (point) ++digitsAfterPoint;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits.empty()) return "not a number";

  std::int64_t exponent = 0;
  if (pos < text.size()) {
    const char c = text[pos];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') ++pos;
    else if (c != '+' && c != '-') return "not a number";
    bool exponentNegative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
      exponentNegative = text[pos++] == '-';
    if (pos == text.size()) return "not a number";
    for (; pos < text.size(); ++pos) {
      if (!isDigitChar(text[pos])) return "not a number";
      if (exponent < 1000000) exponent = exponent * 10 + (text[pos] - '0');
    }
    if (exponentNegative) exponent = -exponent;
  }

  // Without a point the last `decimals` digits are decimals.
  const int scale = point ? digitsAfterPoint : decimals;
  const std::int64_t decimalExponent = exponent - scale;
  const std::string canonical = digits + "e" + std::to_string(decimalExponent);
  float magnitude = 0.0f;
  const auto result =
      std::from_chars(canonical.data(), canonical.data() + canonical.size(), magnitude);
  if (result.ec == std::errc::result_out_of_range) {
    // Below the smallest subnormal the value is zero; above the largest float it is refused.
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    const std::int64_t leadingPower =
        decimalExponent + static_cast<std::int64_t>(digits.size() - firstNonZero) - 1;
    if (leadingPower >= 0) return "out of range for a 32-bit real";
    magnitude = 0.0f;
  } else if (result.ec != std::errc()) {
    return "not a number";
  }
  value = negative ? -magnitude : magnitude;
  return {};
}

std::vector<std::string> formatRecords(const RecordFormat& format,
                                       std::initializer_list<FieldValue> values) {
  std::vector<std::string> records;
  std::string current;
  std::size_t pendingSkip = 0;
  auto next = values.begin();
  for (const EditItem& item : format.items) {
    switch (item.kind) {
      case EditKind::Integer:
      case EditKind::Real:
      case EditKind::Text: {
        if (next == values.end()) goto done;
        const FieldValue& value = *next++;
        if (value.kind != item.kind)
          throw std::logic_error("value does not match its field in " + format.text);
        current += blanks(pendingSkip);
        pendingSkip = 0;
        if (item.kind == EditKind::Integer) {
          current += renderInteger(value.integer, item.width);
        } else if (item.kind == EditKind::Real) {
          current += renderReal(value.real, item.width, item.decimals);
        } else {
          std::string text(value.text.substr(0, item.width));
          current += text + blanks(item.width - text.size());
        }
        break;
      }
      case EditKind::Literal:
        current += blanks(pendingSkip);
        pendingSkip = 0;
        current += item.literal;
        break;
      case EditKind::Skip:
        pendingSkip += static_cast<std::size_t>(item.width);
        break;
      case EditKind::RecordEnd:
        records.push_back(current);
        current.clear();
        pendingSkip = 0;
        break;
    }
  }
done:
  // A skip still pending here adds nothing: no record ends in blanks from a skip.
  records.push_back(current);
  return records;
}

void write(const RecordFormat& format, RecordFile& file, std::initializer_list<FieldValue> values) {
  for (const std::string& record : formatRecords(format, values)) appendRecord(file, record);
}

ReadStatus read(const RecordFormat& format, RecordFile& file,
                std::initializer_list<Destination> destinations, bool errorBranch,
                std::string_view what, std::string* conversionFault) {
  nextRecord(file, what);
  std::size_t column = 0;
  auto next = destinations.begin();
  for (const EditItem& item : format.items) {
    switch (item.kind) {
      case EditKind::Integer:
      case EditKind::Real:
      case EditKind::Text: {
        if (next == destinations.end()) return ReadStatus::Ok;
        const Destination& destination = *next++;
        if (destination.kind != item.kind)
          throw std::logic_error("destination does not match its field in " + format.text);
        // Columns past the end of the record read as blanks.
        std::string field(static_cast<std::size_t>(item.width), ' ');
        if (column < file.record.size())
          file.record.copy(field.data(), static_cast<std::size_t>(item.width), column);
        std::string reason;
        if (item.kind == EditKind::Integer) {
          reason = convertInteger(field, *destination.integer);
        } else if (item.kind == EditKind::Real) {
          reason = convertReal(field, item.decimals, *destination.real);
        } else {
          // A narrower field fills the text from the left; a wider one gives its rightmost part.
          const int width = item.width;
          const int length = destination.length;
          for (int k = 0; k < length; ++k) destination.text[k] = ' ';
          if (width >= length) field.copy(destination.text, length, width - length);
          else field.copy(destination.text, width, 0);
        }
        if (!reason.empty()) {
          const std::string message = fieldFailure(file, column, item.width, field, reason, what);
          if (!errorBranch) throw RunFailure{FailureKind::Input, message};
          if (conversionFault) *conversionFault = message;
          return ReadStatus::ConversionError;
        }
        column += static_cast<std::size_t>(item.width);
        break;
      }
      case EditKind::Skip:
        column += static_cast<std::size_t>(item.width);
        break;
      case EditKind::RecordEnd:
        nextRecord(file, what);
        column = 0;
        break;
      case EditKind::Literal:
        throw std::logic_error("literal in input format " + format.text);
    }
  }
  return ReadStatus::Ok;
}

}  // namespace packscan
