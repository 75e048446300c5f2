// The random generator shared by rnd and RANDOMIZE: a linear congruential generator whose
// draws are 0..32767.
#pragma once

#include <cstdint>

namespace quillon {

struct Runtime;

// RANDOMIZE's seeding: remembers the seed, seeds the generator, draws one number and keeps
// draw * 3 / 100000 (single precision) as the last random number.
void seed_random(Runtime& rt, int32_t seed);
// One draw: the state becomes state * 214013 + 2531011 and bits 16..30 are returned.
int draw_random(Runtime& rt);
// The random-number function with integer argument x (1 when omitted): x < 0 reseeds with the
// remembered seed first; x = 0 returns the previous number. Results lie in 0 .. 0.98301.
float random_number(Runtime& rt, int32_t x);

}  // namespace quillon
