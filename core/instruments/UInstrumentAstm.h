// Reading ASTM E1394 / LIS2-A2 result messages (H, P, O, R, C, L records), plain or in low-level frames.
#pragma once

#include <string_view>

#include "UInstrument.h"

// Reads every message (H ... L) of the file. Delimiters come from each H record. Low-level frames
// (<STX>n text <ETX|ETB> checksum <CR><LF>) are checked and joined; a retransmitted frame counts once.
// Results of orders the file marks as QC (O-12 or H-12 "Q") or the source's options take are kept.
// A message with a damaged frame, no terminator before the next header or an aborted terminator gives
// no result; a result whose value or date cannot be read gives a fault instead. EQcError when the
// file begins inside a message; ETruncatedFile when it ends inside one.
// Results the message does not mark as QC are taken when `mapped` says the laboratory mapped them.
TInstrumentBatch ReadAstmText(std::string_view bytes, const TInstrumentSource& source,
                              const TQcMapping& mapped = {});
