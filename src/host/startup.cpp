// Start-up of the interpreter: the serial-port setting, the program and its font, the program
// state and its reset, the data list, and the final release when the window goes away.
#include "host/startup.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>

#include "expr/assignment.h"
#include "expr/calls.h"
#include "expr/variables.h"
#include "flow/scan_memory.h"
#include "graphics/graphics_statements.h"
#include "host/error_report.h"
#include "host/limits.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "host/statement.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr char kSettingsKey[] = "Software\\Wrenfield\\Quillon";
constexpr char kSerialValue[] = "RS232C";
constexpr char kSerialDefault[] = "1 9600 8 0 0 1 0";
constexpr std::size_t kSettingTextMax = 259;  // the 260-byte read buffer
constexpr uint16_t kDataToken = 0x1063;

// Parses "%d %d %d %d %d %d %d" into the serial defaults; fields it cannot read keep theirs.
void parse_serial_setting(std::string_view text, SerialDefaults& serial) {
    std::string copy(text);
    int v[7];
    int got = std::sscanf(copy.c_str(), "%d %d %d %d %d %d %d", &v[0], &v[1], &v[2], &v[3], &v[4],
                          &v[5], &v[6]);
    for (int k = 0; k < got && k < 7; ++k)
        serial.values[static_cast<std::size_t>(k)] = v[k];
}

// Appends the items of one DATA statement, dropping blanks and tabs at the start of each item
// and just before a comma, both outside double quotes. A quote left open closes at the line's
// end, so that the item ends there and READ never runs on into the following lines. Returns
// the bytes added.
std::size_t append_data_items(std::string& list, std::string_view items) {
    std::string copy;
    bool in_quotes = false;
    bool item_start = true;
    for (std::size_t k = 0; k < items.size(); ++k) {
        char c = items[k];
        if (!in_quotes && is_blank(c)) {
            if (item_start) continue;
            std::size_t next = k;
            while (next < items.size() && is_blank(items[next]))
                ++next;
            if (next < items.size() && items[next] == ',') continue;
        }
        if (c == '"') in_quotes = !in_quotes;
        item_start = !in_quotes && c == ',';
        copy += c;
    }
    if (in_quotes) copy += '"';
    if (!list.empty()) list += ',';
    list += copy;
    return copy.size() + 1;
}

}  // namespace

void initialise_settings(Runtime& rt) {
    {
        std::lock_guard lock(rt.graphics.display_mutex);
        rt.screen.text_colours.fill(kWhite);
        rt.screen.view.on = false;
        rt.graphics.text_colour = kWhite;
        rt.graphics.background_colour = kBlack;
    }
    rt.devices.serial = SerialDefaults{};
    auto& platform = rt.platform;
    std::string text = kSerialDefault;
    if (!platform.setting_key_exists(kSettingsKey)) {
        platform.create_setting_key(kSettingsKey);
        platform.write_setting(kSettingsKey, kSerialValue, kSerialDefault);
    } else if (auto stored = platform.read_setting(kSettingsKey, kSerialValue)) {
        text = stored->substr(0, kSettingTextMax);
        parse_serial_setting(text, rt.devices.serial);
    } else {
        platform.write_setting(kSettingsKey, kSerialValue, kSerialDefault);
        parse_serial_setting(text, rt.devices.serial);
    }
    rt.host.serial_setting = text;
}

void load_program(Runtime& rt, const ProgramImage& image) {
    rt.host.program = image.text;
    // The text is NUL-terminated after the bytes read: a NUL inside ends it.
    if (auto nul = rt.host.program.find('\0'); nul != std::string::npos)
        rt.host.program.resize(nul);
    rt.host.program_released = false;
    forget_scans(rt.flow);  // remembered scans belong to the old text
    rt.host.prepared.clear();
    rt.host.font = parse_font_record(image.face, image.font_numbers);
    auto font = rt.platform.open_font(rt.host.font);
    {
        std::lock_guard lock(rt.graphics.display_mutex);  // a window's paints use the font
        rt.screen.font = std::move(font);
    }
    rt.host.inline_branch = false;
}

void initialise_program_state(Runtime& rt) {
    rt.screen.input_waiting = false;
    rt.host.stop = false;
    rt.screen.caret_flag = false;
    rt.platform.caret_changed();
    rt.host.position = 0;
    rt.host.statement_mark = 0;
    rt.flow.for_top = -1;
    reset_program(rt);
    rt.devices.printer.x = kPrintLeft;
    rt.devices.printer.y = 0;
}

void reset_program(Runtime& rt) {
    reset_variables(rt);
    build_data_list(rt);
    reset_declared_letters(rt);
    reset_user_functions(rt);
    rt.flow.gosub_depth = 0;
    release_images(rt);  // numbering starts again from 0 and their memory is given back
    rt.devices.sound.voices.fill(VoiceSettings{});
    rt.host.error_trap.clear();
}

void build_data_list(Runtime& rt) {
    auto& host = rt.host;
    std::string list;
    std::size_t data_bytes = 0;  // only the items count against the list's size
    host.data_index = 0;
    const std::string& text = host.program;
    const std::size_t size = text.size();
    auto at = [&](std::size_t k) { return k < size ? text[k] : '\0'; };
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t number_end = pos;
        while (number_end < size && !is_blank(text[number_end]) && text[number_end] != '\n')
            ++number_end;
        if (number_end >= size) break;
        if (number_end > pos) {  // an empty line (the last line of an image) has no number
            if (!list.empty()) list += ',';
            list += "\x01n";
            list.append(text, pos, number_end - pos);
        }
        std::size_t line_end = text.find('\n', number_end);
        if (line_end == std::string::npos) line_end = size;
        // Statement starts: after the number's blank, and after every ":" (quotes not seen).
        std::size_t start = text[number_end] == '\n' ? line_end : number_end + 1;
        while (start < line_end) {
            if (at(start) == '*') {
                std::size_t end = start;
                while (end < line_end && !is_blank(text[end]) && text[end] != ':' &&
                       text[end] != '\'')
                    ++end;
                if (!list.empty()) list += ',';
                list += "\x01v";
                list.append(text, start, end - start);
                if (at(end) == ':') {
                    start = end + 1;
                    while (is_blank(at(start)))
                        ++start;
                }
            }
            char before = start > 0 ? text[start - 1] : '\0';
            if ((before == ' ' || before == ':') && static_cast<uint8_t>(at(start)) == 0x10 &&
                static_cast<uint8_t>(at(start + 1)) == (kDataToken & 0xFF)) {
                std::size_t items = std::min(start + 3, line_end);
                data_bytes +=
                    append_data_items(list, std::string_view(text).substr(items, line_end - items));
            }
            std::size_t colon = text.find(':', start);
            if (colon == std::string::npos || colon >= line_end) break;
            start = colon + 1;
        }
        pos = line_end + 1;
    }
    if (data_bytes > kDataListMax) {
        // The items do not fit the list's 65,536 bytes: refuse the program rather than lose
        // data. Line and label markers are not charged, so a long program without DATA runs.
        host.data_list.clear();
        report_error(rt, kMemoryRange);
        return;
    }
    host.data_list = std::move(list);
}

void final_release(Runtime& rt) {
    if (rt.host.running) program_end_cleanup(rt);
    rt.platform.close_device_files();
    reset_variables(rt);
    rt.host.program.clear();
    std::lock_guard lock(rt.graphics.display_mutex);
    rt.screen.font.reset();
}

}  // namespace quillon
