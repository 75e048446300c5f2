// The settings file: parsing and writing its "[KEY]" / "NAME=TEXT" lines, and where it lives
// on POSIX systems. Each call reads the file afresh, so two runs see each other's writes.
#include "platform/settings_file.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>

#include "platform/system_services.h"

namespace quillon {
namespace {

constexpr std::size_t kSettingsFileMax = 1u << 20;
constexpr char kHexDigits[] = "0123456789ABCDEF";

char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return fold(x) == fold(y); });
}

bool needs_escape(uint8_t byte, bool in_name) {
    if (byte < 0x20 || byte == 0x7F || byte == '%') return true;
    return in_name && (byte == '=' || byte == '[' || byte == ']' || byte == '#');
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Blanks around a name or value are the user's layout ("COM1 = /dev/ttyUSB0"), not part of it.
std::string_view trim_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Escapes what a line cannot hold as it is, and blanks at either end, which reading trims.
std::string escape(std::string_view text, bool in_name) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        auto byte = static_cast<uint8_t>(c);
        bool at_edge = k == 0 || k + 1 == text.size();
        if (!needs_escape(byte, in_name) && !(at_edge && c == ' ')) {
            out += c;
            continue;
        }
        out += '%';
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0xF];
    }
    return out;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// %XX becomes its byte; a "%" not followed by two hex digits stays as it is.
std::string unescape(std::string_view text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '%' && k + 2 < text.size()) {
            int high = hex_value(text[k + 1]);
            int low = hex_value(text[k + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                k += 2;
                continue;
            }
        }
        out += text[k];
    }
    return out;
}

SettingsSection* find_section(std::vector<SettingsSection>& sections, std::string_view key) {
    for (auto& section : sections)
        if (same_name(section.key, key)) return &section;
    return nullptr;
}

std::string home_folder() {
    if (auto home = environment_variable("HOME")) return *home;
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        return found->pw_dir;
    return {};
}

}  // namespace

std::vector<SettingsSection> parse_settings(std::string_view text) {
    std::vector<SettingsSection> sections;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[' && line.back() == ']' && line.size() >= 2) {
            std::string key = unescape(line.substr(1, line.size() - 2));
            if (!find_section(sections, key)) sections.push_back({key, {}});
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || sections.empty()) continue;  // not ours: ignored
        std::string name = unescape(trim_blanks(line.substr(0, equals)));
        std::string value = unescape(trim_blanks(line.substr(equals + 1)));
        auto& values = sections.back().values;
        auto same = std::find_if(values.begin(), values.end(),
                                 [&](const auto& entry) { return same_name(entry.first, name); });
        if (same != values.end())
            same->second = value;
        else
            values.emplace_back(name, value);
    }
    return sections;
}

std::string format_settings(const std::vector<SettingsSection>& sections) {
    std::string text = "# Quillon settings\n";
    for (const auto& section : sections) {
        text += '[' + escape(section.key, true) + "]\n";
        for (const auto& [name, value] : section.values)
            text += escape(name, true) + '=' + escape(value, false) + '\n';
    }
    return text;
}

std::string SettingsFile::default_path() {
    std::string folder;
    if (auto config = environment_variable("XDG_CONFIG_HOME"); config && (*config)[0] == '/')
        folder = *config;
    else if (std::string home = home_folder(); !home.empty())
        folder = home + "/.config";
    else
        return {};
    return folder + "/quillon/settings.ini";
}

std::vector<SettingsSection> SettingsFile::load() const {
    if (path_.empty()) return {};
    auto text = read_whole_file(path_, nullptr, kSettingsFileMax);
    return text ? parse_settings(*text) : std::vector<SettingsSection>{};
}

bool SettingsFile::save(const std::vector<SettingsSection>& sections) {
    return !path_.empty() && write_file_atomically(path_, format_settings(sections));
}

bool SettingsFile::key_exists(std::string_view key) const {
    auto sections = load();
    return find_section(sections, key) != nullptr;
}

bool SettingsFile::create_key(std::string_view key) {
    auto sections = load();
    if (find_section(sections, key)) return true;
    sections.push_back({std::string(key), {}});
    return save(sections);
}

std::optional<std::string> SettingsFile::read(std::string_view key, std::string_view name) const {
    auto sections = load();
    SettingsSection* section = find_section(sections, key);
    if (!section) return std::nullopt;
    for (const auto& [entry, value] : section->values)
        if (same_name(entry, name)) return value;
    return std::nullopt;
}

bool SettingsFile::write(std::string_view key, std::string_view name, std::string_view text) {
    auto sections = load();
    SettingsSection* section = find_section(sections, key);
    if (!section) {
        sections.push_back({std::string(key), {}});
        section = &sections.back();
    }
    auto& values = section->values;
    auto same = std::find_if(values.begin(), values.end(),
                             [&](const auto& entry) { return same_name(entry.first, name); });
    if (same != values.end())
        same->second = std::string(text);
    else
        values.emplace_back(std::string(name), std::string(text));
    return save(sections);
}

}  // namespace quillon
