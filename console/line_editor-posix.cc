// Line editing with libedit on a POSIX terminal. Standard output goes through a buffer that can
// keep back the unfinished last line, the prompt; standard input through a buffer that asks the
// editor for a line whenever it runs dry.
#include <histedit.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <string_view>

#include "console/line_editor.h"

namespace console {
namespace {

// Answers kept per prompt.
constexpr int kHistorySize = 100;

// Writes all of `bytes` to `fd`; false when a write fails.
bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Standard output, able to keep back the text after the last line end and hand it over as
// the prompt. A stream buffer is the only way to see what the program writes before it reads.
class PromptKeepingOutput : public std::streambuf {
 public:
  PromptKeepingOutput() { setp(buffer_, buffer_ + sizeof buffer_); }

  // Writes the complete lines held; keeps the rest.
  bool writeCompleteLines() {
    std::string_view held(pbase(), static_cast<size_t>(pptr() - pbase()));
    const size_t lineEnd = held.rfind('\n');
    if (lineEnd == std::string_view::npos) return true;
    const std::string_view lines = held.substr(0, lineEnd + 1);
    rememberLastLine(lines);
    const bool written = writeAll(STDOUT_FILENO, lines);
    keepOnly(held.substr(lineEnd + 1));
    return written;
  }

  // Writes the complete lines held and takes the text after the last line end, which is not
  // written; a failed write marks standard output bad.
  std::string takePrompt() {
    if (!writeCompleteLines()) std::cout.setstate(std::ios_base::badbit);
    std::string prompt(pbase(), pptr());
    setp(buffer_, buffer_ + sizeof buffer_);
    return prompt;
  }

  // The last whole line written, without its line end: what a prompt written as a line says.
  const std::string& lastLine() const { return lastLine_; }

 protected:
  int_type overflow(int_type c) override {
    if (!writeHeld()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override { return writeHeld() ? 0 : -1; }

 private:
  bool writeHeld() {
    const std::string_view held(pbase(), static_cast<size_t>(pptr() - pbase()));
    rememberLastLine(held);
    setp(buffer_, buffer_ + sizeof buffer_);
    return writeAll(STDOUT_FILENO, held);
  }

  void keepOnly(std::string_view rest) {
    std::string kept(rest);
    setp(buffer_, buffer_ + sizeof buffer_);
    kept.copy(buffer_, kept.size());
    pbump(static_cast<int>(kept.size()));
  }

  void rememberLastLine(std::string_view text) {
    if (text.empty() || text.back() != '\n') return;
    text.remove_suffix(1);
    const size_t start = text.rfind('\n');
    lastLine_ = text.substr(start == std::string_view::npos ? 0 : start + 1);
  }

  char buffer_[4096];
  std::string lastLine_;
};

// The editor and a history for each prompt.
struct Editor {
  EditLine* line = nullptr;
  std::map<std::string, History*> histories;
  std::string prompt;
  PromptKeepingOutput* output = nullptr;

  // The editor itself is left alone at exit: ending it would flush the terminal's input,
  // which belongs to whatever reads the terminal next.
  ~Editor() {
    for (const auto& [key, history] : histories) history_end(history);
  }
};

Editor editor;

char* currentPrompt(EditLine* /*line*/) { return editor.prompt.data(); }

History* historyFor(const std::string& key) {
  History*& history = editor.histories[key];
  if (history == nullptr) {
    history = history_init();
    HistEvent event;
    ::history(history, &event, H_SETSIZE, kHistorySize);
  }
  return history;
}

// The history of the prompt about to be drawn; a prompt written as a whole line is told by
// that line.
History* promptHistory() {
  return historyFor(editor.prompt.empty() ? editor.output->lastLine() : editor.prompt);
}

// Adds `line` without its line end to `history`, unless nothing was typed.
void remember(History* history, std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (line.empty()) return;
  HistEvent event;
  ::history(history, &event, H_ENTER, line.c_str());
}

// Standard input, a line from the editor at a time.
class EditedInput : public std::streambuf {
 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (ended_) return traits_type::eof();
    // Into the editor's mode before anything of the prompt shows, so that what is typed as soon
    // as it shows is not echoed by the terminal as well.
    el_set(editor.line, EL_PREP_TERM, 1);
    editor.prompt = editor.output->takePrompt();
    History* history = promptHistory();
    el_set(editor.line, EL_HIST, ::history, history);
    int count = 0;
    const char* text = el_gets(editor.line, &count);
    if (text == nullptr || count <= 0) {
      // The stream reports a failing read by an exception and marks itself bad.
      if (count < 0) throw std::ios_base::failure("read error");
      ended_ = true;  // Ctrl-D on an empty line
      return traits_type::eof();
    }
    line_.assign(text, static_cast<size_t>(count));
    remember(history, line_);
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::string line_;
  bool ended_ = false;
};

bool terminalHasCursorControl() {
  const char* term = std::getenv("TERM");
  return term != nullptr && *term != '\0' && std::string_view(term) != "dumb";
}

void bindEditingKeys(EditLine* line) {
  el_set(line, EL_EDITOR, "emacs");
  // Keys terminals send for Home, End and Delete, whatever the terminal description says.
  for (const char* home : {"\033[H", "\033OH", "\033[1~", "\033[7~"}) {
    el_set(line, EL_BIND, home, "ed-move-to-beg", nullptr);
  }
  for (const char* end : {"\033[F", "\033OF", "\033[4~", "\033[8~"}) {
    el_set(line, EL_BIND, end, "ed-move-to-end", nullptr);
  }
  el_set(line, EL_BIND, "\033[3~", "ed-delete-next-char", nullptr);
  el_set(line, EL_BIND, "^W", "ed-delete-prev-word", nullptr);
  el_set(line, EL_BIND, "^U", "vi-kill-line-prev", nullptr);
}

}  // namespace

void startLineEditing() {
  if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO) || !terminalHasCursorControl()) {
    return;
  }
  EditLine* line = el_init("consoletools", stdin, stdout, stderr);
  if (line == nullptr) return;
  el_set(line, EL_PROMPT, currentPrompt);
  el_set(line, EL_SIGNAL, 1);
  bindEditingKeys(line);
  editor.line = line;
  // The standard streams flush at exit, after this file's statics are gone: their buffers
  // must outlive them, so they are never destroyed.
  editor.output = new PromptKeepingOutput;
  std::cout.rdbuf(editor.output);
  std::cin.rdbuf(new EditedInput);
  // The reads flush standard output themselves, keeping the prompt back for the editor.
  std::cin.tie(nullptr);
}

bool editsLines(const std::istream& in) { return editor.line != nullptr && &in == &std::cin; }

bool flushBeforeEditedRead() {
  // What is held is written when a line is read, once the terminal no longer echoes.
  return !std::cout.fail();
}

}  // namespace console
