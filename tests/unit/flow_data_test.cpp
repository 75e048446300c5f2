// READ and RESTORE over the data list, SWAP, RANDOMIZE and WAIT.
#include <gtest/gtest.h>

#include "expr/random.h"
#include "flow_trace.h"
#include "host/error_report.h"
#include "host/limits.h"

namespace quillon::testing {
namespace {

std::string first_box(RuntimeFixture& f) {
    return f.platform.boxes.empty() ? "" : f.platform.boxes[0].text;
}

const std::string kData =
    "10 " T_DATA " 1,2\n20 " T_DATA " 3\n30 *here:" T_DATA " 7\n40 " T_DATA " abc, \"x,y\" ,12\n";

TEST(ReadStatement, ReadsItemsAcrossLinesSkippingMarkers) {
    TracedRun f(kData + "50 " T_READ " A,B,C,D\n60 " T_READ " E$, F$,G$\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(f.value("A") + f.value("B") + f.value("C") + f.value("D"), "1237");
    EXPECT_EQ(f.value("E$"), "\"abc\"");
    EXPECT_EQ(f.value("F$"), "\"x,y\"");
    EXPECT_EQ(f.value("G$"), "\"12\"");
    EXPECT_EQ(f.rt.host.data_index, 12);  // every item and marker of the list was passed
}

TEST(ReadStatement, PastTheDataIsError11AndEarlierVariablesKeepTheirValues) {
    TracedRun f("10 " T_DATA " 1,,2\n20 " T_READ " A,B\n");
    EXPECT_EQ(f.run(), 0);
    EXPECT_EQ(first_box(f), error_report_text(kOutOfData, "", 20));
    EXPECT_EQ(f.value("A"), "1");
    TracedRun past("10 " T_DATA " 1\n20 " T_READ " A,B\n");
    past.run();
    EXPECT_EQ(first_box(past), error_report_text(kOutOfData, "", 20));
}

TEST(ReadStatement, NamesEndingInsideQuotesOrBracketsAreError1) {
    for (const char* names : {"A(1", "A,B(\"x)\""}) {
        TracedRun f("10 " T_DATA " 1,2\n20 " T_READ " " + std::string(names) + "\n");
        f.run();
        EXPECT_EQ(first_box(f), error_report_text(kSyntaxError, "", 20)) << names;
    }
}

TEST(ReadStatement, AnOpenQuoteEndsItsItemAtTheLineEnd) {
    TracedRun f("10 " T_DATA " \"abc\n20 " T_DATA " 5,\"x,y\n30 " T_READ " A$,B,C$,D$\n");
    f.run();
    EXPECT_EQ(f.value("A$") + f.value("B") + f.value("C$"), "\"abc\"5\"x,y\"");
    EXPECT_EQ(first_box(f), error_report_text(kOutOfData, "", 30));  // not line 30's markers
}

TEST(DataList, OnlyDataItemsAreChargedAgainstItsSize) {
    std::string comments;  // 10,000 lines (comments dropped) in 59 KB of text, and no DATA
    for (int line = 1; line < 10000; ++line)
        comments += std::to_string(line) + " \n";
    TracedRun f(comments + "10000 A=7\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(f.value("A"), "7");
    EXPECT_GT(f.rt.host.data_list.size(), kDataListMax);  // markers beyond 65,536 bytes are fine
}

TEST(ReadStatement, RememberedWalkMatchesTheFullWalk) {
    std::string text = "10 " T_DATA " 1";
    for (int k = 2; k <= 60; ++k)
        text += "," + std::to_string(k);
    text += "\n20 " T_DATA " 61\n30 " T_READ " A\n40 S=S+A:N=N+1:" T_IF " N=30 THEN " T_RESTORE
            " 10\n50 " T_IF " N<45 THEN " T_GOTO " 30\n";
    for (bool remember : {true, false}) {
        TracedRun f(text);
        f.rt.flow.remember_scans = remember;
        EXPECT_EQ(f.run(), 1);
        // Items 1 to 30, then after RESTORE 10 items 1 to 15 again.
        EXPECT_EQ(f.value("S"), "585") << remember;
    }
}

TEST(RestoreStatement, FindsLinesAndLabelsExactly) {
    TracedRun f(kData + "50 " T_RESTORE " 20:" T_READ " A\n60 " T_RESTORE " *here:" T_READ
                        " B\n70 " T_RESTORE ":" T_READ " C\n80 " T_RESTORE " 10+30:" T_READ
                        " D$\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(f.value("A") + f.value("B") + f.value("C"), "371");
    EXPECT_EQ(f.value("D$"), "\"abc\"");
}

TEST(RestoreStatement, MissingTargetsAreError13WithTheirText) {
    for (const char* target : {"15", "*her", "*Here"}) {
        TracedRun f(kData + "50 " T_RESTORE " " + target + "\n");
        f.run();
        EXPECT_EQ(first_box(f), error_report_text(kCannotReference, target, 50));
        EXPECT_EQ(f.rt.host.data_index, 12);  // the walk ended on the last item (line 50)
    }
}

TEST(SwapStatement, ExchangesNumbersStringsAndElementsWhole) {
    TracedRun f("10 A=1:B=2:" T_SWAP " A, B\n20 A$=\"p\":B$=\"q r\":" T_SWAP
                " A$,B$\n30 S=.0000001:T=1234567:" T_SWAP " S,T\n40 D(1)=3:D(2)=4:" T_SWAP
                " D(1),D(2)\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(f.value("A") + f.value("B"), "21");
    EXPECT_EQ(f.value("A$") + f.value("B$"), "\"q r\"\"p\"");
    EXPECT_EQ(f.value("T"), "1e-07");  // not rounded to six decimals
    EXPECT_EQ(f.value("D(1)") + f.value("D(2)"), "43");
}

TEST(SwapStatement, WithoutACommaIsError1) {
    TracedRun f("10 " T_SWAP " A(1,2)\n");
    f.run();
    EXPECT_EQ(first_box(f), error_report_text(kSyntaxError, "", 10));
}

TEST(RandomizeStatement, SeedsTheGeneratorOrRefusesNegatives) {
    TracedRun f("10 " T_RANDOMIZE " 5.9\n");
    f.run();
    EXPECT_EQ(f.rt.expr.random.seed, 5);
    TracedRun clock("10 " T_RANDOMIZE "\n");
    clock.run();
    EXPECT_EQ(clock.rt.expr.random.seed, 952333507);  // the fake platform's clock
    TracedRun negative("10 " T_RANDOMIZE " -1\n");
    negative.run();
    EXPECT_EQ(first_box(negative), error_report_text(kSyntaxError, "", 10));
    EXPECT_EQ(negative.rt.expr.random.seed, 0);
}

TEST(WaitStatement, SleepsInShortSlicesUntilStopped) {
    TracedRun f("10 " T_WAIT " 25\n20 " T_WAIT " 0\n");
    std::vector<int> slices;
    f.platform.sleep_hook = [&](int ms) { slices.push_back(ms); };
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(slices, (std::vector<int>{10, 10, 5}));

    TracedRun closed("10 " T_WAIT " 100000\n");
    closed.platform.sleep_hook = [&closed](int) { closed.rt.host.stop = true; };
    EXPECT_EQ(closed.run(), 0);
    EXPECT_EQ(closed.platform.slept_ms, 10);  // the closed window ended the pause at once

    TracedRun negative("10 " T_WAIT " -1\n");
    negative.run();
    EXPECT_EQ(first_box(negative), error_report_text(kOutOfRange, "", 10));
}

}  // namespace
}  // namespace quillon::testing
