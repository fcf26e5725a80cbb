#include "console/terminal/line_text.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace console {
namespace {

constexpr wchar_t kByteCharBase = 0xDC00;
constexpr wchar_t kEscape = 0x1B;

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

void scanKey(KeyScan* scan, wchar_t c, std::vector<std::wstring>* keys) {
  const auto endKey = [scan, keys] {
    keys->push_back(std::move(scan->key));
    scan->key.clear();
    scan->part = KeyPart::start;
  };
  const bool parameter = c >= 0x30 && c <= 0x3F;
  const bool intermediate = c >= 0x20 && c <= 0x2F;
  const bool final = c >= 0x40 && c <= 0x7E;
  KeyPart next = KeyPart::start;  // where the key stands after `c`; start: `c` ends it
  switch (scan->part) {
    case KeyPart::start:
      next = c == kEscape ? KeyPart::escape : KeyPart::start;
      break;
    case KeyPart::escape:
    case KeyPart::secondEscape:
      if (c == L'\r' || c == L'\n') {
        endKey();  // Enter after Escape is Enter still
        scanKey(scan, c, keys);
        return;
      }
      if (c == L'[') {
        next = KeyPart::csiParameters;
      } else if (c == L'O') {
        next = KeyPart::ss3;
      } else if (c == kEscape && scan->part == KeyPart::escape) {
        next = KeyPart::secondEscape;
      }
      break;
    case KeyPart::csiParameters:
    case KeyPart::csiIntermediates:
      if (c == L'[' && scan->key.size() == 2) {
        next = KeyPart::ss3;  // the Linux console's F1 to F5: ESC [ [ and a letter
      } else if (intermediate) {
        next = KeyPart::csiIntermediates;
      } else if (parameter && scan->part == KeyPart::csiParameters) {
        next = KeyPart::csiParameters;
      } else if (!final) {
        endKey();  // broken off: `c` is a key of its own
        scanKey(scan, c, keys);
        return;
      }
      break;
    case KeyPart::ss3:
      if (parameter) {
        next = KeyPart::ss3;
      } else if (!final && !intermediate) {
        endKey();
        scanKey(scan, c, keys);
        return;
      }
      break;
  }
  if (scan->key.size() < kMaxKeyChars) scan->key.push_back(c);
  scan->part = next;
  if (next == KeyPart::start) endKey();
}

bool readKeyByte(KeyReader* reader, unsigned char byte) {
  std::wstring chars;
  readUtf8Byte(&reader->utf8, byte, &chars);
  for (wchar_t c : chars) scanKey(&reader->scan, c, &reader->keys);
  return !reader->keys.empty();
}

KeyUse keyUse(std::wstring_view key) {
  if (key.size() == 1 && (key[0] == L'\t' || (key[0] >= 0x20 && key[0] != 0x7F))) {
    return KeyUse::insert;
  }
  for (const EditingKey& editing : editingKeys()) {
    if (std::equal(key.begin(), key.end(), editing.keys.begin(), editing.keys.end(),
                   [](wchar_t c, char b) { return c == static_cast<unsigned char>(b); })) {
      return KeyUse::edit;
    }
  }
  return !key.empty() && key[0] == kEscape ? KeyUse::dropWithBell : KeyUse::drop;
}

std::span<const EditingKey> editingKeys() {
  // Only keys whose whole sequence is listed reach the editor, so none of its own bindings can
  // take a sequence apart and insert its tail. Keys that could put more into the line than was
  // typed (a count, a yank) are left out, and so is Ctrl-V, which would insert the next key.
  static constexpr EditingKey kKeys[] = {
      {"\x01", "ed-move-to-beg"},       // Ctrl-A
      {"\x02", "ed-prev-char"},         // Ctrl-B
      {"\x04", "end-or-delete"},        // Ctrl-D
      {"\x05", "ed-move-to-end"},       // Ctrl-E
      {"\x06", "ed-next-char"},         // Ctrl-F
      {"\x08", "ed-delete-prev-char"},  // Ctrl-H
      {"\x0a", "ed-newline"},           // Ctrl-J
      {"\x0b", "ed-kill-line"},         // Ctrl-K
      {"\x0c", "clear-and-redraw"},     // Ctrl-L
      {"\x0d", "ed-newline"},           // Enter
      {"\x0e", "ed-next-history"},      // Ctrl-N
      {"\x10", "ed-prev-history"},      // Ctrl-P
      {"\x14", "ed-transpose-chars"},   // Ctrl-T
      {"\x15", "vi-kill-line-prev"},    // Ctrl-U
      {"\x17", "ed-delete-prev-word"},  // Ctrl-W
      {"\x7f", "ed-delete-prev-char"},  // Backspace
      {"\x1b[A", "ed-prev-history"},    // Up
      {"\x1bOA", "ed-prev-history"},
      {"\x1b[B", "ed-next-history"},  // Down
      {"\x1bOB", "ed-next-history"},
      {"\x1b[C", "ed-next-char"},  // Right
      {"\x1bOC", "ed-next-char"},
      {"\x1b[D", "ed-prev-char"},  // Left
      {"\x1bOD", "ed-prev-char"},
      {"\x1b[H", "ed-move-to-beg"},  // Home: xterm, vt, rxvt
      {"\x1bOH", "ed-move-to-beg"},
      {"\x1b[1~", "ed-move-to-beg"},
      {"\x1b[7~", "ed-move-to-beg"},
      {"\x1b[F", "ed-move-to-end"},  // End
      {"\x1bOF", "ed-move-to-end"},
      {"\x1b[4~", "ed-move-to-end"},
      {"\x1b[8~", "ed-move-to-end"},
      {"\x1b[3~", "ed-delete-next-char"},  // Delete
      {"\x1b[1;5D", "ed-prev-word"},       // Ctrl-Left: xterm, older xterm, rxvt
      {"\x1b[5D", "ed-prev-word"},
      {"\x1bOd", "ed-prev-word"},
      {"\x1b[1;5C", "em-next-word"},  // Ctrl-Right
      {"\x1b[5C", "em-next-word"},
      {"\x1bOc", "em-next-word"},
      {"\x1b"
       "b",
       "ed-prev-word"},  // Alt-B
      {"\x1b"
       "f",
       "em-next-word"},  // Alt-F
      {"\x1b"
       "d",
       "em-delete-next-word"},              // Alt-D
      {"\x1b\x7f", "ed-delete-prev-word"},  // Alt-Backspace
      {"\x1b\x08", "ed-delete-prev-word"},
  };
  return kKeys;
}

size_t shownWidth(wchar_t c) {
  if (c < 0x20 || c == 0x7F) return 2;
  const int width = ::wcwidth(c);
  if (width >= 0) return static_cast<size_t>(width);
  return c > 0xFFFF ? 8 : 7;
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
