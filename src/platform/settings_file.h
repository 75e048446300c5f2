// The settings store: keys holding named text values, kept in a small text file under the
// user's configuration folder ($XDG_CONFIG_HOME/quillon/settings.ini, else
// ~/.config/quillon/settings.ini). Every back-end serves the platform's settings calls with it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

// One "[KEY]" section of the file with its "NAME=TEXT" lines.
struct SettingsSection {
    std::string key;
    std::vector<std::pair<std::string, std::string>> values;
};

// The file's text and its sections. Names and texts are bytes; the bytes that would break a
// line ("%", control bytes, and "=", "[", "]", "#" in names) are written as %XX. Keys and
// value names match without regard to ASCII letter case, as programs have always named them.
std::vector<SettingsSection> parse_settings(std::string_view text);
std::string format_settings(const std::vector<SettingsSection>& sections);

class SettingsFile {
  public:
    // An empty path makes a store that holds nothing and refuses every write.
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}
    // The user's settings file; empty when neither XDG_CONFIG_HOME nor a home folder is known.
    static std::string default_path();

    const std::string& path() const { return path_; }
    bool key_exists(std::string_view key) const;
    bool create_key(std::string_view key);
    std::optional<std::string> read(std::string_view key, std::string_view name) const;
    // Writes the value, creating its key when needed; the file is replaced atomically.
    bool write(std::string_view key, std::string_view name, std::string_view text);

  private:
    std::vector<SettingsSection> load() const;
    bool save(const std::vector<SettingsSection>& sections);

    std::string path_;
};

}  // namespace quillon
