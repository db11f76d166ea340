// The measurement uncertainty of an analyte's levels for the accreditation file: the figures per level
// with the lots pooled, the formula, the source of the bias and the printing date.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>
#include <vector>

#include "UPrintJob.h"
#include "UUncertainty.h"

struct TUncertaintyPrintout {
    std::string Analyte;
    int Decimals = 2; // the analyte's own, for the lots' means and SDs
    TUncertaintyRequest Request;
    std::vector<TLevelUncertainty> Levels;
    std::vector<std::string> Notes; // the computation's notes (archives left out)
};

// The texts the window and the printout share.
struct TUncertaintyTexts {
    Q_DECLARE_TR_FUNCTIONS(TUncertaintyTexts)
public:
    // A percentage with two decimals, "-" without a value.
    static QString Pct(const std::optional<long double>& v);
    // "material lot: n 20, CV 2.10 %" per lot, the lots left out marked.
    static QString Lots(const TLevelUncertainty& u);
    static QString Source(TBiasSource source);
    // The source as the header line says it, with the target's stated uncertainty.
    static QString SourceLine(const TUncertaintyRequest& r);
    static QString Met(const TLevelUncertainty& u);
    static QString Formula(long double k);
};

void PrintUncertainty(TPrintCanvas& canvas, const TUncertaintyPrintout& p);
