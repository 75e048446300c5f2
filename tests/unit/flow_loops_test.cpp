// FOR/NEXT and WHILE/WEND: the backward and forward scans that pair loop statements, the
// FOR stack and re-entry flag, and whole loops.
#include <gtest/gtest.h>

#include <memory>

#include "flow/event_traps.h"
#include "flow/statements.h"
#include "flow_trace.h"
#include "host/error_report.h"

namespace quillon::testing {
namespace {

// Runs one handler with the position at the separator after the statement that holds `marker`
// (the n-th occurrence), as the run loop would, and returns the position it leaves.
struct Scan {
    RuntimeFixture f;
    explicit Scan(std::string text) : f(std::move(text)) {}

    int32_t separator_after(const std::string& marker, int n = 1) {
        const std::string& text = f.rt.host.program;
        std::size_t at = std::string::npos;
        for (int k = 0; k < n; ++k)
            at = text.find(marker, at == std::string::npos ? 0 : at + 1);
        std::size_t end = text.find_first_of(":\n", at);
        return static_cast<int32_t>(end == std::string::npos ? text.size() : end);
    }
    int32_t index_of(const std::string& marker, int n = 1) {
        std::size_t at = std::string::npos;
        for (int k = 0; k < n; ++k)
            at = f.rt.host.program.find(marker, at == std::string::npos ? 0 : at + 1);
        return static_cast<int32_t>(at);
    }
    int32_t run(StatementHandler handler, int32_t position, std::string args = "",
                bool inline_branch = false) {
        f.rt.host.position = position;
        f.rt.host.inline_branch = inline_branch;
        StatementContext ctx;
        ctx.args = std::move(args);
        handler(f.rt, ctx);
        return f.rt.host.position;
    }
};

TEST(NextScan, FindsItsForByNameOrByNesting) {
    Scan s("10 " T_FOR " I=1 TO 3\n20 " T_FOR " J=1 TO 3\n30 " T_NEXT " J\n40 " T_NEXT
           " I\n50 " T_NEXT "\n");
    const int32_t line10_end = s.index_of("\n20");
    EXPECT_EQ(s.run(next_statement, s.separator_after(T_NEXT " J"), "J"), line10_end);
    EXPECT_TRUE(s.f.rt.flow.for_reentry.pending);
    EXPECT_EQ(s.f.rt.flow.for_reentry.mark, line10_end);
    EXPECT_EQ(s.run(next_statement, s.separator_after(T_NEXT " I"), "I"), -1);
    // Without a name: the innermost loop that no NEXT has closed yet.
    Scan t("10 " T_FOR " I=1 TO 3\n20 " T_FOR " J=1 TO 3\n30 " T_NEXT "\n40 " T_NEXT "\n");
    EXPECT_EQ(t.run(next_statement, t.separator_after(T_NEXT, 1)), t.index_of("\n20"));
    EXPECT_EQ(t.run(next_statement, t.separator_after(T_NEXT, 2)), -1);
}

TEST(NextScan, SameNamedLoopsPairByCounting) {
    Scan s("10 " T_FOR " I=1 TO 2\n20 " T_FOR " I=1 TO 2\n30 " T_NEXT " I\n40 " T_NEXT " I\n");
    EXPECT_EQ(s.run(next_statement, s.separator_after(T_NEXT " I", 1), "I"), s.index_of("\n20"));
    EXPECT_EQ(s.run(next_statement, s.separator_after(T_NEXT " I", 2), "I"), -1);
}

TEST(NextScan, StatementsAfterColonsOutsideQuotes) {
    Scan s("10 A=1:" T_FOR " I=1 TO 3:B$=\"x:" T_FOR " I\":" T_NEXT " I\n");
    EXPECT_EQ(s.run(next_statement, s.separator_after(T_NEXT " I"), "I"), s.index_of(":"));
    // Blanks after a ":" do not hide the FOR.
    Scan blanks("10 A=1:  " T_FOR " I=1 TO 3:  " T_NEXT " I\n");
    EXPECT_EQ(blanks.run(next_statement, blanks.separator_after(T_NEXT " I"), "I"),
              blanks.index_of(":"));
}

TEST(NextScan, ThenPartsCountOnlyOnTheirOwnLineWithTheFlag) {
    Scan s("10 " T_IF " K THEN  " T_FOR " I=1 TO 3:" T_NEXT " I\n");
    const int32_t next_end = s.separator_after(T_NEXT " I");
    EXPECT_EQ(s.run(next_statement, next_end, "I", true), s.index_of(T_FOR) - 1);
    s.f.platform.boxes.clear();
    EXPECT_EQ(s.run(next_statement, next_end, "I", false), next_end);  // not seen: warning
    ASSERT_EQ(s.f.platform.boxes.size(), 1u);
    EXPECT_EQ(s.f.platform.boxes[0].text, error_report_text(kNextWithoutFor, "", 0));
    // ELSE (also after ")") opens a part too.
    Scan e("10 " T_IF " (K) THEN A=1 ELSE " T_FOR " I=1 TO 3:" T_NEXT " I\n");
    EXPECT_EQ(e.run(next_statement, e.separator_after(T_NEXT " I"), "I", true),
              e.index_of(T_FOR) - 1);
}

TEST(NextScan, NamesAreCaseSensitiveAndListsNameNoLoop) {
    for (const char* name : {"i", "I,J"}) {
        Scan s("10 " T_FOR " I=1 TO 3\n20 " T_FOR " J=1 TO 3\n30 " T_NEXT " " + std::string(name) +
               "\n");
        const int32_t end = s.separator_after(T_NEXT);
        EXPECT_EQ(s.run(next_statement, end, name), end);
        EXPECT_FALSE(s.f.rt.flow.for_reentry.pending);
        ASSERT_EQ(s.f.platform.boxes.size(), 1u);
        EXPECT_EQ(s.f.platform.boxes[0].title, "Basic - Warning");
        EXPECT_FALSE(s.f.rt.host.stop);
    }
}

TEST(NextScan, RememberedResultsFollowTheNameAndFlag) {
    Scan s("10 " T_FOR " I=1 TO 3\n20 " T_IF " K THEN " T_FOR " J=1 TO 3:" T_NEXT " I\n");
    const int32_t end = s.separator_after(T_NEXT " I");
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(s.run(next_statement, end, "I", true), -1);
        EXPECT_EQ(s.run(next_statement, end, "", true), s.index_of(T_FOR, 2) - 1);
        EXPECT_EQ(s.run(next_statement, end, "", false), -1);
    }
}

TEST(WendScan, FindsItsWhileByNesting) {
    Scan s("10 " T_WHILE " 1\n20 " T_WHILE " 1:" T_WEND "\n30 " T_WEND "\n");
    EXPECT_EQ(s.run(wend_statement, s.separator_after(T_WEND, 1)), s.index_of("\n20"));
    EXPECT_EQ(s.run(wend_statement, s.separator_after(T_WEND, 2)), -1);
    Scan then("10 " T_IF " K THEN " T_WHILE " A:" T_WEND "\n");
    EXPECT_EQ(then.run(wend_statement, then.separator_after(T_WEND), "", true),
              then.index_of(T_WHILE) - 1);
}

TEST(WendScan, WendWithoutWhileWarnsAndGoesOn) {
    TracedRun f("10 " T_DATA " a\n20 " T_WEND "\n30 " T_DATA " b\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(f.trace, "a b");
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, error_report_text(kWendWithoutWhile, "", 20));
}

TEST(WhileStatement, FalseConditionSkipsPastItsWend) {
    auto trace = [](const std::string& text) {
        TracedRun f(text);
        f.run();
        return f.trace;
    };
    EXPECT_EQ(trace("10 " T_WHILE " 0\n20 " T_DATA " body\n30 " T_WEND "\n40 " T_DATA " after\n"),
              "after");
    EXPECT_EQ(trace("10 " T_WHILE " .5:" T_DATA " body:" T_WEND ":" T_DATA " after\n"), "after");
    EXPECT_EQ(trace("10 " T_WHILE " 0\n20 " T_WHILE " 1\n30 " T_DATA " x\n40 " T_WEND "\n50 " T_WEND
                    "\n60 " T_DATA " after\n"),
              "after");
    EXPECT_EQ(trace("10 " T_WHILE " 0:" T_WEND "\n20 " T_DATA " after\n"), "after");
}

TEST(WhileStatement, FalseConditionWithoutWendEndsTheProgram) {
    TracedRun f("10 " T_WHILE " 0\n20 " T_DATA " x\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(f.trace, "");
    EXPECT_TRUE(f.platform.boxes.empty());
}

// Runs a program with and without remembered scans; both runs must go the same way. Returns
// the run with remembered scans.
std::unique_ptr<TracedRun> run_both(const std::string& text) {
    TracedRun rescans(text);
    rescans.rt.flow.remember_scans = false;
    rescans.run();
    auto remembered = std::make_unique<TracedRun>(text);
    remembered->run();
    EXPECT_EQ(remembered->trace, rescans.trace) << "remembered scans changed the run";
    EXPECT_EQ(remembered->platform.boxes.size(), rescans.platform.boxes.size());
    return remembered;
}

TEST(ForLoop, CountsUpAndLeavesTheVariablePastTheLimit) {
    auto f =
        run_both("10 " T_FOR " I=1 TO 3\n20 " T_DATA " b\n30 " T_NEXT " I\n40 " T_DATA " after\n");
    EXPECT_EQ(f->trace, "b b b after");
    EXPECT_EQ(f->value("I"), "4");
    EXPECT_EQ(f->rt.flow.for_top, -1);
}

TEST(ForLoop, ZeroTripLoopsSkipPastTheirNext) {
    auto f =
        run_both("10 " T_FOR " I=3 TO 1\n20 " T_DATA " b\n30 " T_NEXT " I\n40 " T_DATA " after\n");
    EXPECT_EQ(f->trace, "after");
    EXPECT_EQ(f->value("I"), "3");
    EXPECT_EQ(run_both("10 " T_FOR " I=1 TO 0:" T_DATA " b:" T_NEXT " I:" T_DATA " after\n")->trace,
              "after");
    // Found by nesting when NEXT names no variable.
    EXPECT_EQ(run_both("10 " T_FOR " I=1 TO 0:" T_DATA " b:" T_NEXT ":" T_DATA " after\n")->trace,
              "after");
}

TEST(ForLoop, NegativeStepCountsDown) {
    auto f = run_both("10 " T_FOR " I=3 TO 1 STEP -1:" T_DATA " b:" T_NEXT " I\n");
    EXPECT_EQ(f->trace, "b b b");
    EXPECT_EQ(f->value("I"), "0");
}

TEST(ForLoop, LimitIsComparedWithSixDecimals) {
    auto f = run_both("10 " T_FOR " X=0 TO .0000004 STEP .0000001:" T_DATA " b:" T_NEXT " X\n");
    EXPECT_EQ(f->trace, "b");
}

TEST(ForLoop, NestedLoopsPairByNameAndByCounting) {
    EXPECT_EQ(run_both("10 " T_FOR " I=1 TO 2\n20 " T_FOR " J=1 TO 2\n30 " T_DATA " b\n40 " T_NEXT
                       " J\n50 " T_DATA " i\n60 " T_NEXT " I\n")
                  ->trace,
              "b b i b b i");
    EXPECT_EQ(run_both("10 " T_FOR " I=1 TO 2\n20 " T_FOR " I=1 TO 3\n30 " T_DATA " b\n40 " T_NEXT
                       " I\n50 " T_DATA " o\n60 " T_NEXT " I\n")
                  ->trace,
              "b b b o");  // the inner loop leaves I at 4, past the outer limit
    EXPECT_EQ(
        run_both("10 " T_FOR " I=1 TO 2:" T_FOR " J=1 TO 2:" T_DATA " b:" T_NEXT ":" T_NEXT "\n")
            ->trace,
        "b b b b");
}

TEST(ForLoop, ThenPartLoopDoesNotReevaluateTheCondition) {
    auto f = run_both("10 K=0\n20 " T_IF " K=0 THEN " T_FOR " I=1 TO 3:K=1:" T_DATA " b:" T_NEXT
                      " I\n30 " T_DATA " after\n");
    EXPECT_EQ(f->trace, "b b b after");
}

TEST(ForLoop, MissingToIsError1) {
    TracedRun f("10 " T_FOR " I=1\n");
    f.run();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, error_report_text(kSyntaxError, "", 10));
    EXPECT_EQ(f.value("I"), "0");  // nothing assigned
}

TEST(ForLoop, ANextWithoutForWarnsAndGoesOn) {
    TracedRun f("10 " T_FOR " I=1 TO 2\n20 " T_NEXT " i\n30 " T_DATA " after\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(f.trace, "after");
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, error_report_text(kNextWithoutFor, "", 20));
}

TEST(ForLoop, TooManyOpenLoopsAreRefusedWithError12) {
    TracedRun f("10 " T_FOR " I=1 TO 2:" T_GOTO " 10\n");
    EXPECT_EQ(f.run(), 0);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, error_report_text(kMemoryRange, "", 10));
    EXPECT_EQ(f.rt.flow.for_top, kForDepthMax - 1);
}

