#include "UPqcTuning.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <algorithm>
#include <cmath>

#include "UMessages.h"
#include "UPrintJob.h"
#include "UQcError.h"
#include "UQualityCharts.h"
#include "UUtilitaires.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UPqcTuning)
};

constexpr TPqcProcedure Procedures[] = {TPqcProcedure::MovingAverage, TPqcProcedure::MovingMedian,
                                        TPqcProcedure::Ewma};

QString ProcedureText(TPqcProcedure p) {
    switch (p) {
    case TPqcProcedure::MovingMedian:
        return TUnitTexts::tr("Moving median");
    case TPqcProcedure::Ewma:
        return TUnitTexts::tr("EWMA");
    default:
        return TUnitTexts::tr("Moving average");
    }
}

QColor ProcedureColour(TPqcProcedure p) {
    switch (p) {
    case TPqcProcedure::MovingMedian:
        return QColor(0, 140, 0);
    case TPqcProcedure::Ewma:
        return QColor(230, 120, 0);
    default:
        return QColor(0, 0, 200);
    }
}

QString BiasText(const TPqcBias& b) {
    return (b.Size > 0 ? QStringLiteral("+") : QString()) + FixedText(b.Size, 1) +
           (b.Percent ? QStringLiteral(" %") : QString());
}

} // namespace

void DrawPqcTuningCurve(QPainter& p, const QRect& r, const std::vector<TPqcTuningLine>& lines) {
    p.save();
    p.fillRect(r, Qt::white);
    const QFontMetrics fm(p.font(), p.device());
    const int left = r.left() + fm.horizontalAdvance(QStringLiteral("00000")) + 8;
    const QRect plot(left, r.top() + fm.height(), r.right() - left - 8, r.height() - 3 * fm.height());
    p.setPen(Qt::black);
    p.drawRect(plot);
    double lo = 0, hi = 0, top = 1;
    for (const TPqcTuningLine& l : lines) {
        lo = std::min(lo, l.Bias.Size);
        hi = std::max(hi, l.Bias.Size);
        if (l.Message.empty()) top = std::max(top, l.Simulation.ANPed);
    }
    if (lines.empty() || hi == lo) {
        p.restore();
        return;
    }
    top = std::ceil(top * 1.1);
    auto x = [&](double b) {
        return plot.left() + static_cast<int>(std::lround((b - lo) / (hi - lo) * plot.width()));
    };
    auto y = [&](double anped) {
        return plot.bottom() - static_cast<int>(std::lround(std::min(anped, top) / top * plot.height()));
    };
    for (double t : {0.0, top / 2, top}) {
        p.drawText(QRect(r.left(), y(t) - fm.height() / 2, left - r.left() - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(std::lround(t)));
    }
    p.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), fm.height()), Qt::AlignLeft,
               QString::number(lo));
    p.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), fm.height()), Qt::AlignRight,
               QString::number(hi));
    p.drawText(QRect(plot.left(), plot.bottom() + 2, plot.width(), fm.height()), Qt::AlignHCenter,
               TUnitTexts::tr("bias; up: patients affected before detection (ANPed)"));
    int legend = plot.left() + 6;
    for (TPqcProcedure proc : Procedures) {
        QPolygon line;
        for (const TPqcTuningLine& l : lines)
            if (l.Settings.Procedure == proc && l.Message.empty())
                line << QPoint(x(l.Bias.Size), y(l.Simulation.ANPed));
        std::sort(line.begin(), line.end(), [](const QPoint& a, const QPoint& b) { return a.x() < b.x(); });
        p.setPen(QPen(ProcedureColour(proc), 2));
        p.drawPolyline(line);
        p.setBrush(ProcedureColour(proc));
        for (const QPoint& pt : line) p.drawEllipse(pt, 3, 3);
        p.setBrush(Qt::NoBrush);
        const QString name = ProcedureText(proc);
        p.drawLine(legend, plot.top() + fm.height() / 2 + 2, legend + 16, plot.top() + fm.height() / 2 + 2);
        p.setPen(Qt::black);
        p.drawText(legend + 20, plot.top() + fm.ascent() + 2, name);
        legend += 28 + fm.horizontalAdvance(name);
    }
    p.restore();
}

