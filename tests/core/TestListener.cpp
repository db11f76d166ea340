// The live connections: listening options, HL7 acknowledgements and the poll loop's framing and limits.
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "TestHelpers.h"
#include "UAtomicFile.h"
#include "UInbox.h"
#include "UListener.h"
#include "UQcError.h"
#include "URegional.h"

namespace {

TInstrumentSource Listening(const std::string& extra = "") {
    TInstrumentSource s = TInstrumentSource::FromText("listen=127.0.0.1:0\nprotocol=mllp\n" + extra);
    s.Id = "an";
    return s;
}

// A client connected to the loopback port, or -1.
int Connect(int port, const char* from = nullptr) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    if (from) {
        ::inet_pton(AF_INET, from, &a.sin_addr);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return -1;
    }
    a.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    timeval tv{0, 200000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    return fd;
}

void SendAll(int fd, const std::string& bytes) {
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

// What the client has received so far; `closed` tells whether the server closed the connection.
std::string Received(int fd, bool* closed = nullptr) {
    std::string out;
    char buf[4096];
    if (closed) *closed = false;
    while (true) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            out.append(buf, static_cast<size_t>(n));
            continue;
        }
        if ((n == 0 || errno == ECONNRESET) && closed) *closed = true;
        return out;
    }
}

std::string Block(const std::string& message) {
    return MllpStart + message + MllpEnd + "\r";
}

const std::string Message = "MSH|^~\\&|AN|LAB|LIS|HOSP|20260305090000||OUL^R22^OUL_R22|C17|P|2.5.1\r"
                            "OBX|1|NM|GLU||5.0\r";

} // namespace

TEST(ListenOptions, ReadBackAndBadValuesRefused) {
    TInstrumentSource s = Listening("allow=127.0.0.1, ::1\nlisten.maxbytes=4096\nlisten.idle=5\n");
    EXPECT_EQ(s.Allow, (std::vector<std::string>{"127.0.0.1", "::1"}));
    EXPECT_EQ(s.ListenMaxBytes, 4096);
    EXPECT_EQ(s.ListenIdleSeconds, 5);
    EXPECT_EQ(TInstrumentSource::FromText(s.ToText()), s);
    for (const char* bad : {"listen=lab.example:2575", "listen=127.0.0.1:65536", "listen=127.0.0.1:",
                            "listen=::1:80", "listen=127.0.0.1:25x", "protocol=tcp", "allow=10.0.0.1,host",
                            "listen.maxbytes=10", "listen.connections=0", "listen.idle=-1"})
        EXPECT_THROW(TInstrumentSource::FromText(bad), EQcError) << bad;
    const std::optional<TListenAddress> port = ParseListenAddress("2575");
    ASSERT_TRUE(port);
    EXPECT_EQ(port->Host, "127.0.0.1");
    EXPECT_EQ(port->Port, 2575);
    EXPECT_EQ(ParseListenAddress("[::1]:2575")->Host, "::1");
    EXPECT_EQ(ParseListenAddress("localhost:1")->Host, "127.0.0.1");
}

TEST(Hl7Acknowledgement, AnswersTheHeaderAndEscapesTheReason) {
    const std::string ack = Hl7Acknowledgement(Message, "AA", "");
    EXPECT_TRUE(ack.starts_with("MSH|^~\\&|LIS|HOSP|AN|LAB|")) << ack;
    EXPECT_NE(ack.find("||ACK^R22^ACK|"), std::string::npos) << ack;
    EXPECT_NE(ack.find("|P|2.5.1\rMSA|AA|C17\r"), std::string::npos) << ack;
    EXPECT_EQ(ack.find("ERR"), std::string::npos);
    EXPECT_EQ(Hl7MessageControlId(Message), "C17");

    // A reason with the delimiters and line ends of HL7 cannot add fields or segments.
    const std::string ae = Hl7Acknowledgement(Message, "AE", "line 2: value \"a|b^c\" is not\ra number");
    EXPECT_NE(ae.find("MSA|AE|C17|line 2: value \"a\\F\\b\\S\\c\" is not a number\r"), std::string::npos)
        << ae;
    EXPECT_NE(ae.find("\rERR|||207^Application internal error^HL70357|E||||line 2"), std::string::npos) << ae;
    EXPECT_EQ(std::count(ae.begin(), ae.end(), '\r'), 3);

    // Garbage: default delimiters, no control id.
    const std::string ar = Hl7Acknowledgement("hello", "AR", "not HL7");
    EXPECT_TRUE(ar.starts_with("MSH|^~\\&|")) << ar;
    EXPECT_NE(ar.find("\rMSA|AR||not HL7\rERR|||100^"), std::string::npos) << ar;
    EXPECT_FALSE(Hl7HasHeader("hello"));
    EXPECT_TRUE(Hl7HasHeader("\r\n" + Message));
}

