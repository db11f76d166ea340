// Live connections of the inbox's sources: a poll loop over non-blocking sockets.
#include "UListener.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

// Replies not read by the peer are kept up to this much; past it the connection is closed.
constexpr size_t MaxPendingReply = 256 * 1024;

} // namespace

bool IsNumericAddress(std::string_view text) {
    const std::string s(text);
    in6_addr a6{};
    in_addr a4{};
    return ::inet_pton(AF_INET, s.c_str(), &a4) == 1 || ::inet_pton(AF_INET6, s.c_str(), &a6) == 1;
}

std::optional<TListenAddress> ParseListenAddress(std::string_view text) {
    TListenAddress out{"127.0.0.1", 0};
    std::string_view port = text;
    if (text.starts_with('[')) {
        const size_t close = text.find(']');
        if (close == std::string_view::npos || text.substr(close + 1, 1) != ":") return std::nullopt;
        out.Host = std::string(text.substr(1, close - 1));
        port = text.substr(close + 2);
    } else if (const size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        out.Host = std::string(text.substr(0, colon));
        port = text.substr(colon + 1);
        if (out.Host == "localhost") out.Host = "127.0.0.1";
        if (out.Host.find(':') != std::string::npos) return std::nullopt; // IPv6 needs brackets
    }
    if (!IsNumericAddress(out.Host) || port.empty()) return std::nullopt;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), out.Port);
    if (ec != std::errc() || end != port.data() + port.size() || out.Port < 0 || out.Port > 65535)
        return std::nullopt;
    return out;
}

// ---------------------------------------------------------------- HL7 acknowledgements

namespace {

struct THl7Header {
    char Field = '|';
    std::string Encoding = "^~\\&";
    std::vector<std::string> Fields; // Fields[k] is MSH-k; [1] the field separator, [2] the encoding
};

std::optional<THl7Header> ReadHeader(std::string_view message) {
    const size_t start = message.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return std::nullopt;
    std::string_view seg = message.substr(start);
    seg = seg.substr(0, seg.find_first_of("\r\n"));
    if (seg.size() < 8 || !seg.starts_with("MSH")) return std::nullopt;
    THl7Header h;
    h.Field = seg[3];
    if (std::isalnum(static_cast<unsigned char>(h.Field)) || h.Field == ' ') return std::nullopt;
    h.Fields = {"MSH", std::string(1, h.Field)};
    const std::string_view rest = seg.substr(4);
    size_t at = 0;
    while (true) {
        const size_t next = rest.find(h.Field, at);
        h.Fields.emplace_back(rest.substr(at, next == std::string_view::npos ? next : next - at));
        if (next == std::string_view::npos) break;
        at = next + 1;
    }
    if (h.Fields[2].size() >= 2) h.Encoding = h.Fields[2];
    return h;
}

// Text as an HL7 field value: the delimiters escaped, line ends and control characters blanked.
std::string Escaped(std::string_view text, const THl7Header& h) {
    const char escape = h.Encoding.size() >= 3 ? h.Encoding[2] : '\\';
    std::string out;
    for (char c : text) {
        const char* code = nullptr;
        if (c == h.Field)
            code = "F";
        else if (c == h.Encoding[0])
            code = "S";
        else if (h.Encoding.size() > 1 && c == h.Encoding[1])
            code = "R";
        else if (c == escape)
            code = "E";
        else if (h.Encoding.size() > 3 && c == h.Encoding[3])
            code = "T";
        if (code)
            out += std::string(1, escape) + code + escape;
        else
            out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    }
    return out;
}

std::string FieldOf(const THl7Header& h, size_t k) {
    return k < h.Fields.size() ? h.Fields[k] : std::string();
}

std::string NowStamp() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::gmtime_r(&t, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S+0000", &tm);
    return text;
}

} // namespace

std::string Hl7MessageControlId(std::string_view message) {
    const std::optional<THl7Header> h = ReadHeader(message);
    return h ? FieldOf(*h, 10) : std::string();
}

