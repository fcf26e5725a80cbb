// The characters of an edited line, the bytes typed for them, and the keys they make. The line
// editor works on characters; the program must receive exactly the bytes typed. Bytes are read
// as UTF-8; a byte that is not part of a valid UTF-8 character becomes a character of its own,
// U+DC80 to U+DCFF (a lone surrogate, which no valid UTF-8 decodes to), and encodes back to that
// byte.
#ifndef CONSOLE_TERMINAL_LINE_TEXT_H_
#define CONSOLE_TERMINAL_LINE_TEXT_H_

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace console {

/// The most bytes an edited line holds, as a terminal's own line (4096 with its line end).
inline constexpr size_t kMaxLineBytes = 4095;

/// A UTF-8 character being read, byte by byte.
struct Utf8Reader {
  std::array<unsigned char, 4> bytes{};
  size_t count = 0;   // bytes held
  size_t length = 0;  // bytes the held character needs
};

/// Takes the next byte typed; appends to `chars` the characters it completes: none while a
/// character is unfinished, otherwise the character, or for bytes that turn out not to form
/// one, a character for each byte.
void readUtf8Byte(Utf8Reader* reader, unsigned char byte, std::wstring* chars);

/// At the end of input: appends a character for each byte of an unfinished character.
void finishUtf8(Utf8Reader* reader, std::wstring* chars);

/// Where the key under way stands in the grammar of keys (see `scanKey`).
enum class KeyPart { start, escape, secondEscape, csiParameters, csiIntermediates, ss3 };

/// The key under way: its first `kMaxKeyChars` characters and where it stands.
struct KeyScan {
  std::wstring key;
  KeyPart part = KeyPart::start;
};

/// The most characters of a key kept; a longer escape sequence is dropped all the same.
inline constexpr size_t kMaxKeyChars = 16;

/// Takes `c`, the next character typed, and appends to `keys` each key it ends. A key is one
/// character, or an escape sequence: ESC [ with parameters (0x30 to 0x3F) and intermediates (0x20
/// to 0x2F) up to a final character (0x40 to 0x7E); ESC O, or the Linux console's ESC [ [, with
/// parameters and a final character; or ESC, once or twice, and one character or one of these
/// sequences (Alt with a key). A line end, or a character that has no place in the sequence
/// under way, ends it and starts a key of its own.
void scanKey(KeyScan* scan, wchar_t c, std::vector<std::wstring>* keys);

/// One key read byte by byte, as the key wait reads it: the bytes go through a `Utf8Reader`
/// and the characters through `scanKey`.
struct KeyReader {
  Utf8Reader utf8;
  KeyScan scan;
  std::vector<std::wstring> keys;  // the keys completed so far
};

/// Takes the next byte of a key; true once a key is complete, so that the bytes after it stay
/// for the next reader.
bool readKeyByte(KeyReader* reader, unsigned char byte);

/// What a whole key does at the line: goes into it (a printable character or Tab), edits it (one
/// of `editingKeys`), or nothing: an unbound control character is dropped silently, an unbound
/// escape sequence with a bell.
enum class KeyUse { insert, edit, drop, dropWithBell };

/// What `key` does.
KeyUse keyUse(std::wstring_view key);

/// A key that edits the line, and the editor's function it calls.
struct EditingKey {
  std::string_view keys;
  const char* function;
};

/// Every key that edits the line: control keys, arrows, Home, End and Delete in their xterm, vt
/// and rxvt forms, Ctrl-Left and Ctrl-Right by word, and Alt with B, F, D or Backspace.
std::span<const EditingKey> editingKeys();

/// The columns the editor takes to show `c` in the locale's character type: a control character
/// as ^X, a character the terminal cannot print as \U+XXXX or \U+XXXXX. (Tab, which reaches the
/// next tab stop, is the caller's to count.)
size_t shownWidth(wchar_t c);

/// Appends the bytes `c` was read from (see above) to `bytes`.
void appendBytes(wchar_t c, std::string* bytes);

/// The number of bytes `c` was read from.
size_t byteLength(wchar_t c);

}  // namespace console

#endif  // CONSOLE_TERMINAL_LINE_TEXT_H_
