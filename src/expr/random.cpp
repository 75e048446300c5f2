// The random generator shared by rnd and RANDOMIZE: a linear congruential generator whose
// draws are bits 16..30 of its state, and the rules of the random-number function.
#include "expr/random.h"

#include "host/runtime.h"

namespace quillon {
namespace {

constexpr uint32_t kMultiplier = 214013;
constexpr uint32_t kIncrement = 2531011;

// A draw scaled to 0 .. 0.98301, kept in single precision.
float scale_draw(int draw) {
    return static_cast<float>(draw * 3 / 100000.0);
}

}  // namespace

void seed_random(Runtime& rt, int32_t seed) {
    RandomState& random = rt.expr.random;
    random.seed = seed;
    random.state = static_cast<uint32_t>(seed);
    random.last = scale_draw(draw_random(rt));
}

int draw_random(Runtime& rt) {
    RandomState& random = rt.expr.random;
    random.state = random.state * kMultiplier + kIncrement;  // modulo 2^32 by unsigned wrap
    return static_cast<int>((random.state >> 16) & 0x7FFF);
}

float random_number(Runtime& rt, int32_t x) {
    RandomState& random = rt.expr.random;
    if (x < 0) seed_random(rt, random.seed);
    float drawn = scale_draw(draw_random(rt));
    float result = x == 0 ? random.last : drawn;  // rnd(0) repeats the previous number
    random.last = drawn;
    return result;
}

}  // namespace quillon