bool Hl7HasHeader(std::string_view message) {
    return ReadHeader(message).has_value();
}

bool AstmHasHeader(std::string_view records) {
    const size_t start = records.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && records.size() >= start + 5 &&
           (records[start] == 'H' || records[start] == 'h') &&
           std::ispunct(static_cast<unsigned char>(records[start + 1]));
}

std::string Hl7Acknowledgement(std::string_view message, std::string_view code, std::string_view reason) {
    const std::optional<THl7Header> read = ReadHeader(message);
    const THl7Header h = read.value_or(THl7Header{});
    const std::string f(1, h.Field);
    const std::string controlId = FieldOf(h, 10);
    // The trigger event of MSH-9 answered: ACK^R01^ACK.
    std::string trigger = FieldOf(h, 9);
    if (const size_t c = trigger.find(h.Encoding[0]); c != std::string::npos) {
        trigger = trigger.substr(c + 1);
        trigger = trigger.substr(0, trigger.find(h.Encoding[0]));
    } else {
        trigger.clear();
    }
    static unsigned sequence = 0;
    const std::string own = "ACK" + NowStamp().substr(0, 14) + std::to_string(++sequence % 100000);
    std::string out =
        "MSH" + f + h.Encoding + f + FieldOf(h, 5) + f + FieldOf(h, 6) + f + FieldOf(h, 3) + f +
        FieldOf(h, 4) + f + NowStamp() + f + f + "ACK" +
        (trigger.empty() ? "" : h.Encoding.substr(0, 1) + trigger + h.Encoding.substr(0, 1) + "ACK") + f +
        own + f + (FieldOf(h, 11).empty() ? "P" : FieldOf(h, 11)) + f +
        (FieldOf(h, 12).empty() ? "2.5" : FieldOf(h, 12)) + "\r";
    out += "MSA" + f + std::string(code) + f + controlId;
    if (!reason.empty()) out += f + Escaped(reason.substr(0, 80), h);
    out += "\r";
    if (code != "AA") {
        // ERR-3: 207 application internal error, or 100 segment sequence error for a message without
        // a header; ERR-4 E; ERR-8 the whole reason.
        const std::string s(1, h.Encoding[0]);
        out += "ERR" + f + f + f +
               (read ? "207" + s + "Application internal error" : "100" + s + "Segment sequence error") + s +
               "HL70357" + f + "E" + f + f + f + f + Escaped(reason, h) + "\r";
    }
    return out;
}

// ---------------------------------------------------------------- the listeners

struct TListeners::TState {
    struct TListener {
        TInstrumentSource Source;
        int Fd = -1;
        int Port = 0;
    };
    struct TConnection {
        int Fd = -1;
        size_t Listener = 0; // index into Listeners
        std::string Peer;
        std::string In;        // MLLP: the block begun, after its VT; E1381: the frame begun, from its STX
        bool InBlock = false;  // MLLP: a VT was read; E1381: an ENQ began a transmission
        size_t Outside = 0;    // bytes read outside any block or transmission
        std::string Out;       // reply bytes not yet written
        bool Closing = false;  // closed once Out is written
        bool Draining = false; // Out written: what comes is dropped until the peer closes
        TClock::time_point Last;
        // E1381: the frame number due, the records of the message begun (the frames' texts joined).
        int Expected = 1;
        std::string Records;
        size_t FrameEnd = std::string::npos; // the ETX or ETB of the frame begun
        // The bytes received (up to a limit) and, when some of them were not taken as a message, why.
        std::string Capture;
        bool CaptureCut = false;
        uint64_t Id = 0; // names its raw capture
        std::string Untaken;
        std::string Refused; // frames refused: forgotten once their message is taken
    };
    std::vector<TListener> Listeners;
    std::vector<TConnection> Connections;
    uint64_t NextId = 1;
};

TListeners::TListeners() : state_(std::make_unique<TState>()) {}

TListeners::~TListeners() {
    for (auto& c : state_->Connections) ::close(c.Fd);
    for (auto& l : state_->Listeners) ::close(l.Fd);
}

