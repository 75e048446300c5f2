// IF with its THEN and ELSE parts, jump targets, GOTO, GOSUB and RETURN, ON with its computed
// jumps, the error trap and the mouse event traps.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "flow/event_traps.h"
#include "flow/jumps.h"
#include "flow_trace.h"
#include "host/error_report.h"

namespace quillon::testing {
namespace {

std::string run_trace(const std::string& text) {
    TracedRun f(text);
    f.run();
    return f.trace;
}

// The error box of a run, or "" when none was shown.
std::string first_box(RuntimeFixture& f) {
    return f.platform.boxes.empty() ? "" : f.platform.boxes[0].text;
}

struct PairingCase {
    const char* line;         // %a and %b stand for the two conditions
    const char* expected[3];  // a and b true, a true and b false, a false
};

std::string with_conditions(std::string line, const char* a, const char* b) {
    line.replace(line.find("%a"), 2, a);
    if (auto at = line.find("%b"); at != std::string::npos) line.replace(at, 2, b);
    return line;
}

TEST(IfStatement, ElsePairsWithTheNearestOpenIf) {
    const PairingCase cases[] = {
        {"10 " T_IF " %a THEN " T_IF " %b THEN " T_DATA " x ELSE " T_DATA " y ELSE " T_DATA " z\n",
         {"x", "y", "z"}},
        {"10 " T_IF " %a THEN " T_IF " %b THEN " T_DATA " x ELSE " T_DATA " y\n", {"x", "y", ""}},
        {"10 " T_IF " %a THEN " T_DATA " x ELSE " T_IF " %b THEN " T_DATA " y ELSE " T_DATA " z\n",
         {"x", "x", "y"}},
        {"10 " T_IF " %a THEN " T_DATA " x: " T_IF " %b THEN " T_DATA " y ELSE " T_DATA " z\n",
         {"x y", "x z", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(run_trace(with_conditions(c.line, "1", "1")), c.expected[0]);
        EXPECT_EQ(run_trace(with_conditions(c.line, "1", "0")), c.expected[1]);
        EXPECT_EQ(run_trace(with_conditions(c.line, "0", "1")), c.expected[2]);
    }
    // The third form with a false and b false takes the inner ELSE.
    EXPECT_EQ(run_trace(with_conditions(std::string(cases[2].line), "0", "0")), "z");
}

TEST(IfStatement, ThenPartRunsToTheEndOfItsLine) {
    const std::string line = "10 " T_IF " %a THEN " T_DATA " a:" T_DATA " b\n20 " T_DATA " c\n";
    EXPECT_EQ(run_trace(with_conditions(line, "1", "")), "a b c");
    EXPECT_EQ(run_trace(with_conditions(line, "0", "")), "c");
    EXPECT_EQ(run_trace(with_conditions(line, ".5", "")), "c");  // truncated to 0
    EXPECT_EQ(run_trace(with_conditions(line, "-1", "")), "a b c");
}

TEST(IfStatement, BareLineNumbersAndLabelsJump) {
    const std::string text = "10 " T_IF " %a THEN 30 ELSE *other\n20 " T_DATA " no\n30 " T_DATA
                             " then:" T_END "\n40 *other\n50 " T_DATA " else\n";
    EXPECT_EQ(run_trace(with_conditions(text, "1", "")), "then");
    EXPECT_EQ(run_trace(with_conditions(text, "0", "")), "else");
}

TEST(IfStatement, ColonBeforeElseIsAccepted) {
    const std::string line = "10 " T_IF " %a THEN " T_DATA " x:ELSE " T_DATA " y\n";
    EXPECT_EQ(run_trace(with_conditions(line, "1", "")), "x");
    EXPECT_EQ(run_trace(with_conditions(line, "0", "")), "y");
}

TEST(IfStatement, KeywordsInsideQuotesAreText) {
    const std::string line =
        "10 " T_IF " %a THEN " T_DATA " \"p ELSE q\" ELSE " T_DATA " \"r THEN s\"\n";
    EXPECT_EQ(run_trace(with_conditions(line, "1", "")), "\"p ELSE q\"");
    EXPECT_EQ(run_trace(with_conditions(line, "0", "")), "\"r THEN s\"");
}

TEST(IfStatement, TrueConditionWithoutUsableThenIsError1) {
    TracedRun f("10 " T_DATA " a\n20 " T_IF " 1 THEN:" T_DATA " b\n30 " T_DATA " c\n");
    EXPECT_EQ(f.run(), 0);
    EXPECT_EQ(f.trace, "a");
    EXPECT_EQ(first_box(f), error_report_text(kSyntaxError, "", 20));
    // A false condition never looks for the THEN.
    EXPECT_EQ(run_trace("20 " T_IF " 0 THEN:" T_DATA " b\n30 " T_DATA " c\n"), "c");
}

TEST(IfStatement, GosubInThenPartReturnsIntoThePart) {
    const std::string text =
        "10 " T_IF " 1 THEN " T_GOSUB " 100:" T_DATA " back ELSE " T_DATA " else\n20 " T_DATA
        " next:" T_END "\n100 " T_DATA " sub:" T_RETURN "\n";
    EXPECT_EQ(run_trace(text), "sub back next");
    // A GOSUB cut at its ELSE returns to the end of the line.
    EXPECT_EQ(run_trace("10 " T_IF " 1 THEN " T_GOSUB " 100 ELSE " T_DATA " else\n20 " T_DATA
                        " next:" T_END "\n100 " T_DATA " sub:" T_RETURN "\n"),
              "sub next");
}

TEST(JumpTarget, LineNumbersFindTheNextLineAtOrAbove) {
    RuntimeFixture f("10 a\n20 b\n30 c\n");
    EXPECT_EQ(find_jump_target(f.rt, "10"), -1);
    EXPECT_EQ(find_jump_target(f.rt, "15"), 3);   // before the line feed that ends line 10
    EXPECT_EQ(find_jump_target(f.rt, "30x"), 8);  // only the leading digits count
    EXPECT_EQ(find_jump_target(f.rt, "0"), -1);
    EXPECT_EQ(find_jump_target(f.rt, "99999999999999999999999"), std::nullopt);
    EXPECT_EQ(first_box(f), error_report_text(kBadIdentifier, "99999999999999999999999", 0));
}

TEST(JumpTarget, LabelsCompareOnlyTheTargetsBytes) {
    RuntimeFixture f("10 a\n100 *abc\n200 *ab\n300 *Ab\n");
    EXPECT_EQ(find_jump_target(f.rt, "*ab"), 3);
    EXPECT_EQ(find_jump_target(f.rt, "*Ab"), 20);  // case matters
    EXPECT_EQ(find_jump_target(f.rt, "*abcd"), std::nullopt);
    RuntimeFixture first("1 *top\n2 b\n");
    EXPECT_EQ(find_jump_target(first.rt, "*top"), -1);
}

TEST(JumpTarget, TargetsNeedADigitOrAStar) {
    for (const char* bad : {"", " 10", "abc"}) {
        RuntimeFixture f("10 a\n");
        EXPECT_EQ(find_jump_target(f.rt, bad), std::nullopt);
        EXPECT_EQ(first_box(f), error_report_text(kSyntaxError, "", 0));
    }
}

TEST(JumpTarget, RememberedTargetsMatchRescans) {
    RuntimeFixture f("10 a\n20 *b\n30 c\n");
    for (bool remember : {false, true, true}) {
        f.rt.flow.remember_scans = remember;
        EXPECT_EQ(find_jump_target(f.rt, "25"), 9);
        EXPECT_EQ(find_jump_target(f.rt, "*b"), 3);
    }
    EXPECT_EQ(f.rt.flow.scans.jump_targets.size(), 2u);
    f.load("5 x\n25 y\n");  // a new program forgets the old targets
    EXPECT_TRUE(f.rt.flow.scans.jump_targets.empty());
    EXPECT_EQ(find_jump_target(f.rt, "25"), 2);
}

TEST(Jumps, GotoGoesToTheLineAtOrAboveItsTarget) {
    EXPECT_EQ(run_trace("10 " T_GOTO " 15\n15 " T_DATA " no\n20 " T_DATA " yes\n"), "no yes");
    EXPECT_EQ(run_trace("10 " T_GOTO " 15\n20 " T_DATA " yes\n"), "yes");
    TracedRun f("10 " T_GOTO " 31\n30 " T_DATA " no\n");
    EXPECT_EQ(f.run(), 0);
    EXPECT_EQ(first_box(f), error_report_text(kBadIdentifier, "31", 10));
}

TEST(Jumps, GosubReturnsAfterItsStatement) {
    const std::string sub = "100 " T_DATA " sub:" T_RETURN "\n";
    EXPECT_EQ(run_trace("10 " T_GOSUB " 100:" T_DATA " a\n20 " T_DATA " b:" T_END "\n" + sub),
              "sub a b");
    EXPECT_EQ(run_trace("10 " T_GOSUB " 100\n20 " T_DATA " b:" T_END "\n" + sub), "sub b");
    // Nested calls unwind in order.
    EXPECT_EQ(run_trace("10 " T_GOSUB " 100:" T_DATA " a:" T_END "\n100 " T_GOSUB " 200:" T_DATA
                        " s1:" T_RETURN "\n200 " T_DATA " s2:" T_RETURN "\n"),
              "s2 s1 a");
}

TEST(Jumps, ReturnWithoutGosubIsError6) {
    TracedRun f("10 " T_DATA " a\n20 " T_RETURN "\n30 " T_DATA " b\n");
    EXPECT_EQ(f.run(), 0);
    EXPECT_EQ(f.trace, "a");
    EXPECT_EQ(first_box(f), error_report_text(kReturnWithoutGosub, "", 20));
    EXPECT_EQ(f.rt.flow.gosub_depth, 0);
}

TEST(Jumps, TheGosubBeyondTheStackIsRefusedWithError12) {
    TracedRun f("10 " T_GOSUB " 10\n");
    EXPECT_EQ(f.run(), 0);
    EXPECT_EQ(first_box(f), error_report_text(kMemoryRange, "", 10));
    EXPECT_EQ(f.rt.flow.gosub_depth, 0);  // emptied by the clean-up after 1024 entries
    EXPECT_EQ(f.rt.host.statements_run, static_cast<uint64_t>(kGosubDepthMax) + 1);
}

TEST(OnStatement, SelectorPicksATargetOrFallsThrough) {
    const std::string targets =
        "100,200,300\n20 " T_DATA " none:" T_END "\n100 " T_DATA " one:" T_END "\n200 " T_DATA
        " two:" T_END "\n300 " T_DATA " three\n";
    EXPECT_EQ(run_trace("10 " T_ON " 2 GOTO " + targets), "two");
    EXPECT_EQ(run_trace("10 " T_ON " 2.9 goto " + targets), "two");
    EXPECT_EQ(run_trace("10 " T_ON " 3\tGoTo\t" + targets), "three");
    EXPECT_EQ(run_trace("10 " T_ON " 0 GOTO " + targets), "none");
    EXPECT_EQ(run_trace("10 " T_ON " -1 GOTO " + targets), "none");
    EXPECT_EQ(run_trace("10 " T_ON " 4 GOTO " + targets), "none");
}

TEST(OnStatement, GosubReturnsAfterTheOnStatement) {
    EXPECT_EQ(run_trace("10 " T_ON " 2 GOSUB 100,200:" T_DATA " back:" T_END "\n100 " T_DATA
                        " one:" T_RETURN "\n200 " T_DATA " two:" T_RETURN "\n"),
              "two back");
}

TEST(OnStatement, MalformedListsAndKeywordsAreError1) {
    TracedRun blank("10 " T_ON " 2 GOTO 100, 200\n200 " T_DATA " no\n");
    blank.run();
    EXPECT_EQ(first_box(blank), error_report_text(kSyntaxError, "", 10));
    TracedRun missing("10 " T_ON " 2 GOTOX 100\n");
    missing.run();
    EXPECT_EQ(first_box(missing), error_report_text(kSyntaxError, "", 10));
}

TEST(ErrorTrap, GotoTrapReplacesReportsAndStaysSet) {
    TracedRun f("10 " T_ON " error GOTO 900\n20 \x10\x99\n30 " T_DATA " no\n900 " T_DATA
                " trap:" T_ON " error GOTO 950\n910 " T_NEXT " x\n920 " T_DATA " no\n950 " T_DATA
                " warned\n");
    EXPECT_EQ(f.run(), 1);
    // The unknown token, then the NEXT without FOR (a warning), each take the trap.
    EXPECT_EQ(f.trace, "trap warned");
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(ErrorTrap, GosubTrapReturnsAfterTheFailingStatement) {
    EXPECT_EQ(run_trace("10 " T_ON " ERROR GOSUB *handler\n20 \x10\x99:" T_DATA " after\n30 " T_DATA
                        " end:" T_END "\n900 *handler:" T_DATA " trap:" T_RETURN "\n"),
              "trap after end");
}

TEST(ErrorTrap, OneErrorIsTrappedOnceAndReportedOnce) {
    // The failed evaluation runs into a second fault; it is the first one's consequence.
    EXPECT_EQ(run_trace("10 " T_ON " ERROR GOSUB *handler\n20 A$=(\"a\"):" T_DATA " after\n30 " T_DATA
                        " x:A$=(\"a\")\n40 " T_END "\n900 *handler:" T_DATA " trap:" T_RETURN "\n"),
              "trap after x trap");
    TracedRun f("10 A$=(\"a\")\n");
    f.run();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(first_box(f), error_report_text(kTypeMismatch, "", 10));
}

TEST(ErrorTrap, AFailedJumpLeavesTheTrapsJumpInForce) {
    EXPECT_EQ(run_trace("10 " T_ON " ERROR GOTO 900\n20 " T_GOTO " 5000\n30 " T_DATA
                        " no\n900 " T_DATA " trap\n"),
              "trap");
}

TEST(ErrorTrap, OverLongTargetIsRefused) {
    TracedRun f("10 " T_ON " ERROR GOTO *" + std::string(300, 'a') + "\n");
    f.run();
    EXPECT_EQ(first_box(f), error_report_text(kMemoryRange, "", 10));
    EXPECT_TRUE(f.rt.host.error_trap.empty());
}

// Fires mouse event `event` just before statement number `at` runs.
void fire_before(TracedRun& f, uint64_t at, int event) {
    f.platform.statement_hook = [&f, at, event](uint64_t count) {
        f.record();
        if (count == at) fire_event_trap(f.rt, event);
    };
}

const std::string kClickProgram =
    "10 " T_ON " MOUSE(2) GOSUB *click\n20 " T_MOUSE " (2)%s\n30 " T_DATA " a\n40 " T_DATA
    " b\n50 " T_MOUSE " (2)ON\n60 " T_DATA " c:" T_END "\n100 *click:" T_DATA " click:" T_RETURN
    "\n";

std::string click_run(const char* state, uint64_t at) {
    std::string text = kClickProgram;
    text.replace(text.find("%s"), 2, state);
    TracedRun f(text);
    fire_before(f, at, 2);
    f.run();
    return f.trace;
}

TEST(MouseTraps, AnEventRunsTheTrapAfterTheCurrentStatement) {
    EXPECT_EQ(click_run("ON", 3), "a click b c");
    EXPECT_EQ(click_run("OFF", 3), "a b c");
    // Stopped: the press is remembered and delivered once when the trap goes on.
    EXPECT_EQ(click_run("STOP", 3), "a b click c");
}

TEST(MouseTraps, OffForgetsAMissedEventAndOnDeliversItOnce) {
    TracedRun f("10 " T_ON " MOUSE(3) GOTO 100\n20 " T_MOUSE " (3)stop\n30 " T_DATA
                " a\n40 " T_MOUSE " (3)off\n50 " T_MOUSE " (3)on\n60 " T_DATA " b:" T_END
                "\n100 " T_DATA " trap\n");
    fire_before(f, 3, 3);
    f.run();
    EXPECT_EQ(f.trace, "a b");
    TracedRun g("10 " T_ON " MOUSE(3) GOSUB 100\n20 " T_MOUSE " (3)stop\n30 " T_DATA
                " a\n40 " T_MOUSE " (3)on\n50 " T_MOUSE " (3)on\n60 " T_DATA " b:" T_END
                "\n100 " T_DATA " trap:" T_RETURN "\n");
    fire_before(g, 3, 3);
    g.run();
    EXPECT_EQ(g.trace, "a trap b");
}

TEST(MouseTraps, SwitchArgumentsAreChecked) {
    struct Case {
        std::string line;
        int error;
    } cases[] = {
        {"10 " T_MOUSE " 2)ON\n", kSyntaxError},
        {"10 " T_MOUSE " (2ON\n", kSyntaxError},
        {"10 " T_MOUSE " (6)ON\n", kOutOfRange},
        {"10 " T_MOUSE " (0)OFF\n", kOutOfRange},
        {"10 " T_MOUSE " (2) ON\n", kSyntaxError},
        {"10 " T_MOUSE " (2)START\n", kSyntaxError},
        {"10 " T_ON " MOUSE(6) GOTO 10\n", kOutOfRange},
        {"10 " T_ON " MOUSE(1) GOTO *" + std::string(260, 'x') + "\n", kMemoryRange},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        TracedRun f(c.line);
        f.run();
        EXPECT_EQ(first_box(f), error_report_text(c.error, "", 10));
    }
}

TEST(MouseTraps, EventsFromAnotherThreadAreQueuedSafely) {
    TracedRun f("10 " T_ON " MOUSE(1) GOSUB 100\n20 " T_MOUSE " (1)on\n30 " T_GOTO
                " 30\n100 " T_DATA " t:" T_END "\n");
    std::atomic<bool> done{false};
    std::thread events([&] {
        while (!done) {
            fire_event_trap(f.rt, 1);
            std::this_thread::yield();
        }
    });
    f.run();
    done = true;
    events.join();
    // The trap fires at every statement boundary while events keep coming, so line 100 may run
    // again before END is reached: only whole runs of it may show.
    ASSERT_FALSE(f.trace.empty());
    std::string whole_runs = "t";
    while (whole_runs.size() < f.trace.size())
        whole_runs += " t";
    EXPECT_EQ(f.trace, whole_runs);
}

}  // namespace
}  // namespace quillon::testing
