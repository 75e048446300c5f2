// The standard MIDI file reader. Every length is checked against the bytes that are there, so
// a truncated or hostile file is refused rather than read past its end.
#include "platform/audio/midi_file.h"

#include <algorithm>

namespace quillon {
namespace {

constexpr uint32_t kDefaultTempoUs = 500000;  // microseconds per quarter note: 120 per minute

struct TickEvent {
    uint64_t tick;
    uint32_t order;  // keeps the file's order among events of one tick
    uint8_t status, data1, data2;
    uint32_t tempo;  // a tempo change when status is 0
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}
    bool has(std::size_t n) const { return bytes_.size() - pos_ >= n; }
    bool at_end() const { return pos_ >= bytes_.size(); }
    uint8_t byte() { return static_cast<uint8_t>(bytes_[pos_++]); }
    uint32_t be(int n) {
        uint32_t v = 0;
        for (int k = 0; k < n; ++k)
            v = v << 8 | byte();
        return v;
    }
    // A variable-length quantity of at most four bytes; false when it runs off the end.
    bool vlq(uint32_t& v) {
        v = 0;
        for (int k = 0; k < 4; ++k) {
            if (!has(1)) return false;
            uint8_t b = byte();
            v = v << 7 | (b & 0x7F);
            if (!(b & 0x80)) return true;
        }
        return false;
    }
    bool skip(std::size_t n) {
        if (!has(n)) return false;
        pos_ += n;
        return true;
    }
    std::string_view take(std::size_t n) {
        auto s = bytes_.substr(pos_, n);
        pos_ += n;
        return s;
    }

  private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

int data_bytes(uint8_t status) {
    uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// One track's events appended to `out`; the latest track end so far in `end`.
bool read_track(std::string_view track, std::vector<TickEvent>& out, uint64_t& end,
                std::string& why) {
    Reader r(track);
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!r.at_end()) {
        uint32_t delta = 0;
        if (!r.vlq(delta) || !r.has(1)) return why = "track cut short", false;
        tick += delta;
        uint8_t status = r.byte();
        if (status == 0xFF) {
            uint32_t length = 0;
            if (!r.has(1)) return why = "meta event cut short", false;
            uint8_t type = r.byte();
            if (!r.vlq(length) || !r.has(length)) return why = "meta event cut short", false;
            std::string_view data = r.take(length);
            if (type == 0x2F) break;  // end of track
            if (type == 0x51 && length == 3) {
                uint32_t tempo = static_cast<uint32_t>(static_cast<uint8_t>(data[0])) << 16 |
                                 static_cast<uint32_t>(static_cast<uint8_t>(data[1])) << 8 |
                                 static_cast<uint8_t>(data[2]);
                if (tempo > 0)
                    out.push_back({tick, static_cast<uint32_t>(out.size()), 0, 0, 0, tempo});
            }
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            uint32_t length = 0;
            if (!r.vlq(length) || !r.skip(length)) return why = "system exclusive cut short", false;
            continue;
        }
        if (status > 0xF0) return why = "system message inside a track", false;
        TickEvent event{tick, static_cast<uint32_t>(out.size()), status, 0, 0, 0};
        uint8_t data[2] = {0, 0};
        int have = 0;
        if (status < 0x80) {  // running status: this byte is already the first data byte
            if (running == 0) return why = "data byte without a status", false;
            event.status = running;
            data[have++] = status;
        }
        running = event.status;
        const int wanted = data_bytes(event.status);
        if (!r.has(static_cast<std::size_t>(wanted - have))) return why = "event cut short", false;
        while (have < wanted)
            data[have++] = r.byte();
        event.data1 = data[0] & 0x7F;
        event.data2 = data[1] & 0x7F;
        out.push_back(event);
        if (out.size() > kMidiEventsMax) return why = "too many events", false;
    }
    end = std::max(end, tick);
    return true;
}

// Microseconds per tick from the header's division: ticks per quarter note, or SMPTE frames.
double tick_length_us(uint16_t division, uint32_t tempo) {
    if (division & 0x8000) {
        int fps = -static_cast<int8_t>(division >> 8);
        double frames = fps == 29 ? 29.97 : fps;
        return 1e6 / (frames * (division & 0xFF));
    }
    return static_cast<double>(tempo) / division;
}

}  // namespace

std::optional<MidiSequence> read_midi_file(std::string_view bytes, std::string* why) {
    std::string reason;
    auto fail = [&](const char* text) -> std::optional<MidiSequence> {
        if (why) *why = text;
        return std::nullopt;
    };
    Reader r(bytes);
    if (!r.has(14) || r.take(4) != "MThd") return fail("not a standard MIDI file");
    uint32_t header = r.be(4);
    if (header < 6 || !r.has(header)) return fail("header cut short");
    uint16_t format = static_cast<uint16_t>(r.be(2));
    uint16_t tracks = static_cast<uint16_t>(r.be(2));
    uint16_t division = static_cast<uint16_t>(r.be(2));
    r.skip(header - 6);
    bool smpte = division & 0x8000;
    if (format > 2 || division == 0 ||
        (smpte && ((division & 0xFF) == 0 || -static_cast<int8_t>(division >> 8) <= 0)))
        return fail("unsupported MIDI file header");
    std::vector<TickEvent> events;
    uint64_t end = 0;
    int read = 0;
    while (read < tracks && r.has(8)) {
        std::string_view id = r.take(4);
        uint32_t length = r.be(4);
        if (!r.has(length)) return fail("track cut short");
        std::string_view chunk = r.take(length);
        if (id != "MTrk") continue;  // unknown chunks are skipped
        if (!read_track(chunk, events, end, reason)) {
            if (why) *why = reason;
            return std::nullopt;
        }
        ++read;
    }
    if (read == 0) return fail("no tracks");
    std::stable_sort(events.begin(), events.end(),
                     [](const TickEvent& a, const TickEvent& b) { return a.tick < b.tick; });
    MidiSequence sequence;
    sequence.events.reserve(events.size());
    uint32_t tempo = kDefaultTempoUs;
    uint64_t last_tick = 0;
    double now_us = 0;
    auto advance = [&](uint64_t tick) {
        now_us += static_cast<double>(tick - last_tick) * tick_length_us(division, tempo);
        last_tick = tick;
    };
    for (const auto& e : events) {
        advance(e.tick);
        if (e.status == 0) {
            tempo = e.tempo;
            continue;
        }
        sequence.events.push_back({static_cast<int64_t>(now_us), e.status, e.data1, e.data2});
    }
    advance(std::max(end, last_tick));
    sequence.length_us = static_cast<int64_t>(now_us);
    return sequence;
}

}  // namespace quillon
