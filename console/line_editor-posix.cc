// Line editing with libedit on a POSIX terminal. Standard output goes through a buffer that keeps
// back the prompt; standard input through a buffer that asks the editor for a line whenever it
// runs dry. The editor's characters are read from the terminal here, so that the bytes typed
// reach the program unchanged, a line stays within its limit, and signals are handled while the
// terminal is in the editor's mode.
#include <histedit.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iostream>
#include <string>
#include <string_view>

#include "console/line_editor.h"
#include "console/line_text.h"
#include "console/terminal_device.h"
#include "console/terminal_signals-posix.h"

namespace console {
namespace {

// Answers kept per prompt.
constexpr int kHistorySize = 100;
constexpr size_t kPromptCount = static_cast<size_t>(PromptName::columns) + 1;

// Standard output, able to keep back what was written since the prompt was named and hand it
// over as the prompt. A stream buffer is the only way to see what the program writes before it
// reads.
class PromptKeepingOutput : public std::streambuf {
 public:
  PromptKeepingOutput() { setp(buffer_, buffer_ + sizeof buffer_); }

  // Writes what is held; a failed write marks standard output bad.
  void writeHeldOrFail() {
    if (!writeHeld()) std::cout.setstate(std::ios_base::badbit);
  }

  // Takes what is held, unwritten: the prompt.
  std::string takePrompt() {
    std::string prompt(pbase(), pptr());
    setp(buffer_, buffer_ + sizeof buffer_);
    return prompt;
  }

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
    setp(buffer_, buffer_ + sizeof buffer_);
    return writeToTerminal(held);
  }

  char buffer_[4096];
};

// The state of the line being read, for the character reader.
struct LineRead {
  TerminalModes modes{};
  SavedSignals signals{};
  Utf8Reader utf8;
  std::wstring pending;  // characters read; those from `next` on are not yet handed over
  size_t next = 0;
  KeyScan keys;
  size_t lineBytes = 0;  // bytes of the edited line, when `lineBytesKnown`
  bool lineBytesKnown = false;
};

// The editor and a history for each prompt.
struct Editor {
  EditLine* line = nullptr;
  std::array<HistoryW*, kPromptCount> histories{};
  PromptName promptName = PromptName::date;
  std::string question;  // the prompt's whole lines, written before the editor draws the rest
  std::string prompt;    // the prompt's last line, which the editor draws
  PromptKeepingOutput* output = nullptr;
  LineRead read;

  // The editor itself is left alone at exit: ending it would flush the terminal's input,
  // which belongs to whatever reads the terminal next.
  ~Editor() {
    for (HistoryW* history : histories) {
      if (history != nullptr) history_wend(history);
    }
  }
};

Editor editor;

char* currentPrompt(EditLine* /*line*/) { return editor.prompt.data(); }

// Writes the prompt's whole lines, with a carriage return before each line end where the
// editor's mode of the terminal does not add one.
void writeQuestion() {
  const tcflag_t output = editor.read.modes.own.c_oflag;
  const bool addsReturn = (output & OPOST) != 0 && (output & ONLCR) != 0;
  std::string lines;
  for (char c : editor.question) {
    if (c == '\n' && !addsReturn) lines += '\r';
    lines += c;
  }
  writeToTerminal(lines);
}

// Splits the prompt taken from standard output into its whole lines and its last line. A read
// with no prompt of its own (after an empty line) keeps the question it answers.
void takePrompt() {
  const std::string taken = editor.output->takePrompt();
  const size_t lastLine = taken.rfind('\n') + 1;  // 0 when there is no line end
  if (lastLine > 0) editor.question = taken.substr(0, lastLine);
  editor.prompt = taken.substr(lastLine);
}

HistoryW* promptHistory() {
  HistoryW*& history = editor.histories.at(static_cast<size_t>(editor.promptName));
  if (history == nullptr) {
    history = history_winit();
    HistEventW event;
    history_w(history, &event, H_SETSIZE, kHistorySize);
  }
  return history;
}

size_t editedLineBytes(EditLine* line) {
  const LineInfoW* info = el_wline(line);
  size_t bytes = 0;
  for (const wchar_t* c = info->buffer; c < info->lastchar; ++c) bytes += byteLength(*c);
  return bytes;
}

// True when `c` would be inserted into the line although the line has no room for it. Control
// characters and the bytes of escape sequences edit the line; they are always taken.
bool overLimit(EditLine* line, wchar_t c) {
  LineRead& read = editor.read;
  if (!insertsCharacter(&read.keys, c)) return false;
  if (!read.lineBytesKnown) {
    read.lineBytes = editedLineBytes(line);
    read.lineBytesKnown = true;
  }
  return read.lineBytes + byteLength(c) > kMaxLineBytes;
}

// The columns the editor takes to show `c`: a control character as ^X, a character the terminal
// cannot print as \U+XXXX.
size_t shownWidth(wchar_t c) {
  if (c < 0x20 || c == 0x7F) return 2;
  const int width = ::wcwidth(c);
  if (width >= 0) return static_cast<size_t>(width);
  return c > 0xFFFF ? 8 : 7;
}

// Draws the prompt and the line again after the window changed its size. Terminals rewrap the
// lines they show to the new width, so the prompt's last line now starts as many rows above the
// cursor as its text before the cursor fills.
void redrawAfterResize(EditLine* line) {
  el_resize(line);
  winsize window{};
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &window) != 0 || window.ws_col == 0) return;
  size_t columns = 0;
  for (char c : editor.prompt) columns += c == '\t' ? 8 - columns % 8 : 1;
  const LineInfoW* info = el_wline(line);
  for (const wchar_t* c = info->buffer; c < info->cursor; ++c) columns += shownWidth(*c);
  std::string redraw;
  if (const size_t rowsUp = columns / window.ws_col; rowsUp > 0) {
    redraw = "\033[" + std::to_string(rowsUp) + "A";
  }
  writeToTerminal(redraw + "\r\033[J");
  el_set(line, EL_REFRESH);
}

