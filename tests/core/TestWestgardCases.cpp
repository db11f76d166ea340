// Table-driven Westgard cases: each line of tests/data/westgard_cases.txt builds an analyte, its
// history and a run, and compares the engine's outcome text (format described in that file).
#include <charconv>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

#include "TestHelpers.h"
#include "TestWestgardSupport.h"
#include "UWestgard.h"

using namespace wg;

namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string piece;
    std::istringstream in(s);
    while (std::getline(in, piece, sep)) out.push_back(Trim(piece));
    if (!s.empty() && s.back() == sep) out.emplace_back();
    return out;
}

std::vector<std::string> Words(const std::string& s) {
    std::vector<std::string> out;
    std::istringstream in(s);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

double Number(const std::string& s) {
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size())
        throw std::runtime_error("not a number: '" + s + "'");
    return v;
}

// A value token: '-' empty, value (classified), value:code (state stored as given).
LevelValue Token(const std::string& t, bool& classify) {
    if (t == "-") return {0, psEmpty};
    size_t colon = t.find(':');
    if (colon == std::string::npos) {
        classify = true;
        return {static_cast<float>(Number(t)), psInControl};
    }
    int code = static_cast<int>(Number(t.substr(colon + 1)));
    if (code < 0 || code > psDiscarded) throw std::runtime_error("bad state code in '" + t + "'");
    return {static_cast<float>(Number(t.substr(0, colon))), static_cast<PointState>(code)};
}

// Values of one point or run; tokens without a code are classified against the level's limits.
TLevelValues Values(const TAnalyte& a, const std::vector<std::string>& tokens) {
    if (static_cast<int>(tokens.size()) != a.NbLevels)
        throw std::runtime_error("wrong number of level values");
    TLevelValues v{};
    TLevelValues classified{};
    for (int i = 0; i < a.NbLevels; ++i) {
        bool classify = false;
        v[i] = Token(tokens[i], classify);
        classified[i] = classify ? v[i] : LevelValue{0, psEmpty};
    }
    a.ClassifyRun(classified);
    for (int i = 0; i < a.NbLevels; ++i)
        if (classified[i].State != psEmpty) v[i] = classified[i];
    return v;
}

struct TCase {
    int line = 0;
    std::string name;
    TAnalyte analyte;
    TResu run;
    TRejectToggles rejected{};
    bool on = true;
    std::string expected;
};

TCase ParseCase(const std::string& text, int line) {
    std::vector<std::string> f = Split(text, '|');
    if (f.size() != 6) throw std::runtime_error("expected 6 fields, found " + std::to_string(f.size()));
    TCase c;
    c.line = line;
    c.name = f[0];
    c.expected = f[5];

    std::vector<std::string> groups = Split(f[1], ';');
    if (groups.empty() || groups.size() > MaxLevels) throw std::runtime_error("one to three levels");
    c.analyte = Analyte(static_cast<int>(groups.size()));
    for (size_t i = 0; i < groups.size(); ++i) {
        std::vector<std::string> w = Words(groups[i]);
        if (w.size() != 4 || w[0].empty() || w[0].size() > 2)
            throw std::runtime_error("bad level '" + groups[i] + "'");
        LimitMode mode = w[0][0] == 'M' ? lmMobile : w[0][0] == 'L' ? lmLocked : lmFixed;
        if (std::string("MLF").find(w[0][0]) == std::string::npos)
            throw std::runtime_error("bad mode " + w[0]);
        if (w[0].size() == 2 && w[0][1] != 'u') throw std::runtime_error("bad mode " + w[0]);
        uint8_t state = w[0].size() == 2 ? 6 : 0;
        SetLimits(c.analyte, static_cast<int>(i), Number(w[1]), Number(w[2]), Number(w[3]), mode, state);
    }

    TDateTime day = 1;
    if (!f[2].empty()) {
        for (const std::string& point : Split(f[2], ';')) {
            std::vector<std::string> w = Words(point);
            int repeat = 1;
            if (!w.empty() && w[0].back() == '*') {
                repeat = static_cast<int>(Number(w[0].substr(0, w[0].size() - 1)));
                w.erase(w.begin());
            }
            TLevelValues values = Values(c.analyte, w);
            for (int k = 0; k < repeat; ++k) {
                ControlPoint p;
                p.DateTime = day++;
                p.Levels = values;
                c.analyte.Points.push_back(p);
            }
        }
    }

    std::vector<std::string> w = Words(f[3]);
    c.run.DateTime = day;
    if (!w.empty() && w[0][0] == '@') {
        c.run.DateTime = Number(w[0].substr(1));
        w.erase(w.begin());
    }
    c.run.Levels = Values(c.analyte, w);

    for (const std::string& opt : Words(f[4])) {
        if (opt == "off")
            c.on = false;
        else if (opt.rfind("reject=", 0) == 0)
            for (const std::string& k : Split(opt.substr(7), ',')) {
                int level = static_cast<int>(Number(k));
                if (level < 1 || level > c.analyte.NbLevels) throw std::runtime_error("bad level " + k);
                c.rejected[level - 1] = true;
            }
        else
            throw std::runtime_error("bad option " + opt);
    }
    return c;
}

std::vector<TCase> ReadCases(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path);
    std::vector<TCase> cases;
    int line = 0;
    for (std::string text; std::getline(in, text);) {
        ++line;
        std::string t = Trim(text);
        if (t.empty() || t[0] == '#') continue;
        try {
            cases.push_back(ParseCase(t, line));
        } catch (const std::exception& e) {
            throw std::runtime_error("line " + std::to_string(line) + ": " + e.what());
        }
    }
    return cases;
}

} // namespace

TEST(WestgardCases, EveryCaseOfTheTableGivesItsOutcome) {
    std::vector<TCase> cases;
    try {
        cases = ReadCases(std::string(VARNHOLT_TEST_DATA) + "/westgard_cases.txt");
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
    ASSERT_GE(cases.size(), 30u);
    for (const TCase& c : cases) {
        SCOPED_TRACE("line " + std::to_string(c.line) + ": " + c.name);
        TMultiruleResult r =
            EvaluateMultirules(c.analyte, c.run, PreviousIndex(c.analyte, c.run.DateTime), c.rejected, c.on);
        EXPECT_EQ(Describe(c.analyte, r), c.expected);
    }
}