size_t TListeners::Count() const {
    return state_->Listeners.size();
}

int TListeners::PortOf(const std::string& source) const {
    for (const auto& l : state_->Listeners)
        if (l.Source.Id == source) return l.Port;
    return 0;
}

namespace {

std::string PeerName(const sockaddr_storage& a) {
    char text[INET6_ADDRSTRLEN] = "";
    if (a.ss_family == AF_INET)
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(a).sin_addr, text, sizeof text);
    else if (a.ss_family == AF_INET6) {
        const in6_addr& six = reinterpret_cast<const sockaddr_in6&>(a).sin6_addr;
        // An IPv4 peer of a dual socket is named by its IPv4 address.
        if (IN6_IS_ADDR_V4MAPPED(&six))
            ::inet_ntop(AF_INET, &six.s6_addr[12], text, sizeof text);
        else
            ::inet_ntop(AF_INET6, &six, text, sizeof text);
    }
    return text;
}

bool SameAddress(const std::string& a, const std::string& b) {
    in6_addr x{}, y{};
    in_addr x4{}, y4{};
    if (::inet_pton(AF_INET, a.c_str(), &x4) == 1 && ::inet_pton(AF_INET, b.c_str(), &y4) == 1)
        return x4.s_addr == y4.s_addr;
    return ::inet_pton(AF_INET6, a.c_str(), &x) == 1 && ::inet_pton(AF_INET6, b.c_str(), &y) == 1 &&
           std::memcmp(&x, &y, sizeof x) == 0;
}

// A non-blocking listening socket, or -1 with the reason.
int OpenListener(const TListenAddress& where, int& port, std::string& why) {
    addrinfo hints{}, *found = nullptr;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
    hints.ai_socktype = SOCK_STREAM;
    const std::string service = std::to_string(where.Port);
    if (int rc = ::getaddrinfo(where.Host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        why = ::gai_strerror(rc);
        return -1;
    }
    int fd = ::socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int one = 1;
    if (fd >= 0) ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (fd < 0 || ::bind(fd, found->ai_addr, found->ai_addrlen) != 0 || ::listen(fd, 16) != 0) {
        why = std::strerror(errno);
        if (fd >= 0) ::close(fd);
        ::freeaddrinfo(found);
        return -1;
    }
    ::freeaddrinfo(found);
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &len);
    port = ntohs(bound.ss_family == AF_INET ? reinterpret_cast<sockaddr_in&>(bound).sin_port
                                            : reinterpret_cast<sockaddr_in6&>(bound).sin6_port);
    return fd;
}

bool SameListening(const TInstrumentSource& a, const TInstrumentSource& b) {
    return a.Id == b.Id && a.Listen == b.Listen && a.Protocol == b.Protocol && a.Allow == b.Allow &&
           a.ListenMaxBytes == b.ListenMaxBytes && a.ListenConnections == b.ListenConnections &&
           a.ListenIdleSeconds == b.ListenIdleSeconds && a.ListenCapture == b.ListenCapture;
}

} // namespace

