// The MIDI outputs PLAY sends to: the built-in synthesizer, or a port of the ALSA sequencer
// (real MIDI hardware or another synthesizer). Closing either ends every note still sounding.
#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <mutex>

#include "platform/audio/audio_devices.h"
#include "platform/audio/audio_libraries.h"

namespace quillon {
namespace {

constexpr int kMidiChannels = 16;
constexpr uint8_t kAllNotesOff = 123;

class SynthMidiOut final : public MidiOut {
  public:
    SynthMidiOut(AudioEngine& engine, fluid_synth_t* synth) : engine_(engine), synth_(synth) {}
    ~SynthMidiOut() override {
        engine_.drop_queued_midi();  // nothing sent before the close may sound after it
        for (int channel = 0; channel < kMidiChannels; ++channel)
            fluid_synth_all_notes_off(synth_, channel);
    }
    bool send(uint8_t status, uint8_t data1, uint8_t data2, std::string&) override {
        engine_.send_midi(status, data1, data2);  // the synthesizer never refuses
        return true;
    }

  private:
    AudioEngine& engine_;
    fluid_synth_t* synth_;
};

class AlsaMidiOut final : public MidiOut {
  public:
    AlsaMidiOut(snd_seq_t* seq, int port) : seq_(seq), port_(port) {}
    ~AlsaMidiOut() override {
        std::string ignored;
        for (int channel = 0; channel < kMidiChannels; ++channel)
            send(static_cast<uint8_t>(0xB0 + channel), kAllNotesOff, 0, ignored);
        snd_seq_close(seq_);
    }
    bool send(uint8_t status, uint8_t data1, uint8_t data2, std::string& error) override {
        snd_seq_event_t ev;
        snd_seq_ev_clear(&ev);
        snd_seq_ev_set_source(&ev, port_);
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        const int channel = status & 0x0F;
        switch (status & 0xF0) {
            case 0x90:
                snd_seq_ev_set_noteon(&ev, channel, data1, data2);
                break;
            case 0xC0:
                snd_seq_ev_set_pgmchange(&ev, channel, data1);
                break;
            case 0xB0:
                snd_seq_ev_set_controller(&ev, channel, data1, data2);
                break;
            default:
                return true;  // PLAY sends nothing else
        }
        std::lock_guard lock(mutex_);
        int result = snd_seq_event_output_direct(seq_, &ev);
        if (result >= 0) return true;
        error = snd_strerror(result);
        return false;
    }

  private:
    std::mutex mutex_;  // voices send from their own threads
    snd_seq_t* seq_;
    int port_;
};

// The first port other clients can write MIDI to, leaving out through ports and our own.
bool find_port(snd_seq_t* seq, snd_seq_addr_t& found) {
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    const int self = snd_seq_client_id(seq);
    while (snd_seq_query_next_client(seq, client) >= 0) {
        int id = snd_seq_client_info_get_client(client);
        if (id == self || id == SND_SEQ_CLIENT_SYSTEM) continue;
        snd_seq_port_info_set_client(port, id);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(seq, port) >= 0) {
            unsigned caps = snd_seq_port_info_get_capability(port);
            unsigned type = snd_seq_port_info_get_type(port);
            const unsigned wanted = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
            if ((caps & wanted) != wanted || (caps & SND_SEQ_PORT_CAP_NO_EXPORT)) continue;
            if (!(type & SND_SEQ_PORT_TYPE_MIDI_GENERIC) || (type & SND_SEQ_PORT_TYPE_SPECIFIC))
                continue;
            if (std::string(snd_seq_port_info_get_name(port)).find("Through") != std::string::npos)
                continue;
            found = *snd_seq_port_info_get_addr(port);
            return true;
        }
    }
    return false;
}

}  // namespace

std::unique_ptr<MidiOut> make_synth_midi_out(AudioEngine& engine, fluid_synth_t* synth) {
    return std::make_unique<SynthMidiOut>(engine, synth);
}

std::unique_ptr<MidiOut> make_alsa_midi_out(const std::string& address, std::string& why) {
    if (!alsa_library().available()) {
        why = "ALSA sequencer: libasound cannot be loaded";
        return nullptr;
    }
    snd_seq_t* seq = nullptr;
    int result = snd_seq_open(&seq, "default", SND_SEQ_OPEN_OUTPUT, 0);
    if (result < 0) {
        why = std::string("ALSA sequencer: ") + snd_strerror(result);
        return nullptr;
    }
    snd_seq_set_client_name(seq, "Kavrun");
    int port =
        snd_seq_create_simple_port(seq, "PLAY", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ,
                                   SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    snd_seq_addr_t dest{};
    bool known =
        port >= 0 && (address.empty() ? find_port(seq, dest)
                                      : snd_seq_parse_address(seq, &dest, address.c_str()) == 0);
    if (!known || snd_seq_connect_to(seq, port, dest.client, dest.port) < 0) {
        why = address.empty() ? "ALSA sequencer: no MIDI port to play on"
                              : "ALSA sequencer: cannot connect to " + address;
        snd_seq_close(seq);
        return nullptr;
    }
    return std::make_unique<AlsaMidiOut>(seq, port);
}

}  // namespace quillon
