// Lines, rectangles, ellipses, arcs and pies. Each figure is worked out row by row (or, for a
// line, step by step along its longer axis) over the canvas's rows and columns only, so that
// a figure millions of pixels across costs what its visible part costs.
#include "graphics/figures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quillon {
namespace {

constexpr int64_t kExactSideMax = int64_t{1} << 15;  // products of sides this size fit 64 bits
constexpr double kTurn = 2 * std::numbers::pi;

struct Span {
    int64_t lo = 0;
    int64_t hi = -1;
    bool empty() const { return lo > hi; }
};

int64_t clamp_coordinate(int64_t v) {
    return std::clamp(v, -kFigureCoordinateMax, kFigureCoordinateMax);
}

Box normalised(Box b) {
    b.left = clamp_coordinate(b.left), b.right = clamp_coordinate(b.right);
    b.top = clamp_coordinate(b.top), b.bottom = clamp_coordinate(b.bottom);
    if (b.left > b.right) std::swap(b.left, b.right);
    if (b.top > b.bottom) std::swap(b.top, b.bottom);
    return b;
}

// Fills columns lo..hi of row y, clipped to the canvas.
void fill_row(Canvas& canvas, int64_t lo, int64_t hi, int64_t y, uint32_t colour) {
    if (y < 0 || y >= canvas.height()) return;
    lo = std::max<int64_t>(lo, 0);
    hi = std::min<int64_t>(hi, canvas.width() - 1);
    if (lo > hi) return;
    canvas.fill_rect(static_cast<int>(lo), static_cast<int>(y), static_cast<int>(hi + 1),
                     static_cast<int>(y + 1), colour);
}

// The rows of the box that lie on the canvas.
int64_t first_row(const Box& b) {
    return std::max<int64_t>(b.top, 0);
}
int64_t end_row(const Canvas& canvas, const Box& b) {
    return std::min<int64_t>(b.bottom, canvas.height());
}

// The pixels of an ellipse inscribed in a box: those whose centres lie inside it. In doubled
// coordinates about the box's centre (X = 2x + 1 - (left + right), the same for Y), pixel
// (x, y) is inside when X²H² + Y²W² <= W²H², W and H being the box's sides.
class EllipseRows {
  public:
    explicit EllipseRows(const Box& b)
        : box_(b),
          w_(b.right - b.left),
          h_(b.bottom - b.top),
          exact_(w_ <= kExactSideMax && h_ <= kExactSideMax) {}

    Span row(int64_t y) const {
        if (y < box_.top || y >= box_.bottom) return {};
        const int64_t half = half_width(2 * y + 1 - (box_.top + box_.bottom));
        if (half < 0) return {};
        const int64_t twice_centre = box_.left + box_.right - 1;  // of the pixel index
        return Span{(twice_centre - half) / 2, (twice_centre + half) / 2};
    }

    // True when the pixel's centre lies inside the ellipse.
    bool contains(int64_t x, int64_t y) const {
        Span s = row(y);
        return x >= s.lo && x <= s.hi;
    }

  private:
    bool inside(int64_t x2, int64_t y2) const {
        return x2 * x2 * h_ * h_ + y2 * y2 * w_ * w_ <= w_ * w_ * h_ * h_;
    }

    // The largest doubled X on doubled row Y (-1 when the row is empty), of the parity that
    // pixel centres have: X ≡ W + 1 (mod 2).
    int64_t half_width(int64_t y2) const {
        const double limit =
            static_cast<double>(w_) *
            std::sqrt(static_cast<double>(h_ - y2) * static_cast<double>(h_ + y2)) /
            static_cast<double>(h_);
        auto x2 = static_cast<int64_t>(limit);
        if (exact_) {  // rounding in the square root never moves a pixel of a small figure
            while (x2 > 0 && !inside(x2, y2))
                --x2;
            while (inside(x2 + 1, y2))
                ++x2;
        }
        if (((x2 ^ (w_ + 1)) & 1) != 0) --x2;
        return x2;
    }