TEST(ForLoop, JumpIntoABodyWarnsAtNextAndGoesOnAfterIt) {
    TracedRun f("10 " T_GOTO " 30\n20 " T_FOR " I=1 TO 3\n30 " T_DATA " body\n40 " T_NEXT
                " I:" T_DATA " after\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(f.trace, "body after");
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].title, "Basic - Warning");
}

TEST(ForLoop, OverAtOnceWithoutAnyNextEndsTheProgram) {
    TracedRun f("10 " T_FOR " I=1 TO 0\n20 " T_DATA " x\n");
    EXPECT_EQ(f.run(), 1);
    EXPECT_EQ(f.trace, "");
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(ForLoop, ATrapBetweenNextAndForOpensItsOwnLoops) {
    TracedRun f("10 " T_ON " MOUSE(2) GOSUB 100:" T_MOUSE " (2)ON\n20 " T_FOR
                " I=1 TO 3\n30 " T_DATA " b\n40 " T_NEXT " I\n50 " T_DATA " end:" T_END
                "\n100 " T_FOR " J=1 TO 2:" T_DATA " s:" T_NEXT " J:" T_RETURN "\n");
    f.platform.statement_hook = [&f](uint64_t count) {
        f.record();
        if (count == 5) fire_event_trap(f.rt, 2);  // just before the first NEXT I
    };
    EXPECT_EQ(f.run(), 0);
    EXPECT_EQ(f.trace, "b s s b b end");
    EXPECT_EQ(f.value("I"), "4");
}

TEST(WhileLoop, LoopsUntilTheConditionFails) {
    auto f = run_both("10 I=0:" T_WHILE " I<3:I=I+1:" T_WEND ":" T_DATA " after\n");
    EXPECT_EQ(f->trace, "after");
    EXPECT_EQ(f->value("I"), "3");
    EXPECT_EQ(run_both("10 A=0\n20 " T_WHILE " A<2\n30 B=0\n40 " T_WHILE " B<2\n50 " T_DATA
                       " b\n60 B=B+1\n70 " T_WEND "\n80 A=A+1\n90 " T_WEND "\n")
                  ->trace,
              "b b b b");
}

TEST(WhileLoop, ThenPartLoopDoesNotReevaluateTheCondition) {
    auto f = run_both("10 K=0:A=0\n20 " T_IF " K=0 THEN " T_WHILE " A<3:K=1:A=A+1:" T_DATA
                      " b:" T_WEND ":" T_DATA " in\n30 " T_DATA " after\n");
    EXPECT_EQ(f->trace, "b b b in after");
}

}  // namespace
}  // namespace quillon::testing
