#include "console/line_text.h"

#include "console/key.h"

namespace console {
namespace {

constexpr wchar_t kByteCharBase = 0xDC00;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the character `lead` starts, or 0 when it starts none. C0, C1 and F5..FF start
// none: they would only give overlong forms or code points past U+10FFFF.
size_t utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// True when `second` may follow `lead`: it excludes overlong forms, surrogates and code points
// past U+10FFFF, which strict UTF-8 has no room for.
bool secondByteFits(unsigned char lead, unsigned char second) {
  if (!isContinuation(second)) return false;
  if (lead == 0xE0) return second >= 0xA0;
  if (lead == 0xED) return second < 0xA0;
  if (lead == 0xF0) return second >= 0x90;
  if (lead == 0xF4) return second < 0x90;
  return true;
}

wchar_t decode(const Utf8Reader& reader) {
  static constexpr std::array<unsigned char, 5> kLeadMask = {0, 0x7F, 0x1F, 0x0F, 0x07};
  auto c = static_cast<wchar_t>(reader.bytes[0] & kLeadMask[reader.length]);
  for (size_t i = 1; i < reader.length; ++i) c = (c << 6) | (reader.bytes[i] & 0x3F);
  return c;
}

wchar_t byteChar(unsigned char byte) { return kByteCharBase + byte; }

bool isByteChar(wchar_t c) { return c >= kByteCharBase + 0x80 && c <= kByteCharBase + 0xFF; }

}  // namespace

void readUtf8Byte(Utf8Reader* reader, unsigned char byte, std::wstring* chars) {
  if (reader->count > 0) {
    const bool fits =
        reader->count == 1 ? secondByteFits(reader->bytes[0], byte) : isContinuation(byte);
    if (!fits) {
      finishUtf8(reader, chars);
      readUtf8Byte(reader, byte, chars);
      return;
    }
    reader->bytes[reader->count++] = byte;
  } else {
    reader->length = utf8Length(byte);
    if (reader->length == 0) {
      chars->push_back(byteChar(byte));
      return;
    }
    reader->bytes[0] = byte;
    reader->count = 1;
  }
  if (reader->count == reader->length) {
    chars->push_back(decode(*reader));
    reader->count = 0;
  }
}

void finishUtf8(Utf8Reader* reader, std::wstring* chars) {
  for (size_t i = 0; i < reader->count; ++i) chars->push_back(byteChar(reader->bytes[i]));
  reader->count = 0;
}

bool insertsCharacter(KeyScan* scan, wchar_t c) {
  if (!scan->sequence.empty() || (c == L'\033' && !scan->quoting)) {
    // Only ASCII continues a sequence; anything else ends it and is stored as a byte that does.
    scan->sequence.push_back(c < 0x80 ? static_cast<char>(c) : '\0');
    if (!keyContinues(scan->sequence)) scan->sequence.clear();
    return false;
  }
  const bool inserted = scan->quoting || (c >= 0x20 && c != 0x7F);
  scan->quoting = !scan->quoting && c == 0x16;  // Ctrl-V
  return inserted;
}

void appendBytes(wchar_t c, std::string* bytes) {
  const auto code = static_cast<unsigned long>(c);
  if (isByteChar(c)) {
    bytes->push_back(static_cast<char>(code - kByteCharBase));
  } else if (code < 0x80) {
    bytes->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    bytes->push_back(static_cast<char>(0xC0 | (code >> 6)));
    bytes->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    bytes->push_back(static_cast<char>(0xE0 | (code >> 12)));
    bytes->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    bytes->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    bytes->push_back(static_cast<char>(0xF0 | (code >> 18)));
    bytes->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    bytes->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    bytes->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

size_t byteLength(wchar_t c) {
  const auto code = static_cast<unsigned long>(c);
  if (isByteChar(c) || code < 0x80) return 1;
  if (code < 0x800) return 2;
  if (code < 0x10000) return 3;
  return 4;
}

}  // namespace console