// Blocks split across writes, several in one write, bytes outside blocks; each message handed over once.
TEST(Listeners, FramesMessagesAndAnswersEach) {
    TListeners listeners;
    ASSERT_TRUE(listeners.Configure({Listening()}).empty());
    ASSERT_EQ(listeners.Count(), 1u);
    const int port = listeners.PortOf("an");
    std::vector<std::string> got;
    auto handler = [&](const TInstrumentSource& s, const std::string& peer, const std::string& m) {
        EXPECT_EQ(s.Id, "an");
        EXPECT_EQ(peer, "127.0.0.1");
        got.push_back(m);
        return TLiveOutcome{got.size() == 2 ? "AE" : "AA", got.size() == 2 ? "bad" : ""};
    };
    const int c = Connect(port);
    ASSERT_GE(c, 0);
    SendAll(c, "\r\n" + Block(Message).substr(0, 20));
    listeners.Serve(std::chrono::milliseconds(100), handler);
    EXPECT_TRUE(got.empty());
    SendAll(c, Block(Message).substr(20) + Block("second") + Block(""));
    listeners.Serve(std::chrono::milliseconds(200), handler);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0], Message);
    EXPECT_EQ(got[1], "second");
    EXPECT_EQ(got[2], "");
    listeners.Serve(std::chrono::milliseconds(100), handler);
    const std::string replies = Received(c);
    ASSERT_EQ(std::count(replies.begin(), replies.end(), MllpStart), 3) << replies;
    EXPECT_NE(replies.find("\rMSA|AA|C17\r"), std::string::npos) << replies;
    EXPECT_NE(replies.find("\rMSA|AE||bad\r"), std::string::npos) << replies;
    ::close(c);
    // Unchanged options keep the listener; none closes it.
    ASSERT_TRUE(listeners.Configure({Listening()}).empty());
    EXPECT_EQ(listeners.PortOf("an"), port);
    listeners.Configure({});
    EXPECT_EQ(listeners.Count(), 0u);
    EXPECT_LT(Connect(port), 0);
}

TEST(Listeners, LimitsCloseConnections) {
    TListeners listeners;
    ASSERT_TRUE(listeners
                    .Configure({Listening(
                        "allow=127.0.0.1\nlisten.maxbytes=256\nlisten.connections=2\nlisten.idle=1\n")})
                    .empty());
    const int port = listeners.PortOf("an");
    int handled = 0;
    auto handler = [&](const TInstrumentSource&, const std::string&, const std::string&) {
        ++handled;
        return TLiveOutcome{};
    };
    auto serve = [&](int ms) { listeners.Serve(std::chrono::milliseconds(ms), handler); };
    bool closed = false;

    // A peer not allowed is closed at once.
    const int stranger = Connect(port, "127.0.0.2");
    ASSERT_GE(stranger, 0);
    serve(100);
    EXPECT_EQ(Received(stranger, &closed), "");
    EXPECT_TRUE(closed);
    ::close(stranger);

    // An oversized message is refused and its connection closed; the other connection goes on.
    const int big = Connect(port), other = Connect(port);
    serve(100);
    SendAll(big, MllpStart + Message + std::string(300, 'x'));
    serve(100);
    const std::string refused = Received(big, &closed);
    EXPECT_NE(refused.find("MSA|AR|C17|the message is larger than 256 bytes"), std::string::npos) << refused;
    EXPECT_TRUE(closed);
    ::close(big);
    serve(100);
    // Two connections at most: a third is closed; the one left is served.
    const int second = Connect(port), third = Connect(port);
    serve(100);
    EXPECT_EQ(Received(third, &closed), "");
    EXPECT_TRUE(closed);
    ::close(third);
    SendAll(other, Block("m"));
    serve(100);
    EXPECT_NE(Received(other).find("\rMSA|AA|\r"), std::string::npos);
    EXPECT_EQ(handled, 1);
    // Silence beyond the idle time closes; a slow sender does not hold the loop.
    SendAll(second, std::string(1, MllpStart) + "MSH|");
    const auto start = std::chrono::steady_clock::now();
    serve(1500);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    EXPECT_EQ(Received(second, &closed), "");
    EXPECT_TRUE(closed);
    EXPECT_EQ(handled, 1);
    ::close(second);
    ::close(other);
}

namespace {

// An E1381 frame: STX, number, text, ETX (or ETB), checksum, CR LF.
std::string Frame(int number, const std::string& text, bool last = true) {
    std::string body = std::to_string(number) + text + (last ? '\x03' : '\x17');
    unsigned sum = 0;
    for (char c : body) sum += static_cast<unsigned char>(c);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sum & 0xFF);
    return '\x02' + body + hex + "\r\n";
}

} // namespace

