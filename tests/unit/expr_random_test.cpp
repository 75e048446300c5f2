// The random generator: its known sequence, seeding as RANDOMIZE does, and the rules of the
// random-number function for positive, zero and negative arguments.
#include <gtest/gtest.h>

#include "expr/random.h"
#include "expr_fixture.h"

namespace quillon::testing {
namespace {

class Random : public ExprTest {};

TEST_F(Random, GeneratorFollowsItsLinearCongruentialSequence) {
    rt.expr.random.state = 1;
    EXPECT_EQ(draw_random(rt), 41);
    EXPECT_EQ(draw_random(rt), 18467);
    EXPECT_EQ(draw_random(rt), 6334);
    EXPECT_EQ(draw_random(rt), 26500);
}

TEST_F(Random, SeedingKeepsTheSeedAndTheScaledFirstDraw) {
    seed_random(rt, 1);
    EXPECT_EQ(rt.expr.random.seed, 1);
    EXPECT_EQ(rt.expr.random.last, static_cast<float>(41 * 3 / 100000.0));
    EXPECT_EQ(random_number(rt, 1), static_cast<float>(18467 * 3 / 100000.0));
}

TEST_F(Random, SameSeedSameSequence) {
    seed_random(rt, 5);
    float first[5];
    for (float& r : first)
        r = random_number(rt, 1);
    seed_random(rt, 5);
    for (float r : first)
        EXPECT_EQ(random_number(rt, 1), r);
}

TEST_F(Random, ValuesStayBelowOne) {
    seed_random(rt, 12345);
    for (int k = 0; k < 100000; ++k) {
        float r = random_number(rt, 1);
        ASSERT_GE(r, 0.0f);
        ASSERT_LE(r, 0.98301f);
    }
}

TEST_F(Random, ZeroRepeatsThePreviousNumberAndStillDraws) {
    seed_random(rt, 7);
    float a = random_number(rt, 1);
    EXPECT_EQ(random_number(rt, 0), a);
    float b = rt.expr.random.last;  // the draw made by rnd(0)
    EXPECT_EQ(random_number(rt, 0), b);
}

TEST_F(Random, NegativeReseedsWithTheRememberedSeed) {
    seed_random(rt, 9);
    float after_seed = random_number(rt, 1);
    random_number(rt, 1);
    EXPECT_EQ(random_number(rt, -1), after_seed);
    EXPECT_EQ(random_number(rt, -3), after_seed);
}

}  // namespace
}  // namespace quillon::testing
