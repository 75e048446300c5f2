// MCI's command interpreter on fake media streams: open with types and aliases, play with
// from/to and notify, the completion assignment, cut-short plays, close all, and the
// "MCI error:" reports for every way a command can be wrong.
#include <gtest/gtest.h>

#include "devices/sound.h"
#include "expr/variables.h"
#include "host/error_report.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

struct StreamLog {
    std::vector<std::string> calls;
    std::vector<std::function<void()>> ended;  // the completion of each play
    int open = 0;
};

class FakeStream : public MediaStream {
  public:
    FakeStream(StreamLog& log, std::string name) : log_(log), name_(std::move(name)) {
        ++log_.open;
    }
    ~FakeStream() override { --log_.open; }
    int64_t length_ms() const override { return 1000; }
    int64_t position_ms() const override { return position_; }
    bool playing() const override { return playing_; }
    bool paused() const override { return false; }
    void play(int64_t from, int64_t to, std::function<void()> ended) override {
        log_.calls.push_back(name_ + " play " + std::to_string(from) + "-" + std::to_string(to));
        log_.ended.push_back(std::move(ended));
        position_ = to;
    }
    void stop() override { log_.calls.push_back(name_ + " stop"); }
    void pause() override { log_.calls.push_back(name_ + " pause"); }
    void resume() override { log_.calls.push_back(name_ + " resume"); }
    void seek(int64_t ms) override {
        log_.calls.push_back(name_ + " seek " + std::to_string(ms));
        position_ = ms;
    }

  private:
    StreamLog& log_;
    std::string name_;
    int64_t position_ = 0;
    bool playing_ = false;
};

struct MciFixture : RuntimeFixture {
    StreamLog log;
    std::vector<std::string> paths;
    MciFixture() {
        rt.devices.program_folder = "/music";
        platform.media_device = [this](const std::string& path, MediaKind kind,
                                       MediaFailure& failure) -> std::unique_ptr<MediaStream> {
            paths.push_back(path + (kind == MediaKind::Sequence ? " midi" : " wave"));
            if (path.find("missing") != std::string::npos)
                return failure = MediaFailure::NotFound, nullptr;
            if (path.find("broken") != std::string::npos)
                return failure = MediaFailure::BadFormat, nullptr;
            return std::make_unique<FakeStream>(log, path.substr(path.rfind('/') + 1));
        };
        rt.host.running = true;
    }
    // Runs one command; the reason of an MCI error, or "" when it succeeded. An error ends the
    // program, which closes every device: `reopen` opens a.wav as "s" again first.
    std::string command(std::string_view text, bool target = false, bool reopen = false) {
        platform.boxes.clear();
        rt.host.stop = false;
        rt.host.cleaned_up = false;
        if (reopen && rt.devices.sound.media.empty())
            run_media_command(rt, "open a.wav alias s", false);
        run_media_command(rt, text, target);
        if (platform.boxes.empty()) return "";
        std::string box = platform.boxes[0].text;
        return box.substr(0, box.find("\n\n"));
    }
    std::string variable(const std::string& name) {
        std::string value;
        get_variable(rt, name, value);
        return value;
    }
};

TEST(Mci, OpenPlayAndCloseWithAliasesAndTypes) {
    MciFixture f;
    EXPECT_EQ(f.command("open sound\\a.wav type waveaudio alias se"), "");
    EXPECT_EQ(f.command("open \"/abs/my song.mid\" alias BGM"), "");
    EXPECT_EQ(f.command("open tune.MID type mpegvideo"), "");
    EXPECT_EQ(f.paths, (std::vector<std::string>{"/music/sound/a.wav wave", "/abs/my song.mid midi",
                                                 "/music/tune.MID wave"}));
    EXPECT_EQ(f.command("play SE from 100 to 400"), "");
    EXPECT_EQ(f.command("play bgm"), "");
    EXPECT_EQ(f.command("play tune.mid from 0"), "");
    EXPECT_EQ(f.command("pause se"), "");
    EXPECT_EQ(f.command("resume se"), "");
    EXPECT_EQ(f.command("seek se to end"), "");
    EXPECT_EQ(f.command("seek se to 250"), "");
    EXPECT_EQ(f.command("status se position"), "");
    EXPECT_EQ(f.command("set bgm time format milliseconds"), "");
    EXPECT_EQ(f.command("stop all"), "");
    EXPECT_EQ(f.log.calls,
              (std::vector<std::string>{"a.wav play 100-400", "my song.mid play 0-1000",
                                        "tune.MID play 0-1000", "a.wav pause", "a.wav resume",
                                        "a.wav seek 1000", "a.wav seek 250", "a.wav stop",
                                        "my song.mid stop", "tune.MID stop"}));
    EXPECT_EQ(f.command("close se"), "");
    EXPECT_EQ(f.log.open, 2);
    EXPECT_EQ(f.command("close all"), "");
    EXPECT_EQ(f.log.open, 0);
}