// Handles a signal caught while waiting for a key. Returns after a window resize or once the
// terminal is the editor's again after a stop; a signal that ends the process ends it, with the
// terminal's settings given back first.
void takeSignal(EditLine* line, int fd, int signo) {
  LineRead& read = editor.read;
  if (signo == SIGWINCH) {
    redrawAfterResize(line);
  } else if (signo == SIGCONT) {
    writeQuestion();
    el_set(line, EL_REFRESH);
  } else {
    giveTerminalBack(fd, &read.modes);
    restoreSignals(read.signals, signo);
    // Still here: the signal was handled elsewhere. Go on editing.
    catchSignals(kEditingSignals, &read.signals);
    if (takeTerminalBack(fd, &read.modes)) el_set(line, EL_REFRESH);
  }
}

// Reads into `bytes` from `fd`, at most `size` bytes of what has arrived, taking the signals
// caught while it waits. The count read, 0 at end of input, -1 when the read failed.
ssize_t readBytes(EditLine* line, int fd, unsigned char* bytes, size_t size) {
  for (;;) {
    const int waited = waitForByte(fd, &editor.read.modes, editor.read.signals);
    if (waited < 0) return -1;
    if (waited > 0) {
      takeSignal(line, fd, waited);
      continue;
    }
    const ssize_t got = ::read(fd, bytes, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

// The editor's character reader: 1 with a character in `*c`, 0 at end of input, -1 when the
// terminal cannot be read.
int readEditorChar(EditLine* line, wchar_t* c) {
  LineRead& read = editor.read;
  const int fd = STDIN_FILENO;
  bool refusing = false;
  for (;;) {
    if (read.next < read.pending.size()) {
      *c = read.pending[read.next++];
      if (!overLimit(line, *c)) {
        read.lineBytesKnown = false;  // the editor may change the line with this character
        return 1;
      }
      refusing = true;
      // One bell for a paste cut short, one for each key typed.
      if (read.next == read.pending.size() && !byteArrived()) writeToTerminal("\a");
      continue;
    }
    read.pending.clear();
    read.next = 0;
    // A byte at a time, so that what follows the line stays for whoever reads the terminal
    // next; but a paste past the limit is dropped as fast as it comes.
    std::array<unsigned char, 4096> bytes;
    const ssize_t got = readBytes(line, fd, bytes.data(), refusing ? bytes.size() : 1);
    if (got <= 0) {
      finishUtf8(&read.utf8, &read.pending);
      if (!read.pending.empty()) continue;
      *c = L'\0';
      return static_cast<int>(got);
    }
    for (ssize_t i = 0; i < got; ++i)
      readUtf8Byte(&read.utf8, bytes.at(static_cast<size_t>(i)), &read.pending);
  }
}

// Ctrl-D: end of input on an empty line; with text, deletes the character under the cursor,
// and rings the bell at the end of the line.
unsigned char endOrDelete(EditLine* line, int /*key*/) {
  const LineInfoW* info = el_wline(line);
  if (info->buffer == info->lastchar) return CC_EOF;
  if (info->cursor == info->lastchar) return CC_ERROR;
  el_cursor(line, 1);
  el_wdeletestr(line, 1);
  return CC_REFRESH;
}

// Ctrl-L: clears the screen and draws the question, the prompt and the line at its top.
unsigned char clearAndRedraw(EditLine* line, int /*key*/) {
  writeToTerminal(clearSequence(false));
  writeQuestion();
  el_set(line, EL_REFRESH);
  return CC_NORM;
}

// Adds `line` to `history`, unless nothing was typed.
void remember(HistoryW* history, std::wstring line) {
  while (!line.empty() && line.back() == L'\n') line.pop_back();
  if (line.empty()) return;
  HistEventW event;
  history_w(history, &event, H_ENTER, line.c_str());
}

// Reads a line as it comes, for a terminal whose settings cannot be read, and so can neither be
// put into the editor's mode nor given back: the prompt is written as it stands, and the bytes up
// to a line end are the line. False at end of input, with `*failed` set when the read failed.
bool readPlainLine(std::wstring* text, bool* failed) {
  editor.output->writeHeldOrFail();
  Utf8Reader utf8;
  text->clear();
  unsigned char byte = '\0';
  ssize_t got = 0;
  while (byte != '\n' && (got = ::read(STDIN_FILENO, &byte, 1)) != 0) {
    if (got > 0) readUtf8Byte(&utf8, byte, text);
    if (got < 0 && errno != EINTR) break;
  }
  finishUtf8(&utf8, text);
  *failed = got < 0;
  return !text->empty();
}

// Reads one line through the editor, drawing `editor.prompt`. Returns the line with its line
// end, or false at end of input (Ctrl-D on an empty line) with `*failed` set when the terminal
// could not be read.
bool editLine(std::wstring* text, bool* failed) {
  LineRead& read = editor.read;
  EditLine* line = editor.line;
  *failed = false;
  if (takeEndTypedAhead()) return false;
  if (::tcgetattr(STDIN_FILENO, &read.modes.saved) != 0) return readPlainLine(text, failed);
  catchSignals(kEditingSignals, &read.signals);
  // Into the editor's mode before anything of the prompt shows, so that what is typed as soon
  // as it shows is not echoed by the terminal as well.
  el_set(line, EL_PREP_TERM, 1);
  read.modes.ownApplied = ::tcgetattr(STDIN_FILENO, &read.modes.own) == 0;
  if (!read.modes.ownApplied) {
    el_set(line, EL_PREP_TERM, 0);
    restoreSignals(read.signals, takeCaughtSignal());
    return readPlainLine(text, failed);
  }
  const bool questionKnown = !editor.question.empty();
  takePrompt();
  if (!questionKnown) writeQuestion();
  HistoryW* history = promptHistory();
  el_wset(line, EL_HIST, history_w, history);
  read.lineBytesKnown = false;
  int count = 0;
  const wchar_t* got = el_wgets(line, &count);
  restoreSignals(read.signals, takeCaughtSignal());
  *failed = count < 0;
  if (got == nullptr || count <= 0) return false;
  text->assign(got, static_cast<size_t>(count));
  remember(history, *text);
  return true;
}

// Standard input, a line from the editor at a time.
class EditedInput : public std::streambuf {
 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (ended_) return traits_type::eof();
    std::wstring text;
    bool failed = false;
    if (!editLine(&text, &failed)) {
      // The stream reports a failing read by an exception and marks itself bad.
      if (failed) throw std::ios_base::failure("read error");
      ended_ = true;
      return traits_type::eof();
    }
    line_.clear();
    for (wchar_t c : text) appendBytes(c, &line_);
    setg(line_.data(), line_.data(), line_.data() + line_.size());
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::string line_;
  bool ended_ = false;
};

// Takes the character set from the environment; true when it is UTF-8, the one the editor
// reads. Otherwise the C locale stays.
bool localeIsUtf8() {
  if (std::setlocale(LC_CTYPE, "") != nullptr &&
      std::strcmp(::nl_langinfo(CODESET), "UTF-8") == 0) {
    return true;
  }
  std::setlocale(LC_CTYPE, "C");
  return false;
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
  // Keys that would put more into the line than was typed, past its limit: a count given with
  // Alt and a digit repeats the next key, and yanking puts back text killed before.
  for (const char* growing : {"\0330", "\0331", "\0332", "\0333", "\0334", "\0335", "\0336",
                              "\0337", "\0338", "\0339", "^Y", "\033^_", "\033w", "\033W"}) {
    el_set(line, EL_BIND, growing, "ed-unassigned", nullptr);
  }
  // Alt-X reads a command of the editor's own, whose output would go into the dialogue.
  el_set(line, EL_BIND, "\033x", "ed-unassigned", nullptr);
  el_set(line, EL_BIND, "\033X", "ed-unassigned", nullptr);
  el_set(line, EL_ADDFN, "end-or-delete", "End of input on an empty line, else delete",
         endOrDelete);
  el_set(line, EL_BIND, "^D", "end-or-delete", nullptr);
  el_set(line, EL_ADDFN, "clear-and-redraw", "Clear the screen, then draw the question again",
         clearAndRedraw);
  el_set(line, EL_BIND, "^L", "clear-and-redraw", nullptr);
}

}  // namespace

void startLineEditing() {
  if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO) || !terminalMovesCursor() ||
      !localeIsUtf8()) {
    return;
  }
  EditLine* line = el_init("consoletools", stdin, stdout, stderr);
  if (line == nullptr) return;
  el_set(line, EL_PROMPT, currentPrompt);
  el_wset(line, EL_GETCFN, readEditorChar);
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

void namePrompt(PromptName name) {
  if (editor.line == nullptr) return;
  editor.output->writeHeldOrFail();
  editor.promptName = name;
  editor.question.clear();
}

bool flushBeforeEditedRead() {
  // What is held is written when a line is read, once the terminal no longer echoes.
  return !std::cout.fail();
}

}  // namespace console