    Box box_;
    int64_t w_, h_;
    bool exact_;
};

// The ellipse's spans of the rows a figure draws on the canvas and of the rows just above and
// below them, each worked out once.
class SpanTable {
  public:
    SpanTable(const EllipseRows& rows, int64_t first, int64_t end) : first_(first - 1) {
        if (end > first) spans_.reserve(static_cast<std::size_t>(end - first + 2));
        for (int64_t y = first - 1; y <= end && end > first; ++y)
            spans_.push_back(rows.row(y));
    }
    Span row(int64_t y) const { return spans_[static_cast<std::size_t>(y - first_)]; }

  private:
    int64_t first_;
    std::vector<Span> spans_;
};

// The outline's pixels on row y: the row's pixels that have no ellipse pixel above or below
// them, and the row's two ends. At most two runs: the left and right parts.
std::pair<Span, Span> outline_runs(const SpanTable& rows, int64_t y) {
    const Span s = rows.row(y);
    if (s.empty()) return {};
    const Span above = rows.row(y - 1), below = rows.row(y + 1);
    const Span inner{std::max(above.lo, below.lo), std::min(above.hi, below.hi)};
    if (above.empty() || below.empty() || inner.empty()) return {s, Span{}};
    Span left{s.lo, std::max(s.lo, std::min(s.hi, inner.lo - 1))};
    Span right{std::min(s.hi, std::max(s.lo, inner.hi + 1)), s.hi};
    if (right.lo <= left.hi) return {Span{s.lo, s.hi}, Span{}};  // the runs meet
    return {left, right};
}

// The counter-clockwise sweep from the radial through `start` to the radial through `end`,
// about the box's centre, y pointing up. Radials that coincide sweep the whole turn.
class Sector {
  public:
    Sector(const Box& b, Point start, Point end)
        : cx2_(static_cast<double>(b.left + b.right)), cy2_(static_cast<double>(b.top + b.bottom)) {
        start_ = angle(2.0 * static_cast<double>(start.x) - cx2_,
                       cy2_ - 2.0 * static_cast<double>(start.y));
        sweep_ = angle(2.0 * static_cast<double>(end.x) - cx2_,
                       cy2_ - 2.0 * static_cast<double>(end.y)) -
                 start_;
        if (sweep_ <= 0) sweep_ += kTurn;
    }

    // Whether the pixel's centre lies in the sweep; the centre itself always does.
    bool contains(int64_t x, int64_t y) const {
        const double dx = static_cast<double>(2 * x + 1) - cx2_;
        const double dy = cy2_ - static_cast<double>(2 * y + 1);
        if (dx == 0 && dy == 0) return true;
        double rel = angle(dx, dy) - start_;
        if (rel < 0) rel += kTurn;
        return rel <= sweep_;
    }

    bool whole_turn() const { return sweep_ >= kTurn; }
    double start_angle() const { return start_; }