// ENQ, frames acknowledged by checksum and number, a retransmission taken once, the last frame
// acknowledged only when the message was recorded, EOT.
TEST(Listeners, AstmFramesAreAcknowledgedByChecksumAndRecording) {
    TListeners listeners;
    ASSERT_TRUE(listeners.Configure({Listening("protocol=astm\n")}).empty());
    std::vector<std::string> got;
    std::string code = "AR";
    auto handler = [&](const TInstrumentSource&, const std::string&, const std::string& m) {
        got.push_back(m);
        return TLiveOutcome{code, ""};
    };
    const int c = Connect(listeners.PortOf("an"));
    ASSERT_GE(c, 0);
    auto exchange = [&](const std::string& bytes) {
        SendAll(c, bytes);
        listeners.Serve(std::chrono::milliseconds(100), handler);
        return Received(c);
    };
    const std::string h = "H|\\^&|||AN\r", o = "O|1||QC-N\r", r = "R|1|^^^GLU|5.0\r", l = "L|1|N\r";
    EXPECT_EQ(exchange("\x05"), "\x06");
    EXPECT_EQ(exchange(Frame(1, h)), "\x06");
    std::string bad = Frame(2, o);
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    EXPECT_EQ(exchange(bad), "\x15");
    EXPECT_EQ(exchange(Frame(2, o)), "\x06");
    EXPECT_EQ(exchange(Frame(2, o)), "\x06"); // its ACK was lost: sent again, not taken twice
    EXPECT_EQ(exchange(Frame(4, r)), "\x15"); // frame 3 is due
    EXPECT_EQ(exchange(Frame(3, r.substr(0, 5), false)), "\x06");
    EXPECT_EQ(exchange(Frame(4, r.substr(5))), "\x06");
    // Not recorded: the last frame is refused, and taken when it comes again.
    EXPECT_EQ(exchange(Frame(5, l)), "\x15");
    code = "AA";
    EXPECT_EQ(exchange(Frame(5, l)), "\x06");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], got[1]);
    EXPECT_EQ(got[1], h + o + r + l);
    EXPECT_EQ(exchange("\x04"), "");
    // Frames outside a transmission are not read.
    EXPECT_EQ(exchange(Frame(1, h) + Frame(2, l)), "");
    EXPECT_EQ(got.size(), 2u);
    EXPECT_TRUE(AstmHasHeader(h + l));
    EXPECT_FALSE(AstmHasHeader("hello"));
    ::close(c);
}

// A connection that ends with bytes no message took hands them over with the reason; one whose every
// byte went into a message taken (a frame refused but taken when sent again included) hands nothing.
// Kept, they land in the source's failed/ folder beside their reason.
TEST(Listeners, BytesNoMessageTookAreHandedOverWhenTheConnectionEnds) {
    const std::string h = "H|\\^&|||AN\r", l = "L|1|N\r";
    std::string bad = Frame(1, h);
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    const struct {
        const char* Protocol;
        std::string Sent, Why;
    } cases[] = {
        {"mllp", Block(Message) + "\r\n", ""},
        {"mllp", "hello" + Block(Message), "bytes outside any MLLP block"},
        {"mllp", Block(Message) + Block("MSH|half").substr(0, 6), "a message left unfinished"},
        {"astm", "\x05" + bad + Frame(1, h) + Frame(2, l) + "\x04", ""},
        {"astm", "\x05" + bad, "a frame refused for its checksum or number"},
        {"astm", "\x05" + Frame(1, h), "a message left unfinished"},
    };
    for (const auto& c : cases) {
        TListeners listeners;
        ASSERT_TRUE(listeners.Configure({Listening(std::string("protocol=") + c.Protocol + "\n")}).empty());
        std::vector<std::pair<std::string, std::string>> unread;
        listeners.Unread = [&](const TInstrumentSource& s, const std::string& peer, const std::string& bytes,
                               const std::string& why) {
            EXPECT_EQ(s.Id, "an");
            EXPECT_EQ(peer, "127.0.0.1");
            unread.emplace_back(bytes, why);
        };
        auto handler = [](const TInstrumentSource&, const std::string&, const std::string&) {
            return TLiveOutcome{};
        };
        const int fd = Connect(listeners.PortOf("an"));
        ASSERT_GE(fd, 0);
        SendAll(fd, c.Sent);
        listeners.Serve(std::chrono::milliseconds(100), handler);
        Received(fd);
        ::close(fd);
        listeners.Serve(std::chrono::milliseconds(100), handler);
        if (c.Why.empty()) {
            EXPECT_TRUE(unread.empty()) << c.Protocol << " " << unread.front().second;
            continue;
        }
        ASSERT_EQ(unread.size(), 1u) << c.Why;
        EXPECT_EQ(unread[0].second, c.Why);
        EXPECT_NE(unread[0].first.find(c.Sent.substr(0, 5)), std::string::npos) << c.Why;
    }

    TTempFolder inbox;
    TInstrumentSource source = Listening();
    const std::string kept =
        KeepConnectionBytes(inbox.Path(), source, "::1", "hello", "bytes outside any MLLP block");
    EXPECT_EQ(kept.rfind(inbox.Path() + "an/failed/connection-", 0), 0u) << kept;
    EXPECT_TRUE(kept.ends_with(".hl7") && kept.find("---1-") != std::string::npos) << kept;
    EXPECT_EQ(ReadWholeFile(kept), "hello");
    EXPECT_NE(ReadWholeFile(kept + ".reason")
                  .find("the connection from ::1 ended with bytes not taken: bytes "
                        "outside any MLLP block"),
              std::string::npos);
    // Within the limits of what failed/ may hold: so many connections, so many bytes.
    EXPECT_NO_THROW(KeepConnectionBytes(inbox.Path(), source, "127.0.0.1", "more", "why", 2));
    EXPECT_THROW(KeepConnectionBytes(inbox.Path(), source, "127.0.0.1", "more", "why", 2), EQcError);
    EXPECT_THROW(KeepConnectionBytes(inbox.Path(), source, "127.0.0.1", "more", "why", 10, 12), EQcError);
    EXPECT_NO_THROW(KeepConnectionBytes(inbox.Path(), source, "127.0.0.1", "more", "why", 10, 13));
}

