// Reading HL7 v2.5.1 result messages: OUL^R22 as laboratory analysers send QC, and ORU^R01.
#pragma once

#include <string_view>

#include "UInstrument.h"

// Reads every message of the file, MLLP blocks (<VT> ... <FS><CR>) unwrapped; segments end with CR, LF
// or CRLF. A result is an OBX of an order (OBR): test code OBX-3.1, value OBX-5 (a structured numeric
// only when it is a plain number), time OBX-14, else OBX-19, else OBR-7. In OUL messages the control
// is the INV segment's lot (INV-16, else INV-1.1) and the specimen role SPM-11 "Q" marks QC; other
// messages take the control from the source's field. A message with a malformed segment gives no
// result. EQcError when the file begins inside a message; ETruncatedFile when an MLLP block is not
// closed or the last segment has no terminator.
// Results the message does not mark as QC are taken when `mapped` says the laboratory mapped them.
TInstrumentBatch ReadHl7Text(std::string_view bytes, const TInstrumentSource& source,
                             const TQcMapping& mapped = {});
