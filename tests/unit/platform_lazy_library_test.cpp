// Libraries opened on first use: a present library hands out its own functions; a missing one
// is reported, and a forwarder that needs it ends the run with a message instead of a crash.
#include "platform/lazy_library.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

LazyLibrary& missing_library() {
    static const char* const kNames[] = {"libquillon-absent.so.9", "libquillon-absent.so", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

LazyLibrary& maths_library() {
    static const char* const kNames[] = {"libquillon-absent.so.9", "libm.so.6", nullptr};
    static LazyLibrary library(kNames);
    return library;
}

TEST(LazyLibrary, OpensTheFirstNameThatLoadsAndHandsOutItsFunctions) {
    ASSERT_TRUE(maths_library().available());
    using Function = double (*)(double);
    auto cube_root = reinterpret_cast<Function>(maths_library().symbol("cbrt"));
    ASSERT_NE(cube_root, nullptr);
    EXPECT_DOUBLE_EQ(cube_root(27.0), 3.0);
}

TEST(LazyLibrary, MissingLibraryIsReportedAndEndsTheRunWithAMessage) {
    EXPECT_FALSE(missing_library().available());
    EXPECT_FALSE(missing_library().available());  // asked once, answered the same
    EXPECT_EXIT(missing_library().symbol("absent_function"),
                testing::ExitedWithCode(kMissingLibraryStatus),
                "cannot load absent_function from libquillon-absent.so.9: the library is missing");
}

TEST(LazyLibrary, MissingFunctionOfAPresentLibraryEndsTheRunWithAMessage) {
    EXPECT_EXIT(maths_library().symbol("quillon_no_such_function"),
                testing::ExitedWithCode(kMissingLibraryStatus),
                "cannot load quillon_no_such_function from libm.so.6");
}

}  // namespace
}  // namespace quillon
