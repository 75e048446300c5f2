// The run loop, the dispatcher, refused statements and the program-end clean-up.
#include <gtest/gtest.h>

#include "host/error_report.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

TEST(RunLoop, EmptyProgramEndsAtOnce) {
    RuntimeFixture f("");
    EXPECT_EQ(f.run(), 1);
    EXPECT_TRUE(f.rt.host.stop);
    EXPECT_TRUE(f.platform.boxes.empty());
}

TEST(RunLoop, ChainIsRefusedWithItsLine) {
    RuntimeFixture f("1 \n10 \x10\x71 \"x\"\n20 \x10\x78\n");
    EXPECT_EQ(f.run(), 0);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].title, "Basic - Error");
    EXPECT_EQ(f.platform.boxes[0].icon, MessageIcon::Error);
    EXPECT_EQ(f.platform.boxes[0].text,
              "Chain \x96\xBD\x97\xDF\x8C\xEA\x82\xCD\x8Eg\x97p\x82\xC5\x82\xAB\x82\xDC\x82\xB9"
              "\x82\xF1\n\nError line:10");
}

TEST(RunLoop, UnknownTokenReportsItsBytes) {
    RuntimeFixture f("120 \x10\x99\n");
    EXPECT_EQ(f.run(), 0);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text, error_report_text(3, "\x10\x99", 120));
}

TEST(RunLoop, EndStopsBeforeLaterLines) {
    RuntimeFixture f("10 \x10\x78\n20 \x10\x71\n");
    EXPECT_EQ(f.run(), 0);
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_TRUE(f.rt.host.cleaned_up);
}

TEST(RunLoop, LastLineWithoutLineFeedStillRuns) {
    RuntimeFixture f("10 \x10\x63 1\n20 \x10\x7D");
    EXPECT_EQ(f.run(), 0);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_NE(f.platform.boxes[0].text.find("Error line:20"), std::string::npos);
}

TEST(RunLoop, LineNumberOverNineteenCharactersIsRefused) {
    RuntimeFixture f(std::string(20, '1') + " \x10\x78\n");
    EXPECT_EQ(f.run(), 0);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text.substr(0, error_message(1, "").size()),
              error_message(1, ""));
}

TEST(RunLoop, StatementOverItsLimitIsRefused) {
    RuntimeFixture f("10 \x10\x63 " + std::string(9000, 'a') + "\n");
    f.rt.host.data_list.clear();
    EXPECT_EQ(f.run(), 0);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].title, "Basic - Error");
}

TEST(RunLoop, BareIfKeepsItsToken) {
    RuntimeFixture f("10 \x10\x20 \n");
    EXPECT_EQ(f.run(), 1);
    // Dispatched as IF, whose empty condition is false, not as an assignment (error 2).
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(f.rt.host.statements_run, 1u);
}

TEST(RunLoop, CleanUpResetsColoursOnce) {
    RuntimeFixture f("10 \x10\x78\n");
    f.rt.graphics.text_colour = 0x0000FF;
    f.rt.graphics.background_colour = kTransparent;
    f.run();
    EXPECT_EQ(f.rt.graphics.text_colour, kWhite);
    EXPECT_EQ(f.rt.graphics.background_colour, static_cast<int32_t>(kBlack));
    f.rt.graphics.text_colour = 0x0000FF;
    program_end_cleanup(f.rt);  // the window's destruction finds nothing left to release
    EXPECT_EQ(f.rt.graphics.text_colour, 0x0000FFu);
}

TEST(DataList, MarkersAndItems) {
    RuntimeFixture f("10 *start\n20 \x10\x63 1, 2 ,3\n");
    EXPECT_EQ(f.rt.host.data_list, "\x01n10,\x01v*start,\x01n20,1,2,3");
}

TEST(DataList, QuotedItemsKeepBlanksAndLabelsBeforeData) {
    RuntimeFixture f("10 *here: \x10\x63 \" a, b \" , c\n20 \x10\x78\n");
    EXPECT_EQ(f.rt.host.data_list, "\x01n10,\x01v*here,\" a, b \",c,\x01n20");
}

TEST(DataList, ProgramWithoutDataHoldsOnlyMarkers) {
    RuntimeFixture f("1 \n10 *a\n20 \x10\x78\n\n");
    EXPECT_EQ(f.rt.host.data_list, "\x01n1,\x01n10,\x01v*a,\x01n20");
}

TEST(ErrorRoutine, MessagesAndFormats) {
    EXPECT_EQ(error_message(3, "xy"),
              "xy \x96\xB3\x8C\xF8\x82\xC8\x8E\xAF\x95\xCA\x8Eq\x82\xC5\x82\xB7");
    EXPECT_EQ(error_message(42, "x"), "");
    EXPECT_EQ(error_report_text(102, "", 7).substr(error_message(102, "").size()),
              "\n\nWarning line:7");
    EXPECT_STREQ(error_report_title(101), "Basic - Warning");
    EXPECT_STREQ(error_report_title(99), "Basic - Error");
}

TEST(ErrorRoutine, LongTextIsCutAtACharacterBoundary) {
    std::string text(254, 'a');
    text += "\x82\xA0";  // a double-byte character across the 255-byte limit
    std::string message = error_message(99, text);
    EXPECT_EQ(message, std::string(254, 'a'));
}

TEST(ErrorRoutine, WarningsDoNotStop) {
    RuntimeFixture f("10 \x10\x78\n");
    report_error(f.rt, 102);
    EXPECT_FALSE(f.rt.host.stop);
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].icon, MessageIcon::Information);
}

TEST(Settings, DefaultIsWrittenAndReadBack) {
    RuntimeFixture f;
    EXPECT_EQ(f.platform.settings["Software\\Wrenfield\\Quillon"]["RS232C"], "1 9600 8 0 0 1 0");
    f.platform.settings["Software\\Wrenfield\\Quillon"]["RS232C"] = "2 4800 7 1 2 2 1";
    initialise_settings(f.rt);
    EXPECT_EQ(f.rt.devices.serial.values, (std::array<int, 7>{2, 4800, 7, 1, 2, 2, 1}));
}

TEST(Settings, MissingValueIsWrittenWithTheDefault) {
    RuntimeFixture f;
    f.platform.settings["Software\\Wrenfield\\Quillon"].clear();
    initialise_settings(f.rt);
    EXPECT_EQ(f.platform.settings["Software\\Wrenfield\\Quillon"]["RS232C"], "1 9600 8 0 0 1 0");
    EXPECT_EQ(f.rt.devices.serial.values[1], 9600);
}

}  // namespace
}  // namespace quillon::testing