namespace {

using TConnection = TListeners::TState::TConnection;

void Untaken(TConnection& c, const std::string& why) {
    if (c.Untaken.find(why) == std::string::npos) c.Untaken += (c.Untaken.empty() ? "" : "; ") + why;
}

// Whether bytes outside a block or transmission are more than line ends, blanks and the
// acknowledgements a logged session shows.
bool Meaningful(std::string_view bytes) {
    return bytes.find_first_not_of(std::string_view("\r\n \t\x04\x06\x15", 7)) != std::string_view::npos;
}

struct TFeed {
    const TInstrumentSource& Source;
    const std::string& Peer;
    const TListeners::THandler& Handler;
    const std::function<void(const std::string&)>& Say;
};

TLiveOutcome Hand(const TFeed& f, const std::string& message) {
    try {
        return f.Handler(f.Source, f.Peer, message);
    } catch (const std::exception& e) {
        return {"AR", e.what()};
    }
}

// HL7 in MLLP blocks; false when the connection is to be dropped at once.
bool FeedMllp(TConnection& c, std::string_view data, const TFeed& f) {
    const size_t max = static_cast<size_t>(f.Source.ListenMaxBytes);
    auto refuse = [&](const std::string& message, const std::string& why, const std::string& said) {
        f.Say("source " + f.Source.Id + ": connection from " + c.Peer + " closed: " + said);
        Untaken(c, said);
        c.Out += MllpStart + Hl7Acknowledgement(message, "AR", why) + MllpEnd + '\r';
        c.Closing = true;
        c.In.clear();
    };
    while (!data.empty() && !c.Closing) {
        if (!c.InBlock) {
            const size_t vt = data.find(MllpStart);
            if (Meaningful(data.substr(0, vt))) Untaken(c, "bytes outside any MLLP block");
            c.Outside += vt == std::string_view::npos ? data.size() : vt;
            if (c.Outside > max) {
                refuse("", "no MLLP block", "it sends no MLLP block");
                break;
            }
            if (vt == std::string_view::npos) break;
            c.InBlock = true;
            c.In.clear();
            data.remove_prefix(vt + 1);
            continue;
        }
        const size_t fs = data.find(MllpEnd);
        c.In.append(data.substr(0, fs));
        if (c.In.size() > max) {
            refuse(c.In, "the message is larger than " + std::to_string(max) + " bytes",
                   "a message of more than " + std::to_string(max) + " bytes");
            break;
        }
        if (fs == std::string_view::npos) break;
        data.remove_prefix(fs + 1);
        c.InBlock = false;
        c.Outside = 0;
        const std::string message = std::move(c.In);
        c.In.clear();
        const TLiveOutcome out = Hand(f, message);
        c.Out += MllpStart + Hl7Acknowledgement(message, out.Code, out.Reason) + MllpEnd + '\r';
    }
    return true;
}

constexpr char Stx = '\x02', Etx = '\x03', Eot = '\x04', Enq = '\x05', Ack = '\x06', Nak = '\x15',
               Etb = '\x17';

// Whether the last record of the joined texts is a terminator (L) record.
bool EndsWithTerminator(const std::string& records) {
    std::string_view r = records;
    while (!r.empty() && (r.back() == '\r' || r.back() == '\n')) r.remove_suffix(1);
    const size_t cr = r.find_last_of("\r\n");
    const std::string_view last = cr == std::string_view::npos ? r : r.substr(cr + 1);
    return last.size() >= 2 && (last[0] == 'L' || last[0] == 'l') &&
           !std::isalnum(static_cast<unsigned char>(last[1]));
}

// One whole frame (STX FN text ETX|ETB C1 C2 CR LF) answered ACK or NAK; the message handed over at its
// terminator record.
void TakeFrame(TConnection& c, const std::string& frame, const TFeed& f) {
    const size_t end = frame.find_first_of(std::string{Etx, Etb});
    unsigned sum = 0;
    for (size_t i = 1; i <= end; ++i) sum += static_cast<unsigned char>(frame[i]);
    char due[3];
    std::snprintf(due, sizeof due, "%02X", sum & 0xFF);
    std::string given = frame.substr(end + 1, 2);
    for (char& ch : given) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const int number = frame[1] - '0';
    if (end < 2 || number < 0 || number > 7 || given != due) {
        if (c.Refused.empty()) c.Refused = "a frame refused for its checksum or number";
        c.Out += Nak;
        return;
    }
    // A frame sent again because its ACK was lost is acknowledged and not taken twice. A message's
    // first frame may be numbered 1 again.
    if (number == (c.Expected + 7) % 8 && !(c.Records.empty() && number == 1)) {
        c.Out += Ack;
        return;
    }
    if (number != c.Expected && !(c.Records.empty() && number == 1)) {
        if (c.Refused.empty()) c.Refused = "a frame refused for its checksum or number";
        c.Out += Nak;
        return;
    }
    const std::string text = frame.substr(2, end - 2);
    const size_t max = static_cast<size_t>(f.Source.ListenMaxBytes);
    if (c.Records.size() + text.size() > max) {
        f.Say("source " + f.Source.Id + ": connection from " + c.Peer + " closed: a message of more than " +
              std::to_string(max) + " bytes");
        Untaken(c, "a message of more than " + std::to_string(max) + " bytes");
        c.Out += Eot; // the receiver's interrupt: the sender stops
        c.Closing = true;
        return;
    }
    c.Records += text;
    if (frame[end] == Etx && EndsWithTerminator(c.Records)) {
        const TLiveOutcome out = Hand(f, c.Records);
        if (out.Code == "AR") {
            // Not recorded: the frame is refused, and taken when it comes again.
            c.Records.resize(c.Records.size() - text.size());
            c.Out += Nak;
            return;
        }
        c.Records.clear();
        c.Refused.clear();
    }
    c.Expected = (number + 1) % 8;
    c.Out += Ack;
}

// ASTM E1381: ENQ answered ACK, each frame ACK or NAK by its checksum and number, EOT ends the
// transmission. The message's last frame is acknowledged only once the message is recorded.
bool FeedAstm(TConnection& c, std::string_view data, const TFeed& f) {
    const size_t max = static_cast<size_t>(f.Source.ListenMaxBytes);
    for (const char ch : data) {
        if (c.Closing) break;
        if (!c.InBlock) {
            if (ch == Enq) {
                c.InBlock = true;
                c.Expected = 1;
                c.Records.clear();
                c.In.clear();
                c.Outside = 0;
                c.Out += Ack;
            } else {
                if (Meaningful(std::string_view(&ch, 1))) Untaken(c, "bytes outside a transmission");
                if (++c.Outside > max) {
                    f.Say("source " + f.Source.Id + ": connection from " + c.Peer +
                          " closed: it sends no ENQ");
                    Untaken(c, "no ENQ");
                    return false;
                }
            }
            continue;
        }
        if (c.In.empty()) {
            if (ch == Stx) {
                c.In = ch;
                c.FrameEnd = std::string::npos;
            } else if (ch == Eot) {
                // A message without its terminator record is handed over as it is: the reading says so.
                if (!c.Records.empty()) Hand(f, c.Records);
                c.Records.clear();
                c.InBlock = false;
            } else if (ch == Enq) {
                c.Expected = 1;
                c.Records.clear();
                c.Out += Ack;
            }
            continue;
        }
        c.In += ch;
        if (c.FrameEnd == std::string::npos && (ch == Etx || ch == Etb)) c.FrameEnd = c.In.size() - 1;
        if (c.FrameEnd != std::string::npos && c.In.size() >= c.FrameEnd + 5) {
            const std::string frame = std::move(c.In);
            c.In.clear();
            c.FrameEnd = std::string::npos;
            TakeFrame(c, frame, f);
        } else if (c.FrameEnd == std::string::npos && (c.In.size() > max || (ch == Stx && c.In.size() > 1))) {
            // A frame without its end: refused; a new STX starts the next.
            Untaken(c, "a frame without its end");
            c.Out += Nak;
            c.In = ch == Stx ? std::string(1, Stx) : std::string();
        }
    }
    return true;
}

} // namespace

