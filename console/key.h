// Where one key ends in the bytes a terminal sends.
#ifndef CONSOLE_KEY_H_
#define CONSOLE_KEY_H_

#include <string_view>

namespace console {

/// Longest escape sequence taken as one key; a longer one ends there.
inline constexpr size_t kMaxKeyBytes = 16;

/// Given the bytes of a key read so far (at least one), true when the next byte, if it has
/// already arrived, belongs to the same key: after ESC (an escape sequence or Alt with a key),
/// after ESC [ while parameter and intermediate bytes (0x20 to 0x3F) come, after ESC O for one
/// byte, and within a UTF-8 character. Any other byte is a key by itself.
bool keyContinues(std::string_view bytes);

}  // namespace console

#endif  // CONSOLE_KEY_H_
