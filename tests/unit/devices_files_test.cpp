// OPEN, CLOSE and the file table: the statements' error numbers, the port-name rule and its
// settings text, resolve_path, reads and writes through the read-ahead, serial ports over a
// pseudo-terminal, bad input, and a program killed while it waits.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "devices/file_names.h"
#include "devices/file_table.h"
#include "devices/serial_settings.h"
#include "expr/variables.h"
#include "host/error_report.h"
#include "kavpack/tokenizer.h"
#include "runtime_fixture.h"

namespace quillon::testing {
namespace {

namespace fs = std::filesystem;

struct FilesTest : ::testing::Test {
    RuntimeFixture f;
    std::string folder;

    ~FilesTest() override {
        close_all_files(f.rt);
        fs::remove_all(folder);
    }

    // Which numbers are open, as seen before the program's last statement.
    std::string open_before_last;

    FilesTest() {
        char name[] = "/tmp/quillon-files-XXXXXX";
        folder = ::mkdtemp(name);
        f.rt.devices.program_folder = folder;
        f.platform.statement_hook = [this](uint64_t) {
            open_before_last.clear();
            for (int n = 1; n <= kFileSlots; ++n)
                if (file_is_open(f.rt, n)) open_before_last += std::to_string(n);
        };
    }

    // Runs source lines as a program (which closes every file as it ends).
    void run(std::string_view source) {
        auto result = kavpack::tokenize_source(source);
        ASSERT_TRUE(result.image) << result.error.message;
        f.platform.boxes.clear();
        f.rt.host.program = result.image->text;
        f.rt.host.position = 0;
        f.rt.host.stop = false;
        f.rt.host.cleaned_up = false;
        f.run();
    }
    // The error number the program stopped with, 0 when none.
    int error_number() const {
        for (const auto& box : f.platform.boxes) {
            if (box.title != "Basic - Error") continue;
            std::string message = box.text.substr(0, box.text.find("\n\n"));
            for (int n = 1; n < 100; ++n)
                if (!message.empty() && error_message(n, "") == message) return n;
            for (int n = 1; n < 100; ++n)
                if (error_message(n, "APPEND") == message) return n;
            return -1;
        }
        return 0;
    }
    std::string text(const std::string& variable) {
        std::string out;
        get_variable(f.rt, variable, out);
        return out;
    }
    std::string file(const std::string& name) const {
        std::ifstream in(folder + "/" + name, std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
    }
};

TEST_F(FilesTest, OpenAndCloseReportTheirErrorNumbers) {
    struct Case {
        const char* source;
        int error;
    };
    const Case cases[] = {
        {"OPEN \"a.txt\"", 1},                   // no blank after the name
        {"OPEN \"a.txt\" :X=1", 1},              // nothing after the name
        {"OPEN \"a\" + \"b\" AS #1", 1},         // the name ends at its first blank
        {"OPEN \"a.txt\" FOR APPEND AS #1", 3},  // a mode word of its own
        {"OPEN \"a.txt\" FOR INPUT", 1},         // FOR without a word and a blank after it
        {"OPEN \"a.txt\" FOR INPUT #1", 1},      // no AS
        {"OPEN \"a.txt\" ASS 1", 1},             // AS must stand alone
        {"OPEN \"a.txt\" AS #0", 5},             // file numbers are 1 to 9
        {"OPEN \"a.txt\" AS 10", 5},
        {"OPEN \"a.txt\" AS #12", 5},
        {"OPEN \"a.txt\" AS ##1", 5},
        {"OPEN 12 AS #1", 9},  // the name is a string expression
        {"OPEN \"no\\such\\a.txt\" FOR OUTPUT AS #1", 8},
        {"OPEN \"\" AS #1", 8},           // the program folder itself
        {"OPEN \"a\"+CHR$(7) AS #1", 8},  // a control byte
        {"OPEN STRING$(300,\"n\")+STRING$(300,\"n\") AS #1", 8},
        {"OPEN \"q:\\data.txt\" AS #1", 8},  // an unmapped drive
        {"CLOSE 0", 5},
        {"CLOSE #1x", 1},
        {"CLOSE 1,,2", 5},
        {"CLOSE 1, 2", 5},
        {"PRINT #4, 1", 7},  // not open
        {"LINE INPUT #4, A$", 7},
        {"X = EOF(4)", 7},
        {"X = LOF(#4)", 7},
        {"X$ = INPUT$(2, #4)", 7},
        {"OPEN \"r.txt\" FOR INPUT AS 1:PRINT #1, \"x\"", 7},     // a channel only for reading
        {"OPEN \"w.txt\" FOR OUTPUT AS 1:LINE INPUT #1, A$", 7},  // one only for writing
        {"OPEN \"w.txt\" FOR OUTPUT AS 1:X = EOF(#1)", 7},
    };
    for (const Case& c : cases) {
        run(c.source);
        EXPECT_EQ(error_number(), c.error) << c.source;
    }
}

TEST_F(FilesTest, CloseWalksItsItemsFromLeftToRight) {
    run("OPEN \"a\" AS 1:OPEN \"b\" AS 2:OPEN \"c\" AS #3:CLOSE #1,#3:X=1");
    EXPECT_EQ(open_before_last, "2");
    run("OPEN \"a\" AS 1:OPEN \"b\" AS 2:CLOSE 1 :X=1");
    EXPECT_EQ(open_before_last, "2");
    run("OPEN \"a\" AS 1:OPEN \"b\" AS 9:CLOSE:X=1");
    EXPECT_EQ(open_before_last, "");
    // The blank after the comma is error 5 once number 1 is closed; the trap goes on.
    run("ON ERROR GOSUB *T\nOPEN \"a\" AS 1:OPEN \"c\" AS 3:CLOSE 1, 3\nX=1:END\n*T\nRETURN");
    EXPECT_EQ(open_before_last, "3");
}

TEST_F(FilesTest, OpenKeepsAFileToOneChannel) {
    run("OPEN \"d.txt\" FOR OUTPUT AS 1:PRINT #1,\"kept\":OPEN \"D.TXT\" FOR OUTPUT AS #2");
    EXPECT_EQ(error_number(), 8);
    EXPECT_EQ(file("d.txt"), "kept\r\n");  // the refused open emptied nothing
    run("OPEN \"d.txt\" AS 1:KILL \"d.txt\"");
    EXPECT_EQ(error_number(), 7);
    run("KILL \"d.txt\":KILL \"d.txt\"");
    EXPECT_EQ(error_number(), 7);
    EXPECT_FALSE(fs::exists(folder + "/d.txt"));
    run("MKDIR \"" + folder + "/sub\":KILL \"sub\"");  // a folder is no file
    EXPECT_EQ(error_number(), 7);
}

TEST_F(FilesTest, MkdirAndFilesTakeTheCurrentDirectoryKillTheProgramFolder) {
    char name[] = "/tmp/quillon-cwd-XXXXXX";
    std::string current = ::mkdtemp(name);
    fs::path before = fs::current_path();
    fs::current_path(current);
    put("gone.txt", "x");
    std::ofstream(current + "/gone.txt") << "stays";
    run("MKDIR \"made\":KILL \"gone.txt\":CHDIR \"made\\\":MKDIR \"made\\deeper\":X=1");
    fs::current_path(before);
    EXPECT_EQ(error_number(), 0);
    EXPECT_TRUE(fs::is_directory(current + "/made/deeper"));
    EXPECT_FALSE(fs::exists(folder + "/made"));
    EXPECT_FALSE(fs::exists(folder + "/gone.txt"));
    EXPECT_TRUE(fs::exists(current + "/gone.txt"));
    EXPECT_EQ(f.rt.devices.program_folder, "made");  // one trailing backslash dropped
    fs::remove_all(current);
}

// Permissions do not bind root, so as root the programs run in a child as user nobody.
TEST_F(FilesTest, UnreadablePlacesAreOpenErrors) {
    auto error_as_user = [&](std::string_view source) {
        if (::geteuid() != 0) {
            run(source);
            return error_number();
        }
        pid_t child = ::fork();
        if (child == 0) {
            bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
            if (dropped) run(source);
            ::_exit(dropped ? error_number() : 100);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    fs::permissions(folder, fs::perms::all);  // the user nobody may enter it
    put("locked.txt", "secret");
    fs::permissions(folder + "/locked.txt", fs::perms::none);
    EXPECT_EQ(error_as_user("OPEN \"locked.txt\" FOR INPUT AS 1"), 8);
    EXPECT_EQ(error_as_user("OPEN \"locked.txt\" AS 1"), 8);
    fs::permissions(folder, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    EXPECT_EQ(error_as_user("OPEN \"new.txt\" FOR OUTPUT AS 1"), 8);
    EXPECT_EQ(error_as_user("KILL \"locked.txt\""), 7);
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(file("locked.txt"), "secret");
    EXPECT_FALSE(fs::exists(folder + "/new.txt"));
}

TEST_F(FilesTest, LongFieldsAndCountsAreRefusedWithBoundedMemory) {
    put("blob.bin", std::string(3 << 20, 'z'));  // three megabytes, no line break
    run("OPEN \"blob.bin\" FOR INPUT AS 1:LINE INPUT #1, A$");
    EXPECT_EQ(error_number(), 12);
    run("OPEN \"blob.bin\" FOR INPUT AS 1:INPUT #1, A");
    EXPECT_EQ(error_number(), 12);
    run("OPEN \"blob.bin\" FOR INPUT AS 1:A$ = INPUT$(100000, #1)");
    EXPECT_EQ(error_number(), 12);
    run("OPEN \"blob.bin\" FOR INPUT AS 1:A$ = INPUT$(3000, #1):N = LEN(A$)");
    EXPECT_EQ(error_number(), 0);
    EXPECT_EQ(text("N"), "3000");
}

TEST_F(FilesTest, ReadAheadFollowsWritesAndStepsBack) {
    std::string big;
    for (int k = 0; k < 20000; ++k)
        big += "line " + std::to_string(k) + "\r\n";  // longer than one read-ahead block
    put("big.txt", big);
    run("OPEN \"big.txt\" AS 1:FOR I = 1 TO 9000:LINE INPUT #1, L$:NEXT:PRINT #1, \"HERE\";"
        ":LINE INPUT #1, M$:E = EOF(1):S = LOF(1)");
    EXPECT_EQ(error_number(), 0);
    EXPECT_EQ(text("L$"), "\"line 8999\"");
    EXPECT_EQ(text("M$"), "\" 9000\"");  // HERE took the place of "line"
    EXPECT_EQ(text("E"), "0");
    EXPECT_EQ(text("S"), std::to_string(big.size()));
    EXPECT_EQ(file("big.txt").substr(big.find("line 9000"), 12), "HERE 9000\r\nl");
    // A carriage return that ends a read-ahead block, followed by no line feed.
    std::string lines;
    for (int k = 0; k < 655; ++k)
        lines += std::string(98, 'a') + "\r\n";
    put("cr.txt", lines + std::string(35, 'a') + "\rb\r");  // that CR is byte 65535
    run("OPEN \"cr.txt\" FOR INPUT AS 1:FOR I = 1 TO 656:LINE INPUT #1, A$:NEXT"
        ":LINE INPUT #1, B$:E = EOF(1)");
    EXPECT_EQ(text("B$"), "\"b\"");
    EXPECT_EQ(text("E"), "-1");
}

TEST(ResolvePath, NamesWithoutFolderJoinTheProgramFolder) {
    RuntimeFixture f;
    f.rt.devices.program_folder = "C:\\prog";
    auto resolved = [&](std::string name) {
        resolve_path(f.rt, name);
        return name;
    };
    EXPECT_EQ(resolved("data.txt"), "C:\\prog\\data.txt");
    EXPECT_EQ(resolved("D:\\data.txt"), "D:\\data.txt");
    EXPECT_EQ(resolved("a:b"), "a:b");
    EXPECT_EQ(resolved("sub\\\\x"), "sub\\\\x");
    EXPECT_EQ(resolved("/home/user/x"), "/home/user/x");
    // ソ ends in the byte 0x5C: followed by a backslash it is still no pair of backslashes.
    EXPECT_EQ(resolved("\x83\x5C\\x"), "C:\\prog\\\x83\x5C\\x");
    EXPECT_TRUE(ends_with_backslash("a\\"));
    EXPECT_FALSE(ends_with_backslash("\x83\x5C"));
}

TEST(PortNames, TheComRuleAndTheSettingsText) {
    SerialDefaults defaults;                     // 1 9600 8 0 0 1 0
    EXPECT_FALSE(port_name("com1", defaults));   // no colon: a file
    EXPECT_FALSE(port_name("comx:", defaults));  // a letter after com
    EXPECT_FALSE(port_name("c:\\com1:", defaults));
    auto port = port_name("com:", defaults);
    ASSERT_TRUE(port);
    EXPECT_EQ(port->device, "com1");
    EXPECT_EQ(port->settings.baud, 9600);
    EXPECT_EQ(port->settings.data_bits, 8);
    EXPECT_EQ(port->settings.parity, 0);
    EXPECT_EQ(port->settings.stop_bits, 0);
    EXPECT_TRUE(port->settings.xon_xoff);
    EXPECT_FALSE(port->settings.rts_cts);
    port = port_name("COM3:E72S", defaults);
    EXPECT_EQ(port->device, "COM3");
    EXPECT_EQ(port->settings.parity, 2);
    EXPECT_EQ(port->settings.data_bits, 7);
    EXPECT_EQ(port->settings.stop_bits, 1);
    EXPECT_TRUE(port->settings.xon_xoff);
    EXPECT_TRUE(port->settings.rts_cts);
    port = port_name("COM2:o93n", defaults);  // 9 and lower-case n keep the defaults
    EXPECT_EQ(port->settings.parity, 1);
    EXPECT_EQ(port->settings.data_bits, 8);
    EXPECT_EQ(port->settings.stop_bits, 2);
    EXPECT_TRUE(port->settings.xon_xoff);
    EXPECT_EQ(port_name("COM1:nxxN", defaults)->settings.xon_xoff, false);
    EXPECT_EQ(port_name("COM1:nxxD", defaults)->settings.rts_cts, true);
    defaults.values = {258, 12, 0x107, 1, 2, 0, 1};  // low bytes count, but not of the rate
    port = port_name("com-:", defaults);
    EXPECT_EQ(port->device, "com-2");
    EXPECT_EQ(port->settings.baud, 115200);
    EXPECT_EQ(port->settings.data_bits, 7);
    EXPECT_FALSE(port->settings.xon_xoff);
    EXPECT_EQ(baud_rate(0), 110);
    EXPECT_EQ(baud_rate(14), 256000);
    EXPECT_EQ(baud_rate(9600), 9600);
    EXPECT_EQ(baud_rate(57600), 57600);  // a rate of the table written in full
    EXPECT_EQ(baud_rate(12345), 9600);
}

// A program on COM1, which the settings map to the slave of a pseudo-terminal.
struct PortTest : FilesTest {
    int master = -1;
    int slave = -1;
    PortTest() {
        char name[128];
        EXPECT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        termios raw{};  // what the test writes arrives as it is, before the program opens
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        f.platform.settings["Serial ports"]["COM1"] = name;
    }
    ~PortTest() override {
        close_all_files(f.rt);
        ::close(slave);
        ::close(master);
    }
    std::string received() {
        std::string out;
        char buffer[256];
        ::usleep(20000);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            out.append(buffer, static_cast<std::size_t>(n));
        return out;
    }
};

TEST_F(PortTest, ProgramsTalkToTheLineBothWays) {
    ASSERT_EQ(::write(master, "12,ready\r\nOK\rxyz", 16), 16);
    ::usleep(20000);
    run("OPEN \"COM1:N81X\" AS #1:PRINT #1, \"AT\";42:W = LOF(1):INPUT #1, N, S$"
        ":LINE INPUT #1, L$:T$ = INPUT$(3, #1):E = EOF(1):PRINT #1, \"BYE\";:X = 1");
    EXPECT_EQ(error_number(), 0);
    EXPECT_EQ(received(), "AT 42\r\nBYE");
    EXPECT_EQ(text("W"), "16");
    EXPECT_EQ(text("N"), "12");
    EXPECT_EQ(text("S$"), "\"ready\"");
    EXPECT_EQ(text("L$"), "\"OK\"");
    EXPECT_EQ(text("T$"), "\"xyz\"");
    EXPECT_EQ(text("E"), "-1");  // nothing waits: EOF does not wait for the line
    termios line{};
    ::tcgetattr(slave, &line);
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));
}

// A device that ends its line with a lone CR and waits for the answer: the line is complete
// at the CR, and the line feed the device may send later with its next line is not data.
TEST_F(PortTest, ALoneCarriageReturnEndsTheLineWithoutWaiting) {
    std::thread device([&] {
        ASSERT_EQ(::write(master, "OK\r", 3), 3);
        std::string heard;
        for (int k = 0; k < 250 && heard.find("CMD") == std::string::npos; ++k)
            heard += received();
        if (heard.find("CMD") == std::string::npos) {
            f.rt.host.stop = true;  // the program never answered: end its wait
            return;
        }
        ASSERT_EQ(::write(master, "\nDONE\r\n\r", 8), 8);
        ::usleep(20000);
        ASSERT_EQ(::write(master, "\n", 1), 1);  // all that waits while the program looks
        ::usleep(600000);
        ASSERT_EQ(::write(master, "X", 1), 1);
    });
    run("OPEN \"COM1:N81N\" AS #1:LINE INPUT #1, A$:PRINT #1, \"CMD\":LINE INPUT #1, B$"
        ":LINE INPUT #1, C$:WAIT 150:E = EOF(1):D$ = INPUT$(1, #1)");
    device.join();
    EXPECT_EQ(error_number(), 0);
    EXPECT_EQ(text("A$"), "\"OK\"");
    EXPECT_EQ(text("B$"), "\"DONE\"");
    EXPECT_EQ(text("C$"), "\"\"");
    EXPECT_EQ(text("E"), "-1");
    EXPECT_EQ(text("D$"), "\"X\"");
}

TEST_F(PortTest, APortThatIsMissingOrBusyIsAnOpenError) {
    f.platform.settings["Serial ports"]["COM7"] = folder + "/missing";
    run("OPEN \"COM7:\" AS #1");
    EXPECT_EQ(error_number(), 8);
    run("OPEN \"COM1:\" AS #1:OPEN \"com1:\" AS #2");
    EXPECT_EQ(error_number(), 8);
}

TEST_F(PortTest, AWaitingReadEndsWhenTheProgramIsStopped) {
    std::thread stopper([&] {
        ::usleep(100000);
        f.rt.host.stop = true;  // as a closed window or a signal does
    });
    run("OPEN \"COM1:\" AS #1:LINE INPUT #1, L$:X=1");
    stopper.join();
    EXPECT_EQ(error_number(), 0);  // nothing is reported once the program is stopping
    EXPECT_EQ(text("X"), "0");
}

// kavrun killed with SIGTERM while it waits for a typed line keeps every record it wrote.
TEST(DataSafety, RecordsSurviveSigtermWhileTheProgramWaits) {
    char name[] = "/tmp/quillon-sigterm-XXXXXX";
    std::string dir = ::mkdtemp(name);
    std::ofstream(dir + "/safe.bas") << "OPEN \"rec.txt\" FOR OUTPUT AS #1\n"
                                        "FOR I = 1 TO 300: PRINT #1, \"record\"; I: NEXT\n"
                                        "PRINT #1, \"tail\";\n"
                                        "INPUT A$\n";
    int to_child[2];
    ASSERT_EQ(::pipe(to_child), 0);
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(to_child[0], 0);
        ::close(to_child[1]);
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        ::execl(KAVRUN_PATH, "kavrun", "--headless", (dir + "/safe.bas").c_str(), nullptr);
        ::_exit(127);
    }
    ::close(to_child[0]);
    std::string expected;
    for (int k = 1; k <= 300; ++k)
        expected += "record " + std::to_string(k) + "\r\n";
    expected += "tail";
    auto on_disk = [&] {
        std::ifstream in(dir + "/rec.txt", std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    };
    for (int k = 0; k < 3000 && on_disk() != expected; ++k)  // the program reaches its INPUT
        ::usleep(10000);
    ::usleep(50000);
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(to_child[1]);
    EXPECT_EQ(on_disk(), expected);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace quillon::testing