void TListeners::End(size_t k) {
    auto& cs = state_->Connections;
    TState::TConnection& c = cs[k];
    if (!c.In.empty() || !c.Records.empty()) Untaken(c, "a message left unfinished");
    if (!c.Refused.empty()) Untaken(c, c.Refused);
    const TInstrumentSource& source = state_->Listeners[c.Listener].Source;
    if (!c.Untaken.empty() && Unread)
        Unread(source, c.Peer, c.Capture,
               c.Untaken + (c.CaptureCut
                                ? " (only its last " + std::to_string(c.Capture.size()) + " bytes are kept)"
                                : ""));
    if (source.ListenCapture && Raw) Raw(source, c.Peer, c.Id, {}, true);
    ::close(c.Fd);
    cs.erase(cs.begin() + static_cast<std::ptrdiff_t>(k));
}

std::vector<std::string> TListeners::Configure(const std::vector<TInstrumentSource>& sources) {
    std::vector<std::string> faults;
    auto& ls = state_->Listeners;
    auto& cs = state_->Connections;
    std::vector<TState::TListener> kept;
    std::vector<size_t> renumber(ls.size(), SIZE_MAX);
    for (size_t i = 0; i < ls.size(); ++i) {
        const bool wanted = std::any_of(sources.begin(), sources.end(), [&](const TInstrumentSource& s) {
            return SameListening(s, ls[i].Source);
        });
        if (wanted) {
            renumber[i] = kept.size();
            kept.push_back(ls[i]);
        } else {
            ::close(ls[i].Fd);
        }
    }
    // The other sources' options (the reading, not the listening) may have changed.
    for (TState::TListener& l : kept)
        for (const TInstrumentSource& s : sources)
            if (s.Id == l.Source.Id) l.Source = s;
    for (auto it = cs.begin(); it != cs.end();) {
        if (renumber[it->Listener] == SIZE_MAX) {
            const auto k = it - cs.begin();
            End(static_cast<size_t>(k));
            it = cs.begin() + k;
        } else {
            it->Listener = renumber[it->Listener];
            ++it;
        }
    }
    ls = std::move(kept);
    for (const TInstrumentSource& s : sources) {
        if (s.Listen.empty() || std::any_of(ls.begin(), ls.end(),
                                            [&](const TState::TListener& l) { return l.Source.Id == s.Id; }))
            continue;
        const std::optional<TListenAddress> where = ParseListenAddress(s.Listen);
        std::string why = "not an address";
        int port = 0;
        const int fd = where ? OpenListener(*where, port, why) : -1;
        if (fd < 0) {
            faults.push_back("source " + s.Id + " cannot listen on " + s.Listen + ": " + why);
            continue;
        }
        ls.push_back({s, fd, port});
        if (Notice)
            Notice("source " + s.Id + " listens on " +
                   (where->Host.find(':') != std::string::npos ? "[" + where->Host + "]" : where->Host) +
                   ":" + std::to_string(port) + " (" + s.Protocol + ")");
    }
    return faults;
}

