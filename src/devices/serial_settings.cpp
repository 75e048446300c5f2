// Port names and their settings text: "COM1:E72S" is even parity, 7 data bits, stop-bit code 1
// and RTS/CTS on, every position missing or unknown keeping the serial defaults' value.
#include "devices/serial_settings.h"

#include <array>

#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr std::array<int, 15> kBaudRates = {110,   300,   600,    1200,   2400,
                                            4800,  9600,  14400,  19200,  38400,
                                            56000, 57600, 115200, 128000, 256000};
constexpr int kDefaultBaud = 9600;
constexpr std::size_t kComLength = 3;  // "com"

bool is_letter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int low_byte(int value) {
    return value & 0xFF;
}

void apply_settings_text(std::string_view text, PortSettings& s) {
    auto at = [&](std::size_t k) { return k < text.size() ? text[k] : '\0'; };
    switch (at(0)) {
        case 'N':
        case 'n':
            s.parity = 0;
            break;
        case 'O':
        case 'o':
            s.parity = 1;
            break;
        case 'E':
        case 'e':
            s.parity = 2;
            break;
        default:
            break;
    }
    if (at(1) == '8' || at(1) == '7') s.data_bits = at(1) - '0';
    if (at(2) >= '1' && at(2) <= '3') s.stop_bits = at(2) - '1';
    switch (at(3)) {  // capitals only
        case 'N':
            s.xon_xoff = s.rts_cts = false;
            break;
        case 'X':
            s.xon_xoff = true;
            break;
        case 'S':
            s.rts_cts = true;
            break;
        case 'D':
            s.xon_xoff = s.rts_cts = true;
            break;
        default:
            break;
    }
}

}  // namespace

int baud_rate(int field) {
    if (field >= 0 && field < static_cast<int>(kBaudRates.size()))
        return kBaudRates[static_cast<std::size_t>(field)];
    for (int rate : kBaudRates)
        if (rate == field) return rate;
    return kDefaultBaud;
}

PortSettings default_port_settings(const SerialDefaults& defaults) {
    const auto& v = defaults.values;
    PortSettings s;
    s.baud = baud_rate(v[1]);
    s.data_bits = low_byte(v[2]);
    s.parity = low_byte(v[3]);
    s.stop_bits = low_byte(v[4]);
    s.xon_xoff = low_byte(v[5]) != 0;
    s.rts_cts = low_byte(v[6]) != 0;
    return s;
}

std::optional<PortName> port_name(std::string_view name, const SerialDefaults& defaults) {
    if (name.find(':') == std::string_view::npos || name.size() <= kComLength ||
        !equals_ignoring_case(name.substr(0, kComLength), "com") || is_letter(name[kComLength]))
        return std::nullopt;
    std::size_t colon = name.find(':', kComLength);
    if (colon == std::string_view::npos) return std::nullopt;  // the colon stands inside "com"
    PortName port;
    port.device = std::string(name.substr(0, colon));
    char last = port.device.back();
    if (last < '0' || last > '9') port.device += std::to_string(low_byte(defaults.values[0]));
    port.settings = default_port_settings(defaults);
    apply_settings_text(name.substr(colon + 1), port.settings);
    return port;
}

}  // namespace quillon
