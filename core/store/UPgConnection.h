// A connection to the PostgreSQL server through libpq's C API: statements, copies, notifications.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "UQcError.h"

struct pg_conn;
struct pg_result;

// The connection string as libpq reads it (key=value and URI forms), each field as key=value and its
// password (any secret field) as "***", for every message, printout and log line that names the server;
// "***" alone for a string libpq cannot read.
std::string RedactConnection(std::string_view conninfo);

// A failure of the server: Lost when the connection broke (the statement's fate may be unknown),
// State the SQLSTATE when the server answered with an error.
class EServerError : public EQcError {
public:
    EServerError(const std::string& message, bool lost, std::string state)
        : EQcError(message), Lost(lost), State(std::move(state)) {}
    bool Lost;
    std::string State;
};

// One result; rows and columns from 0, values in text form.
class TPgResult {
public:
    explicit TPgResult(pg_result* r = nullptr) : r_(r) {}
    ~TPgResult();
    TPgResult(TPgResult&& o) noexcept : r_(o.r_) { o.r_ = nullptr; }
    TPgResult& operator=(TPgResult&& o) noexcept;
    TPgResult(const TPgResult&) = delete;
    TPgResult& operator=(const TPgResult&) = delete;

    int Rows() const;
    bool Null(int row, int col) const;
    std::string Text(int row, int col) const;
    std::string_view View(int row, int col) const;
    int64_t Int(int row, int col) const;
    double Real(int row, int col) const;
    float Single(int row, int col) const;
    // A bytea column in hex form.
    std::string Bytes(int row, int col) const;

private:
    pg_result* r_;
};

// A parameter: text, or SQL NULL.
using TPgParam = std::optional<std::string>;

struct TPgNotice {
    std::string Channel, Payload;
    int Pid = 0;
};

class TPgConnection {
public:
    TPgConnection() = default;
    ~TPgConnection();
    TPgConnection(const TPgConnection&) = delete;
    TPgConnection& operator=(const TPgConnection&) = delete;

    // Connects; throws EServerError naming the server (its password redacted) and libpq's reason.
    void Connect(const std::string& conninfo);
    void Close();
    bool IsOpen() const { return conn_ != nullptr; }
    // True while the connection is usable.
    bool Ok() const;
    // Tries to connect again after a lost connection; false when the server still does not answer.
    bool Reset();

    TPgResult Exec(std::string_view sql, const std::vector<TPgParam>& params = {}) const;
    // COPY ... FROM STDIN with rows in COPY's text format (CopyText escapes a field).
    void Copy(std::string_view sql, std::string_view rows) const;
    static void CopyText(std::string& out, std::string_view text);

    int Socket() const;
    int BackendPid() const;
    // Reads what the server sent and returns its notifications; throws EServerError when the
    // connection is lost.
    std::vector<TPgNotice> Notifications();

    static std::string Quote(std::string_view identifier);
    // A bytea parameter in hex form.
    static std::string HexBytes(std::string_view bytes);

private:
    [[noreturn]] void Fail(const std::string& what, pg_result* r = nullptr) const;
    pg_conn* conn_ = nullptr;
    std::string conninfo_;
};