void TListeners::Accept(size_t listener, const std::function<void(const std::string&)>& say) {
    auto& ls = state_->Listeners;
    auto& cs = state_->Connections;
    for (int k = 0; k < 16; ++k) {
        sockaddr_storage peer{};
        socklen_t len = sizeof peer;
        const int fd = ::accept4(ls[listener].Fd, reinterpret_cast<sockaddr*>(&peer), &len,
                                 SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) break;
        const std::string name = PeerName(peer);
        const TInstrumentSource& s = ls[listener].Source;
        if (!s.Allow.empty() && std::none_of(s.Allow.begin(), s.Allow.end(),
                                             [&](const std::string& a) { return SameAddress(a, name); })) {
            say("source " + s.Id + ": connection from " + name + " refused: not an allowed peer");
            ::close(fd);
            continue;
        }
        const auto open = std::count_if(cs.begin(), cs.end(),
                                        [&](const TState::TConnection& c) { return c.Listener == listener; });
        if (open >= s.ListenConnections) {
            say("source " + s.Id + ": connection from " + name + " refused: " + std::to_string(open) +
                " connections are open");
            ::close(fd);
            continue;
        }
        TState::TConnection c;
        c.Fd = fd;
        c.Listener = listener;
        c.Peer = name;
        c.Last = TClock::now();
        c.Id = state_->NextId++;
        cs.push_back(std::move(c));
    }
}