TWinPqcTuning::TWinPqcTuning(QWidget* parent) : QDialog(parent) {
    setObjectName("WinPqcTuning");
    setFixedSize(820, 560);
    auto caption = [this](const QString& text, QWidget* buddy, int x, int w) {
        auto* l = new QLabel(text, this);
        l->setGeometry(x, 11, w, 16);
        l->setBuddy(buddy);
    };
    EdBiases = new QLineEdit(QStringLiteral("-10 -5 5 10"), this);
    EdBiases->setObjectName("EdBiases");
    EdBiases->setAccessibleName(tr("Biases"));
    EdBiases->setGeometry(70, 8, 160, 22);
    caption(tr("&Biases"), EdBiases, 8, 60);
    CBBiasUnit = new QComboBox(this);
    CBBiasUnit->setObjectName("CBBiasUnit");
    CBBiasUnit->setAccessibleName(tr("Bias unit"));
    CBBiasUnit->addItems({tr("percent"), tr("units")});
    CBBiasUnit->setGeometry(236, 8, 90, 22);
    EdRuns = new QSpinBox(this);
    EdRuns->setObjectName("EdRuns");
    EdRuns->setAccessibleName(tr("Runs per line"));
    EdRuns->setRange(10, 5000);
    EdRuns->setValue(200);
    EdRuns->setGeometry(400, 8, 80, 22);
    caption(tr("&Runs"), EdRuns, 340, 56);
    EdSeed = new QSpinBox(this);
    EdSeed->setObjectName("EdSeed");
    EdSeed->setAccessibleName(tr("Seed"));
    EdSeed->setRange(1, 999999999);
    EdSeed->setValue(1);
    EdSeed->setGeometry(540, 8, 100, 22);
    caption(tr("S&eed"), EdSeed, 490, 48);
    BtSimulate = new QPushButton(tr("&Simulate"), this);
    BtSimulate->setObjectName("BtSimulate");
    BtSimulate->setGeometry(700, 7, 112, 25);
    Grid = new QTableWidget(0, 11, this);
    Grid->setObjectName("Grid");
    Grid->setAccessibleName(tr("Procedures under each bias"));
    Grid->setGeometry(8, 40, 804, 200);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setHorizontalHeaderLabels({tr("Procedure"), tr("N"), tr("Lambda"), tr("Low"), tr("High"),
                                     tr("Bias"), tr("False alarms per 1000"), tr("ANPed"), tr("ANPed 95th"),
                                     tr("Undetected"), tr("Note")});
    Grid->verticalHeader()->setVisible(false);
    Grid->horizontalHeader()->setStretchLastSection(true);
    PBoxCurve =
        new TChartBox(this, [this](QPainter& p, const QRect& r) { DrawPqcTuningCurve(p, r, lines_); });
    PBoxCurve->setObjectName("PBoxCurve");
    PBoxCurve->setAccessibleName(tr("Bias detection curve"));
    PBoxCurve->setGeometry(8, 246, 804, 230);
    LblNote = new QLabel(this);
    LblNote->setObjectName("LblNote");
    LblNote->setTextFormat(Qt::PlainText);
    LblNote->setWordWrap(true);
    LblNote->setGeometry(8, 482, 804, 36);
    LblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    BtUse = new QPushButton(tr("&Use these settings"), this);
    BtUse->setObjectName("BtUse");
    BtUse->setGeometry(8, 527, 160, 25);
    BtClose = new QPushButton(tr("Close"), this);
    BtClose->setObjectName("BtClose");
    BtClose->setGeometry(732, 527, 80, 25);
    connect(BtSimulate, &QPushButton::clicked, this, &TWinPqcTuning::BtSimulateClick);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtUse, &QPushButton::clicked, this, [this] {
        const int row = Grid->currentRow();
        if (row < 0 || row >= static_cast<int>(lines_.size()) ||
            !lines_[static_cast<size_t>(row)].Message.empty())
            return;
        chosen_ = lines_[static_cast<size_t>(row)].Settings;
        accept();
    });
    connect(Grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        BtUse->setEnabled(row >= 0 && row < static_cast<int>(lines_.size()) &&
                          lines_[static_cast<size_t>(row)].Message.empty());
    });
}

