#include "parallel/ordered_writer.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

#include "parallel/worker.h"

namespace parallel {
namespace {

// Threads and buffers of one call; their bookkeeping lies on the stack, no allocation.
constexpr unsigned kMostWorkers = 32;
constexpr size_t kBuffersPerWorker = 2;
constexpr size_t kMostSlots = kMostWorkers * kBuffersPerWorker;
constexpr size_t kNoPiece = ~size_t{0};

}  // namespace

struct PieceQueue {
  size_t itemCount;
  size_t itemsPerPiece;
  size_t pieceCount;
  char* buffers;
  size_t bufferBytes;
  // Without workers, the calling thread formats into the one buffer and writes at once. Set
  // before any worker starts, and never changed while one runs.
  bool direct = true;
  WriteFunction writeText;
  void* write;

  std::mutex mutex;
  std::condition_variable changed;
  size_t slotCount = 1;  // set before any worker takes a piece
  size_t taken = 0;      // pieces given to workers, in order
  size_t written = 0;    // pieces written, in order
  bool stopped = false;  // a write failed
  std::array<size_t, kMostSlots> readyPiece;
  std::array<size_t, kMostSlots> readyLength;
};

namespace {

void fillPiece(const PieceQueue& queue, size_t index, Piece* piece) {
  piece->index = index;
  piece->begin = index * queue.itemsPerPiece;
  piece->end = std::min(piece->begin + queue.itemsPerPiece, queue.itemCount);
  piece->text = queue.buffers + index % queue.slotCount * queue.bufferBytes;
}

struct WorkerStart {
  WorkFunction work;
  const void* format;
  PieceQueue* queue;
};

void runWorker(void* start) {
  const WorkerStart& s = *static_cast<const WorkerStart*>(start);
  s.work(s.format, *s.queue);
}

// The calling thread's part: each piece as soon as it is ready, in order.
void writePieces(PieceQueue& queue) {
  for (size_t index = 0; index < queue.pieceCount; ++index) {
    const size_t slot = index % queue.slotCount;
    std::unique_lock lock(queue.mutex);
    queue.changed.wait(lock, [&] { return queue.readyPiece[slot] == index; });
    lock.unlock();
    const bool wrote = queue.writeText(queue.write, queue.buffers + slot * queue.bufferBytes,
                                       queue.readyLength[slot]);
    lock.lock();
    queue.written = index + 1;
    queue.stopped = !wrote;
    lock.unlock();
    queue.changed.notify_all();
    if (!wrote) return;
  }
}

}  // namespace

bool takePiece(PieceQueue& queue, Piece* piece) {
  if (queue.direct) {
    const size_t next = piece->text == nullptr ? 0 : piece->index + 1;
    if (queue.stopped || next >= queue.pieceCount) return false;
    fillPiece(queue, next, piece);
    return true;
  }
  // Pieces are taken in turn, so a worker that started late or runs on a slower core takes
  // fewer of them, and the writer does not wait on it.
  std::unique_lock lock(queue.mutex);
  if (queue.taken >= queue.pieceCount) return false;
  const size_t next = queue.taken++;
  // The buffer is free once the piece before in it has been written.
  queue.changed.wait(lock, [&] { return queue.stopped || next < queue.written + queue.slotCount; });
  if (queue.stopped) return false;
  fillPiece(queue, next, piece);
  return true;
}

void finishPiece(PieceQueue& queue, const Piece& piece, const char* end) {
  const auto length = static_cast<size_t>(end - piece.text);
  if (queue.direct) {
    queue.stopped = !queue.writeText(queue.write, piece.text, length);
    return;
  }
  const size_t slot = piece.index % queue.slotCount;
  {
    std::lock_guard lock(queue.mutex);
    queue.readyPiece[slot] = piece.index;
    queue.readyLength[slot] = length;
  }
  queue.changed.notify_all();
}

bool runInOrder(size_t itemCount, size_t itemRoom, unsigned workers, std::span<char> ownBuffer,
                WorkFunction work, const void* format, WriteFunction writeText, void* write) {
  PieceQueue queue;
  queue.itemCount = itemCount;
  queue.writeText = writeText;
  queue.write = write;
  queue.readyPiece.fill(kNoPiece);

  const size_t pieces = (itemCount * itemRoom + kPieceBytes - 1) / kPieceBytes;
  workers = std::min(
      {workers, kMostWorkers, static_cast<unsigned>(std::min<size_t>(pieces, kMostWorkers))});
  std::unique_ptr<char[]> buffers;
  if (workers > 1) {
    buffers.reset(new (std::nothrow) char[workers * kBuffersPerWorker * kPieceBytes]);
  }
  std::array<std::thread, kMostWorkers> threads;
  std::array<WorkerStart, kMostWorkers> starts;
  unsigned started = 0;
  queue.direct = buffers == nullptr;
  if (!queue.direct) {
    queue.buffers = buffers.get();
    queue.bufferBytes = kPieceBytes;
    queue.itemsPerPiece = kPieceBytes / itemRoom;
    queue.pieceCount = (itemCount + queue.itemsPerPiece - 1) / queue.itemsPerPiece;
    // The workers wait for the lock until it is known how many there are.
    std::lock_guard lock(queue.mutex);
    for (unsigned i = 0; i < workers; ++i) {
      starts[started] = WorkerStart{work, format, &queue};
      if (startWorker(&threads[started], runWorker, &starts[started])) ++started;
    }
    queue.slotCount = started * kBuffersPerWorker;
  }
  if (started == 0) {
    queue.direct = true;
    queue.slotCount = 1;
    queue.bufferBytes = ownBuffer.size();
    queue.buffers = ownBuffer.data();
    queue.itemsPerPiece = ownBuffer.size() / itemRoom;
    queue.pieceCount = (itemCount + queue.itemsPerPiece - 1) / queue.itemsPerPiece;
    work(format, queue);
    return !queue.stopped;
  }
  writePieces(queue);
  for (unsigned i = 0; i < started; ++i) threads[i].join();
  return !queue.stopped;
}

}  // namespace parallel
