// The POSIX side of files and ports: program names mapped to paths (drive letters, backslashes,
// letter case, Shift-JIS names), folder listings, exclusive files, and termios settings read
// back from a pseudo-terminal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "fake_platform.h"
#include "platform/file_system.h"
#include "platform/posix/host_paths.h"
#include "platform/posix/serial_baud.h"
#include "platform/posix/serial_port.h"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;

const std::string kDataSjis = "\x83\x66\x81\x5B\x83\x5E";  // データ
const std::string kDataUtf8 = "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF";
const std::string kSoSjis = "\x83\x5C";  // ソ: its trail byte is a backslash

struct TempFolder {
    std::string path;
    TempFolder() {
        char name[] = "/tmp/quillon-paths-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(path); }
    void touch(const std::string& relative) const { std::ofstream(path + "/" + relative) << "x"; }
};

HostPath map(std::string_view name, std::map<char, std::string> drives = {}) {
    return host_path(name, [&](char letter) -> std::optional<std::string> {
        auto found = drives.find(letter);
        if (found == drives.end()) return std::nullopt;
        return found->second;
    });
}

TEST(HostPaths, BackslashesDrivesAndNetworkNames) {
    EXPECT_EQ(map("data\\a.txt").path, "data/a.txt");
    EXPECT_EQ(map("/tmp\\x\\\\y").path, "/tmp/x/y");
    EXPECT_EQ(map("\\top\\a").path, "/top/a");
    EXPECT_EQ(map("c:\\data\\a.txt", {{'C', "/srv/c"}}).path, "/srv/c/data/a.txt");
    EXPECT_EQ(map("C:a.txt", {{'C', "/srv/c/"}}).path, "/srv/c/a.txt");
    HostPath unmapped = map("q:\\a.txt", {{'C', "/srv/c"}});
    EXPECT_EQ(unmapped.problem, PathProblem::UnmappedDrive);
    EXPECT_EQ(unmapped.drive, 'Q');
    EXPECT_EQ(map("\\\\server\\share\\a").problem, PathProblem::NetworkPath);
    // A trail byte 0x5C is part of its character, not a separator.
    EXPECT_EQ(map(kSoSjis + "\\a").path, "\xE3\x82\xBD/a");
}

TEST(HostPaths, NamesNoFileMayHoldAreRefused) {
    for (std::string bad : {std::string("a\x07.txt"), std::string("a\0b", 3), std::string("a?.txt"),
                            std::string("a*"), std::string("x\\y:z"), std::string("a|b"),
                            std::string("\"q\""), std::string("1:\\x")})
        EXPECT_EQ(map(bad).problem, PathProblem::BadName) << bad;
    // A trail byte 0x7C is part of its character, not a "|".
    EXPECT_EQ(map("\x8B\x7C.txt").problem, PathProblem::None);
}

TEST(HostPaths, ShiftJisNamesAreUtf8OnDiskAndBack) {
    EXPECT_EQ(disk_name_of(kDataSjis + ".txt"), kDataUtf8 + ".txt");
    EXPECT_EQ(program_name_of(kDataUtf8 + ".txt"), kDataSjis + ".txt");
    // Bytes code page 932 cannot read stay as they are, both ways.
    EXPECT_EQ(disk_name_of("\xFD\xFE"), "\xFD\xFE");
    EXPECT_EQ(program_name_of("\xFD\xFE"), "\xFD\xFE");
    // A Unicode name without a Shift-JIS form keeps its bytes, so it can be opened again.
    EXPECT_EQ(program_name_of("caf\xC3\xA9"), "caf\xC3\xA9");
}

TEST(HostPaths, LetterCaseIsFoundWhenTheExactNameIsMissing) {
    TempFolder dir;
    fs::create_directory(dir.path + "/Data");
    dir.touch("Data/Scores.TXT");
    dir.touch("Data/" + kDataUtf8 + ".txt");
    dir.touch("Data/caf\xC3\xA9");
    EXPECT_EQ(map(dir.path + "\\DATA\\scores.txt").path, dir.path + "/Data/Scores.TXT");
    EXPECT_EQ(map(dir.path + "\\data\\" + kDataSjis + ".TXT").path,
              dir.path + "/Data/" + kDataUtf8 + ".txt");
    EXPECT_EQ(map(dir.path + "\\data\\CAF\xC3\xA9").path, dir.path + "/Data/caf\xC3\xA9");
    // Missing names keep their spelling below the last folder found.
    EXPECT_EQ(map(dir.path + "\\DATA\\New\\Sub.txt").path, dir.path + "/Data/New/Sub.txt");
    // The exact name wins over one that differs in case.
    dir.touch("Data/scores.txt");
    EXPECT_EQ(map(dir.path + "\\Data\\scores.txt").path, dir.path + "/Data/scores.txt");
    EXPECT_TRUE(
        same_name_ignoring_case("\x82\x81"
                                "b",
                                "\x82\x60"
                                "B"));                              // ａb, ＡB
    EXPECT_FALSE(same_name_ignoring_case("\x83\x41", "\x83\x61"));  // trail bytes A, a
}

TEST(HostPaths, ListingsPutDotsFirstThenNamesIgnoringCase) {
    TempFolder dir;
    for (const char* name : {"b.txt", "A.txt", "_x", "C"})
        dir.touch(name);
    fs::create_directory(dir.path + "/sub");
    FakePlatform platform;
    auto entries = platform.file_system().list_folder(dir.path + "\\");
    std::string order;
    for (const auto& entry : entries)
        order += entry.name + (entry.folder ? "/ " : " ");
    EXPECT_EQ(order, "./ ../ A.txt b.txt C sub/ _x ");
    EXPECT_TRUE(platform.file_system().list_folder(dir.path + "\\missing").empty());
}

TEST(PosixFiles, AFileIsHeldByOneChannelAtATime) {
    TempFolder dir;
    FakePlatform platform;
    FileSystem& files = platform.file_system();
    std::string name = dir.path + "\\held.txt";
    auto first = files.open_file(name, Access::ReadWrite, false);
    ASSERT_TRUE(first);
    EXPECT_FALSE(files.open_file(name, Access::Read, false));
    EXPECT_FALSE(files.open_file(name, Access::Write, true));
    EXPECT_FALSE(files.remove_file(name));
    std::atomic<bool> stop{false};
    EXPECT_TRUE(first->write("kept", stop));
    first.reset();
    EXPECT_EQ(fs::file_size(dir.path + "/held.txt"), 4u);  // the refused truncation did nothing
    EXPECT_TRUE(files.remove_file(name));
    EXPECT_FALSE(files.remove_file(name));
    // A folder, a named pipe and a path through a missing folder are no files.
    EXPECT_FALSE(files.open_file(dir.path, Access::Read, false));
    ASSERT_EQ(::mkfifo((dir.path + "/pipe").c_str(), 0600), 0);
    EXPECT_FALSE(files.open_file(dir.path + "\\pipe", Access::Write, false));
    EXPECT_FALSE(files.open_file(dir.path + "\\no\\x.txt", Access::Write, false));
    EXPECT_FALSE(files.open_file(dir.path + "\\" + std::string(10000, 'n'), Access::Write, false));
}

// A pseudo-terminal pair; the runtime opens the slave as COM1.
struct PortPair {
    int master = -1;
    int slave = -1;
    std::string path;
    PortPair() {
        char name[128];
        EXPECT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        path = name;
    }
    ~PortPair() {
        ::close(slave);
        ::close(master);
    }
    termios line() const {
        termios t{};
        ::tcgetattr(slave, &t);
        return t;
    }
};

TEST(SerialPorts, LineSettingsAreAppliedWithTermios) {
    PortPair pair;
    FakePlatform platform;
    platform.settings["Serial ports"]["COM1"] = pair.path;
    PortSettings even_7_s;  // COM1:E72S with the default fields
    even_7_s.parity = 2;
    even_7_s.data_bits = 7;
    even_7_s.stop_bits = 1;
    even_7_s.rts_cts = true;
    auto port = platform.file_system().open_port("COM1", Access::ReadWrite, even_7_s);
    ASSERT_TRUE(port);
    // A pseudo-terminal keeps 8 data bits and no parity whatever it is told (see the next
    // test for those); parity checking shows the even parity asked for.
    termios t = pair.line();
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), tcflag_t(IXON | IXOFF | INPCK));
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);  // raw: bytes pass unchanged
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    // Held: a second open of the same port is refused at once.
    EXPECT_FALSE(platform.file_system().open_port("com1", Access::ReadWrite, even_7_s));
    port.reset();

    PortSettings plain;  // the defaults: 9600 baud, 8 data bits, no parity, one stop bit, XON/XOFF
    plain.baud = 256000;
    port = platform.file_system().open_port("COM1", Access::ReadWrite, plain);
    ASSERT_TRUE(port);
    t = pair.line();
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | INPCK), tcflag_t(IXON | IXOFF));
    EXPECT_EQ(port_baud(pair.slave), 256000);
}

