// Operating-system services shared by every back-end and by kavrun's start-up: the
// executable's own path, reading files and paths, the clock and sleeping, the environment and
// the standard streams. One implementation per operating system (posix/system_services.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quillon {

// The largest file read whole (sources, key and event scripts, the settings file).
inline constexpr std::size_t kWholeFileMax = 64u << 20;

// The full path of the running executable; empty when it cannot be found.
std::string executable_path();

// Reads a regular file whole, at most `limit` bytes; nothing (and `why`) when it cannot be
// read, is not a regular file or is larger than the limit.
std::optional<std::string> read_whole_file(const std::string& path, std::string* why = nullptr,
                                           std::size_t limit = kWholeFileMax);
// Reads the last `bytes` bytes of a regular file (all of it when shorter).
std::optional<std::string> read_file_tail(const std::string& path, std::size_t bytes,
                                          std::string* why = nullptr);
// Replaces the file with `bytes` atomically (a temporary file beside it, then a rename), making
// its folder first when needed.
bool write_file_atomically(const std::string& path, std::string_view bytes);

// Paths: the folder that holds `path`, made absolute, without a trailing separator (the root
// stays "/"); the file name without its folder and extension.
std::string absolute_folder_of(const std::string& path);
std::string file_stem(const std::string& path);

LocalTime local_time_now();
int64_t epoch_seconds_now();
void sleep_milliseconds(int milliseconds);

// An environment variable; nothing when unset or empty.
std::optional<std::string> environment_variable(const char* name);

bool standard_input_is_terminal();
bool standard_output_is_terminal();
// Writes all bytes to standard output (or standard error), retrying short writes.
void write_standard_output(std::string_view bytes);
void write_standard_error(std::string_view bytes);
// Reads up to `size` bytes of standard input. Returns the count, 0 at the end of the input,
// or -1 when `wait` is false and nothing is ready (or on an error).
long read_standard_input(char* buffer, std::size_t size, bool wait);
// Ends standard input for this process, from any thread: a read waiting now, and every read
// after it, returns as at the end of the input (a termination signal ends the program).
void end_standard_input();

}  // namespace quillon
