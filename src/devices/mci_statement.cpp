// MCI: a media command interpreter for the command strings programs send with sound files —
// open, play, stop, pause, resume, seek, close, status and set — on devices opened under an
// alias. A play with notify runs the statement's completion assignment when it ends.
#include <algorithm>
#include <charconv>
#include <vector>

#include "devices/file_names.h"
#include "devices/sound.h"
#include "expr/assignment.h"
#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "host/text_scan.h"

namespace quillon {
namespace {

constexpr int kWaitSliceMs = 10;  // a play with wait looks at the stop flag this often

constexpr char kErrorPrefix[] = "MCI error:";
constexpr char kUnknownCommand[] =
    "\x82\xB1\x82\xCC\x83R\x83}\x83\x93\x83h\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82"
    "\xA2\x82\xDC\x82\xB9\x82\xF1";  // このコマンドには対応していません
constexpr char kNoCommand[] =
    "\x83R\x83}\x83\x93\x83h\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // コマンドがありません
constexpr char kFileNotFound[] =
    "\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xBD\x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x8C\xA9\x82\xC2\x82"
    "\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // 指定されたファイルが見つかりません
constexpr char kBadFormat[] =
    "\x83t\x83@\x83"
    "C\x83\x8B\x82\xCC\x8C`\x8E\xAE\x82\xAA\x90\xB3\x82\xB5\x82\xAD\x82\xC8\x82"
    "\xA2\x82\xA9\x81"
    "A\x83t\x83@\x83"
    "C\x83\x8B\x82\xAA\x89\xF3\x82\xEA\x82\xC4\x82\xA2\x82"
    "\xDC\x82\xB7";  // ファイルの形式が正しくないか、ファイルが壊れています
constexpr char kCannotPlay[] =
    "\x82\xB1\x82\xCC\x83t\x83@\x83"
    "C\x83\x8B\x82\xCD\x8D\xC4\x90\xB6\x82\xC5\x82\xAB\x82\xDC"
    "\x82\xB9\x82\xF1";  // このファイルは再生できません
constexpr char kNotOpen[] =
    "\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xBD\x83"
    "f\x83o\x83"
    "C\x83X\x82\xCD\x8AJ\x82\xA9\x82\xEA"
    "\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";  // 指定されたデバイスは開かれていません
constexpr char kAliasInUse[] =
    "\x82\xBB\x82\xCC\x95\xCA\x96\xBC\x82\xCD\x82\xB7\x82\xC5\x82\xC9\x8Eg\x82\xED\x82\xEA\x82"
    "\xC4\x82\xA2\x82\xDC\x82\xB7";  // その別名はすでに使われています
constexpr char kBadParameter[] =
    "\x83p\x83\x89\x83\x81\x81[\x83^\x81[\x82\xAA\x90\xB3\x82\xB5\x82\xAD\x82\xA0\x82\xE8\x82"
    "\xDC\x82\xB9\x82\xF1";  // パラメーターが正しくありません
constexpr char kOutOfRange[] =
    "\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xBD\x88\xCA\x92u\x82\xAA\x94\xCD\x88\xCD\x8AO\x82\xC5\x82"
    "\xB7";  // 指定された位置が範囲外です
constexpr char kNoDeviceName[] =
    "\x83"
    "f\x83o\x83"
    "C\x83X\x96\xBC\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // デバイス名がありません
constexpr char kUnknownType[] =
    "\x82\xB1\x82\xCC\x8E\xED\x97\xDE\x82\xCC\x83"
    "f\x83o\x83"
    "C\x83X\x82\xC9\x82\xCD\x91\xCE"
    "\x89\x9E\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";  // この種類のデバイスには対応していません
constexpr char kUnknownTimeFormat[] =
    "\x82\xB1\x82\xCC\x8E\x9E\x8A\xD4\x8C`\x8E\xAE\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82"
    "\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";  // この時間形式には対応していません

// A command failed: error 99, "MCI error:" with the reason and what it concerns.
struct CommandError {
    const char* reason;
    std::string about;
};

// The words of a command: blanks separate them, double quotes keep a name with blanks whole.
std::vector<std::string> split_words(std::string_view command) {
    std::vector<std::string> words;
    std::size_t k = 0;
    while (k < command.size()) {
        if (is_blank(command[k])) {
            ++k;
            continue;
        }
        std::string word;
        if (command[k] == '"') {
            std::size_t close = command.find('"', k + 1);
            if (close == std::string_view::npos) close = command.size();
            word.assign(command.substr(k + 1, close - k - 1));
            k = close + 1;
        } else {
            while (k < command.size() && !is_blank(command[k]))
                word += command[k++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

bool is_word(const std::string& word, std::string_view expected) {
    return equals_ignoring_case(word, expected);
}

MediaKind kind_from_name(std::string_view name) {
    std::size_t dot = name.rfind('.');
    std::string_view ext = dot == std::string_view::npos ? "" : name.substr(dot + 1);
    bool midi = equals_ignoring_case(ext, "mid") || equals_ignoring_case(ext, "midi") ||
                equals_ignoring_case(ext, "rmi");
    return midi ? MediaKind::Sequence : MediaKind::Wave;
}

// A time in milliseconds: decimal digits only.
bool parse_time(const std::string& word, int64_t& ms) {
    if (word.empty() || !std::all_of(word.begin(), word.end(), is_digit)) return false;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), ms);
    return ec == std::errc() && end == word.data() + word.size();
}

class MediaCommand {
  public:
    MediaCommand(Runtime& rt, bool notify_target) : rt_(rt), target_(notify_target) {}
    void run(std::string_view command);

  private:
    [[noreturn]] void fail(const char* reason, std::string about = {}) {
        throw CommandError{reason, std::move(about)};
    }
    MediaDevice* find(const std::string& alias);
    MediaDevice& device(const std::string& alias);
    std::vector<MediaDevice*> devices(const std::string& alias);  // "all" names every one
    MediaDevice& open_device(const std::string& element, MediaKind kind, const std::string& alias,
                             const char* missing = kFileNotFound);
    void abort_notify(MediaDevice& device);
    void notify_now();

    void open(const std::vector<std::string>& args);
    void play(const std::vector<std::string>& args);
    void seek(MediaDevice& device, const std::vector<std::string>& args);
    void status(MediaDevice& device, const std::vector<std::string>& args);
    void set(const std::vector<std::string>& args);
    void control(const std::string& verb, const std::vector<std::string>& args);
    int64_t time_argument(MediaDevice& device, const std::vector<std::string>& args,
                          std::size_t at);

    Runtime& rt_;
    bool target_;          // the statement named a variable for completions
    bool notify_ = false;  // the command asks for a completion notice
    bool wait_ = false;
    std::string name_;  // the device the command names
};

MediaDevice* MediaCommand::find(const std::string& alias) {
    for (auto& device : rt_.devices.sound.media)
        if (equals_ignoring_case(device.alias, alias)) return &device;
    return nullptr;
}

MediaDevice& MediaCommand::device(const std::string& alias) {
    if (MediaDevice* found = find(alias)) return *found;
    fail(kNotOpen, alias);
}

std::vector<MediaDevice*> MediaCommand::devices(const std::string& alias) {
    std::vector<MediaDevice*> all;
    if (!is_word(alias, "all")) return {&device(alias)};
    for (auto& device : rt_.devices.sound.media)
        all.push_back(&device);
    return all;
}

// A play with notify that is cut short still reports its completion, as an aborted one.
void MediaCommand::abort_notify(MediaDevice& device) {
    if (device.notify_pending->exchange(false)) post_media_notification(rt_);
}

void MediaCommand::notify_now() {
    if (notify_ && target_) post_media_notification(rt_);
}

MediaDevice& MediaCommand::open_device(const std::string& element, MediaKind kind,
                                       const std::string& alias, const char* missing) {
    if (find(alias)) fail(kAliasInUse, alias);
    auto path = device_file_path(rt_, element);
    MediaFailure failure = path ? MediaFailure::None : MediaFailure::NotFound;
    auto stream = path ? rt_.platform.open_media(*path, kind, failure) : nullptr;
    if (!stream) {
        if (failure == MediaFailure::NotFound) fail(missing, element);
        if (failure == MediaFailure::BadFormat) fail(kBadFormat, element);
        fail(kCannotPlay, element);
    }
    auto& media = rt_.devices.sound.media;
    media.push_back(MediaDevice{alias, element, kind, std::move(stream)});
    return media.back();
}

// open FILE [type waveaudio|mpegvideo|sequencer] [alias NAME] [shareable]
void MediaCommand::open(const std::vector<std::string>& args) {
    MediaKind kind = kind_from_name(name_);
    std::string alias = name_;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& word = args[k];
        bool has_value = k + 1 < args.size();
        if (is_word(word, "type") && has_value) {
            const std::string& type = args[++k];
            if (is_word(type, "waveaudio") || is_word(type, "mpegvideo"))
                kind = MediaKind::Wave;
            else if (is_word(type, "sequencer"))
                kind = MediaKind::Sequence;
            else
                fail(kUnknownType, type);
        } else if (is_word(word, "alias") && has_value) {
            alias = args[++k];
        } else if (!is_word(word, "shareable")) {
            fail(kBadParameter, word);
        }
    }
    open_device(name_, kind, alias);
    notify_now();
}

int64_t MediaCommand::time_argument(MediaDevice& device, const std::vector<std::string>& args,
                                    std::size_t at) {
    if (at >= args.size()) fail(kBadParameter, args[at - 1]);
    int64_t ms = 0;
    if (!parse_time(args[at], ms)) fail(kBadParameter, args[at]);
    if (ms > device.stream->length_ms()) fail(kOutOfRange, args[at]);
    return ms;
}

// play NAME [from N] [to N]: a file name not yet open is opened under its own name.
void MediaCommand::play(const std::vector<std::string>& args) {
    MediaDevice* found = find(name_);
    MediaDevice& target =
        found ? *found : open_device(name_, kind_from_name(name_), name_, kNotOpen);
    MediaStream& stream = *target.stream;
    int64_t from = stream.position_ms();
    int64_t to = stream.length_ms();
    for (std::size_t k = 0; k < args.size(); ++k) {
        if (is_word(args[k], "from"))
            from = time_argument(target, args, ++k);
        else if (is_word(args[k], "to"))
            to = time_argument(target, args, ++k);
        else
            fail(kBadParameter, args[k]);
    }
    if (to < from) fail(kOutOfRange, std::to_string(to));
    abort_notify(target);  // a new play supersedes the one before
    auto pending = target.notify_pending;
    pending->store(notify_ && target_);
    Runtime& rt = rt_;
    stream.play(from, to, [&rt, pending] {
        if (pending->exchange(false)) post_media_notification(rt);
    });
    while (wait_ && stream.playing() && !rt_.host.stop)
        rt_.platform.sleep_ms(kWaitSliceMs);
}

// seek NAME to start|end|N
void MediaCommand::seek(MediaDevice& device, const std::vector<std::string>& args) {
    if (args.size() != 2 || !is_word(args[0], "to"))
        fail(kBadParameter, args.empty() ? name_ : args[0]);
    int64_t ms = 0;
    if (is_word(args[1], "start"))
        ms = 0;
    else if (is_word(args[1], "end"))
        ms = device.stream->length_ms();
    else
        ms = time_argument(device, args, 1);
    abort_notify(device);
    device.stream->seek(ms);
}

// status NAME mode|length|position|ready|time format: checked, the answer has no receiver.
void MediaCommand::status(MediaDevice& device, const std::vector<std::string>& args) {
    bool known = args.size() == 1 && (is_word(args[0], "mode") || is_word(args[0], "length") ||
                                      is_word(args[0], "position") || is_word(args[0], "ready"));
    known = known || (args.size() == 2 && is_word(args[0], "time") && is_word(args[1], "format"));
    if (!known) fail(kBadParameter, args.empty() ? name_ : args[0]);
}

// set NAME time format milliseconds (also "ms"), the only format the devices keep.
void MediaCommand::set(const std::vector<std::string>& args) {
    device(name_);
    if (args.size() != 3 || !is_word(args[0], "time") || !is_word(args[1], "format"))
        fail(kBadParameter, args.empty() ? name_ : args[0]);
    if (!is_word(args[2], "milliseconds") && !is_word(args[2], "ms"))
        fail(kUnknownTimeFormat, args[2]);
}

void MediaCommand::run(std::string_view command) {
    std::vector<std::string> words = split_words(command);
    if (words.empty()) fail(kNoCommand);
    const std::string verb = words[0];
    std::vector<std::string> args;
    for (std::size_t k = 1; k < words.size(); ++k) {
        if (is_word(words[k], "notify"))
            notify_ = true;
        else if (is_word(words[k], "wait"))
            wait_ = true;
        else if (name_.empty() && k == 1)
            name_ = words[k];
        else
            args.push_back(words[k]);
    }
    bool known = is_word(verb, "open") || is_word(verb, "play") || is_word(verb, "stop") ||
                 is_word(verb, "pause") || is_word(verb, "resume") || is_word(verb, "seek") ||
                 is_word(verb, "close") || is_word(verb, "status") || is_word(verb, "set");
    if (!known) fail(kUnknownCommand, verb);
    if (name_.empty()) fail(kNoDeviceName, verb);

    if (is_word(verb, "open")) return open(args);
    if (is_word(verb, "play")) return play(args);
    if (is_word(verb, "set"))
        set(args);
    else if (is_word(verb, "seek"))
        seek(device(name_), args);
    else if (is_word(verb, "status"))
        status(device(name_), args);
    else
        control(verb, args);
    notify_now();
}

// stop, pause, resume and close, on one device or on all of them.
void MediaCommand::control(const std::string& verb, const std::vector<std::string>& args) {
    if (!args.empty()) fail(kBadParameter, args[0]);
    auto& media = rt_.devices.sound.media;
    for (MediaDevice* target : devices(name_)) {
        if (is_word(verb, "pause")) target->stream->pause();
        if (is_word(verb, "resume")) target->stream->resume();
        if (is_word(verb, "stop") || is_word(verb, "close")) {
            abort_notify(*target);
            target->stream->stop();
        }
    }
    if (is_word(verb, "close")) {
        bool all = is_word(name_, "all");
        std::erase_if(media, [&](const MediaDevice& d) {
            return all || equals_ignoring_case(d.alias, name_);
        });
    }
}

}  // namespace

void run_media_command(Runtime& rt, std::string_view command, bool notify_target) {
    try {
        MediaCommand(rt, notify_target).run(command);
    } catch (const CommandError& error) {
        std::string text = kErrorPrefix;
        text += error.reason;
        if (!error.about.empty()) text += " (" + error.about + ")";
        report_error(rt, kOwnMessage, text);
    }
}

void mci_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    std::size_t comma = first_comma(args, true);
    bool target = comma != std::string_view::npos;
    if (target) {
        std::string_view name = args.substr(comma + 1);
        while (!name.empty() && is_blank(name.front()))
            name.remove_prefix(1);
        while (!name.empty() && is_blank(name.back()))
            name.remove_suffix(1);
        rt.devices.sound.notify_assignment = std::string(name) + "=1";
        args = args.substr(0, comma);
    }
    std::string value;
    eval_string(rt, args, value);
    if (rt.host.stop) return;
    std::string command;
    if (is_quoted(value) &&
        !decode_string(rt, std::string_view(value).substr(1, value.size() - 2), command))
        return;
    run_media_command(rt, command, target);
}

void run_media_notification(Runtime& rt) {
    const std::string& assignment = rt.devices.sound.notify_assignment;
    if (!assignment.empty() && rt.host.running && !rt.host.stop) assign(rt, assignment);
}

void close_sound(Runtime& rt) {
    auto& sound = rt.devices.sound;
    for (auto& device : sound.media)
        device.notify_pending->store(false);
    sound.media.clear();  // each stream stops as it goes
    sound.midi.reset();
}

}  // namespace quillon