// listen.capture=yes: every byte each connection sent, a bad frame and its retransmission included, kept
// as it came in a file per connection under processed/; read again as a file, the capture gives the
// message. Without the option nothing is handed over.
TEST(Listeners, ConnectionsOfACapturingSourceAreKeptAsTheyCame) {
    TTempFolder inbox;
    for (const bool capture : {true, false}) {
        TListeners listeners;
        TInstrumentSource source = Listening(std::string("protocol=astm\nqc.all=yes\nlisten.capture=") +
                                             (capture ? "yes" : "no") + "\n");
        EXPECT_EQ(TInstrumentSource::FromText(source.ToText()).ListenCapture, capture);
        ASSERT_TRUE(listeners.Configure({source}).empty());
        TConnectionCaptures captures;
        std::vector<std::string> ended;
        listeners.Raw = [&](const TInstrumentSource& s, const std::string& peer, uint64_t connection,
                            std::string_view bytes, bool end) {
            if (end) {
                ended.push_back(captures.PathOf(connection));
                return captures.End(connection);
            }
            captures.Append(inbox.Path(), s, peer, connection, bytes);
        };
        auto handler = [](const TInstrumentSource&, const std::string&, const std::string&) {
            return TLiveOutcome{};
        };
        std::string sent;
        for (int connection = 0; connection < 2; ++connection) {
            const int c = Connect(listeners.PortOf("an"));
            ASSERT_GE(c, 0);
            std::string bad = Frame(2, "R|1|^^^GLU|5." + std::to_string(connection) + "\r");
            bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
            const std::string session[] = {
                "\x05",
                Frame(1, "H|\\^&|||AN\rO|1|QC-N||^^^GLU|||20260301080000\r", false),
                bad,
                Frame(2, "R|1|^^^GLU|5." + std::to_string(connection) + "\r"),
                Frame(3, "L|1|N\r"),
                "\x04"};
            sent.clear();
            for (const std::string& bytes : session) {
                SendAll(c, bytes);
                sent += bytes;
                listeners.Serve(std::chrono::milliseconds(50), handler);
            }
            ::close(c);
            for (int k = 0; k < 5; ++k) listeners.Serve(std::chrono::milliseconds(20), handler);
        }
        if (!capture) {
            EXPECT_TRUE(ended.empty());
            continue;
        }
        ASSERT_EQ(ended.size(), 2u);
        EXPECT_NE(ended[0], ended[1]);
        const std::string day = inbox.Path() + "an/processed/" + DayFolderName(Today()) + "/";
        EXPECT_EQ(ended[1].rfind(day + "capture-", 0), 0u) << ended[1];
        EXPECT_TRUE(ended[1].ends_with(".astm"));
        EXPECT_EQ(ReadWholeFile(ended[1]), sent);
        const TInstrumentBatch b = ReadInstrumentFile(ReadWholeFile(ended[1]), source);
        ASSERT_EQ(b.Results.size(), 1u);
        EXPECT_EQ(b.Results[0].ValueText, "5.1");
    }
}
