// Window-test support for validation, queue and backup: analytes with set limits, on-disk checks.
#include "support_valid.h"

#include <QApplication>
#include <QTimer>

#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UFifoResult.h"
#include "UValidCQ.h"

void ValidSetLimits(TAnalyte& a, int level, long double mean, long double warn, long double action) {
    LevelStats& l = a.Limits[static_cast<size_t>(level)];
    l.Mean = mean;
    l.WarnDev = warn;
    l.ActionDev = action;
    l.State = 0;
    l.N = 20;
}

TResu ValidRun(const TAnalyte& a, int day, std::initializer_list<float> values) {
    TResu r;
    r.AnalyteName = a.Name;
    r.DateTime = EncodeDate(2024, 1, 1) + day + 10.0 / 24;
    size_t k = 0;
    for (float v : values) {
        if (!std::isnan(v)) r.Levels[k] = {v, psInControl};
        ++k;
    }
    return r;
}

std::vector<std::unique_ptr<TAnalyte>> ValidDataFileAnalytes(const std::string& path) {
    if (!FileExists(path)) return {};
    TListSerum serum;
    TListAnalytes analytes;
    ParseDataImage(ReadWholeFile(path), serum, analytes);
    return std::move(analytes.Items);
}

std::vector<TResu> ValidQueueFile() {
    if (!FileExists(QueueFileName())) return {};
    return ParseQueueImage(ReadWholeFile(QueueFileName()));
}

bool TValidDriver::operator()(TAnalyte& a, TResu& r) {
    ++shown;
    QTimer::singleShot(0, &win, [this] {
        if (act) act(win);
        (pressOK ? win.BtOK : win.BtCancel)->click();
    });
    return win.Execute(a, r);
}