  private:
    static double angle(double dx, double dy) { return std::atan2(dy, dx); }
    double cx2_, cy2_;
    double start_ = 0;
    double sweep_ = kTurn;
};

// Sets each pixel of columns lo..hi of row y (clipped) for which `keep` holds.
template <typename Keep>
void plot_run(Canvas& canvas, Span run, int64_t y, uint32_t colour, Keep keep) {
    if (run.empty() || y < 0 || y >= canvas.height()) return;
    const int64_t lo = std::max<int64_t>(run.lo, 0);
    const int64_t hi = std::min<int64_t>(run.hi, canvas.width() - 1);
    for (int64_t x = lo; x <= hi; ++x)
        if (keep(x)) canvas.set_pixel(static_cast<int>(x), static_cast<int>(y), colour);
}

// Membership of one row of a pie's region over the columns -1 .. width, for the boundary
// test of the rows next to it.
void pie_row(const EllipseRows& rows, const Sector& sector, int64_t y, int width,
             std::vector<uint8_t>& inside) {
    std::fill(inside.begin(), inside.end(), 0);
    const Span s = rows.row(y);
    const int64_t lo = std::max<int64_t>(s.lo, -1), hi = std::min<int64_t>(s.hi, width);
    for (int64_t x = lo; x <= hi; ++x)
        inside[static_cast<std::size_t>(x + 1)] = sector.contains(x, y) ? 1 : 0;
}

// The radius drawn for a pie whose radials coincide: from the centre to the outline.
void draw_single_radius(Canvas& canvas, const Box& b, double angle, uint32_t pen) {
    const double cx = static_cast<double>(b.left + b.right) / 2;
    const double cy = static_cast<double>(b.top + b.bottom) / 2;
    const double rx = static_cast<double>(b.right - b.left) / 2;
    const double ry = static_cast<double>(b.bottom - b.top) / 2;
    auto to_int = [](double v) {
        return static_cast<int32_t>(std::clamp(std::floor(v), -2147483648.0, 2147483647.0));
    };
    draw_line(canvas, to_int(cx), to_int(cy), to_int(cx + rx * std::cos(angle)),
              to_int(cy - ry * std::sin(angle)), pen);
}

}  // namespace

// Step t of n along the longer axis sets the pixel whose shorter-axis offset is t·d/n
// rounded half up; t runs over the steps whose pixels can lie on the canvas only.
void draw_line(Canvas& canvas, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t pen) {
    const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
    if (dx == 0 && dy == 0) return;
    const bool x_major = std::llabs(dx) >= std::llabs(dy);
    const int64_t major0 = x_major ? x1 : y1, minor0 = x_major ? y1 : x1;
    const int64_t dmajor = x_major ? dx : dy, dminor = x_major ? dy : dx;
    const int64_t major_step = dmajor > 0 ? 1 : -1, minor_step = dminor > 0 ? 1 : -1;
    const auto n = static_cast<uint64_t>(std::llabs(dmajor));
    const auto d = static_cast<uint64_t>(std::llabs(dminor));
    const int64_t major_size = x_major ? canvas.width() : canvas.height();
    const int64_t minor_size = x_major ? canvas.height() : canvas.width();
    // Steps whose major coordinate lies in 0 .. major_size-1.
    int64_t t_lo = major_step > 0 ? -major0 : major0 - (major_size - 1);
    int64_t t_hi = major_step > 0 ? major_size - 1 - major0 : major0;
    t_lo = std::max<int64_t>(t_lo, 0);
    t_hi = std::min<int64_t>(t_hi, static_cast<int64_t>(n) - 1);
    if (t_lo > t_hi) return;
    // quotient and remainder of t·d / n, carried along from the first step.
    const uint64_t product = static_cast<uint64_t>(t_lo) * d;  // < 2^64: t < n <= 2^32 - 1
    uint64_t quotient = product / n, remainder = product % n;
    // Pixels are addressed directly: every step lies in the major range, and each minor
    // coordinate is checked before its pixel is touched.
    uint32_t* const pixels = canvas.view().pixels;
    const int64_t width = canvas.width();
    int64_t major = major0 + major_step * t_lo;
    int64_t minor = minor0 + minor_step * static_cast<int64_t>(quotient);
    for (int64_t t = t_lo; t <= t_hi; ++t, major += major_step) {
        const int64_t shown = 2 * remainder >= n ? minor + minor_step : minor;
        if (shown >= 0 && shown < minor_size)
            pixels[x_major ? shown * width + major : major * width + shown] = pen;
        remainder += d;
        if (remainder >= n) remainder -= n, minor += minor_step;
    }
}

