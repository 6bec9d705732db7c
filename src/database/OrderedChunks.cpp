#include "database/OrderedChunks.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace {

struct TSlot {
  std::vector<TMinorBodyRow> Rows;
  std::size_t Count = 0;
};

}  // namespace

void VisitChunksInOrder(int chunkCount, std::vector<std::unique_ptr<TChunkReader>> readers,
                        const std::function<void(const TMinorBodyRow&)>& visit)
{
  // Two buffers per reader: one being filled, one waiting for the visitor.
  const int window = 2 * int(readers.size());
  std::vector<TSlot> slots(static_cast<size_t>(window));
  std::vector<char> ready(static_cast<size_t>(chunkCount), 0);
  std::vector<std::exception_ptr> errors(static_cast<size_t>(chunkCount));
  std::mutex mutex;
  std::condition_variable changed;
  int nextChunk = 0, visited = 0;
  bool stop = false;

  auto work = [&](TChunkReader& reader) {
    for (;;) {
      int chunk;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || nextChunk >= chunkCount || nextChunk < visited + window; });
        if (stop || nextChunk >= chunkCount) return;
        chunk = nextChunk++;
      }
      TSlot& slot = slots[size_t(chunk % window)];
      std::exception_ptr error;
      try {
        reader.Read(chunk, slot.Rows, slot.Count);
      } catch (...) {
        error = std::current_exception();
      }
      std::lock_guard lock(mutex);
      errors[size_t(chunk)] = error;
      ready[size_t(chunk)] = 1;
      if (error) stop = true;
      changed.notify_all();
    }
  };

  std::vector<std::thread> threads;
  auto finish = [&] {
    {
      std::lock_guard lock(mutex);
      stop = true;
    }
    changed.notify_all();
    for (std::thread& t : threads) t.join();
    threads.clear();
  };
  try {
    for (auto& reader : readers) threads.emplace_back(work, std::ref(*reader));
    for (int chunk = 0; chunk < chunkCount; ++chunk) {
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return ready[size_t(chunk)] != 0; });
        if (errors[size_t(chunk)]) std::rethrow_exception(errors[size_t(chunk)]);
      }
      const TSlot& slot = slots[size_t(chunk % window)];
      for (std::size_t i = 0; i < slot.Count; ++i) visit(slot.Rows[i]);
      std::lock_guard lock(mutex);
      visited = chunk + 1;
      changed.notify_all();
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}
