#include "UCliShared.h"

#include <iostream>

#include "UCliJson.h"
#include "UCodePage.h"
#include "UOperations.h"
#include "UQcError.h"

const TAnalyte& FindAnalyte(const std::string& utf8Name) {
    const TAnalyte* a = ListAnalytes.FindByName(Utf8ToCp1252(utf8Name));
    if (!a) throw EQcError("unknown analyte: " + Utf8ToCp1252(utf8Name));
    return *a;
}

void Optional(TJsonWriter& j, const std::optional<long double>& v) {
    if (v)
        j.Real(*v);
    else
        j.Null();
}

void Notes(const TOutcome& out) {
    for (const std::string& note : out.Notes) std::cerr << "varnholt-cli: " << Cp1252ToUtf8(note) << "\n";
}