void draw_rectangle(Canvas& canvas, Box box, uint32_t pen, std::optional<uint32_t> brush) {
    const Box b = normalised(box);
    if (b.right <= b.left || b.bottom <= b.top) return;
    const int64_t y_end = end_row(canvas, b);
    for (int64_t y = first_row(b); y < y_end; ++y) {
        if (y == b.top || y == b.bottom - 1) {
            fill_row(canvas, b.left, b.right - 1, y, pen);
            continue;
        }
        if (brush) fill_row(canvas, b.left + 1, b.right - 2, y, *brush);
        fill_row(canvas, b.left, b.left, y, pen);
        fill_row(canvas, b.right - 1, b.right - 1, y, pen);
    }
}

void draw_ellipse(Canvas& canvas, Box box, uint32_t pen, std::optional<uint32_t> brush) {
    const Box b = normalised(box);
    if (b.right <= b.left || b.bottom <= b.top) return;
    const int64_t y_first = first_row(b), y_end = end_row(canvas, b);
    const SpanTable rows(EllipseRows(b), y_first, y_end);
    for (int64_t y = y_first; y < y_end; ++y) {
        if (brush) {
            const Span s = rows.row(y);
            fill_row(canvas, s.lo, s.hi, y, *brush);
        }
        auto [left, right] = outline_runs(rows, y);
        if (!left.empty()) fill_row(canvas, left.lo, left.hi, y, pen);
        if (!right.empty()) fill_row(canvas, right.lo, right.hi, y, pen);
    }
}

void draw_arc(Canvas& canvas, Box box, Point start, Point end, uint32_t pen) {
    const Box b = normalised(box);
    if (b.right <= b.left || b.bottom <= b.top) return;
    const Sector sector(b, start, end);
    if (sector.whole_turn()) return draw_ellipse(canvas, b, pen, std::nullopt);
    const int64_t y_first = first_row(b), y_end = end_row(canvas, b);
    const SpanTable rows(EllipseRows(b), y_first, y_end);
    for (int64_t y = y_first; y < y_end; ++y) {
        auto [left, right] = outline_runs(rows, y);
        auto in_sweep = [&](int64_t x) { return sector.contains(x, y); };
        plot_run(canvas, left, y, pen, in_sweep);
        plot_run(canvas, right, y, pen, in_sweep);
    }
}

// The pie's region is the ellipse's pixels inside the sweep; its outline is the region's
// pixels with a neighbour (left, right, above or below) outside it: the arc and both radii.
void draw_pie(Canvas& canvas, Box box, Point start, Point end, uint32_t pen, uint32_t brush) {
    const Box b = normalised(box);
    if (b.right <= b.left || b.bottom <= b.top) return;
    const Sector sector(b, start, end);
    if (sector.whole_turn()) {
        draw_ellipse(canvas, b, pen, brush);
        return draw_single_radius(canvas, b, sector.start_angle(), pen);
    }
    const EllipseRows rows(b);
    const int width = canvas.width();
    const auto columns = static_cast<std::size_t>(width) + 2;
    std::vector<uint8_t> above(columns), here(columns), below(columns);
    const int64_t y_first = first_row(b), y_end = end_row(canvas, b);
    if (y_first < y_end) {
        pie_row(rows, sector, y_first - 1, width, above);
        pie_row(rows, sector, y_first, width, here);
    }
    for (int64_t y = y_first; y < y_end; ++y) {
        pie_row(rows, sector, y + 1, width, below);
        const Span s = rows.row(y);
        const int64_t x_end = std::min<int64_t>(s.hi + 1, width);
        for (int64_t x = std::max<int64_t>(s.lo, 0); x < x_end; ++x) {
            const auto k = static_cast<std::size_t>(x + 1);
            if (!here[k]) continue;
            const bool edge = !here[k - 1] || !here[k + 1] || !above[k] || !below[k];
            canvas.set_pixel(static_cast<int>(x), static_cast<int>(y), edge ? pen : brush);
        }
        std::swap(above, here);
        std::swap(here, below);
    }
}

}  // namespace quillon
