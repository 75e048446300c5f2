// The nine channels and their read-ahead. A file's position as the program sees it is the
// platform's position less the unread bytes ahead; a write or a long step back first brings
// the platform's position there. A port's input and output are separate streams, so writing
// leaves its unread input alone.
#include "devices/file_table.h"

#include <algorithm>

#include "host/runtime.h"

namespace quillon {
namespace {

constexpr std::size_t kReadAheadBytes = 64 * 1024;

using Lock = std::lock_guard<std::mutex>;

FileSlot* open_slot(Runtime& rt, int number) {
    if (number < 1 || number > kFileSlots) return nullptr;
    FileSlot& slot = rt.devices.files.slots[static_cast<std::size_t>(number - 1)];
    return slot.channel ? &slot : nullptr;
}

std::size_t unread(const FileSlot& slot) {
    return slot.end - slot.next;
}

void forget_ahead(FileSlot& slot) {
    slot.next = slot.end = 0;
    slot.line_feed_owed = false;
}

// Reads the next block ahead; returns what the channel's read returned. A line feed owed to
// a CR is skipped, so the block may hold nothing unread when it was all there was.
long refill(FileSlot& slot, const std::atomic<bool>& stop) {
    if (slot.ahead.empty()) slot.ahead.resize(kReadAheadBytes);
    long got = slot.channel->read(slot.ahead.data(), slot.ahead.size(), stop);
    slot.next = 0;
    slot.end = got > 0 ? static_cast<std::size_t>(got) : 0;
    if (got > 0 && slot.line_feed_owed) {
        slot.line_feed_owed = false;
        if (slot.ahead[0] == '\n') slot.next = 1;
    }
    return got;
}

// True when a port has received bytes that are not read yet.
bool port_has_input(FileSlot& slot) {
    auto waiting = slot.channel->size();
    return waiting && *waiting > 0;
}

// Brings a file's platform position back to where the program stands.
bool settle_position(FileSlot& slot) {
    if (slot.channel->is_port() || unread(slot) == 0) return true;
    if (!slot.channel->seek_relative(-static_cast<int64_t>(unread(slot)))) return false;
    forget_ahead(slot);
    return true;
}

bool step_back(FileSlot& slot, int bytes) {
    if (bytes < 0) return false;
    auto count = static_cast<std::size_t>(bytes);
    if (count <= slot.next) {
        slot.next -= count;
        return true;
    }
    if (slot.channel->is_port()) return false;
    int64_t offset = -static_cast<int64_t>(count + unread(slot));
    if (!slot.channel->seek_relative(offset)) return false;
    forget_ahead(slot);
    return true;
}

}  // namespace

bool file_is_open(Runtime& rt, int number) {
    Lock lock(rt.devices.files.mutex);
    return open_slot(rt, number) != nullptr;
}

bool file_write(Runtime& rt, int number, std::string_view bytes) {
    Lock lock(rt.devices.files.mutex);
    FileSlot* slot = open_slot(rt, number);
    return slot && settle_position(*slot) && slot->channel->write(bytes, rt.host.stop);
}

int file_read_byte(Runtime& rt, int number) {
    return ChannelReader(rt, number).read_byte();
}

bool file_seek_back(Runtime& rt, int number, int bytes) {
    return ChannelReader(rt, number).seek_back(bytes);
}

std::optional<int64_t> file_size(Runtime& rt, int number) {
    Lock lock(rt.devices.files.mutex);
    FileSlot* slot = open_slot(rt, number);
    if (!slot) return std::nullopt;
    auto size = slot->channel->size();
    if (size && slot->channel->is_port()) *size += static_cast<int64_t>(unread(*slot));
    return size;
}

std::optional<bool> file_at_end(Runtime& rt, int number) {
    Lock lock(rt.devices.files.mutex);
    FileSlot* slot = open_slot(rt, number);
    if (!slot) return std::nullopt;
    if (unread(*slot) > 0) return false;
    if (slot->channel->is_port()) {
        // Only a line feed owed to a CR may be waiting: it is not input for the program.
        if (slot->line_feed_owed && port_has_input(*slot) && refill(*slot, rt.host.stop) > 0 &&
            unread(*slot) > 0)
            return false;
        auto waiting = slot->channel->size();
        if (!waiting) return std::nullopt;
        return *waiting == 0;
    }
    long got = refill(*slot, rt.host.stop);
    if (got < 0) return std::nullopt;
    return got == 0;
}

bool file_read_bytes(Runtime& rt, int number, std::size_t count, std::string& out) {
    out.clear();
    Lock lock(rt.devices.files.mutex);
    FileSlot* slot = open_slot(rt, number);
    if (!slot) return false;
    while (out.size() < count) {
        if (unread(*slot) == 0 && refill(*slot, rt.host.stop) <= 0) break;
        std::size_t take = std::min(count - out.size(), unread(*slot));
        out.append(slot->ahead.data() + slot->next, take);
        slot->next += take;
    }
    return out.size() == count || !out.empty();
}

void attach_file(Runtime& rt, int number, std::unique_ptr<Channel> channel) {
    if (number < 1 || number > kFileSlots) return;
    Lock lock(rt.devices.files.mutex);
    FileSlot& slot = rt.devices.files.slots[static_cast<std::size_t>(number - 1)];
    slot.channel = std::move(channel);
    forget_ahead(slot);
}

void close_file(Runtime& rt, int number) {
    attach_file(rt, number, nullptr);
}

void close_all_files(Runtime& rt) {
    Lock lock(rt.devices.files.mutex);
    for (FileSlot& slot : rt.devices.files.slots) {
        slot.channel.reset();  // the platform has every written byte already
        forget_ahead(slot);
    }
}

ChannelReader::ChannelReader(Runtime& rt, int number)
    : lock_(rt.devices.files.mutex), slot_(open_slot(rt, number)), stop_(rt.host.stop) {}

int ChannelReader::refill_and_read() {
    do {
        if (!slot_ || refill(*slot_, stop_) <= 0) return -1;
    } while (unread(*slot_) == 0);  // the block held only an owed line feed
    return static_cast<uint8_t>(slot_->ahead[slot_->next++]);
}

void ChannelReader::take_line_feed() {
    if (!slot_) return;
    if (slot_->channel->is_port() && unread(*slot_) == 0 && !port_has_input(*slot_)) {
        slot_->line_feed_owed = true;
        return;
    }
    int next = read_byte();
    if (next >= 0 && next != '\n') seek_back(1);
}

bool ChannelReader::seek_back(int bytes) {
    return slot_ && step_back(*slot_, bytes);
}

}  // namespace quillon
