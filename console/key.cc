#include "console/key.h"

namespace console {
namespace {

constexpr unsigned char kEscape = 0x1b;

// The length of the UTF-8 character that `lead` starts; 1 for any other byte.
size_t utf8Length(unsigned char lead) {
  if (lead >= 0xc2 && lead <= 0xdf) return 2;
  if (lead >= 0xe0 && lead <= 0xef) return 3;
  if (lead >= 0xf0 && lead <= 0xf4) return 4;
  return 1;
}

}  // namespace

bool keyContinues(std::string_view bytes) {
  if (bytes.empty() || bytes.size() >= kMaxKeyBytes) return false;
  const auto first = static_cast<unsigned char>(bytes[0]);
  if (first != kEscape) return bytes.size() < utf8Length(first);
  if (bytes.size() == 1) return true;
  const char introducer = bytes[1];
  if (introducer == 'O') return bytes.size() < 3;
  if (introducer != '[') return false;
  if (bytes.size() == 2) return true;
  // Parameter and intermediate bytes go on; a final byte, or anything else, ends the sequence.
  const auto last = static_cast<unsigned char>(bytes.back());
  return last >= 0x20 && last <= 0x3f;
}

}  // namespace console
