// libpng's simplified API as the picture reader and the screenshot writer call it: the
// library opens on first use, so a run that reads and writes no PNG file never loads it.
#include "platform/images/png_library.h"

#include <png.h>

namespace quillon {

LazyLibrary& png_library() {
    static const char* const kNames[] = {"libpng16.so.16", "libpng16.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

}  // namespace quillon

using quillon::png_library;

QUILLON_LAZY_FUNCTION(png_library, int, png_image_begin_read_from_memory,
                      (png_imagep image, png_const_voidp memory, size_t size),
                      (image, memory, size))
QUILLON_LAZY_FUNCTION(png_library, int, png_image_finish_read,
                      (png_imagep image, png_const_colorp background, void* buffer,
                       png_int_32 row_stride, void* colormap),
                      (image, background, buffer, row_stride, colormap))
QUILLON_LAZY_FUNCTION(png_library, void, png_image_free, (png_imagep image), (image))
QUILLON_LAZY_FUNCTION(png_library, int, png_image_write_to_file,
                      (png_imagep image, const char* file, int convert_to_8bit, const void* buffer,
                       png_int_32 row_stride, const void* colormap),
                      (image, file, convert_to_8bit, buffer, row_stride, colormap))