void TListeners::Serve(std::chrono::milliseconds wait, const THandler& handler) {
    auto& ls = state_->Listeners;
    auto& cs = state_->Connections;
    const auto until = TClock::now() + wait;
    auto say = [&](const std::string& text) {
        if (Notice) Notice(text);
    };
    while (true) {
        const auto now = TClock::now();
        // Idle connections closed, and the next idle time bounds the wait.
        auto next = until;
        for (auto it = cs.begin(); it != cs.end();) {
            const auto deadline = it->Last + std::chrono::seconds(ls[it->Listener].Source.ListenIdleSeconds);
            if (now >= deadline) {
                say("source " + ls[it->Listener].Source.Id + ": connection from " + it->Peer +
                    " closed after its idle time");
                const auto k = it - cs.begin();
                End(static_cast<size_t>(k));
                it = cs.begin() + k;
                continue;
            }
            next = std::min(next, deadline);
            ++it;
        }
        if (now >= until) return;
        std::vector<pollfd> fds;
        for (const auto& l : ls) fds.push_back({l.Fd, POLLIN, 0});
        for (const auto& c : cs)
            fds.push_back({c.Fd,
                           static_cast<short>(((c.Closing && !c.Draining) || c.Out.size() > 0 ? 0 : POLLIN) |
                                              (c.Out.empty() ? 0 : POLLOUT)),
                           0});
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
        const int n =
            ::poll(fds.data(), fds.size(), static_cast<int>(std::clamp<long long>(ms, 0, 1000) + 1));
        if (n < 0) {
            if (errno == EINTR) return;
            return;
        }
        if (n == 0) continue;
        // New connections.
        for (size_t i = 0; i < ls.size(); ++i)
            if (fds[i].revents & POLLIN) Accept(i, say);
        // The connections polled (those accepted just now wait for the next round).
        const size_t polled = fds.size() - ls.size();
        std::vector<bool> gone(cs.size());
        for (size_t k = 0; k < polled && k < cs.size(); ++k) {
            TState::TConnection& c = cs[k];
            const short ev = fds[ls.size() + k].revents;
            const TInstrumentSource& s = ls[c.Listener].Source;
            if (ev & POLLOUT) {
                const ssize_t w = ::send(c.Fd, c.Out.data(), c.Out.size(), MSG_NOSIGNAL);
                if (w > 0) {
                    c.Out.erase(0, static_cast<size_t>(w));
                    c.Last = TClock::now();
                } else if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                    gone[k] = true;
                    continue;
                }
                if (c.Out.empty() && c.Closing && !c.Draining) {
                    // What the peer still sends is read and dropped until it closes: closing with
                    // bytes unread would reset the connection and could lose the reply.
                    ::shutdown(c.Fd, SHUT_WR);
                    c.Draining = true;
                    continue;
                }
            }
            if (ev & (POLLERR | POLLNVAL)) {
                gone[k] = true;
                continue;
            }
            if (!(ev & (POLLIN | POLLHUP))) continue;
            char buffer[16384];
            const ssize_t r = ::recv(c.Fd, buffer, sizeof buffer, 0);
            if (r == 0 || (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                // The peer closed: a block it left open is not a message.
                gone[k] = true;
                continue;
            }
            if (r < 0 || c.Draining) continue;
            c.Last = TClock::now();
            const std::string_view data(buffer, static_cast<size_t>(r));
            // Kept before it is taken: a capture holds what came, whatever became of it.
            if (s.ListenCapture && Raw) Raw(s, c.Peer, c.Id, data, false);
            c.Capture.append(data);
            const TFeed feed{s, c.Peer, handler, say};
            const bool fed = s.Protocol == "astm" ? FeedAstm(c, data, feed) : FeedMllp(c, data, feed);
            // The bytes since the last message taken whole are kept, the newest of them at most.
            const size_t room = static_cast<size_t>(s.ListenMaxBytes) + 65536;
            if (c.Untaken.empty() && c.Refused.empty() && c.In.empty() && c.Records.empty()) {
                c.Capture.clear();
            } else if (c.Capture.size() > 2 * room) {
                c.Capture.erase(0, c.Capture.size() - room);
                c.CaptureCut = true;
            }
            if (!fed || c.Out.size() > MaxPendingReply) {
                if (fed)
                    say("source " + s.Id + ": connection from " + c.Peer + " closed: it reads no replies");
                gone[k] = true;
            }
        }
        for (size_t k = cs.size(); k-- > 0;)
            if (k < gone.size() && gone[k]) End(k);
    }
}
