// libpq wrapper: text-form statements and results, COPY, notifications, redacted connection strings.
#include "UPgConnection.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <libpq-fe.h>

std::string RedactConnection(std::string_view conninfo) {
    // Read as libpq reads it, so that a secret is found however it is written; a string libpq cannot
    // read is not shown at all.
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(std::string(conninfo).c_str(), &error);
    if (error) PQfreemem(error);
    if (!options) return "***";
    std::string out;
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val) continue;
        std::string value = o->val;
        if (o->dispchar && o->dispchar[0] == '*') {
            value = "***";
        } else if (value.empty() || value.find_first_of(" '\\") != std::string::npos) {
            std::string quoted = "'";
            for (char c : value) quoted += c == '\'' || c == '\\' ? std::string("\\") + c : std::string(1, c);
            value = quoted + "'";
        }
        out += (out.empty() ? "" : " ") + std::string(o->keyword) + "=" + value;
    }
    PQconninfoFree(options);
    return out;
}

TPgResult::~TPgResult() {
    if (r_) PQclear(r_);
}

TPgResult& TPgResult::operator=(TPgResult&& o) noexcept {
    if (this != &o) {
        if (r_) PQclear(r_);
        r_ = o.r_;
        o.r_ = nullptr;
    }
    return *this;
}

int TPgResult::Rows() const {
    return r_ ? PQntuples(r_) : 0;
}
bool TPgResult::Null(int row, int col) const {
    return PQgetisnull(r_, row, col) != 0;
}
std::string TPgResult::Text(int row, int col) const {
    return std::string(View(row, col));
}
std::string_view TPgResult::View(int row, int col) const {
    return std::string_view(PQgetvalue(r_, row, col), static_cast<size_t>(PQgetlength(r_, row, col)));
}
int64_t TPgResult::Int(int row, int col) const {
    return std::strtoll(PQgetvalue(r_, row, col), nullptr, 10);
}
double TPgResult::Real(int row, int col) const {
    return std::strtod(PQgetvalue(r_, row, col), nullptr);
}
float TPgResult::Single(int row, int col) const {
    return std::strtof(PQgetvalue(r_, row, col), nullptr);
}
std::string TPgResult::Bytes(int row, int col) const {
    std::string_view hex = View(row, col);
    std::string out;
    if (hex.size() < 2 || hex[0] != '\\' || hex[1] != 'x') return out;
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    out.reserve((hex.size() - 2) / 2);
    for (size_t i = 2; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
    return out;
}

TPgConnection::~TPgConnection() {
    Close();
}

void TPgConnection::Close() {
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
}

namespace {
std::string Reason(pg_conn* c) {
    std::string why = c ? PQerrorMessage(c) : "out of memory";
    while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
    for (char& ch : why)
        if (ch == '\n') ch = ' ';
    return why;
}
} // namespace

void TPgConnection::Connect(const std::string& conninfo) {
    Close();
    conninfo_ = conninfo;
    conn_ = PQconnectdb(conninfo.c_str());
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
        std::string why = Reason(conn_);
        Close();
        throw EServerError("Cannot connect to the server " + RedactConnection(conninfo) + ": " + why, true,
                           "");
    }
    // The server's notices (a table already there) are no news for the user.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
    // Floats in their shortest exact form, so that text round trips give the same bits.
    Exec("SET extra_float_digits = 3; SET client_encoding = 'UTF8'; SET application_name = 'varnholt'");
}

bool TPgConnection::Ok() const {
    return conn_ && PQstatus(conn_) == CONNECTION_OK;
}

bool TPgConnection::Reset() {
    if (!conn_) return false;
    PQreset(conn_);
    if (PQstatus(conn_) != CONNECTION_OK) return false;
    try {
        Exec("SET extra_float_digits = 3; SET client_encoding = 'UTF8'; SET application_name = 'varnholt'");
    } catch (const EServerError&) {
        return false;
    }
    return true;
}

void TPgConnection::Fail(const std::string& what, pg_result* r) const {
    const bool lost = !conn_ || PQstatus(conn_) != CONNECTION_OK;
    std::string state;
    std::string why;
    if (r) {
        const char* s = PQresultErrorField(r, PG_DIAG_SQLSTATE);
        state = s ? s : "";
        const char* m = PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY);
        why = m ? m : "";
        PQclear(r);
    }
    if (why.empty()) why = Reason(conn_);
    if (lost) throw EServerError("The connection to the server was lost (" + why + ")", true, state);
    throw EServerError("Server error: " + why + " (" + what + ")", false, state);
}

TPgResult TPgConnection::Exec(std::string_view sql, const std::vector<TPgParam>& params) const {
    if (!conn_) throw EServerError("The server is not connected", true, "");
    std::string text(sql);
    std::vector<const char*> values;
    values.reserve(params.size());
    for (const TPgParam& p : params) values.push_back(p ? p->c_str() : nullptr);
    pg_result* r = params.empty() ? PQexec(conn_, text.c_str())
                                  : PQexecParams(conn_, text.c_str(), static_cast<int>(params.size()),
                                                 nullptr, values.data(), nullptr, nullptr, 0);
    const ExecStatusType st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) Fail(text.substr(0, 60), r);
    return TPgResult(r);
}

void TPgConnection::CopyText(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

void TPgConnection::Copy(std::string_view sql, std::string_view rows) const {
    if (!conn_) throw EServerError("The server is not connected", true, "");
    std::string text(sql);
    pg_result* r = PQexec(conn_, text.c_str());
    if (!r || PQresultStatus(r) != PGRES_COPY_IN) Fail(text.substr(0, 60), r);
    PQclear(r);
    const size_t piece = 1 << 20;
    for (size_t at = 0; at < rows.size(); at += piece) {
        const size_t n = std::min(piece, rows.size() - at);
        if (PQputCopyData(conn_, rows.data() + at, static_cast<int>(n)) != 1) Fail(text.substr(0, 60));
    }
    if (PQputCopyEnd(conn_, nullptr) != 1) Fail(text.substr(0, 60));
    r = PQgetResult(conn_);
    const bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
    if (!ok) {
        // Drain what remains of the copy before reporting.
        while (pg_result* more = PQgetResult(conn_)) PQclear(more);
        Fail(text.substr(0, 60), r);
    }
    PQclear(r);
    while (pg_result* more = PQgetResult(conn_)) PQclear(more);
}

int TPgConnection::Socket() const {
    return conn_ ? PQsocket(conn_) : -1;
}

int TPgConnection::BackendPid() const {
    return conn_ ? PQbackendPID(conn_) : 0;
}

std::vector<TPgNotice> TPgConnection::Notifications() {
    std::vector<TPgNotice> out;
    if (!conn_) return out;
    if (PQconsumeInput(conn_) == 0 || PQstatus(conn_) != CONNECTION_OK)
        throw EServerError("The connection to the server was lost (" + Reason(conn_) + ")", true, "");
    while (PGnotify* n = PQnotifies(conn_)) {
        out.push_back({n->relname, n->extra ? n->extra : "", n->be_pid});
        PQfreemem(n);
    }
    return out;
}

std::string TPgConnection::Quote(std::string_view identifier) {
    std::string out = "\"";
    for (char c : identifier) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string TPgConnection::HexBytes(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string out = "\\x";
    out.reserve(2 + 2 * bytes.size());
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}
