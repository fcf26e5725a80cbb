#include "fuzz/dialogue_harness.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t countDigits(std::string_view text, size_t from) {
  size_t i = from;
  while (i < text.size() && isDigit(text[i])) ++i;
  return i - from;
}

// The two stream buffers below stand in for a file's: the only way to make a stream see a
// failing read or write is a buffer that fails, so this harness derives from std::streambuf.

// Standard input that holds `input` and, with `fails`, throws where it would report the end of
// input, as a file buffer does when a read fails.
class FaultyInput : public std::streambuf {
 public:
  FaultyInput(std::string input, bool fails) : text_(std::move(input)), fails_(fails) {
    setg(text_.data(), text_.data(), text_.data() + text_.size());
  }

 protected:
  int_type underflow() override {
    if (fails_) throw std::ios_base::failure("read error");
    return traits_type::eof();
  }

 private:
  std::string text_;
  bool fails_;
};

// Standard output that keeps what is written to it until `limit` bytes, then fails.
class FaultyOutput : public std::streambuf {
 public:
  explicit FaultyOutput(size_t limit) : limit_(limit) {}
  const std::string& text() const { return text_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (text_.size() >= limit_) return traits_type::eof();
    text_.push_back(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    const size_t taken = std::min(static_cast<size_t>(n), limit_ - text_.size());
    text_.append(s, taken);
    return static_cast<std::streamsize>(taken);
  }

 private:
  std::string text_;
  size_t limit_;
};

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

FuzzInput decodeFuzzInput(std::string_view data) {
  if (data.size() < 4 || data[0] != '\xff') return {StreamFault{}, data};
  StreamFault fault;
  if (data[1] == 'r') fault.kind = StreamFault::Kind::read;
  if (data[1] == 'w') fault.kind = StreamFault::Kind::write;
  fault.at = static_cast<unsigned char>(data[2]) + 256u * static_cast<unsigned char>(data[3]);
  return {fault, data.substr(4)};
}

DialogueRun runDialogue(int (*programMain)(int, char**), std::string_view input,
                        StreamFault fault) {
  const bool readFails = fault.kind == StreamFault::Kind::read;
  FaultyInput in(std::string(readFails ? input.substr(0, fault.at) : input), readFails);
  FaultyOutput out(fault.kind == StreamFault::Kind::write ? fault.at : SIZE_MAX);
  std::ostringstream err;
  std::streambuf* oldIn = std::cin.rdbuf(&in);
  std::streambuf* oldOut = std::cout.rdbuf(&out);
  std::streambuf* oldErr = std::cerr.rdbuf(err.rdbuf());
  // A run must not inherit the last one's exception mask or line state: copy them from a
  // stream that has never been used.
  static const std::istream pristine(nullptr);
  std::cin.clear();
  std::cin.copyfmt(pristine);
  std::cin.tie(&std::cout);
  std::cin.clear();

  static char programName[] = "program";
  char* argv[] = {programName, nullptr};
  const int status = programMain(1, argv);
  std::cout.flush();
  std::cin.rdbuf(oldIn);
  std::cout.rdbuf(oldOut);
  std::cerr.rdbuf(oldErr);
  std::cin.clear();
  std::cout.clear();
  std::cerr.clear();
  return DialogueRun{out.text(), err.str(), status, fault};
}

bool checkStreamFailureEnding(const DialogueRun& run) {
  const bool readError = endsWith(run.err, "Oshibka chteniya\n");
  const bool writeError = endsWith(run.err, "Oshibka zapisi\n");
  if ((run.status == 4) != (readError || writeError)) {
    failRun(run, "status 4 and the stream failure message disagree", "");
  }
  if (readError && run.fault.kind != StreamFault::Kind::read) {
    failRun(run, "a read error without a failing read", "");
  }
  if (writeError && run.fault.kind != StreamFault::Kind::write) {
    failRun(run, "a write error without a failing write", "");
  }
  return writeError;
}

std::vector<std::string_view> splitLines(std::string_view text, std::string_view* rest) {
  std::vector<std::string_view> lines;
  for (size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  *rest = text;
  return lines;
}

void failRun(const DialogueRun& run, std::string_view what, std::string_view line) {
  std::fprintf(stderr,
               "%.*s: [%.*s]\nstatus %d\n--- stdout (first 2000 bytes)\n%.2000s\n"
               "--- stderr\n%.2000s\n",
               static_cast<int>(what.size()), what.data(), static_cast<int>(line.size()),
               line.data(), run.status, run.out.c_str(), run.err.c_str());
  std::abort();
}

void checkErrorLines(const DialogueRun& run, const std::set<std::string_view>& allowed) {
  std::string_view rest;
  for (std::string_view line : splitLines(run.err, &rest)) {
    if (allowed.count(line) == 0) failRun(run, "unexpected line on standard error", line);
  }
  if (!rest.empty()) failRun(run, "standard error does not end with a line end", rest);
}

std::string_view stripPrompts(std::string_view line, const std::vector<std::string_view>& prompts) {
  for (bool stripped = true; stripped;) {
    stripped = false;
    for (std::string_view prompt : prompts) {
      if (line.substr(0, prompt.size()) == prompt) {
        line.remove_prefix(prompt.size());
        stripped = true;
      }
    }
  }
  return line;
}

bool isUnsignedText(std::string_view text) {
  if (text.empty() || countDigits(text, 0) != text.size()) return false;
  return text.size() == 1 || text[0] != '0';
}

bool isGeneralNumberText(std::string_view text) {
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  if (text == "inf" || text == "nan") return true;
  size_t i = countDigits(text, 0);
  if (i == 0) return false;
  if (i < text.size() && text[i] == '.') {
    const size_t fraction = countDigits(text, i + 1);
    if (fraction == 0) return false;
    i += 1 + fraction;
  }
  if (i < text.size() && text[i] == 'e') {
    if (i + 1 >= text.size() || (text[i + 1] != '+' && text[i + 1] != '-')) return false;
    const size_t exponent = countDigits(text, i + 2);
    if (exponent < 2) return false;
    i += 2 + exponent;
  }
  return i == text.size();
}
