// The file table: file numbers 1 to 9 naming open files or serial ports. Statements that read
// and write files go through these calls; a number that is not open fails every call.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

struct Runtime;

bool file_is_open(Runtime& rt, int number);
// Writes all bytes; false when the number is not open or the write failed.
bool file_write(Runtime& rt, int number, std::string_view bytes);
// Reads one byte: 0..255, or -1 at the end of the file or on failure.
int file_read_byte(Runtime& rt, int number);
// Moves the file position back by `bytes`; false on failure.
bool file_seek_back(Runtime& rt, int number, int bytes);
// Size in bytes of the open file.
std::optional<int64_t> file_size(Runtime& rt, int number);
// Closes all nine (program-end clean-up and final release).
void close_all_files(Runtime& rt);

}  // namespace quillon
