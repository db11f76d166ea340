// Errors raised by storage and conversion operations; the message is shown to the user as it stands.
#pragma once

#include <stdexcept>
#include <string>

// A failure that carries the text of the message box the calling window shows.
class EQcError : public std::runtime_error {
public:
    explicit EQcError(const std::string& message) : std::runtime_error(message) {}
};

// A refused entry (number boxes, grid cells): the text names what was wrong with the input.
class EConvertError : public EQcError {
public:
    explicit EConvertError(const std::string& message) : EQcError(message) {}
};
