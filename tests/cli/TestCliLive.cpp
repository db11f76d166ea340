// The watch's live connections: HL7 over MLLP sent by an HL7 library of others (Debian's python3-hl7) and
// by hand, acknowledged only once recorded; bad input answered and nothing changed.
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <netinet/in.h>
#include <random>
#include <spawn.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "CliSupport.h"
#include "TestHelpers.h"
#include "UFifoResult.h"
#include "UOperations.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* Python = "/usr/bin/python3";

// Sends the messages "ID CONTROL VALUE HHMM" given as arguments over one connection of the library's
// MLLPClient and prints MSA-1|MSA-2 of each reply.
const char* const Sender = R"(import sys
import hl7
from hl7.client import MLLPClient

template = ("MSH|^~\\&|AN|LAB|LIS|LAB|20260305090000||OUL^R22^OUL_R22|X|P|2.5.1\r"
            "SPM|1|||QC|||||||Q\rINV|X\rOBR|1|||GLU\r"
            "OBX|1|NM|GLU^Glucose||0|mmol/L|||||F|||20260305080000\r")
with MLLPClient("127.0.0.1", int(sys.argv[1])) as client:
    for fields in sys.argv[2:]:
        control_id, control, value, time = fields.split()
        message = hl7.parse(template)
        message.assign_field(control_id, "MSH", 1, 10)
        message.assign_field(control, "INV", 1, 1)
        message.assign_field(value, "OBX", 1, 5)
        message.assign_field("20260305%s00" % time, "OBX", 1, 14)
        reply = hl7.parse(client.send_message(str(message)).strip(b"\x0b\x1c\r").decode())
        print("%s|%s" % (reply.segment("MSA")[1], reply.segment("MSA")[2]))
)";

std::string Message(const std::string& id, const std::string& control, const std::string& value) {
    return "MSH|^~\\&|AN|LAB|LIS|LAB|20260305090000||OUL^R22^OUL_R22|" + id +
           "|P|2.5.1\rSPM|1|||QC|||||||Q\rINV|" + control + "\rOBR|1|||GLU\rOBX|1|NM|GLU^Glucose||" + value +
           "|mmol/L|||||F|||20260305080000\r";
}

std::string Block(const std::string& message) {
    return "\x0B" + message + "\x1C\r";
}

// A client of the loopback port from address `from`; -1 when it cannot connect.
int Connect(int port, const char* from = "127.0.0.1") {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &a.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return ::close(fd), -1;
    a.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return ::close(fd), -1;
    timeval tv{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    return fd;
}

// One reply block (without its framing), "" when the connection closed first; `closed` then true.
std::string Reply(int fd, bool* closed = nullptr) {
    std::string in;
    char c = 0;
    if (closed) *closed = false;
    while (true) {
        const ssize_t n = ::recv(fd, &c, 1, 0);
        if (n <= 0) {
            if (closed) *closed = n == 0 || errno == ECONNRESET;
            return "";
        }
        if (c == '\x1C') break;
        if (c != '\x0B') in += c;
    }
    ::recv(fd, &c, 1, 0); // its CR
    return in;
}

std::string Msa(const std::string& ack) {
    const size_t at = ack.find("\rMSA|");
    return at == std::string::npos ? "" : ack.substr(at + 1, ack.find('\r', at + 1) - at - 1);
}

class CompanionLive : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Cli({"--init", "inbox", "set", "--folder", inbox}).status, 0);
        for (const char* level : {"1", "2"})
            ASSERT_EQ(Cli({"map", "add", "--source", "an", "--code", "GLU", "--control",
                           level[0] == '1' ? "QC-N" : "QC-P", "--analyte", "Glucose", "--level", level})
                          .status,
                      0);
        TRun r = Cli({"source", "an", "listen=127.0.0.1:0", "protocol=mllp", "allow=127.0.0.1",
                      "listen.maxbytes=4096"});
        ASSERT_EQ(r.status, 0) << r.err;
        held = Held();
        StartWatch();
    }
    void TearDown() override {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadWholeFile(errFile);
            pid = 0;
        }
    }
    void StartWatch() {
        std::vector<std::string> args = {VARNHOLT_CLI, "--home", home, "inbox", "--watch", "--interval", "1"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        posix_spawn_file_actions_addopen(&files, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_EQ(posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&files);
        const std::string said = "source an listens on 127.0.0.1:";
        for (int k = 0; k < 100 && port == 0; ++k) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const std::string err = FileExists(errFile) ? ReadWholeFile(errFile) : "";
            if (const size_t at = err.find(said); at != std::string::npos)
                port = std::atoi(err.c_str() + at + said.size());
        }
        ASSERT_GT(port, 0) << ReadWholeFile(errFile);
    }
    TRun Cli(const std::vector<std::string>& args) { return RunCompanion("", home, args); }
    size_t Held() {
        return FileExists(home + "Varnholt.fif")
                   ? ParseQueueImage(ReadWholeFile(home + "Varnholt.fif")).size()
                   : 0;
    }
    static size_t FilesIn(const std::string& dir) {
        size_t n = 0;
        std::error_code ec;
        for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
            n += it->is_regular_file();
        return n;
    }

    TTempFolder folder;
    std::string home = folder.Path();
    std::string inbox = [this] {
        fs::create_directories(folder.Path() + "in");
        return folder.Path() + "in/";
    }();
    std::string outFile = home + "watch-out.txt", errFile = home + "watch-err.txt";
    pid_t pid = 0;
    int port = 0;
    size_t held = 0;
};

} // namespace

