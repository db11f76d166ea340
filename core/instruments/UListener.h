// Live connections of the inbox's sources: HL7 messages in MLLP blocks, or ASTM messages in E1381 frames,
// received on TCP, each handed to the caller, who records it and says how it went.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "UInstrument.h"

// MLLP framing: a block starts with VT and ends with FS CR.
inline constexpr char MllpStart = '\x0B';
inline constexpr char MllpEnd = '\x1C';

// What became of a message received: "AA" recorded, "AE" read with faults (kept in failed/, not worth
// sending again), "AR" not recorded (to be sent again); the reason for the sender.
struct TLiveOutcome {
    std::string Code = "AA";
    std::string Reason;
};
// Whether the records begin (after blanks and line ends) with an ASTM header record.
bool AstmHasHeader(std::string_view records);

struct TListenAddress {
    std::string Host; // numeric IPv4 or IPv6 address
    int Port = 0;
};
// "HOST:PORT", "[ADDR]:PORT" or "PORT" (on 127.0.0.1); "localhost" is 127.0.0.1. Only numeric hosts:
// nothing is looked up. std::nullopt for anything else.
std::optional<TListenAddress> ParseListenAddress(std::string_view text);
// A numeric IPv4 or IPv6 address.
bool IsNumericAddress(std::string_view text);

// The acknowledgement of an HL7 message (original mode): MSH answering the message's header, MSA with
// `code` ("AA", "AE" or "AR") and the message's MSH-10, the reason in MSA-3 and, unless accepted, an
// ERR segment. A message without a readable header is answered with the default delimiters and an
// empty MSA-2. Segments end with CR; no MLLP framing.
std::string Hl7Acknowledgement(std::string_view message, std::string_view code, std::string_view reason);
// MSH-10 of the message's first header, empty when there is none.
std::string Hl7MessageControlId(std::string_view message);
// Whether the message begins (after blanks and line ends) with an MSH segment.
bool Hl7HasHeader(std::string_view message);

// The listeners of the sources that have one, served in one thread without blocking: a slow peer
// holds only its own connection.
class TListeners {
public:
    // A complete message received from `peer` (its address) by the source's listener: an HL7 message
    // (MLLP's framing taken off) or the records of one ASTM message (the frames' texts joined, each
    // record ending with CR). MLLP answers it with an acknowledgement of the outcome's code; E1381
    // acknowledges its last frame (ACK) unless the code is "AR" (NAK: the sender sends it again).
    using THandler = std::function<TLiveOutcome(const TInstrumentSource& source, const std::string& peer,
                                                const std::string& message)>;
    TListeners();
    ~TListeners();
    TListeners(const TListeners&) = delete;
    TListeners& operator=(const TListeners&) = delete;

    // Listens as these sources say: listeners of sources gone or changed are closed with their
    // connections, new ones opened. Returns one line for each that cannot listen.
    std::vector<std::string> Configure(const std::vector<TInstrumentSource>& sources);
    // Serves the connections for up to `wait`: accepts, reads, hands over each complete message, writes
    // replies, closes connections over their limits. Returns early when a signal interrupts the wait.
    void Serve(std::chrono::milliseconds wait, const THandler& handler);
    // Listening sockets open.
    size_t Count() const;
    // Where each notice goes (a refused peer, a closed connection); none by default.
    std::function<void(const std::string&)> Notice;
    // The port a source listens on (its listener's own when it asked for port 0), 0 when none.
    int PortOf(const std::string& source) const;
    // A connection that ended with bytes not taken as a message (outside any block or transmission, a
    // frame refused, a message left unfinished or too large): the bytes it sent since the last message
    // taken whole (the newest, up to its message limit and 64 KiB more) and why, to be kept
    // (KeepConnectionBytes). None by default.
    std::function<void(const TInstrumentSource& source, const std::string& peer, const std::string& bytes,
                       const std::string& why)>
        Unread;
    // Sources with listen.capture=yes: every byte each connection sends, as it comes, and once, with no
    // bytes, `ended` when it closes (TConnectionCaptures keeps them). None by default.
    std::function<void(const TInstrumentSource& source, const std::string& peer, uint64_t connection,
                       std::string_view bytes, bool ended)>
        Raw;

    struct TState; // the sockets and connections

private:
    // Takes the waiting connections of one listener, refusing those it does not allow.
    void Accept(size_t listener, const std::function<void(const std::string&)>& say);
    // Closes connection k, its untaken bytes handed to Unread first.
    void End(size_t k);
    std::unique_ptr<TState> state_;
};
