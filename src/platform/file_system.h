// Files, serial ports and folders as the interpreter sees them. Names cross this interface as
// the program wrote them (Shift-JIS, backslashes, drive letters); each back-end maps them to
// its own paths and devices. One implementation per operating system (posix/).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

enum class Access { Read, Write, ReadWrite };

// A serial port's line settings, in the codes the program's settings use.
struct PortSettings {
    int baud = 9600;
    int data_bits = 8;  // 5 to 8
    int parity = 0;     // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stop_bits = 0;  // 0 one, 1 one and a half, 2 two
    bool xon_xoff = true;
    bool rts_cts = false;
};

// What Channel::read gives besides a count of bytes.
inline constexpr long kReadEnd = 0;      // the end of a file, or a port whose other end went away
inline constexpr long kReadFailed = -1;  // a failure, or `stop` was set while a port waited

// An open file or serial port. Only one thread uses a channel at a time.
class Channel {
  public:
    virtual ~Channel() = default;
    virtual bool is_port() const = 0;
    // Reads up to `size` bytes and returns their count, kReadEnd or kReadFailed. A port waits
    // for its first byte until one arrives or `stop` is set.
    virtual long read(char* buffer, std::size_t size, const std::atomic<bool>& stop) = 0;
    // Hands every byte to the operating system (a port waits while flow control holds its
    // output back, until `stop` is set); false when not all of them could be written.
    virtual bool write(std::string_view bytes, const std::atomic<bool>& stop) = 0;
    // Moves the position by `offset` bytes; false when it cannot (ports cannot).
    virtual bool seek_relative(int64_t offset) = 0;
    // A file's size in bytes; for a port, the received bytes waiting to be read.
    virtual std::optional<int64_t> size() = 0;
};

// One entry of a folder listing. `folder` marks a plain folder (what the listing shows in
// angle brackets); "." and ".." are plain folders.
struct FolderEntry {
    std::string name;  // Shift-JIS
    bool folder = false;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // Opens a file that no other channel holds, creating it empty when it does not exist;
    // `truncate` empties an existing one. Nothing when it cannot be opened.
    virtual std::unique_ptr<Channel> open_file(std::string_view name, Access access,
                                               bool truncate) = 0;
    // Opens the serial port named `device` (COM1, COM2 ...) if it exists and is not busy, and
    // applies `settings`; settings the port refuses are left as they were.
    virtual std::unique_ptr<Channel> open_port(std::string_view device, Access access,
                                               const PortSettings& settings) = 0;
    // Deletes a file; false when it does not exist, is a folder or is in use.
    virtual bool remove_file(std::string_view name) = 0;
    virtual bool make_folder(std::string_view name) = 0;
    // The entries of a folder: "." and ".." first, then by name without regard to letter
    // case. Empty when the folder cannot be listed.
    virtual std::vector<FolderEntry> list_folder(std::string_view folder) = 0;
    // The path here of a file that a device reads by name (pictures, sound files), mapped as
    // open_file maps names; nothing when the name cannot be mapped.
    virtual std::optional<std::string> path_of(std::string_view name) = 0;
};

// Refuses everything: the file system of a platform that has none.
class NoFileSystem : public FileSystem {
  public:
    std::unique_ptr<Channel> open_file(std::string_view, Access, bool) override { return nullptr; }
    std::unique_ptr<Channel> open_port(std::string_view, Access, const PortSettings&) override {
        return nullptr;
    }
    bool remove_file(std::string_view) override { return false; }
    bool make_folder(std::string_view) override { return false; }
    std::vector<FolderEntry> list_folder(std::string_view) override { return {}; }
    std::optional<std::string> path_of(std::string_view) override { return std::nullopt; }
};

inline FileSystem& no_file_system() {
    static NoFileSystem none;  // holds nothing
    return none;
}

class Platform;

// This operating system's files, ports and folders; drive letters and ports are mapped
// through `settings`' settings store (posix/posix_file_system.cpp).
std::unique_ptr<FileSystem> make_host_file_system(Platform& settings);

// A name as this system's files and folders spell it (the folder of a program file, say),
// written as the program sees names: Shift-JIS where it can be, else the bytes as they are.
std::string program_name_of(std::string_view host_name);

}  // namespace quillon
