// The characters of an edited line and the bytes typed for them. The line editor works on
// characters; the program must receive exactly the bytes typed. Bytes are read as UTF-8; a byte
// that is not part of a valid UTF-8 character becomes a character of its own, U+DC80 to U+DCFF
// (a lone surrogate, which no valid UTF-8 decodes to), and encodes back to that byte.
#ifndef CONSOLE_LINE_TEXT_H_
#define CONSOLE_LINE_TEXT_H_

#include <array>
#include <cstddef>
#include <string>

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

/// The keys typed so far, as far as they tell what the next character does.
struct KeyScan {
  std::string sequence;  // the bytes of an escape sequence under way
  bool quoting = false;  // the next character is inserted whatever it is (after Ctrl-V)
};

/// Takes `c`, the next character typed; true when it would go into the line, false when it edits
/// the line instead: a control character, or a byte of an escape sequence (see `keyContinues`)
/// such as an arrow key's. After Ctrl-V the next character goes into the line whatever it is.
bool insertsCharacter(KeyScan* scan, wchar_t c);

/// Appends the bytes `c` was read from (see above) to `bytes`.
void appendBytes(wchar_t c, std::string* bytes);

/// The number of bytes `c` was read from.
size_t byteLength(wchar_t c);

}  // namespace console

#endif  // CONSOLE_LINE_TEXT_H_
