#include "UPeerView.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <cmath>
#include <set>

#include "UMessages.h"
#include "UPrintJob.h"
#include "UQualityCharts.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UPeerView)
};

QString BandText(TPeerBand band) {
    switch (band) {
    case TPeerBand::Good:
        return TUnitTexts::tr("good");
    case TPeerBand::Watch:
        return TUnitTexts::tr("watch");
    case TPeerBand::Act:
        return TUnitTexts::tr("act");
    default:
        return QStringLiteral("-");
    }
}

QString Optional(const std::optional<long double>& v, int decimals) {
    return v ? FixedText(*v, decimals) : QStringLiteral("-");
}

} // namespace

void DrawPeerChart(QPainter& p, const QRect& r, const std::vector<TOperations::TPeerComparison>& rows) {
    p.save();
    p.fillRect(r, Qt::white);
    const QFontMetrics fm(p.font(), p.device());
    const int left = r.left() + fm.horizontalAdvance(QStringLiteral("-0.0")) + 8;
    const QRect plot(left, r.top() + fm.height(), r.right() - left - 8, r.height() - 3 * fm.height());
    // The scale: +-3 peer SDs, wider for a lab interval beyond it.
    long double span = 3;
    for (const auto& row : rows)
        if (row.Lab.Sdi) {
            const long double half = row.Lab.LabSD ? *row.Lab.LabSD / row.Peer.Sd : 0;
            span = std::max(span, std::fabs(*row.Lab.Sdi) + half);
        }
    span = std::min<long double>(std::ceil(span), 20);
    auto y = [&](long double sdi) {
        return plot.top() + static_cast<int>(std::lround((span - sdi) / (2 * span) * plot.height()));
    };
    for (int s = -2; s <= 2; ++s) {
        p.setPen(QPen(s == 0 ? Qt::black : QColor(192, 192, 192), 1, s == 0 ? Qt::SolidLine : Qt::DashLine));
        p.drawLine(plot.left(), y(s), plot.right(), y(s));
        p.setPen(Qt::black);
        p.drawText(QRect(r.left(), y(s) - fm.height() / 2, left - r.left() - 4, fm.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(s));
    }
    p.drawRect(plot);
    const int n = static_cast<int>(rows.size());
    for (int k = 0; k < n; ++k) {
        const auto& row = rows[static_cast<size_t>(k)];
        const int centre = plot.left() + (2 * k + 1) * plot.width() / (2 * std::max(n, 1));
        const int w = std::max(4, plot.width() / (8 * std::max(n, 1)));
        // The peer: mean +- SD is -1 to +1.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(160, 160, 160));
        p.drawRect(QRect(QPoint(centre - w - 2, y(1)), QPoint(centre - 2, y(-1))));
        if (row.Lab.Sdi) {
            const long double half = row.Lab.LabSD ? *row.Lab.LabSD / row.Peer.Sd : 0;
            p.setBrush(QColor(0, 0, 200));
            p.drawRect(QRect(QPoint(centre + 2, y(*row.Lab.Sdi + half)),
                             QPoint(centre + w + 2, y(*row.Lab.Sdi - half))));
            p.setPen(QPen(Qt::black, 2));
            p.drawLine(centre + 2, y(*row.Lab.Sdi), centre + w + 2, y(*row.Lab.Sdi));
        }
        p.setPen(Qt::black);
        p.drawText(QRect(centre - plot.width() / (2 * std::max(n, 1)), plot.bottom() + 2,
                         plot.width() / std::max(n, 1), 2 * fm.height()),
                   Qt::AlignHCenter | Qt::AlignTop,
                   TUnitTexts::tr("Level %1").arg(row.Peer.Level) + QLatin1Char('\n') +
                       ToQString(row.Peer.Lot));
    }
    p.restore();
}

TWinPeer::TWinPeer(QWidget* parent) : QDialog(parent) {
    setObjectName("WinPeer");
    setFixedSize(780, 540);
    auto* month = new QLabel(tr("&Month"), this);
    month->setGeometry(8, 10, 60, 16);
    CBMonth = new QComboBox(this);
    CBMonth->setObjectName("CBMonth");
    CBMonth->setGeometry(70, 7, 110, 22);
    CBMonth->setAccessibleName(tr("Month"));
    month->setBuddy(CBMonth);
    Grid = new QTableWidget(0, 11, this);
    Grid->setObjectName("Grid");
    Grid->setGeometry(8, 36, 764, 170);
    Grid->setAccessibleName(tr("Laboratory and peer figures per level"));
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setHorizontalHeaderLabels({tr("Level"), tr("Material"), tr("Lot"), tr("Lab N"), tr("Lab mean"),
                                     tr("Lab SD"), tr("Peer mean"), tr("Peer SD"), tr("SDI"), tr("CVR"),
                                     tr("Band")});
    Grid->verticalHeader()->setVisible(false);
    Grid->horizontalHeader()->setStretchLastSection(true);
    PBoxPeer = new TChartBox(this, [this](QPainter& p, const QRect& r) { DrawPeerChart(p, r, rows_); });
    PBoxPeer->setObjectName("PBoxPeer");
    PBoxPeer->setGeometry(8, 212, 764, 270);
    PBoxPeer->setAccessibleName(tr("Peer chart"));
    LblNote = new QLabel(this);
    LblNote->setObjectName("LblNote");
    LblNote->setTextFormat(Qt::PlainText);
    LblNote->setWordWrap(true);
    LblNote->setGeometry(8, 488, 670, 44);
    LblNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    BtClose = new QPushButton(tr("Close"), this);
    BtClose->setObjectName("BtClose");
    BtClose->setGeometry(690, 502, 80, 25);
    BtClose->setDefault(true);
    connect(BtClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(CBMonth, &QComboBox::currentIndexChanged, this, &TWinPeer::Refill);
}

int TWinPeer::Execute(const TAnalyte* analyte) {
    if (!analyte) {
        ShowMessageBox(mkError, mbYes, FromQ(tr("No analyte.")));
        return QDialog::Rejected;
    }
    analyte_ = analyte;
    setWindowTitle(tr("Peer comparison of %1").arg(ToQString(analyte->Name)));
    {
        const QSignalBlocker block(CBMonth);
        CBMonth->clear();
        std::set<std::string> months;
        for (const TPeerStat& s : Operations().PeerStats(analyte->Name)) months.insert(s.Month);
        for (const std::string& m : months) CBMonth->addItem(ToQString(m));
        CBMonth->setCurrentIndex(CBMonth->count() - 1);
    }
    Refill();
    return exec();
}

void TWinPeer::Refill() {
    rows_.clear();
    Grid->setRowCount(0);
    QStringList notes;
    if (!analyte_) return;
    if (CBMonth->count() == 0) {
        notes << tr("No peer statistics for %1: import them with File > Import peer statistics.")
                     .arg(ToQString(analyte_->Name));
    } else {
        const TOutcome out =
            Operations().PeerComparison(*analyte_, FromQString(CBMonth->currentText()), rows_);
        if (!out.Ok()) notes << ToQString(out.Message);
        for (const std::string& n : out.Notes) notes << ToQString(n);
    }
    const int decimals = analyte_->Decimals + 1;
    Grid->setRowCount(static_cast<int>(rows_.size()));
    for (int k = 0; k < static_cast<int>(rows_.size()); ++k) {
        const auto& row = rows_[static_cast<size_t>(k)];
        const QString cells[] = {QString::number(row.Peer.Level),
                                 ToQString(row.Peer.Material),
                                 ToQString(row.Peer.Lot),
                                 QString::number(row.Lab.LabN),
                                 Optional(row.Lab.LabMean, decimals),
                                 Optional(row.Lab.LabSD, decimals),
                                 FixedText(row.Peer.Mean, decimals),
                                 FixedText(row.Peer.Sd, decimals),
                                 Optional(row.Lab.Sdi, 2),
                                 Optional(row.Lab.Cvr, 2),
                                 BandText(row.Lab.Band)};
        for (int c = 0; c < 11; ++c) Grid->setItem(k, c, new QTableWidgetItem(cells[c]));
        if (row.Lab.LabN == 0)
            notes << tr("Level %1: no value of %2 lot %3 in the month")
                         .arg(row.Peer.Level)
                         .arg(ToQString(row.Peer.Material), ToQString(row.Peer.Lot));
    }
    Grid->resizeColumnsToContents();
    if (notes.isEmpty())
        notes << tr("SDI = (lab mean - peer mean) / peer SD: good up to 1, watch up to 2, act beyond; "
                    "CVR = lab CV / peer CV.");
    LblNote->setText(notes.join(QLatin1Char('\n')));
    PBoxPeer->update();
}
