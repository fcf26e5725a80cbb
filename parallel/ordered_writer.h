// Text made by worker threads and written in order by the calling thread: the text of items
// 0, 1, 2... (lines of a listing, cells of a matrix) is cut into pieces; workers take the pieces
// in turn and format each into a buffer of a ring (two per worker), and the calling thread
// writes the pieces in order. The memory taken is that of the buffers, whatever the number of
// items.
#ifndef PARALLEL_ORDERED_WRITER_H_
#define PARALLEL_ORDERED_WRITER_H_

#include <cstddef>
#include <span>
#include <type_traits>

namespace parallel {

/// The room of one worker's buffer, a piece's text at most.
inline constexpr size_t kPieceBytes = size_t{1} << 20;

/// Items [begin, end), whose text is to be formatted at `text`, as piece number `index`.
struct Piece {
  size_t index;
  size_t begin;
  size_t end;
  char* text;
};

/// What the writer and the workers of one `writeInOrder` share (ordered_writer.cc).
struct PieceQueue;

/// Gives the calling worker the first piece no worker has taken, in `*piece`, once a buffer is
/// free for it; false when no piece is left or writing has stopped.
bool takePiece(PieceQueue& queue, Piece* piece);

/// Hands the text of `piece`, ending at `end`, to the writer.
void finishPiece(PieceQueue& queue, const Piece& piece, const char* end);

/// The type-erased parts of `writeInOrder`.
using WorkFunction = void (*)(const void* format, PieceQueue& queue);
using WriteFunction = bool (*)(void* write, const char* text, size_t length);
bool runInOrder(size_t itemCount, size_t itemRoom, unsigned workers, std::span<char> ownBuffer,
                WorkFunction work, const void* format, WriteFunction writeText, void* write);

/// One worker's loop: its own copy of `prototype` formats every piece it is given.
template <typename Format>
void formatPieces(const void* prototype, PieceQueue& queue) {
  Format format = *static_cast<const Format*>(prototype);
  Piece piece{};
  while (takePiece(queue, &piece)) {
    finishPiece(queue, piece, format(piece.begin, piece.end, piece.text));
  }
}

/// Writes the text of items [0, `itemCount`) in order, piece by piece, through `write(text,
/// length)`, which returns false when the write failed. `format(begin, end, out)` writes the
/// text of items [begin, end) at `out`, at most `itemRoom` bytes an item, and returns the end
/// of the text; each thread calls a copy of its own, over growing `begin`, so a copy may keep
/// what it needs to go on from one piece to its next. With up to `workers` worker threads
/// (signals blocked, parallel/worker.h) when the text takes more than one `kPieceBytes` piece;
/// otherwise, or when no thread or buffer can be had, the calling thread formats into
/// `ownBuffer` and writes, piece after piece. `write` is only ever called on the calling
/// thread. Stops at the first failed write and returns false; true when all was written.
template <typename Format, typename Write>
bool writeInOrder(size_t itemCount, size_t itemRoom, unsigned workers, std::span<char> ownBuffer,
                  const Format& format, Write&& write) {
  using WriteType = std::remove_reference_t<Write>;
  return runInOrder(
      itemCount, itemRoom, workers, ownBuffer, formatPieces<Format>, &format,
      [](void* erased, const char* text, size_t length) {
        return (*static_cast<WriteType*>(erased))(text, length);
      },
      &write);
}

}  // namespace parallel

#endif  // PARALLEL_ORDERED_WRITER_H_
