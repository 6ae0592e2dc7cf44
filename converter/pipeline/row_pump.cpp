// SPDX-License-Identifier: MIT
#include "row_pump.h"

#include "large_memory.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <sched.h>
#include <thread>
#include <vector>

namespace nconvert {
namespace {

// Rows travel in blocks of up to this many rows and about this many bytes, so the threads meet
// once a block rather than once a row, and the blocks in flight stay small beside the picture.
constexpr int kRowsPerBlock = 16;
constexpr std::size_t kBlockBytes = 1u << 20;
constexpr int kBlocksInFlight = 4;

int rowsPerBlock(std::size_t rowBytes) {
    return int(std::clamp<std::size_t>(kBlockBytes / std::max<std::size_t>(rowBytes, 1), 1,
                                       kRowsPerBlock));
}

struct Handover {
    int rowsPerBlock = 1;
    std::mutex lock;
    std::condition_variable changed;
    LargeBlock blocks; // a ring of kBlocksInFlight blocks, each filled before it is read
    std::size_t blockBytes = 0;
    std::vector<int> rowsIn;    // rows in each block
    long produced = 0;          // blocks filled so far
    long consumed = 0;          // blocks emptied so far
    bool stop = false;          // the sink failed: the reader gives up
    std::exception_ptr failure; // the reader failed
};

void produce(RowSource& source, Handover& h, long totalRows) {
    const std::size_t rowBytes = source.shape().rowBytes();
    try {
        for (long row = 0; row < totalRows;) {
            std::size_t slot;
            {
                std::unique_lock guard(h.lock);
                h.changed.wait(guard,
                               [&] { return h.stop || h.produced - h.consumed < kBlocksInFlight; });
                if (h.stop)
                    return;
                slot = std::size_t(h.produced % kBlocksInFlight);
            }
            const int count = int(std::min<long>(h.rowsPerBlock, totalRows - row));
            for (int i = 0; i < count; ++i)
                source.readRow(h.blocks.get() + h.blockBytes * slot + rowBytes * i);
            row += count;
            std::lock_guard guard(h.lock);
            h.rowsIn[slot] = count;
            ++h.produced;
            h.changed.notify_all();
        }
    } catch (...) {
        std::lock_guard guard(h.lock);
        h.failure = std::current_exception();
        h.changed.notify_all();
    }
}

} // namespace

int usableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    const int count = CPU_COUNT(&set);
    return count > 0 ? count : 1;
}

void pumpRows(RowSource& source, RowSink& sink, int cores) {
    const PictureShape& shape = source.shape();
    const long totalRows = long(shape.height) * shape.frames;
    const std::size_t rowBytes = shape.rowBytes();
    if (cores < 2) {
        std::vector<unsigned char> row(rowBytes);
        for (long y = 0; y < totalRows; ++y) {
            source.readRow(row.data());
            sink.writeRow(row.data());
        }
        sink.finish();
        return;
    }
    Handover h;
    h.rowsPerBlock = rowsPerBlock(rowBytes);
    h.blockBytes = rowBytes * std::size_t(h.rowsPerBlock);
    const std::size_t ringBytes = h.blockBytes * kBlocksInFlight;
    h.blocks = LargeBlock(static_cast<unsigned char*>(allocateLarge(ringBytes)), {ringBytes});
    h.rowsIn.assign(kBlocksInFlight, 0);
    std::thread reader(produce, std::ref(source), std::ref(h), totalRows);
    const auto stopReader = [&] {
        {
            std::lock_guard guard(h.lock);
            h.stop = true;
            h.changed.notify_all();
        }
        reader.join();
    };
    try {
        for (long row = 0; row < totalRows;) {
            std::size_t slot;
            {
                std::unique_lock guard(h.lock);
                h.changed.wait(guard, [&] { return h.failure || h.produced > h.consumed; });
                if (h.produced == h.consumed)
                    std::rethrow_exception(h.failure);
                slot = std::size_t(h.consumed % kBlocksInFlight);
            }
            for (int i = 0; i < h.rowsIn[slot]; ++i)
                sink.writeRow(h.blocks.get() + h.blockBytes * slot + rowBytes * i);
            row += h.rowsIn[slot];
            std::lock_guard guard(h.lock);
            ++h.consumed;
            h.changed.notify_all();
        }
    } catch (...) {
        stopReader();
        throw;
    }
    reader.join();
    sink.finish();
}

} // namespace nconvert