TEST(Mci, APlayWithNotifyRunsTheAssignmentOnTheInterpretersThread) {
    // The play ends while line 25 runs; the assignment runs after it, and line 30 sees it.
    MciFixture f;
    f.load(
        "10 \x10P \"open a.wav alias s\"\n20 \x10P \"play s notify\",DONE\n25 X=0\n"
        "30 \x10\x10 DONE\n");
    f.rt.devices.program_folder = "/music";
    f.platform.statement_hook = [&](uint64_t count) {
        if (count == 3) f.log.ended.back()();
    };
    f.run();
    EXPECT_TRUE(f.platform.boxes.empty());
    EXPECT_EQ(f.platform.output, " 1\n");
}

TEST(Mci, CutShortPlaysStillNotifyOnceAndOnlyWithATarget) {
    MciFixture f;
    f.rt.devices.sound.notify_assignment = "N=1";
    EXPECT_EQ(f.command("open a.wav alias s"), "");
    EXPECT_EQ(f.command("play s notify"), "");  // no variable named: nobody to tell
    EXPECT_EQ(f.command("stop s"), "");
    EXPECT_FALSE(f.rt.host.media_notified);
    EXPECT_EQ(f.command("play s notify", true), "");
    EXPECT_EQ(f.command("stop s", true), "");  // aborted: the notice comes anyway
    EXPECT_TRUE(f.rt.host.media_notified);
    f.rt.host.media_notified = false;
    f.log.ended.back()();  // an end after the stop is not a second notice
    EXPECT_FALSE(f.rt.host.media_notified);
    EXPECT_EQ(f.command("play s notify", true), "");
    EXPECT_EQ(f.command("play s from 0"), "");  // superseded by the next play
    EXPECT_TRUE(f.rt.host.media_notified);
    run_media_notification(f.rt);
    EXPECT_EQ(f.variable("N"), "1");
}

TEST(Mci, ErrorsNameTheReasonAndWhatItConcerns) {
    MciFixture f;
    auto mci_error = [](std::string reason, std::string about) {
        return error_message(kOwnMessage, "MCI error:" + reason + " (" + about + ")");
    };
    const std::string not_open =
        "\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xBD\x83"
        "f\x83o\x83"
        "C\x83X\x82\xCD\x8AJ\x82\xA9\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
    const std::string bad_parameter =
        "\x83p\x83\x89\x83\x81\x81[\x83^\x81[\x82\xAA\x90\xB3\x82\xB5\x82\xAD\x82\xA0\x82\xE8\x82"
        "\xDC\x82\xB9\x82\xF1";
    const std::string out_of_range =
        "\x8Ew\x92\xE8\x82\xB3\x82\xEA\x82\xBD\x88\xCA\x92u\x82\xAA\x94\xCD\x88\xCD\x8AO\x82\xC5"
        "\x82\xB7";
    EXPECT_EQ(f.command("play missing", false, true), mci_error(not_open, "missing"));
    EXPECT_EQ(f.command("stop x", false, true), mci_error(not_open, "x"));
    EXPECT_EQ(f.command("play s from 2000", false, true), mci_error(out_of_range, "2000"));
    EXPECT_EQ(f.command("play s from 500 to 100", false, true), mci_error(out_of_range, "100"));
    EXPECT_EQ(f.command("play s from", false, true), mci_error(bad_parameter, "from"));
    EXPECT_EQ(f.command("play s from -5", false, true), mci_error(bad_parameter, "-5"));
    EXPECT_EQ(f.command("play s repeat", false, true), mci_error(bad_parameter, "repeat"));
    EXPECT_EQ(f.command("seek s", false, true), mci_error(bad_parameter, "s"));
    EXPECT_EQ(f.command("status s volume", false, true), mci_error(bad_parameter, "volume"));
    EXPECT_EQ(f.command("open a.wav alias S", false, true).find("MCI error:\x82\xBB\x82\xCC"),
              0u);  // in use
    EXPECT_EQ(f.command("open missing.wav", false, true).find("MCI error:\x8Ew\x92\xE8"),
              0u);  // not found
    EXPECT_NE(f.command("open broken.wav", false, true).find("(broken.wav)"), std::string::npos);
    EXPECT_NE(f.command("open cd type cdaudio", false, true).find("(cdaudio)"), std::string::npos);
    EXPECT_NE(f.command("set s time format frames", false, true).find("(frames)"),
              std::string::npos);
    EXPECT_NE(f.command("record s", false, true).find("(record)"), std::string::npos);
    EXPECT_NE(f.command("close", false, true).find("(close)"), std::string::npos);
    EXPECT_EQ(f.command("", false, true),
              error_message(kOwnMessage,
                            "MCI error:\x83R\x83}\x83\x93\x83h\x82\xAA\x82\xA0\x82"
                            "\xE8\x82\xDC\x82\xB9\x82\xF1"));
    EXPECT_EQ(f.rt.devices.sound.media.size(), 0u);  // the last error closed the device
}

TEST(Mci, WithoutMediaDevicesEveryOpenFailsSoundly) {
    RuntimeFixture f("10 \x10P \"play x.wav wait\"\n20 \x10\x10 2\n");
    f.run();
    ASSERT_EQ(f.platform.boxes.size(), 1u);
    EXPECT_EQ(f.platform.boxes[0].text.rfind("MCI error:", 0), 0u);
    EXPECT_EQ(f.platform.output, "");
}

}  // namespace
}  // namespace quillon::testing
