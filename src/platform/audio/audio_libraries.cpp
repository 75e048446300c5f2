// FluidSynth's, SDL_mixer's and ALSA's functions as the audio engine and the MIDI outputs call
// them: each library opens on first use, so a run that makes no sound loads none of them.
#include "platform/audio/audio_libraries.h"

#include <SDL_mixer.h>
#include <alsa/asoundlib.h>
#include <fluidsynth.h>

namespace quillon {

LazyLibrary& fluidsynth_library() {
    static const char* const kNames[] = {"libfluidsynth.so.3", "libfluidsynth.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

LazyLibrary& mixer_library() {
    static const char* const kNames[] = {"libSDL2_mixer-2.0.so.0", "libSDL2_mixer.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

LazyLibrary& alsa_library() {
    static const char* const kNames[] = {"libasound.so.2", "libasound.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

}  // namespace quillon

using quillon::alsa_library;
using quillon::fluidsynth_library;
using quillon::mixer_library;

QUILLON_LAZY_FUNCTION(fluidsynth_library, void, delete_fluid_settings,
                      (fluid_settings_t * settings), (settings))
QUILLON_LAZY_FUNCTION(fluidsynth_library, void, delete_fluid_synth, (fluid_synth_t * synth),
                      (synth))
QUILLON_LAZY_FUNCTION(fluidsynth_library, fluid_log_function_t, fluid_set_log_function,
                      (int level, fluid_log_function_t fun, void* data), (level, fun, data))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_settings_setint,
                      (fluid_settings_t * settings, const char* name, int val),
                      (settings, name, val))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_settings_setnum,
                      (fluid_settings_t * settings, const char* name, double val),
                      (settings, name, val))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_all_notes_off,
                      (fluid_synth_t * synth, int chan), (synth, chan))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_all_sounds_off,
                      (fluid_synth_t * synth, int chan), (synth, chan))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_cc,
                      (fluid_synth_t * synth, int chan, int ctrl, int val),
                      (synth, chan, ctrl, val))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_channel_pressure,
                      (fluid_synth_t * synth, int chan, int val), (synth, chan, val))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_key_pressure,
                      (fluid_synth_t * synth, int chan, int key, int val), (synth, chan, key, val))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_noteoff,
                      (fluid_synth_t * synth, int chan, int key), (synth, chan, key))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_noteon,
                      (fluid_synth_t * synth, int chan, int key, int vel), (synth, chan, key, vel))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_pitch_bend,
                      (fluid_synth_t * synth, int chan, int val), (synth, chan, val))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_program_change,
                      (fluid_synth_t * synth, int chan, int program), (synth, chan, program))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_sfload,
                      (fluid_synth_t * synth, const char* filename, int reset_presets),
                      (synth, filename, reset_presets))
QUILLON_LAZY_FUNCTION(fluidsynth_library, int, fluid_synth_write_s16,
                      (fluid_synth_t * synth, int len, void* lout, int loff, int lincr, void* rout,
                       int roff, int rincr),
                      (synth, len, lout, loff, lincr, rout, roff, rincr))
QUILLON_LAZY_FUNCTION(fluidsynth_library, fluid_settings_t*, new_fluid_settings, (void), ())
QUILLON_LAZY_FUNCTION(fluidsynth_library, fluid_synth_t*, new_fluid_synth,
                      (fluid_settings_t * settings), (settings))

QUILLON_LAZY_FUNCTION(mixer_library, int, Mix_AllocateChannels, (int numchans), (numchans))
QUILLON_LAZY_FUNCTION(mixer_library, void, Mix_CloseAudio, (void), ())
QUILLON_LAZY_FUNCTION(mixer_library, void, Mix_FreeChunk, (Mix_Chunk * chunk), (chunk))
QUILLON_LAZY_FUNCTION(mixer_library, void, Mix_FreeMusic, (Mix_Music * music), (music))
QUILLON_LAZY_FUNCTION(mixer_library, Mix_Music*, Mix_LoadMUS_RW, (SDL_RWops * src, int freesrc),
                      (src, freesrc))
QUILLON_LAZY_FUNCTION(mixer_library, double, Mix_MusicDuration, (Mix_Music * music), (music))
QUILLON_LAZY_FUNCTION(mixer_library, Mix_Chunk*, Mix_LoadWAV_RW, (SDL_RWops * src, int freesrc),
                      (src, freesrc))
QUILLON_LAZY_FUNCTION(mixer_library, int, Mix_OpenAudioDevice,
                      (int frequency, Uint16 format, int channels, int chunksize,
                       const char* device, int allowed_changes),
                      (frequency, format, channels, chunksize, device, allowed_changes))
QUILLON_LAZY_FUNCTION(mixer_library, void, Mix_SetPostMix,
                      (void(SDLCALL * mix_func)(void* udata, Uint8* stream, int len), void* arg),
                      (mix_func, arg))

QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_client_id, (snd_seq_t * handle), (handle))
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_client_info_get_client,
                      (const snd_seq_client_info_t* info), (info))
QUILLON_LAZY_FUNCTION(alsa_library, void, snd_seq_client_info_set_client,
                      (snd_seq_client_info_t * info, int client), (info, client))
QUILLON_LAZY_FUNCTION(alsa_library, size_t, snd_seq_client_info_sizeof, (void), ())
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_close, (snd_seq_t * handle), (handle))
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_connect_to,
                      (snd_seq_t * seq, int my_port, int dest_client, int dest_port),
                      (seq, my_port, dest_client, dest_port))
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_create_simple_port,
                      (snd_seq_t * seq, const char* name, unsigned int caps, unsigned int type),
                      (seq, name, caps, type))
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_event_output_direct,
                      (snd_seq_t * handle, snd_seq_event_t* ev), (handle, ev))
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_open,
                      (snd_seq_t * *handle, const char* name, int streams, int mode),
                      (handle, name, streams, mode))
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_parse_address,
                      (snd_seq_t * seq, snd_seq_addr_t* addr, const char* str), (seq, addr, str))
QUILLON_LAZY_FUNCTION(alsa_library, const snd_seq_addr_t*, snd_seq_port_info_get_addr,
                      (const snd_seq_port_info_t* info), (info))
QUILLON_LAZY_FUNCTION(alsa_library, unsigned int, snd_seq_port_info_get_capability,
                      (const snd_seq_port_info_t* info), (info))
QUILLON_LAZY_FUNCTION(alsa_library, const char*, snd_seq_port_info_get_name,
                      (const snd_seq_port_info_t* info), (info))
QUILLON_LAZY_FUNCTION(alsa_library, unsigned int, snd_seq_port_info_get_type,
                      (const snd_seq_port_info_t* info), (info))
QUILLON_LAZY_FUNCTION(alsa_library, void, snd_seq_port_info_set_client,
                      (snd_seq_port_info_t * info, int client), (info, client))
QUILLON_LAZY_FUNCTION(alsa_library, void, snd_seq_port_info_set_port,
                      (snd_seq_port_info_t * info, int port), (info, port))
QUILLON_LAZY_FUNCTION(alsa_library, size_t, snd_seq_port_info_sizeof, (void), ())
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_query_next_client,
                      (snd_seq_t * handle, snd_seq_client_info_t* info), (handle, info))
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_query_next_port,
                      (snd_seq_t * handle, snd_seq_port_info_t* info), (handle, info))
QUILLON_LAZY_FUNCTION(alsa_library, int, snd_seq_set_client_name,
                      (snd_seq_t * seq, const char* name), (seq, name))
QUILLON_LAZY_FUNCTION(alsa_library, const char*, snd_strerror, (int errnum), (errnum))
