// Instrument file reading speed: a day's QC of a busy bench and a large backlog in each format, and one
// message holding many results in one order.
#include <benchmark/benchmark.h>
#include <string>

#include "UInstrument.h"

namespace {

std::string Stamp(int k) {
    char s[32];
    std::snprintf(s, sizeof s, "202403%02d%02d%02d00", 1 + k / 1440 % 28, k / 60 % 24, k % 60);
    return s;
}

std::string Astm(int results) {
    std::string out;
    for (int k = 0; k < results; ++k) {
        if (k % 3 == 0)
            out += "H|\\^&|M" + std::to_string(k) + "||CX-4000|||||||P|1\r\nO|1|QC-LOT" +
                   std::to_string(k % 7) + "||^^^GLU|R||||||Q\r\n";
        out += "R|" + std::to_string(k % 3 + 1) + "|^^^T" + std::to_string(k % 40) + "|" +
               std::to_string(5 + k % 100 / 10.0) + "|mmol/L||N||F||OP||" + Stamp(k) + "|CX-4000\r\n";
        if (k % 3 == 2 || k + 1 == results) out += "L|1|N\r\n";
    }
    return out;
}

std::string Hl7(int results, int perMessage) {
    std::string out;
    for (int k = 0; k < results; ++k) {
        if (k % perMessage == 0)
            out += "\x0BMSH|^~\\&|AX|Lab|LIS||" + Stamp(k) + "||OUL^R22^OUL_R22|M" + std::to_string(k) +
                   "|P|2.5.1\rSPM|1|QC|||||||||Q\rINV|C^N|||||||||||||||LOT" + std::to_string(k % 7) +
                   "\rOBR|1||QC\r";
        out += "OBX|1|NM|T" + std::to_string(k % 40) + "||" + std::to_string(5 + k % 100 / 10.0) +
               "|mmol/L|||||F|||" + Stamp(k) + "||OP||AX-01\r";
        if (k % perMessage == perMessage - 1 || k + 1 == results) out += "\x1C\r";
    }
    return out;
}

std::string Delimited(int results) {
    std::string out = "Instrument;Test;Lot;Level;Result;Date;Time;Operator\r\n";
    for (int k = 0; k < results; ++k)
        out += "CX-4000;T" + std::to_string(k % 40) + ";LOT" + std::to_string(k % 7) + ";" +
               std::to_string(k % 3 + 1) + ";5," + std::to_string(k % 100) + ";" +
               std::to_string(1 + k / 1440 % 28) + ".03.2024;" + std::to_string(k / 60 % 24) + ":" +
               std::to_string(k % 60) + ";OP\r\n";
    return out;
}

void Read(benchmark::State& state, const std::string& text, const TInstrumentSource& source) {
    size_t results = 0;
    for (auto _ : state) {
        TInstrumentBatch b = ReadInstrumentFile(text, source);
        results = b.Results.size();
        benchmark::DoNotOptimize(b);
    }
    if (results != static_cast<size_t>(state.range(0))) state.SkipWithError("results lost");
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_Astm(benchmark::State& state) {
    Read(state, Astm(static_cast<int>(state.range(0))), {});
}

void BM_Hl7(benchmark::State& state) {
    Read(state, Hl7(static_cast<int>(state.range(0)), 3), {});
}

// Every result in one order of one message: the group lookups must not grow with the results.
void BM_Hl7OneOrder(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    Read(state, Hl7(n, n), {});
}

void BM_Delimited(benchmark::State& state) {
    TInstrumentSource s = TInstrumentSource::FromText(
        "separator=semicolon\ncolumn.instrument=Instrument\ncolumn.test=Test\ncolumn.control=Lot\n"
        "column.level=Level\ncolumn.value=Result\ncolumn.date=Date\ncolumn.time=Time\n"
        "column.operator=Operator\ndecimal=,\ndateformat=d.MM.yyyy\n");
    Read(state, Delimited(static_cast<int>(state.range(0))), s);
}

} // namespace

BENCHMARK(BM_Astm)->Arg(300)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hl7)->Arg(300)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hl7OneOrder)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delimited)->Arg(300)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
