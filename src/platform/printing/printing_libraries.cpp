// cairo's and CUPS's functions as the PDF document and the print jobs call them: each library
// opens on first use, so a run that prints nothing loads neither.
#include "platform/printing/printing_libraries.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>

namespace quillon {

LazyLibrary& cairo_library() {
    static const char* const kNames[] = {"libcairo.so.2", "libcairo.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

LazyLibrary& cups_library() {
    static const char* const kNames[] = {"libcups.so.2", "libcups.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

}  // namespace quillon

using quillon::cairo_library;
using quillon::cups_library;

QUILLON_LAZY_FUNCTION(cairo_library, cairo_t*, cairo_create, (cairo_surface_t * target), (target))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_destroy, (cairo_t * cr), (cr))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_font_face_destroy, (cairo_font_face_t * font_face),
                      (font_face))
QUILLON_LAZY_FUNCTION(cairo_library, cairo_font_face_t*, cairo_ft_font_face_create_for_pattern,
                      (FcPattern * pattern), (pattern))
QUILLON_LAZY_FUNCTION(cairo_library, cairo_scaled_font_t*, cairo_get_scaled_font, (cairo_t * cr),
                      (cr))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_glyph_free, (cairo_glyph_t * glyphs), (glyphs))
QUILLON_LAZY_FUNCTION(cairo_library, cairo_surface_t*, cairo_pdf_surface_create,
                      (const char* filename, double width_in_points, double height_in_points),
                      (filename, width_in_points, height_in_points))
QUILLON_LAZY_FUNCTION(cairo_library, cairo_surface_t*, cairo_pdf_surface_create_for_stream,
                      (cairo_write_func_t write_func, void* closure, double width_in_points,
                       double height_in_points),
                      (write_func, closure, width_in_points, height_in_points))
QUILLON_LAZY_FUNCTION(cairo_library, cairo_status_t, cairo_scaled_font_text_to_glyphs,
                      (cairo_scaled_font_t * scaled_font, double x, double y, const char* utf8,
                       int utf8_len, cairo_glyph_t** glyphs, int* num_glyphs,
                       cairo_text_cluster_t** clusters, int* num_clusters,
                       cairo_text_cluster_flags_t* cluster_flags),
                      (scaled_font, x, y, utf8, utf8_len, glyphs, num_glyphs, clusters,
                       num_clusters, cluster_flags))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_set_font_face,
                      (cairo_t * cr, cairo_font_face_t* font_face), (cr, font_face))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_set_font_size, (cairo_t * cr, double size),
                      (cr, size))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_set_source_rgb,
                      (cairo_t * cr, double red, double green, double blue), (cr, red, green, blue))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_show_page, (cairo_t * cr), (cr))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_show_text_glyphs,
                      (cairo_t * cr, const char* utf8, int utf8_len, const cairo_glyph_t* glyphs,
                       int num_glyphs, const cairo_text_cluster_t* clusters, int num_clusters,
                       cairo_text_cluster_flags_t cluster_flags),
                      (cr, utf8, utf8_len, glyphs, num_glyphs, clusters, num_clusters,
                       cluster_flags))
QUILLON_LAZY_FUNCTION(cairo_library, cairo_status_t, cairo_status, (cairo_t * cr), (cr))
QUILLON_LAZY_FUNCTION(cairo_library, const char*, cairo_status_to_string, (cairo_status_t status),
                      (status))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_surface_destroy, (cairo_surface_t * surface),
                      (surface))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_surface_finish, (cairo_surface_t * surface),
                      (surface))
QUILLON_LAZY_FUNCTION(cairo_library, cairo_status_t, cairo_surface_status,
                      (cairo_surface_t * surface), (surface))
QUILLON_LAZY_FUNCTION(cairo_library, void, cairo_text_cluster_free,
                      (cairo_text_cluster_t * clusters), (clusters))

QUILLON_LAZY_FUNCTION(cups_library, ipp_status_t, cupsCancelDestJob,
                      (http_t * http, cups_dest_t* dest, int job_id), (http, dest, job_id))
QUILLON_LAZY_FUNCTION(cups_library, cups_dinfo_t*, cupsCopyDestInfo,
                      (http_t * http, cups_dest_t* dest), (http, dest))
QUILLON_LAZY_FUNCTION(cups_library, ipp_status_t, cupsCreateDestJob,
                      (http_t * http, cups_dest_t* dest, cups_dinfo_t* info, int* job_id,
                       const char* title, int num_options, cups_option_t* options),
                      (http, dest, info, job_id, title, num_options, options))
QUILLON_LAZY_FUNCTION(cups_library, ipp_status_t, cupsFinishDestDocument,
                      (http_t * http, cups_dest_t* dest, cups_dinfo_t* info), (http, dest, info))
QUILLON_LAZY_FUNCTION(cups_library, void, cupsFreeDestInfo, (cups_dinfo_t * dinfo), (dinfo))
QUILLON_LAZY_FUNCTION(cups_library, void, cupsFreeDests, (int num_dests, cups_dest_t* dests),
                      (num_dests, dests))
QUILLON_LAZY_FUNCTION(cups_library, int, cupsGetDestMediaDefault,
                      (http_t * http, cups_dest_t* dest, cups_dinfo_t* dinfo, unsigned flags,
                       cups_size_t* size),
                      (http, dest, dinfo, flags, size))
QUILLON_LAZY_FUNCTION(cups_library, cups_dest_t*, cupsGetNamedDest,
                      (http_t * http, const char* name, const char* instance),
                      (http, name, instance))
QUILLON_LAZY_FUNCTION(cups_library, const char*, cupsLastErrorString, (void), ())
QUILLON_LAZY_FUNCTION(cups_library, http_status_t, cupsStartDestDocument,
                      (http_t * http, cups_dest_t* dest, cups_dinfo_t* info, int job_id,
                       const char* docname, const char* format, int num_options,
                       cups_option_t* options, int last_document),
                      (http, dest, info, job_id, docname, format, num_options, options,
                       last_document))
QUILLON_LAZY_FUNCTION(cups_library, http_status_t, cupsWriteRequestData,
                      (http_t * http, const char* buffer, size_t length), (http, buffer, length))
