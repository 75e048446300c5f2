// SDL2's functions as the window back-end calls them: each opens SDL2 on first use. A run
// without a window never loads SDL2 or the window-system libraries it depends on.
#include "platform/sdl/sdl_library.h"

#include <SDL.h>

namespace quillon {

LazyLibrary& sdl_library() {
    static const char* const kNames[] = {"libSDL2-2.0.so.0", "libSDL2.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

}  // namespace quillon

using quillon::sdl_library;

QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_CloseAudioDevice, (SDL_AudioDeviceID dev), (dev))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_ConvertPixels,
                      (int width, int height, Uint32 src_format, const void* src, int src_pitch,
                       Uint32 dst_format, void* dst, int dst_pitch),
                      (width, height, src_format, src, src_pitch, dst_format, dst, dst_pitch))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_Window*, SDL_CreateWindow,
                      (const char* title, int x, int y, int w, int h, Uint32 flags),
                      (title, x, y, w, h, flags))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_DestroyWindow, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_FillRect,
                      (SDL_Surface * dst, const SDL_Rect* rect, Uint32 color), (dst, rect, color))
QUILLON_LAZY_FUNCTION(sdl_library, const char*, SDL_GetCurrentVideoDriver, (void), ())
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_GetNumAudioDevices, (int iscapture), (iscapture))
QUILLON_LAZY_FUNCTION(sdl_library, Uint32, SDL_GetQueuedAudioSize, (SDL_AudioDeviceID dev), (dev))
QUILLON_LAZY_FUNCTION(sdl_library, Uint64, SDL_GetTicks64, (void), ())
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_GetWindowBordersSize,
                      (SDL_Window * window, int* top, int* left, int* bottom, int* right),
                      (window, top, left, bottom, right))
QUILLON_LAZY_FUNCTION(sdl_library, Uint32, SDL_GetWindowID, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, Uint32, SDL_GetWindowFlags, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_GetWindowPosition,
                      (SDL_Window * window, int* x, int* y), (window, x, y))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_GetWindowSize, (SDL_Window * window, int* w, int* h),
                      (window, w, h))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_Surface*, SDL_GetWindowSurface, (SDL_Window * window),
                      (window))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_Init, (Uint32 flags), (flags))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_InitSubSystem, (Uint32 flags), (flags))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_LockSurface, (SDL_Surface * surface), (surface))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_MaximizeWindow, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_MinimizeWindow, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_AudioDeviceID, SDL_OpenAudioDevice,
                      (const char* device, int iscapture, const SDL_AudioSpec* desired,
                       SDL_AudioSpec* obtained, int allowed_changes),
                      (device, iscapture, desired, obtained, allowed_changes))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_PauseAudioDevice,
                      (SDL_AudioDeviceID dev, int pause_on), (dev, pause_on))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_PollEvent, (SDL_Event * event), (event))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_PushEvent, (SDL_Event * event), (event))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_QueueAudio,
                      (SDL_AudioDeviceID dev, const void* data, Uint32 len), (dev, data, len))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_Quit, (void), ())
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_QuitSubSystem, (Uint32 flags), (flags))
QUILLON_LAZY_FUNCTION(sdl_library, Uint32, SDL_RegisterEvents, (int numevents), (numevents))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_RaiseWindow, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_RestoreWindow, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_bool, SDL_SetHint, (const char* name, const char* value),
                      (name, value))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_SetTextInputRect, (const SDL_Rect* rect), (rect))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_SetWindowInputFocus, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_SetWindowModalFor,
                      (SDL_Window * modal_window, SDL_Window* parent_window),
                      (modal_window, parent_window))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_SetWindowPosition, (SDL_Window * window, int x, int y),
                      (window, x, y))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_SetWindowSize, (SDL_Window * window, int w, int h),
                      (window, w, h))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_ShowMessageBox,
                      (const SDL_MessageBoxData* messageboxdata, int* buttonid),
                      (messageboxdata, buttonid))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_ShowWindow, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_StartTextInput, (void), ())
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_StopTextInput, (void), ())
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_TLSCleanup, (void), ())
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_UnlockSurface, (SDL_Surface * surface), (surface))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_UpdateWindowSurface, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_WaitEventTimeout, (SDL_Event * event, int timeout),
                      (event, timeout))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_setenv,
                      (const char* name, const char* value, int overwrite),
                      (name, value, overwrite))
QUILLON_LAZY_FUNCTION(sdl_library, const char*, SDL_GetError, (void), ())

// Used without a window too: bitmap files and the sound engine's device and file reading.
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_FreeSurface, (SDL_Surface * surface), (surface))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_GetCurrentDisplayMode,
                      (int displayIndex, SDL_DisplayMode* mode), (displayIndex, mode))
QUILLON_LAZY_FUNCTION(sdl_library, void, SDL_GetRGB,
                      (Uint32 pixel, const SDL_PixelFormat* format, Uint8* r, Uint8* g, Uint8* b),
                      (pixel, format, r, g, b))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_GetWindowDisplayIndex, (SDL_Window * window), (window))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_Surface*, SDL_LoadBMP_RW, (SDL_RWops * src, int freesrc),
                      (src, freesrc))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_bool, SDL_ResetHint, (const char* name), (name))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_RWops*, SDL_RWFromConstMem, (const void* mem, int size),
                      (mem, size))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_RWops*, SDL_RWFromFile, (const char* file, const char* mode),
                      (file, mode))
QUILLON_LAZY_FUNCTION(sdl_library, int, SDL_RWclose, (SDL_RWops * context), (context))
QUILLON_LAZY_FUNCTION(sdl_library, Sint64, SDL_RWsize, (SDL_RWops * context), (context))
QUILLON_LAZY_FUNCTION(sdl_library, size_t, SDL_RWread,
                      (SDL_RWops * context, void* ptr, size_t size, size_t maxnum),
                      (context, ptr, size, maxnum))
QUILLON_LAZY_FUNCTION(sdl_library, Sint64, SDL_RWseek,
                      (SDL_RWops * context, Sint64 offset, int whence), (context, offset, whence))
QUILLON_LAZY_FUNCTION(sdl_library, SDL_bool, SDL_SetHintWithPriority,
                      (const char* name, const char* value, SDL_HintPriority priority),
                      (name, value, priority))
