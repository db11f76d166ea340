// Reading delimited text from an instrument's middleware (tab, semicolon or comma) through a column mapping.
#pragma once

#include <string_view>

#include "UInstrument.h"

// Reads the lines after the header line (when the source has one) through the source's columns.
// Quoted fields ("a;b", "" for a quote) are taken whole. EQcError when the mapping does not fit the
// file (a missing column, no separator); ETruncatedFile when the last line stops short of its columns
// without a line end. A line with a fault gives no result and one fault naming all its problems.
TInstrumentBatch ReadDelimitedText(std::string_view bytes, const TInstrumentSource& source);