TEST(SerialPorts, DataBitsAndParityMapToTheirFlags) {
    struct Case {
        int data_bits, parity;
        tcflag_t flags;
    };
    const Case cases[] = {{8, 0, CS8},
                          {7, 1, CS7 | PARENB | PARODD},
                          {7, 2, CS7 | PARENB},
                          {6, 3, CS6 | PARENB | PARODD | CMSPAR},
                          {5, 4, CS5 | PARENB | CMSPAR}};
    for (const Case& c : cases) {
        termios line{};
        line.c_cflag = CS8 | PARENB | PARODD | CMSPAR;
        PortSettings s;
        s.data_bits = c.data_bits;
        s.parity = c.parity;
        EXPECT_TRUE(apply_port_settings(line, s));
        EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR), c.flags) << c.data_bits;
        EXPECT_EQ((line.c_iflag & INPCK) != 0, c.parity != 0);
    }
    termios line{};
    PortSettings fast;
    fast.baud = 128000;
    EXPECT_FALSE(apply_port_settings(line, fast));  // set with the arbitrary-rate call instead
}

TEST(SerialPorts, SettingsAUartCannotTakeLeaveTheLineAsItWas) {
    PortPair pair;
    termios before = pair.line();
    PortSettings odd;
    odd.data_bits = 9;
    odd.parity = 1;
    FakePlatform platform;
    platform.settings["Serial ports"]["COM2"] = pair.path;
    ASSERT_TRUE(platform.file_system().open_port("COM2", Access::ReadWrite, odd));
    termios after = pair.line();
    EXPECT_EQ(after.c_cflag & (CSIZE | PARENB | PARODD),
              before.c_cflag & (CSIZE | PARENB | PARODD));
}

