// Small pieces the companion's command units share.
#pragma once

#include <optional>
#include <string>

class TJsonWriter;
class TAnalyte;
struct TOutcome;

// The analyte of a UTF-8 name given on the command line; an unknown name refuses the command.
const TAnalyte& FindAnalyte(const std::string& utf8Name);
// A figure, or null when it is not available.
void Optional(TJsonWriter& j, const std::optional<long double>& v);
// An operation's notes on standard error.
void Notes(const TOutcome& out);
