// Rows read in chunks on several threads and handed to one visitor on the
// calling thread, chunk after chunk in order: SQLite decodes rows on one
// core per connection, and "Show all objects" reads every row of a table.
#pragma once

#include "database/MinorBodyTable.h"

#include <functional>
#include <memory>
#include <vector>

// A reader of chunks, used by one thread.
class TChunkReader {
public:
  virtual ~TChunkReader() = default;
  // Fills rows[0 .. count) with chunk `chunk`, reusing the rows' storage.
  virtual void Read(int chunk, std::vector<TMinorBodyRow>& rows, std::size_t& count) = 0;
};

// Reads chunks 0 .. chunkCount-1, each reader on a thread of its own, and
// visits their rows in chunk order on the calling thread. A failure of a
// reader or of the visitor stops the threads and is rethrown here.
void VisitChunksInOrder(int chunkCount, std::vector<std::unique_ptr<TChunkReader>> readers,
                        const std::function<void(const TMinorBodyRow&)>& visit);
