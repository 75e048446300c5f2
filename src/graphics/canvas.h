// The raster: 32-bit pixels (0x00BBGGRR) with the classic drawing semantics. The picture and
// the window surface are both canvases.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace quillon {

enum class RasterOp { Copy, Or, Xor };

// Storage for pixels that comes zeroed from calloc and is not written again when it is made:
// the pages of a large black canvas are not touched until something is drawn into them.
template <class T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <class U>
    ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (void* p = std::calloc(n, sizeof(T))) return static_cast<T*>(p);
        throw std::bad_alloc();
    }
    void deallocate(T* p, std::size_t) { std::free(p); }
    template <class U>
    void construct(U*) noexcept {}  // already zero
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <class U>
    bool operator==(const ZeroedAllocator<U>&) const {
        return true;
    }
};

class Canvas {
  public:
    Canvas() = default;
    Canvas(int width, int height) { resize(width, height); }
    // A canvas holding `pixels`, row after row; a vector of the wrong size gives an empty one.
    Canvas(int width, int height, std::vector<uint32_t> pixels);

    // Resizes, keeping the pixels that still fit; new pixels are black.
    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    uint32_t pixel(int x, int y) const { return contains(x, y) ? pixels_[index(x, y)] : 0; }
    void set_pixel(int x, int y, uint32_t rgb) {
        if (!contains(x, y)) return;
        pixels_[index(x, y)] = rgb;
        blank_ = false;
    }
    // Fills x1..x2-1, y1..y2-1 (clipped).
    void fill_rect(int x1, int y1, int x2, int y2, uint32_t rgb);
    void fill(uint32_t rgb) { fill_rect(0, 0, width_, height_, rgb); }
    // Block transfer of a width x height area of `source` at (sx, sy) to (dx, dy), clipped to
    // both canvases; source and destination may be the same canvas.
    void blit(int dx, int dy, int width, int height, const Canvas& source, int sx, int sy,
              RasterOp op = RasterOp::Copy);

    // The pixels of row y, which must lie on the canvas; writable pixels mean the canvas may
    // not be blank any more.
    uint32_t* row(int y) {
        blank_ = false;
        return pixels_.data() + index(0, y);
    }
    const uint32_t* row(int y) const { return pixels_.data() + index(0, y); }

    PixelView view() {
        blank_ = false;
        return PixelView{pixels_.data(), width_, height_};
    }
    const uint32_t* data() const { return pixels_.data(); }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t, ZeroedAllocator<uint32_t>> pixels_;
    bool blank_ = true;  // every pixel is 0 (black): clearing it again changes nothing
};

}  // namespace quillon
