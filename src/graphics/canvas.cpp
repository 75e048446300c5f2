// The raster's basic operations. Every operation clips to the canvas first.
#include "graphics/canvas.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "host/limits.h"

namespace quillon {
namespace {

// Sets n pixels to one value, two at a time: several times fewer instructions than a pixel at
// a time, which matters to every filled figure.
void fill_pixels(uint32_t* out, std::size_t n, uint32_t rgb) {
    const uint64_t pair = uint64_t{rgb} << 32 | rgb;
    std::size_t k = 0;
    for (; k + 4 <= n; k += 4) {
        std::memcpy(out + k, &pair, sizeof pair);
        std::memcpy(out + k + 2, &pair, sizeof pair);
    }
    for (; k < n; ++k)
        out[k] = rgb;
}

}  // namespace

Canvas::Canvas(int width, int height, std::vector<uint32_t> pixels) {
    if (width <= 0 || height <= 0 ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return;
    pixels_.assign(pixels.begin(), pixels.end());
    blank_ = false;
    width_ = width;
    height_ = height;
}

void Canvas::resize(int width, int height) {
    width = std::clamp(width, 0, kCanvasSideMax);
    height = std::clamp(height, 0, kCanvasSideMax);
    if (int64_t{width} * height > kCanvasAreaMax) height = static_cast<int>(kCanvasAreaMax / width);
    if (width == width_ && height == height_) return;
    decltype(pixels_) pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    int keep_w = std::min(width, width_);
    int keep_h = keep_w > 0 ? std::min(height, height_) : 0;  // nothing kept from no columns
    for (int y = 0; y < keep_h; ++y)
        std::copy_n(pixels_.data() + index(0, y), keep_w,
                    pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width));
    pixels_.swap(pixels);
    width_ = width;
    height_ = height;
}

void Canvas::fill_rect(int x1, int y1, int x2, int y2, uint32_t rgb) {
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, width_);
    y2 = std::min(y2, height_);
    if (x2 <= x1 || y2 <= y1) return;  // clipped away: no pixel may be indexed
    if (rgb == 0 && blank_) return;
    blank_ = false;
    for (int y = y1; y < y2; ++y)
        fill_pixels(&pixels_[index(x1, y)], static_cast<std::size_t>(x2 - x1), rgb);
}

void Canvas::blit(int dx, int dy, int width, int height, const Canvas& source, int sx, int sy,
                  RasterOp op) {
    // Clip the source rectangle to the source and the destination rectangle to this canvas,
    // in 64 bits: positions far outside must not overflow while they are moved.
    int64_t w = width, h = height, x = dx, y = dy, u = sx, v = sy;
    if (u < 0) w += u, x -= u, u = 0;
    if (v < 0) h += v, y -= v, v = 0;
    if (x < 0) w += x, u -= x, x = 0;
    if (y < 0) h += y, v -= y, y = 0;
    w = std::min({w, source.width_ - u, width_ - x});
    h = std::min({h, source.height_ - v, height_ - y});
    if (w <= 0 || h <= 0) return;
    dx = static_cast<int>(x), dy = static_cast<int>(y), sx = static_cast<int>(u);
    sy = static_cast<int>(v), width = static_cast<int>(w), height = static_cast<int>(h);
    if (blank_ && source.blank_) return;  // black over black, whatever the operation
    blank_ = false;
    // Rows go in an order that is safe when source and destination overlap; within a row,
    // memmove and the row buffer are.
    const bool same = &source == this;
    const bool upward = same && dy > sy;
    std::vector<uint32_t> row(same && op != RasterOp::Copy ? static_cast<std::size_t>(width) : 0);
    for (int k = 0; k < height; ++k) {
        int r = upward ? height - 1 - k : k;
        const uint32_t* in = &source.pixels_[source.index(sx, sy + r)];
        uint32_t* out = &pixels_[index(dx, dy + r)];
        if (op == RasterOp::Copy) {
            std::memmove(out, in, static_cast<std::size_t>(width) * sizeof(uint32_t));
            continue;
        }
        if (same) {
            std::copy_n(in, width, row.data());
            in = row.data();
        }
        if (op == RasterOp::Or)
            for (int x = 0; x < width; ++x)
                out[x] |= in[x];
        else
            for (int x = 0; x < width; ++x)
                out[x] ^= in[x];
    }
}

}  // namespace quillon
