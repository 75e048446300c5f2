// The file table: file numbers 1 to 9 naming open files or serial ports. Statements that read
// and write files go through these calls; a number that is not open fails every call.
// Reads are served from a read-ahead buffer per channel; writes go straight to the platform,
// so nothing a program printed waits in memory when it stops. The program-end clean-up may
// run on another thread, so every call holds the table's lock (never while reporting).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/limits.h"
#include "platform/file_system.h"

namespace quillon {

struct Runtime;

struct FileSlot {
    std::unique_ptr<Channel> channel;
    std::vector<char> ahead;  // bytes read from the channel ahead of the program
    std::size_t next = 0;     // ahead[next, end) are read and not yet taken
    std::size_t end = 0;
    // A port's line ended at a CR before anything more arrived: a line feed that comes next
    // belongs to that CR and is dropped.
    bool line_feed_owed = false;
};

struct FileTable {
    std::mutex mutex;
    std::array<FileSlot, kFileSlots> slots;
};

bool file_is_open(Runtime& rt, int number);
// Writes all bytes; false when the number is not open or the write failed.
bool file_write(Runtime& rt, int number, std::string_view bytes);
// Reads one byte: 0..255, or -1 at the end of the file or on failure.
int file_read_byte(Runtime& rt, int number);
// Moves the file position back by `bytes`; false on failure.
bool file_seek_back(Runtime& rt, int number, int bytes);
// Size in bytes of the open file; for a serial port, the received bytes waiting to be read.
std::optional<int64_t> file_size(Runtime& rt, int number);
// True at the end of a file, or when no received byte waits on a port (which never waits);
// nothing when the number is not open or the channel cannot be read.
std::optional<bool> file_at_end(Runtime& rt, int number);
// Reads `count` bytes into `out`: fewer when a file ends first, all of them from a port (which
// waits for them until the program stops). False when not even the first byte could be read.
bool file_read_bytes(Runtime& rt, int number, std::size_t count, std::string& out);

// Puts a freshly opened channel into the slot of `number` (1 to 9).
void attach_file(Runtime& rt, int number, std::unique_ptr<Channel> channel);
// Closes one number (nothing when it is not open), or all nine (program-end clean-up and final
// release).
void close_file(Runtime& rt, int number);
void close_all_files(Runtime& rt);

// Holds the table while a statement reads one channel byte by byte.
class ChannelReader {
  public:
    ChannelReader(Runtime& rt, int number);
    // 0..255, or -1 at the end of the file, on failure, or when the number is not open.
    int read_byte() {
        if (slot_ && slot_->next < slot_->end)
            return static_cast<uint8_t>(slot_->ahead[slot_->next++]);
        return refill_and_read();
    }
    bool seek_back(int bytes);
    // After the CR that ends a line: takes the line feed that follows it and gives any other
    // byte back. A port is not waited on for that byte, since a device may end a line with a
    // lone CR and wait for an answer; a line feed that arrives later is dropped then.
    void take_line_feed();

  private:
    int refill_and_read();

    std::unique_lock<std::mutex> lock_;
    FileSlot* slot_ = nullptr;
    const std::atomic<bool>& stop_;
};

}  // namespace quillon
