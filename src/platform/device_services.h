// The printer and sound devices both back-ends offer: the audio engine with its synthesizer
// and media files, the MIDI output PLAY uses, and print jobs to a PDF file or through CUPS.
// Each is made on first use, so a run that neither prints nor sounds pays nothing for them.
// The settings file's [Devices] section chooses among them (README: Settings).
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "platform/platform.h"

namespace quillon {

class AudioEngine;
class FontLibrary;
class PdfDocument;

inline constexpr char kDevicesSection[] = "Devices";

struct DeviceOptions {
    bool headless = false;     // sound goes to the silent output (and the recording)
    std::string audio_file;    // --audio: a WAV recording of everything that sounds
    std::string printer_file;  // --printer: every job's pages go to this PDF file
    std::string settings_path;
};

class DeviceServices {
  public:
    explicit DeviceServices(DeviceOptions options);
    ~DeviceServices();
    DeviceServices(const DeviceServices&) = delete;
    DeviceServices& operator=(const DeviceServices&) = delete;

    MidiOpenResult open_midi_out();
    std::unique_ptr<MediaStream> open_media(const std::string& path, MediaKind kind,
                                            MediaFailure& failure);
    std::unique_ptr<PrintJob> start_print_job(const FontRecord& font, std::string& why);
    void beep();
    // Completes the PDF file and closes the recording; sound plays on, unrecorded.
    void close_files();

  private:
    AudioEngine& engine();
    FontLibrary& fonts();
    std::string setting(const char* name, const std::string& fallback);

    DeviceOptions options_;
    std::mutex mutex_;  // the lazily made parts below
    std::unique_ptr<AudioEngine> engine_;
    std::unique_ptr<FontLibrary> fonts_;
    std::unique_ptr<PdfDocument> pdf_file_;  // the run's PDF file, once a job has started
};

}  // namespace quillon
