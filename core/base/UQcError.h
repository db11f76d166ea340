// Errors raised by storage and conversion operations; the message is shown to the user as it stands.
#pragma once

#include <stdexcept>
#include <string>

// A failure that carries the text of the message box the calling window shows and, for a file that
// could not be read or written, the file and the system's reason. Inside core a failure travels as
// this exception; the operations layer hands it to its callers as the operation's outcome.
class EQcError : public std::runtime_error {
public:
    explicit EQcError(const std::string& message) : std::runtime_error(message) {}
    EQcError(const std::string& message, std::string file, std::string reason)
        : std::runtime_error(message), File(std::move(file)), Reason(std::move(reason)) {}
    std::string File;
    std::string Reason;
};

// A refused entry (number boxes, grid cells): the text names what was wrong with the input.
class EConvertError : public EQcError {
public:
    explicit EConvertError(const std::string& message) : EQcError(message) {}
};
