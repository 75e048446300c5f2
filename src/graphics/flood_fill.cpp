// The span flood fill: each span taken from the queue is widened to the border on its row,
// painted, and the runs of non-border pixels above and below it are queued (on the row it came
// from, only the parts beyond the span that queued it). A span whose first pixel was painted
// by this fill already is skipped, which bounds the work. Painted pixels are remembered in a
// bit per pixel rather than told by their colour: pixels that had the paint colour before the
// fill (a line drawn in it, say) must not stop it and leave the rest of the area unpainted.
// A seed already in the paint colour paints nothing.
#include "graphics/flood_fill.h"

#include <algorithm>
#include <vector>

namespace quillon {
namespace {

struct Span {
    int left;
    int right;
    int y;
    int parent_y;  // the row of the span that queued this one
};

class SpanFill {
  public:
    SpanFill(Canvas& canvas, uint32_t paint, uint32_t border)
        : canvas_(canvas),
          paint_(paint),
          border_(border),
          painted_(static_cast<std::size_t>(canvas.width()) *
                   static_cast<std::size_t>(canvas.height())) {}

    void run(int x, int y) {
        if (at(x, y) == paint_) return;  // a seed in the paint colour paints nothing
        queue_.push_back(Span{x, x, y, y});
        for (std::size_t next = 0; next < queue_.size(); ++next) {
            fill_span(queue_[next]);
            if (next + 1 >= kCompactAt && 2 * (next + 1) >= queue_.size()) {
                queue_.erase(queue_.begin(),
                             queue_.begin() + static_cast<std::ptrdiff_t>(next + 1));
                next = static_cast<std::size_t>(-1);  // the loop's increment makes it 0
            }
        }
    }

  private:
    static constexpr std::size_t kCompactAt = 4096;  // taken spans dropped from the queue's front

    uint32_t at(int x, int y) const { return canvas_.row(y)[x]; }
    std::size_t bit(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(canvas_.width()) +
               static_cast<std::size_t>(x);
    }

    void fill_span(Span s) {
        int left = s.left, right = s.right;
        const int y = s.y;
        if (painted_[bit(left, y)]) return;
        const int queued_left = left - 1, queued_right = right + 1;
        while (right + 1 < canvas_.width() && at(right + 1, y) != border_)
            ++right;
        while (left > 0 && at(left - 1, y) != border_)
            --left;
        canvas_.fill_rect(left, y, right + 1, y + 1, paint_);
        std::fill(painted_.begin() + static_cast<std::ptrdiff_t>(bit(left, y)),
                  painted_.begin() + static_cast<std::ptrdiff_t>(bit(right, y) + 1), true);
        for (int z : {y - 1, y + 1}) {
            if (z < 0 || z >= canvas_.height()) continue;
            if (z == s.parent_y) {
                scan(z, left, queued_left, y);
                scan(z, queued_right, right, y);
            } else {
                scan(z, left, right, y);
            }
        }
    }

    // Queues the runs of non-border pixels of row z between columns a and b.
    void scan(int z, int a, int b, int y) {
        int x = a;
        while (x <= b) {
            while (x < b && at(x, z) == border_)
                ++x;
            if (at(x, z) == border_) return;
            const int start = x;
            while (x <= b && at(x, z) != border_)
                ++x;
            queue_.push_back(Span{start, x - 1, z, y});
        }
    }

    Canvas& canvas_;
    const uint32_t paint_;
    const uint32_t border_;
    std::vector<Span> queue_;
    std::vector<bool> painted_;  // a bit per pixel of the canvas: painted by this fill
};

}  // namespace

void flood_fill(Canvas& canvas, int x, int y, uint32_t paint, uint32_t border) {
    if (!canvas.contains(x, y)) return;
    SpanFill(canvas, paint, border).run(x, y);
}

}  // namespace quillon
