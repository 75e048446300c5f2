// Program images: writing and reading them back, files without an image, and the font record
// made from the thirteen numbers and the face name.
#include <gtest/gtest.h>

#include "host/program_image.h"

namespace quillon {
namespace {

using namespace std::string_literals;

const std::string kFace = "\x82l\x82r \x96\xBE\x92\xA9";  // ＭＳ 明朝
const std::string kNumbers = "-16 0 0 0 0 0 0 0 128 0 0 0 0";

ProgramImage image_of(std::string text) {
    return ProgramImage{kFace, kNumbers, std::move(text)};
}

TEST(ProgramImage, WrittenLayoutAndReadBack) {
    std::string bytes = *write_program_image(image_of("1 \n10 \x10\x78\n\n"));
    EXPECT_EQ(bytes, kFace + "\x09" + kNumbers + "\x1D" + "1 \n10 \x10\x78\n\n" + "\x00\x0A"s);
    auto image = read_program_image("runtime bytes \x01\x02\xFF" + bytes);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->face, kFace);
    EXPECT_EQ(image->font_numbers, kNumbers);
    EXPECT_EQ(image->text, "1 \n10 \x10\x78\n\n");
}

TEST(ProgramImage, EmptyProgramText) {
    auto image = read_program_image(*write_program_image(image_of("")));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->text, "");
}

TEST(ProgramImage, LengthsAreBigEndianUpTo65535) {
    std::string text(65535, 'a');
    std::string bytes = *write_program_image(image_of(text));
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xFF");
    EXPECT_EQ(read_program_image(bytes)->text.size(), 65535u);
    EXPECT_FALSE(write_program_image(image_of(std::string(65536, 'a'))));
    EXPECT_FALSE(write_program_image(ProgramImage{std::string(256, 'f'), kNumbers, ""}));
}

TEST(ProgramImage, TruncatedFilesAreRefused) {
    std::string bytes = *write_program_image(image_of("10 \x10\x78\n"));
    for (std::size_t cut = 1; cut < bytes.size(); ++cut)
        EXPECT_FALSE(read_program_image(bytes.substr(cut))) << cut;
    std::string why;
    EXPECT_FALSE(read_program_image(bytes.substr(3), &why));
    EXPECT_EQ(why, "the face name does not fit the file");
    EXPECT_FALSE(read_program_image("x", &why));
    EXPECT_EQ(why, "the file is too short to hold a program image");
}

TEST(ProgramImage, FilesWithoutAnImageAreRefused) {
    std::string why;
    EXPECT_FALSE(read_program_image("10 PRINT 1\n", &why));
    EXPECT_EQ(why, "the program length does not fit the file");
    // Lengths that fit, but no thirteen numbers where the font should be.
    std::string fake =
        "face\x04"
        "1 2 3\x05"
        "ab\x00\x02"s;
    EXPECT_FALSE(read_program_image(fake, &why));
    EXPECT_EQ(why, "the font numbers are not thirteen integers");
    EXPECT_FALSE(read_program_image(""));
}

TEST(FontRecord, ThirteenNumbersIntoTheRecord) {
    FontRecord r = parse_font_record(kFace, "-24 8 900 900 700 1 1 1 128 3 2 1 49");
    EXPECT_EQ(r.height, -24);
    EXPECT_EQ(r.width, 8);
    EXPECT_EQ(r.escapement, 900);
    EXPECT_EQ(r.orientation, 900);
    EXPECT_EQ(r.weight, 700);
    EXPECT_EQ(r.italic, 1);
    EXPECT_EQ(r.underline, 1);
    EXPECT_EQ(r.strike_out, 1);
    EXPECT_EQ(r.charset, 128);
    EXPECT_EQ(r.out_precision, 3);
    EXPECT_EQ(r.clip_precision, 2);
    EXPECT_EQ(r.quality, 1);
    EXPECT_EQ(r.pitch_and_family, 49);
    EXPECT_EQ(r.face, kFace);
}

TEST(FontRecord, ScannedLikeDecimalConversions) {
    FontRecord r = parse_font_record("", "-12 +5 --3 4");  // stops where "%d" would
    EXPECT_EQ(r.height, -12);
    EXPECT_EQ(r.width, 5);
    EXPECT_EQ(r.escapement, 0);
    EXPECT_EQ(r.orientation, 0);
    r = parse_font_record("", "1 2 3 4 5 6 7 8 300 0 0 0 0");
    EXPECT_EQ(r.charset, 300 & 0xFF);  // byte fields keep their low byte
    r = parse_font_record("", "99999999999999999999");
    EXPECT_EQ(r.height, 32767);  // saturated as "%d" does, then clamped
}

TEST(FontRecord, ValuesClampedToWhatTheRasterizerUses) {
    // -2147483648 has no magnitude in 32 bits: the width must never be negated as it stands.
    FontRecord r = parse_font_record("", "-2147483648 -2147483648 -3700 7300 99999 0 0 0 128");
    EXPECT_EQ(r.height, -32767);
    EXPECT_EQ(r.width, -32767);
    EXPECT_EQ(r.escapement, -100);  // angles modulo a full turn
    EXPECT_EQ(r.orientation, 100);
    EXPECT_EQ(r.weight, 1000);
    EXPECT_EQ(clamp_font_number(1, 24), 24);
    EXPECT_EQ(clamp_font_number(4, -5), 0);
    EXPECT_EQ(clamp_font_number(8, 128), 128);
}

TEST(FontRecord, FaceNameOf31BytesUsedWholeLongerCutAtACharacter) {
    std::string face31 = std::string(29, 'a') + "\x96\xBE";  // 29 + one double-byte character
    EXPECT_EQ(parse_font_record(face31, kNumbers).face, face31);
    std::string face32 = std::string(30, 'a') + "\x96\xBE";
    EXPECT_EQ(parse_font_record(face32, kNumbers).face, std::string(30, 'a'));
    EXPECT_EQ(cut_face_name(std::string(40, 'b')), std::string(31, 'b'));
    EXPECT_EQ(cut_face_name("ab\0cd"s), "ab");
    EXPECT_EQ(cut_face_name("ab\x96"), "ab");  // a lead byte without its trail byte
}

}  // namespace
}  // namespace quillon
