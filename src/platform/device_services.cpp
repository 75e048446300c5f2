// The device services: settings read when a device is first used, then the engine or the
// printer path they choose.
#include "platform/device_services.h"

#include <cerrno>
#include <cstring>

#include "platform/audio/audio_devices.h"
#include "platform/fonts/system_font.h"
#include "platform/printing/print_jobs.h"
#include "platform/settings_file.h"
#include "platform/system_services.h"

namespace quillon {
namespace {

constexpr char kMidiOutSetting[] = "MidiOut";  // "synth", "alsa" or "alsa:CLIENT:PORT"
constexpr char kSoundFontSetting[] = "SoundFont";
constexpr char kPrinterSetting[] = "Printer";  // a CUPS destination, or a file ending in .pdf
constexpr char kSynthOutput[] = "synth";
constexpr std::size_t kMidiFileMax = 16u << 20;

bool ends_with_pdf(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".pdf";
}

}  // namespace

DeviceServices::DeviceServices(DeviceOptions options) : options_(std::move(options)) {}

DeviceServices::~DeviceServices() = default;

// A [Devices] entry; a missing one is written with its default, so users find it to change.
std::string DeviceServices::setting(const char* name, const std::string& fallback) {
    SettingsFile settings(options_.settings_path);
    if (auto value = settings.read(kDevicesSection, name)) return *value;
    settings.write(kDevicesSection, name, fallback);
    return fallback;
}

AudioEngine& DeviceServices::engine() {
    std::lock_guard lock(mutex_);
    if (!engine_) {
        AudioOptions audio;
        audio.null_sink = options_.headless;
        audio.record_path = options_.audio_file;
        audio.sound_font = setting(kSoundFontSetting, kDefaultSoundFont);
        engine_ = std::make_unique<AudioEngine>(audio);
    }
    return *engine_;
}

FontLibrary& DeviceServices::fonts() {
    std::lock_guard lock(mutex_);
    if (!fonts_) fonts_ = std::make_unique<FontLibrary>();
    return *fonts_;
}

MidiOpenResult DeviceServices::open_midi_out() {
    std::string output = setting(kMidiOutSetting, kSynthOutput);
    MidiOpenResult result;
    if (output.rfind("alsa", 0) == 0) {
        std::string address = output.size() > 5 ? output.substr(5) : "";
        result.device = make_alsa_midi_out(address, result.error);
        return result;
    }
    std::string why;
    fluid_synth_t* synth = engine().synth(&why);
    if (!synth || !engine().start_output()) {
        result.no_device = true;  // no sound font: there is no MIDI output to offer
        return result;
    }
    result.device = make_synth_midi_out(engine(), synth);
    return result;
}

std::unique_ptr<MediaStream> DeviceServices::open_media(const std::string& path, MediaKind kind,
                                                        MediaFailure& failure) {
    if (kind == MediaKind::Wave) {
        auto samples = engine().decode(path, failure);
        return samples ? make_wave_stream(engine(), std::move(*samples)) : nullptr;
    }
    std::string why;
    auto bytes = read_whole_file(path, &why, kMidiFileMax);
    if (!bytes) {  // missing, or too big to be a MIDI file
        failure = why == std::strerror(ENOENT) ? MediaFailure::NotFound : MediaFailure::BadFormat;
        return nullptr;
    }
    auto sequence = read_midi_file(*bytes);
    if (!sequence) {
        failure = MediaFailure::BadFormat;
        return nullptr;
    }
    fluid_synth_t* synth = engine().synth();
    if (!synth || !engine().start_output()) {
        failure = MediaFailure::Unsupported;
        return nullptr;
    }
    return make_sequence_stream(engine(), synth, std::move(*sequence));
}

std::unique_ptr<PrintJob> DeviceServices::start_print_job(const FontRecord& font,
                                                          std::string& why) {
    std::string destination =
        options_.printer_file.empty() ? setting(kPrinterSetting, "") : options_.printer_file;
    FaceMatch face = fonts().resolve(font);
    if (!ends_with_pdf(destination))
        return make_cups_print_job(destination, face, fonts().open_font(font), why);
    std::lock_guard lock(mutex_);
    if (!pdf_file_) {
        auto document = std::make_unique<PdfDocument>(destination, default_paper_size(), face,
                                                      fonts_->open_font(font));
        if (!document->ok()) {
            why = "cannot write " + destination;
            return nullptr;
        }
        pdf_file_ = std::move(document);
    }
    return make_file_print_job(*pdf_file_);
}

void DeviceServices::beep() {
    engine().beep();
}

void DeviceServices::close_files() {
    std::lock_guard lock(mutex_);
    if (engine_) engine_->close_recording();
    std::string ignored;  // the file is as complete as it can be
    if (pdf_file_) pdf_file_->finish(ignored);
}

}  // namespace quillon