TEST(SerialPorts, PortsMapThroughTheSettingsWithTtySDefaults) {
    FakePlatform platform;
    PortSettings any;
    // /dev/ttyS98 does not exist here: the open fails at once, and the default is written.
    EXPECT_FALSE(platform.file_system().open_port("com99", Access::ReadWrite, any));
    EXPECT_EQ(platform.settings["Serial ports"]["COM99"], "/dev/ttyS98");
    EXPECT_FALSE(platform.file_system().open_port("COM0", Access::ReadWrite, any));
    EXPECT_EQ(platform.settings["Serial ports"].count("COM0"), 0u);
}

TEST(SerialPorts, ReadsWaitForBytesUntilStopped) {
    PortPair pair;
    FakePlatform platform;
    platform.settings["Serial ports"]["COM1"] = pair.path;
    auto port = platform.file_system().open_port("COM1", Access::ReadWrite, PortSettings{});
    ASSERT_TRUE(port);
    std::atomic<bool> stop{false};
    ASSERT_TRUE(port->write("AT\r\n", stop));
    char buffer[16] = {};
    EXPECT_EQ(::read(pair.master, buffer, sizeof buffer), 4);
    EXPECT_EQ(std::string(buffer, 4), "AT\r\n");
    EXPECT_EQ(::write(pair.master, "OK\r\n", 4), 4);
    ::usleep(20000);
    EXPECT_EQ(port->size(), 4);
    EXPECT_EQ(port->read(buffer, sizeof buffer, stop), 4);
    stop = true;  // nothing more arrives: the read gives up once asked to stop
    EXPECT_EQ(port->read(buffer, sizeof buffer, stop), kReadFailed);
    EXPECT_FALSE(port->seek_relative(-1));
}

}  // namespace
}  // namespace quillon::testing