TEST_F(CompanionLive, MessagesFromTheLibraryAreAcknowledgedOnceRecordedAndTakenOnce) {
    if (std::system((std::string(Python) + " -c 'import hl7.client' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "python3-hl7 is not installed (apt-get install python3-hl7)";
    std::ofstream(folder.File("send.py")) << Sender;
    // The first message twice (a sender that did not see the first acknowledgement), then the second
    // level of the run.
    TRun r = Shell(std::string(Python) + " " + folder.File("send.py") + " " + std::to_string(port) +
                   " 'M1 QC-N 5.02 0800' 'M1 QC-N 5.02 0800' 'M2 QC-P 10.01 0804'");
    ASSERT_EQ(r.status, 0) << ReadWholeFile(errFile);
    EXPECT_EQ(r.out, "AA|M1\nAA|M1\nAA|M2\n");
    // Acknowledged means held: one run with both levels, the repeat adding nothing.
    ASSERT_EQ(Held(), held + 1);
    const TResu run = ParseQueueImage(ReadWholeFile(home + "Varnholt.fif")).back();
    EXPECT_FLOAT_EQ(run.Levels[0].Value, 5.02f);
    EXPECT_FLOAT_EQ(run.Levels[1].Value, 10.01f);
    EXPECT_EQ(FilesIn(inbox + "an/processed"), 3u);
    EXPECT_EQ(FilesIn(inbox + "an/failed"), 0u);
    // A new connection after the watch restarted still knows the messages.
    TearDown();
    port = 0;
    StartWatch();
    r = Shell(std::string(Python) + " " + folder.File("send.py") + " " + std::to_string(port) +
              " 'M2 QC-P 10.01 0804'");
    EXPECT_EQ(r.out, "AA|M2\n");
    EXPECT_EQ(Held(), held + 1);
}

TEST_F(CompanionLive, BadInputIsAnsweredAndChangesNothing) {
    const int c = Connect(port);
    ASSERT_GE(c, 0);
    // No HL7 at all: refused, its bytes kept in failed/; the connection goes on.
    ASSERT_GT(::send(c, Block("hello").data(), 8, MSG_NOSIGNAL), 0);
    std::string ack = Reply(c);
    EXPECT_TRUE(Msa(ack).starts_with("MSA|AR||not an HL7 message")) << ack;
    EXPECT_NE(ack.find("\rERR|"), std::string::npos) << ack;
    // A value that is not a number: an application error naming it.
    const std::string bad = Block(Message("B1", "QC-N", "5,0x"));
    ASSERT_GT(::send(c, bad.data(), bad.size(), MSG_NOSIGNAL), 0);
    ack = Reply(c);
    EXPECT_TRUE(Msa(ack).starts_with("MSA|AE|B1|")) << ack;
    // An empty block.
    ASSERT_GT(::send(c, "\x0B\x1C\r", 3, MSG_NOSIGNAL), 0);
    EXPECT_TRUE(Msa(Reply(c)).starts_with("MSA|AR||"));
    // A block larger than the source's limit: refused, and the connection closed.
    const std::string big = "\x0B" + Message("B2", "QC-N", "5.0") + std::string(5000, 'x');
    ::send(c, big.data(), big.size(), MSG_NOSIGNAL);
    ack = Reply(c);
    EXPECT_TRUE(Msa(ack).starts_with("MSA|AR|B2|the message is larger than 4096 bytes")) << ack;
    bool closed = false;
    EXPECT_EQ(Reply(c, &closed), "");
    EXPECT_TRUE(closed);
    ::close(c);
    // A peer that is not allowed is closed before anything is read.
    const int stranger = Connect(port, "127.0.0.2");
    ASSERT_GE(stranger, 0);
    const std::string good = Block(Message("G1", "QC-N", "5.0"));
    ::send(stranger, good.data(), good.size(), MSG_NOSIGNAL);
    EXPECT_EQ(Reply(stranger, &closed), "");
    EXPECT_TRUE(closed);
    ::close(stranger);

    EXPECT_EQ(Held(), held);
    EXPECT_NE(Cli({"map", "list"}).out.find("\"notMapped\":[]"), std::string::npos);
    EXPECT_EQ(FilesIn(inbox + "an/processed"), 0u);
    // The garbage, the bad value, the empty block and the bytes of the connection that sent a block too
    // large, each with its reason.
    EXPECT_EQ(FilesIn(inbox + "an/failed"), 8u);
    size_t connections = 0;
    for (const auto& e : fs::directory_iterator(inbox + "an/failed"))
        if (e.path().filename().string().starts_with("connection-") && e.path().extension() == ".hl7") {
            ++connections;
            EXPECT_NE(ReadWholeFile(e.path().string()).find("B2"), std::string::npos);
            EXPECT_NE(ReadWholeFile(e.path().string() + ".reason").find("a message of more than 4096 bytes"),
                      std::string::npos);
        }
    EXPECT_EQ(connections, 1u);
    EXPECT_EQ(FilesIn(inbox + "an") - FilesIn(inbox + "an/failed"), 0u);
    // The watch still serves.
    const int again = Connect(port);
    ::send(again, good.data(), good.size(), MSG_NOSIGNAL);
    EXPECT_EQ(Msa(Reply(again)), "MSA|AA|G1");
    ::close(again);
    EXPECT_EQ(Held(), held + 1);
}

// The watch killed at random moments while a client sends: the client sends each message again until
// it is acknowledged, and every message ends in the queue exactly once.
// The program opened on the folder serves its sources itself: the watch lets their ports go while the
// folder is in use, and listens again once it is free.
TEST_F(CompanionLive, TheWatchLetsItsPortGoWhileTheProgramIsOpen) {
    const int c = Connect(port);
    ASSERT_GE(c, 0);
    ::close(c);
    ASSERT_TRUE(Operations().Open(home, TOpenMode::Writer).Opened);
    bool free = false;
    for (int k = 0; k < 100 && !free; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        int probe = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
        const int one = 1;
        ::setsockopt(probe, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        free = ::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(probe);
    }
    Operations().Close();
    EXPECT_TRUE(free) << "the port is still held while the folder is open elsewhere: "
                      << ReadWholeFile(errFile);
    // Free again: the watch listens anew (on a port of its own, as the source asks for port 0).
    const std::string said = "source an listens on 127.0.0.1:";
    int again = 0;
    for (int k = 0; k < 100 && again == 0; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::string err = ReadWholeFile(errFile);
        if (const size_t at = err.find(said, err.find(said) + 1); at != std::string::npos)
            again = std::atoi(err.c_str() + at + said.size());
    }
    ASSERT_GT(again, 0) << ReadWholeFile(errFile);
    const int d = Connect(again);
    ASSERT_GE(d, 0);
    const std::string block = Block(Message("L1", "QC-N", "5.05"));
    ASSERT_EQ(::send(d, block.data(), block.size(), 0), static_cast<ssize_t>(block.size()));
    EXPECT_EQ(Msa(Reply(d)), "MSA|AA|L1");
    ::close(d);
    EXPECT_EQ(Held(), held + 1);
}

TEST_F(CompanionLive, KilledWhileAClientSendsEveryMessageIsTakenOnce) {
    // A fixed port, so that the restarted watch listens where the client sends.
    TearDown();
    int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    socklen_t len = sizeof a;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &len);
    const int fixed = ntohs(a.sin_port);
    ::close(probe);
    ASSERT_EQ(Cli({"source", "an", "listen=127.0.0.1:" + std::to_string(fixed)}).status, 0);
    port = 0;
    StartWatch();
    ASSERT_EQ(port, fixed);

    constexpr int Count = 16;
    std::atomic<int> acknowledged{0}, killed{0};
    std::thread client([&] {
        for (int i = 0; i < Count; ++i) {
            // A third of the messages waits for each of the first two kills, so that they land while it
            // sends.
            while (killed < i / (Count / 3) && killed < 2)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            char hhmm[8], value[16];
            std::snprintf(hhmm, sizeof hhmm, "%02d%02d", 8 + i * 15 / 60, i * 15 % 60);
            std::snprintf(value, sizeof value, "5.%02d", i);
            std::string m = Message("K" + std::to_string(i), "QC-N", value);
            m.replace(m.rfind("20260305080000"), 14, std::string("20260305") + hhmm + "00");
            const std::string block = Block(m);
            for (int attempt = 0; attempt < 400; ++attempt) {
                const int c = Connect(fixed);
                if (c < 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    continue;
                }
                timeval tv{3, 0};
                ::setsockopt(c, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
                const bool sent =
                    ::send(c, block.data(), block.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(block.size());
                const std::string ack = sent ? Reply(c) : "";
                ::close(c);
                if (Msa(ack).starts_with("MSA|AA|K" + std::to_string(i))) {
                    ++acknowledged;
                    std::this_thread::sleep_for(std::chrono::milliseconds(40)); // a sender's pace
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
    });
    std::mt19937 random(20260305);
    int kills = 0; // while messages were still being sent
    for (int kill = 0; kill < 8 && acknowledged < Count; ++kill) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50 + random() % 400));
        kills += acknowledged < Count;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ++killed;
        pid = 0;
        port = 0;
        StartWatch();
    }
    client.join();
    ASSERT_EQ(acknowledged, Count);
    EXPECT_GE(kills, 2);
    TearDown();
    // What a killed watch wrote and did not read is read by the next reading, and adds nothing new.
    ASSERT_EQ(Cli({"inbox", "--once"}).status, 0);
    std::map<float, int> values;
    const TDateTime day = EncodeDate(2026, 3, 5);
    for (const TResu& run : ParseQueueImage(ReadWholeFile(home + "Varnholt.fif")))
        if (run.DateTime >= day && run.DateTime < day + 1) ++values[run.Levels[0].Value];
    ASSERT_EQ(values.size(), static_cast<size_t>(Count));
    for (const auto& [value, n] : values) EXPECT_EQ(n, 1) << value;
    EXPECT_EQ(Held(), held + Count);
}

namespace {

// An E1381 frame: STX, number, text, ETX, checksum, CR LF.
std::string Frame(int number, const std::string& text) {
    std::string body = std::to_string(number) + text + '\x03';
    unsigned sum = 0;
    for (char c : body) sum += static_cast<unsigned char>(c);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sum & 0xFF);
    return '\x02' + body + hex + "\r\n";
}

// One byte of the listener's reply; 0 when none came.
char LinkReply(int fd) {
    char c = 0;
    return ::recv(fd, &c, 1, 0) == 1 ? c : 0;
}

} // namespace

// ASTM over TCP: the message's results are held once its last frame is acknowledged, and a message
// sent again adds nothing.
TEST_F(CompanionLive, AstmMessagesAreHeldWhenTheirLastFrameIsAcknowledged) {
    TearDown();
    ASSERT_EQ(Cli({"source", "an", "protocol=astm", "listen=127.0.0.1:0"}).status, 0);
    port = 0;
    StartWatch();
    const std::vector<std::string> records = {"H|\\^&|||AN-1|||||||P\r", "O|1|QC-N||^^^GLU\r",
                                              "R|1|^^^GLU|5.02||||||||20260305080000\r", "L|1\r"};
    for (int session = 0; session < 2; ++session) {
        const int c = Connect(port);
        ASSERT_GE(c, 0);
        ASSERT_EQ(::send(c, "\x05", 1, MSG_NOSIGNAL), 1);
        EXPECT_EQ(LinkReply(c), '\x06');
        for (size_t k = 0; k < records.size(); ++k) {
            const std::string frame = Frame(static_cast<int>(k + 1), records[k]);
            ASSERT_GT(::send(c, frame.data(), frame.size(), MSG_NOSIGNAL), 0);
            EXPECT_EQ(LinkReply(c), '\x06') << k;
        }
        ASSERT_EQ(::send(c, "\x04", 1, MSG_NOSIGNAL), 1);
        ::close(c);
        EXPECT_EQ(Held(), held + 1);
    }
    EXPECT_FLOAT_EQ(ParseQueueImage(ReadWholeFile(home + "Varnholt.fif")).back().Levels[0].Value, 5.02f);
    EXPECT_EQ(FilesIn(inbox + "an/processed"), 2u);
}
