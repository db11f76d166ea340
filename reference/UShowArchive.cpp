// TWinShowArchive: the points and statistics of one archive, and their printout.
#include "UShowArchive.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "UMessages.h"
#include "UPrintJob.h"
#include "URefCommon.h"
#include "UUtilitaires.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UShowArchive)
};
} // namespace

using namespace refui;

namespace {
constexpr size_t PointColumns = 5;
}

TWinShowArchive::TWinShowArchive(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("WinShowArchive"));
    setFixedSize(560, 420);

    LB = MakeRowList13(this, "LB", {60, 120, 180, 230}, false);
    LB->setGeometry(10, 30, 380, 375);
    PlaceColumnTitles(this, LB,
                      {QT_TRANSLATE_NOOP("URefPrintout", "Date"), QT_TRANSLATE_NOOP("URefPrintout", "Time"),
                       QT_TRANSLATE_NOOP("URefPrintout", "Result"),
                       QT_TRANSLATE_NOOP("URefPrintout", "Operator"),
                       QT_TRANSLATE_NOOP("URefPrintout", "Comment")},
                      {0, 60, 120, 180, 230});

    PanelControlMaterial = new QLabel(this);
    PanelControlMaterial->setObjectName(QStringLiteral("PanelControlMaterial"));
    PanelControlMaterial->setTextFormat(Qt::PlainText);
    PanelControlMaterial->setGeometry(400, 30, 150, 24);
    PanelControlMaterial->setFrameStyle(QFrame::Panel | QFrame::Raised);
    PanelControlMaterial->setAlignment(Qt::AlignCenter);

    int y = 66;
    auto field = [this, &y](QLabel*& value, const char* name, const QString& title) {
        auto* t = new QLabel(title, this);
        t->setGeometry(400, y, 70, 16);
        value = new QLabel(this);
        value->setTextFormat(Qt::PlainText);
        value->setObjectName(QLatin1String(name));
        value->setGeometry(470, y, 80, 16);
        y += 22;
    };
    field(LblLot, "LblLot", tr("Lot :"));
    field(LblDateFrom, "LblDateFrom", tr("Beginning :"));
    field(LblDateTo, "LblDateTo", tr("End :"));
    field(LblMean, "LblMean", tr("Mean :"));
    LblMean->setGeometry(470, LblMean->y(), 50, 16);
    LblUnite = new QLabel(this);
    LblUnite->setObjectName(QStringLiteral("LblUnite"));
    LblUnite->setTextFormat(Qt::PlainText);
    LblUnite->setGeometry(522, LblMean->y(), 35, 16);
    field(LblCV, "LblCV", tr("CV :"));
    LblCV->setGeometry(470, LblCV->y(), 50, 16);
    auto* percent = new QLabel(QStringLiteral("%"), this);
    percent->setGeometry(522, LblCV->y(), 20, 16);
    field(LblNbre, "LblNbre", QStringLiteral("N :"));

    auto button = [this](QPushButton*& b, const char* name, const QString& text, int y) {
        b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(430, y, 100, 27);
        b->setAutoDefault(false);
    };
    button(BtImprimer, "BtImprimer", tr("&Print"), 330);
    button(BtOK, "BtOK", QStringLiteral("OK"), 370);
    BtOK->setDefault(true);
    connect(BtImprimer, &QPushButton::clicked, this, &TWinShowArchive::BtImprimerClick);
    PrintHook = [this](const TTablePrintout& t) { PrintTablePrintout(this, t); };
    connect(BtOK, &QPushButton::clicked, this, &QDialog::accept);
    // QDialog closes on Escape by itself.
}

void TWinShowArchive::Fill(const std::string& analyteName, TArchiveFile archive) {
    analyteName_ = analyteName;
    archive_ = std::move(archive);
    setWindowTitle(tr("Archived data for %1").arg(ToQt(analyteName)));
    LblUnite->setText(ToQt(archive_.Unit));
    LB->Rows()->Reset(static_cast<int>(archive_.PointLines.size()), [this](int line) {
        return ArchiveLineText(archive_.PointLines[static_cast<size_t>(line)], {0});
    });
    const auto& s = archive_.Summary;
    LblDateFrom->setText(WrittenDateText(s[0]));
    LblDateTo->setText(WrittenDateText(s[1]));
    PanelControlMaterial->setText(ToQt(s[2]));
    LblLot->setText(ToQt(s[3]));
    LblMean->setText(ToQt(s[4]));
    LblCV->setText(ToQt(s[5]));
    LblNbre->setText(ToQt(s[6]));
}

TTablePrintout TWinShowArchive::Printout() const {
    const auto& s = archive_.Summary;
    TTablePrintout t;
    t.KeepOrientation = true;
    t.Title = FillQ(tr("Archived data for %1"), analyteName_);
    t.HeaderLines = {s[2] + " (" + s[3] + ")",
                     FillQ(tr("From %1 to %2"), FromQ(WrittenDateText(s[0])), FromQ(WrittenDateText(s[1])))};
    t.NCols = static_cast<int>(PointColumns);
    t.Widths = {10, 10, 10, 10, 25};
    for (const char* h :
         {QT_TRANSLATE_NOOP("UShowArchive", "Date"), QT_TRANSLATE_NOOP("UShowArchive", "Time"),
          QT_TRANSLATE_NOOP("UShowArchive", "Result"), QT_TRANSLATE_NOOP("UShowArchive", "Operator"),
          QT_TRANSLATE_NOOP("UShowArchive", "Comment")})
        t.Cells.push_back({FromQ(TUnitTexts::tr(h)), 1});
    std::vector<std::string> fields;
    for (const std::string& line : archive_.PointLines) {
        fields.clear();
        SplitTabs(line, fields);
        // A damaged line must not shift every later row of the table: extra fields stay in the
        // comment, missing ones print empty.
        for (size_t i = PointColumns; i < fields.size(); ++i) fields[PointColumns - 1] += ' ' + fields[i];
        fields.resize(PointColumns);
        fields[0] = FromQ(WrittenDateText(fields[0]));
        for (std::string& f : fields) t.Cells.push_back({std::move(f), 0});
    }
    const std::string statistics = FromQ(tr("Statistics"));
    const std::vector<std::vector<std::string>> stats = {
        {statistics, FromQ(tr("Mean")), s[4], archive_.Unit, ""},
        {statistics, FromQ(tr("CV")), s[5], "%", ""},
        {statistics, "N", s[6], "", ""}};
    for (const auto& row : stats)
        for (const std::string& f : row) t.Cells.push_back({f, 1});
    return t;
}

void TWinShowArchive::BtImprimerClick() {
    if (PrintHook) PrintHook(Printout());
}
