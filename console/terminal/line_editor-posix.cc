// Line editing with libedit on a POSIX terminal. Standard output goes through a buffer that keeps
// back the prompt; standard input through a buffer that asks the editor for a line whenever it
// runs dry. The editor's characters are read from the terminal here, so that the bytes typed
// reach the program unchanged, a line stays within its limit, and signals are handled while the
// terminal is in the editor's mode.
#include <histedit.h>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/terminal/line_editor.h"
#include "console/terminal/line_text.h"
#include "console/terminal/terminal_device.h"
#include "console/terminal/terminal_signals-posix.h"

namespace console {
namespace {

// Answers kept per prompt.
constexpr int kHistorySize = 100;

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
  // Kept from one read to the next, so that a long paste reuses their memory.
  std::wstring chars;  // characters of the bytes last read
  KeyScan scan;
  std::vector<std::wstring> keys;  // whole keys read; those from `nextKey` on not handed over
  size_t nextKey = 0;
  std::wstring key;  // the key being handed over; its characters from `next` on
  size_t next = 0;
  size_t lineBytes = 0;  // bytes of the edited line, when `lineBytesKnown`
  bool lineBytesKnown = false;
  bool bellRung = false;  // for a character refused since the last one inserted
  size_t columns = 0;     // the window's width when the line was last drawn
};

// The editor, a history for each id the program gives its prompts, and the prompt.
struct LineEditor {
  EditLine* line = nullptr;
  std::map<int, HistoryW*> histories;
  int history = 0;
  std::string question;  // the prompt's whole lines, written before the editor draws the rest
  std::string prompt;    // the prompt's last line, which the editor draws
  bool questionWritten = false;
  PromptKeepingOutput output;
  LineRead read;
};

// The editor whose line `line` is; the library hands the callbacks nothing else.
LineEditor& editorOf(EditLine* line) {
  void* editor = nullptr;
  el_get(line, EL_CLIENTDATA, &editor);
  return *static_cast<LineEditor*>(editor);
}

char* currentPrompt(EditLine* line) { return editorOf(line).prompt.data(); }

// Writes the prompt's whole lines, with a carriage return before each line end where the
// editor's mode of the terminal does not add one.
void writeQuestion(const LineEditor& editor) {
  const tcflag_t output = editor.read.modes.own.c_oflag;
  const bool addsReturn = (output & OPOST) != 0 && (output & ONLCR) != 0;
  std::string lines;
  for (char c : editor.question) {
    if (c == '\n' && !addsReturn) lines += '\r';
    lines += c;
  }
  writeToTerminal(lines);
}

// Splits the prompt taken from standard output into its whole lines, written now, and its last
// line. A read with no prompt of its own (a bare line after an empty Enter) keeps the question
// it answers, the prompt's last line now a whole line of it, for Ctrl-L and a continue to draw.
void takePrompt(LineEditor& editor) {
  const std::string taken = editor.output.takePrompt();
  if (taken.empty() && editor.questionWritten) {
    if (!editor.prompt.empty()) editor.question += editor.prompt + '\n';
    editor.prompt.clear();
    return;
  }
  const size_t lastLine = taken.rfind('\n') + 1;  // 0 when there is no line end
  editor.question = taken.substr(0, lastLine);
  editor.prompt = taken.substr(lastLine);
  writeQuestion(editor);
  editor.questionWritten = true;
}

HistoryW* promptHistory(LineEditor& editor) {
  HistoryW*& history = editor.histories[editor.history];
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

// True when the line has no room for `c`.
bool overLimit(EditLine* line, LineRead& read, wchar_t c) {
  if (!read.lineBytesKnown) {
    read.lineBytes = editedLineBytes(line);
    read.lineBytesKnown = true;
  }
  return read.lineBytes + byteLength(c) > kMaxLineBytes;
}

// The window's width in columns, 0 when it is not known.
size_t windowColumns() {
  winsize window{};
  return ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &window) == 0 ? window.ws_col : 0;
}

// Draws the prompt and the line again after the window changed its size from `oldColumns`.
// Terminals that rewrap the lines they show put the cursor of a narrowed window as many rows
// below the prompt's last line as its text before the cursor fills at the new width; on a
// widened one the cursor stays on its row, as it does on terminals that do not rewrap, so the
// old width tells where the prompt starts.
void redrawAfterResize(EditLine* line, const std::string& prompt, size_t oldColumns) {
  el_resize(line);
  const size_t newColumns = windowColumns();
  const size_t width = oldColumns == 0 ? newColumns : std::min(newColumns, oldColumns);
  if (width == 0) return;
  size_t columns = 0;
  for (char c : prompt) columns += c == '\t' ? 8 - columns % 8 : 1;
  const LineInfoW* info = el_wline(line);
  for (const wchar_t* c = info->buffer; c < info->cursor; ++c) {
    columns += *c == L'\t' ? 8 - columns % 8 : shownWidth(*c);
  }
  std::string redraw;
  if (const size_t rowsUp = columns / width; rowsUp > 0) {
    redraw = "\033[" + std::to_string(rowsUp) + "A";
  }
  writeToTerminal(redraw + "\r\033[J");
  el_set(line, EL_REFRESH);
}

// Handles a signal caught while waiting for a key. Returns after a window resize or once the
// terminal is the editor's again after a stop; a signal that ends the process ends it, with the
// terminal's settings given back first.
void takeSignal(EditLine* line, int fd, int signo) {
  LineEditor& editor = editorOf(line);
  LineRead& read = editor.read;
  if (signo == SIGWINCH) {
    const size_t oldColumns = read.columns;
    read.columns = windowColumns();
    redrawAfterResize(line, editor.prompt, oldColumns);
  } else if (signo == SIGCONT) {
    writeQuestion(editor);
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
    LineRead& read = editorOf(line).read;
    const int waited = waitForByte(fd, &read.modes, read.signals);
    if (waited < 0) return -1;
    if (waited > 0) {
      takeSignal(line, fd, waited);
      continue;
    }
    const ssize_t got = ::read(fd, bytes, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

// Hands `key` to the editor unless the line is full or nothing is bound to it. A key that is
// not taken rings the bell: once for an escape sequence, once for the characters refused in a
// row, as a paste cut short.
void takeKey(EditLine* line, LineRead& read, std::wstring key) {
  switch (keyUse(key)) {
    case KeyUse::insert:
      if (overLimit(line, read, key[0])) {
        if (!read.bellRung) writeToTerminal("\a");
        read.bellRung = true;
        return;
      }
      read.bellRung = false;
      break;
    case KeyUse::edit:
      break;
    case KeyUse::drop:
      return;
    case KeyUse::dropWithBell:
      writeToTerminal("\a");
      return;
  }
  read.key = std::move(key);
  read.next = 0;
  read.lineBytesKnown = false;  // the editor may change the line with this key
}

// The editor's character reader: 1 with a character in `*c`, 0 at end of input, -1 when the
// terminal cannot be read. Whole keys are read first and handed over a character at a time.
int readEditorChar(EditLine* line, wchar_t* c) {
  LineRead& read = editorOf(line).read;
  const int fd = STDIN_FILENO;
  for (;;) {
    if (read.next < read.key.size()) {
      *c = read.key[read.next++];
      return 1;
    }
    if (read.nextKey < read.keys.size()) {
      takeKey(line, read, std::move(read.keys[read.nextKey++]));
      continue;
    }
    read.keys.clear();
    read.nextKey = 0;
    // A byte at a time, so that what follows the line stays for whoever reads the terminal
    // next; but a paste past the limit is dropped as fast as it comes.
    std::array<unsigned char, 4096> bytes;
    const ssize_t got = readBytes(line, fd, bytes.data(), read.bellRung ? bytes.size() : 1);
    read.chars.clear();
    if (got <= 0) {
      finishUtf8(&read.utf8, &read.chars);
      for (wchar_t typed : read.chars) scanKey(&read.scan, typed, &read.keys);
      read.scan = KeyScan{};  // a key cut short by the end is no key
      if (!read.keys.empty()) continue;
      *c = L'\0';
      return static_cast<int>(got);
    }
    for (ssize_t i = 0; i < got; ++i)
      readUtf8Byte(&read.utf8, bytes.at(static_cast<size_t>(i)), &read.chars);
    for (wchar_t typed : read.chars) scanKey(&read.scan, typed, &read.keys);
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
  writeQuestion(editorOf(line));
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
bool readPlainLine(LineEditor& editor, std::wstring* text, bool* failed) {
  editor.output.writeHeldOrFail();
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
bool editLine(LineEditor& editor, std::wstring* text, bool* failed) {
  LineRead& read = editor.read;
  EditLine* line = editor.line;
  *failed = false;
  if (takeEndTypedAhead()) return false;
  if (::tcgetattr(STDIN_FILENO, &read.modes.saved) != 0) return readPlainLine(editor, text, failed);
  catchSignals(kEditingSignals, &read.signals);
  // Into the editor's mode before anything of the prompt shows, so that what is typed as soon
  // as it shows is not echoed by the terminal as well.
  el_set(line, EL_PREP_TERM, 1);
  read.modes.ownApplied = ::tcgetattr(STDIN_FILENO, &read.modes.own) == 0;
  if (!read.modes.ownApplied) {
    el_set(line, EL_PREP_TERM, 0);
    restoreSignals(read.signals, takeCaughtSignal());
    return readPlainLine(editor, text, failed);
  }
  takePrompt(editor);
  HistoryW* history = promptHistory(editor);
  el_wset(line, EL_HIST, history_w, history);
  read.lineBytesKnown = false;
  read.bellRung = false;
  read.columns = windowColumns();
  int count = 0;
  const wchar_t* got = el_wgets(line, &count);
  restoreSignals(read.signals, takeCaughtSignal());
  *failed = count < 0;
  if (got == nullptr || count <= 0) return false;
  text->assign(got, static_cast<size_t>(count));
  remember(history, *text);
  return true;
}

// Standard input, a line from the editor at a time. It owns the editor, which lives as long as
// the stream reads through it.
class EditedInput : public std::streambuf {
 public:
  LineEditor editor;

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (ended_) return traits_type::eof();
    std::wstring text;
    bool failed = false;
    if (!editLine(editor, &text, &failed)) {
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

// The slot of a stream that points to the editor reading it, null on a stream read plainly.
int editorIndex() {
  static const int index = std::ios_base::xalloc();
  return index;
}

LineEditor* editorReading(std::ios_base& stream) {
  return static_cast<LineEditor*>(stream.pword(editorIndex()));
}

// Takes the character type from the environment when its character set is UTF-8, the one the
// editor reads; otherwise (no locale set, C or POSIX, one that fails to load, or another
// character set) C.UTF-8, since terminals send UTF-8 whatever the locale says, and a byte that
// is no UTF-8 is kept as it came all the same. False, with the C locale, when neither loads.
bool takeUtf8CharacterType() {
  if (std::setlocale(LC_CTYPE, "") != nullptr &&
      std::strcmp(::nl_langinfo(CODESET), "UTF-8") == 0) {
    return true;
  }
  if (std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr) return true;
  std::setlocale(LC_CTYPE, "C");
  return false;
}

// Binds the keys of `editingKeys`; the character reader hands the editor no other control
// character or escape sequence.
void bindEditingKeys(EditLine* line) {
  el_set(line, EL_EDITOR, "emacs");
  el_set(line, EL_ADDFN, "end-or-delete", "End of input on an empty line, else delete",
         endOrDelete);
  el_set(line, EL_ADDFN, "clear-and-redraw", "Clear the screen, then draw the question again",
         clearAndRedraw);
  for (const EditingKey& key : editingKeys()) {
    el_set(line, EL_BIND, std::string(key.keys).c_str(), key.function, nullptr);
  }
  // Tab goes into the line, as on a terminal without editing: a pasted table keeps its blanks.
  el_set(line, EL_BIND, "\t", "ed-insert", nullptr);
}

}  // namespace

void startLineEditing() {
  if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO) || !terminalMovesCursor() ||
      !takeUtf8CharacterType()) {
    return;
  }
  EditLine* line = el_init("consoletools", stdin, stdout, stderr);
  if (line == nullptr) return;
  // The standard streams flush at exit, after this file's statics are gone: their buffers, and
  // the editor with them, must outlive them, so they are never destroyed.
  auto* input = new EditedInput;
  LineEditor& editor = input->editor;
  editor.line = line;
  el_set(line, EL_CLIENTDATA, &editor);
  el_set(line, EL_PROMPT, currentPrompt);
  el_wset(line, EL_GETCFN, readEditorChar);
  bindEditingKeys(line);
  std::cout.rdbuf(&editor.output);
  std::cin.rdbuf(input);
  std::cin.pword(editorIndex()) = &editor;
  // The reads flush standard output themselves, keeping the prompt back for the editor.
  std::cin.tie(nullptr);
}

bool editsLines(std::istream& in) { return editorReading(in) != nullptr; }

void namePrompt(std::istream& in, int history) {
  LineEditor* editor = editorReading(in);
  if (editor == nullptr) return;
  editor->output.writeHeldOrFail();
  editor->history = history;
  editor->question.clear();
  editor->questionWritten = false;
}

bool flushBeforeEditedRead() {
  // What is held is written when a line is read, once the terminal no longer echoes.
  return !std::cout.fail();
}

}  // namespace console