int TWinPqcTuning::Execute(const TPqcSettings& base, const std::vector<TPatientResult>& stream,
                           int decimals) {
    base_ = base;
    stream_ = stream;
    decimals_ = decimals;
    chosen_.reset();
    lines_.clear();
    setWindowTitle(tr("Tuning by simulation on %n results", "", static_cast<int>(stream.size())));
    Fill();
    LblNote->setText(tr("Each procedure gets its limits from the stream; each bias starts at random points "
                        "and runs until the first alarm. Choose Simulate."));
    BtSimulate->setDefault(true);
    return exec();
}

void TWinPqcTuning::BtSimulateClick() {
    std::vector<TPqcBias> biases;
    const bool percent = CBBiasUnit->currentIndex() == 0;
    for (const QString& part :
         EdBiases->text().split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts)) {
        std::string text = FromQString(part);
        try {
            biases.push_back({static_cast<double>(ReadRealText(text, false)), percent});
        } catch (const EQcError& e) {
            ShowMessageBox(mkError, mbOK,
                           FillQ(tr("%1: %2"), FromQString(EdBiases->accessibleName()), e.what()));
            EdBiases->setFocus();
            return;
        }
    }
    std::vector<TPqcTuningLine> made;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        made = TunePqc(base_, stream_, biases, EdRuns->value(), static_cast<uint64_t>(EdSeed->value()));
    } catch (const EQcError& e) {
        QApplication::restoreOverrideCursor();
        ShowMessageBox(mkError, mbOK, e.what());
        return;
    }
    QApplication::restoreOverrideCursor();
    lines_ = std::move(made);
    Fill();
    LblNote->setText(tr("%1 runs per line, seed %2: the same stream, settings, runs and seed give the same "
                        "figures. Choose a line and Use these settings; Save in the patient-based QC window "
                        "keeps them.")
                         .arg(EdRuns->value())
                         .arg(EdSeed->value()));
}

void TWinPqcTuning::Fill() {
    Grid->setRowCount(static_cast<int>(lines_.size()));
    for (int k = 0; k < static_cast<int>(lines_.size()); ++k) {
        const TPqcTuningLine& l = lines_[static_cast<size_t>(k)];
        const bool figures = l.Message.empty();
        const TPqcSimulation& s = l.Simulation;
        const QString none = QStringLiteral("-");
        const QString cells[] = {ProcedureText(l.Settings.Procedure),
                                 QString::number(l.Settings.N),
                                 l.Settings.Procedure == TPqcProcedure::Ewma ? FixedText(l.Settings.Lambda, 2)
                                                                             : none,
                                 figures ? FixedText(l.Settings.Low, decimals_ + 1) : none,
                                 figures ? FixedText(l.Settings.High, decimals_ + 1) : none,
                                 BiasText(l.Bias),
                                 figures ? FixedText(s.FalseAlarmsPer1000, 2) : none,
                                 figures ? FixedText(s.ANPed, 1) : none,
                                 figures ? FixedText(s.ANPed95, 0) : none,
                                 figures ? QString::number(s.Undetected) : none,
                                 ToQString(l.Message)};
        for (int c = 0; c < 11; ++c) Grid->setItem(k, c, new QTableWidgetItem(cells[c]));
    }
    Grid->resizeColumnsToContents();
    BtUse->setEnabled(false);
    PBoxCurve->update();
}
