// The German and French translations: complete for the sources as they stand, and loaded for the locale.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QXmlStreamReader>
#include <functional>

#include "GuiTestHelpers.h"
#include "UDataLoadSave.h"
#include "UDrawChart.h"
#include "UImportText.h"
#include "UMain.h"
#include "UOperations.h"
#include "UReason.h"
#include "USigmaRules.h"
#include "UTexts.h"
#include "UTranslations.h"
#include "UValidCQ.h"

namespace {
struct TMessage {
    QString Context, Source, Translation, Type;
};

std::vector<TMessage> ReadTs(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    std::vector<TMessage> messages;
    QXmlStreamReader xml(&file);
    QString context;
    TMessage m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            m = {context, {}, {}, {}};
        else if (xml.name() == QLatin1String("source"))
            m.Source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == QLatin1String("translation")) {
            m.Type = xml.attributes().value(QLatin1String("type")).toString();
            m.Translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.push_back(m);
        }
    }
    return xml.hasError() ? std::vector<TMessage>() : messages;
}

QSet<QString> Placeholders(const QString& text) {
    QSet<QString> found;
    static const QRegularExpression marker(QStringLiteral("%[1-9]"));
    for (auto it = marker.globalMatch(text); it.hasNext();) found.insert(it.next().captured());
    return found;
}

// The width a text needs in a font, its widest line.
int TextWidth(const QFont& font, const QString& text) {
    const QFontMetrics fm(font);
    int need = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        need = std::max(need, fm.horizontalAdvance(line));
    return need;
}

// A text as shown, its accelerator underlined rather than written ("&&" stays one ampersand).
QString WithoutMnemonic(QString text) {
    static const QRegularExpression mnemonic(QStringLiteral("&(.)"));
    return text.replace(mnemonic, QStringLiteral("\\1"));
}

// The room a button gives its text: the style's contents rectangle, less the icon beside the text.
int ButtonRoom(QAbstractButton* b) {
    QRect contents;
    if (auto* push = qobject_cast<QPushButton*>(b)) {
        QStyleOptionButton opt;
        opt.initFrom(push);
        opt.features = push->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
        if (push->isDefault() || push->autoDefault()) opt.features |= QStyleOptionButton::AutoDefaultButton;
        if (push->menu()) opt.features |= QStyleOptionButton::HasMenu;
        contents = push->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, push);
        int room = contents.width();
        if (!push->icon().isNull()) room -= push->iconSize().width() + 4;
        if (push->menu()) room -= push->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &opt, push);
        return room;
    }
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const bool radio = qobject_cast<QRadioButton*>(b) != nullptr;
    contents = b->style()->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, b);
    int room = contents.width();
    if (!b->icon().isNull()) room -= b->iconSize().width() + 4;
    return room;
}

// The labels and buttons of a window whose text is wider than the room they give it:
// "window: text (needs n, has m pixels)".
QSet<QString> CheckedTexts;
QStringList CutTexts(QWidget* window) {
    QStringList cut;
    auto check = [&](QWidget* w, const QString& text, int need, int room) {
        CheckedTexts.insert(WithoutMnemonic(text));
        if (need > room)
            cut << QStringLiteral("%1/%2: \"%3\" (needs %4, has %5 pixels)")
                       .arg(window->objectName(), w->objectName(), text)
                       .arg(need)
                       .arg(room);
    };
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (!l->isVisibleTo(window) || l->wordWrap() || l->text().isEmpty() || Qt::mightBeRichText(l->text()))
            continue;
        // A label with a buddy shows its accelerator underlined, not as "&".
        const QString text = l->buddy() ? WithoutMnemonic(l->text()) : l->text();
        check(l, l->text(), TextWidth(l->font(), text),
              l->contentsRect().width() - 2 * l->margin() - std::max(0, l->indent()));
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (!b->isVisibleTo(window) || b->text().isEmpty()) continue;
        if (!qobject_cast<QPushButton*>(b) && !qobject_cast<QCheckBox*>(b) && !qobject_cast<QRadioButton*>(b))
            continue;
        check(b, b->text(), TextWidth(b->font(), WithoutMnemonic(b->text())), ButtonRoom(b));
    }
    return cut;
}

// The same on each page of the window's tab widgets, the page shown left as it was.
QStringList CutTextsOnEveryPage(QWidget* window) {
    QStringList cut = CutTexts(window);
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (!tabs->isVisibleTo(window)) continue;
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == shown || !tabs->isTabEnabled(i)) continue;
            tabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            cut << CutTexts(window);
        }
        tabs->setCurrentIndex(shown);
        QCoreApplication::processEvents();
    }
    cut.removeDuplicates();
    return cut;
}

// A keyboard accelerator: "&" before a character, "&&" being a plain ampersand.
bool HasAccelerator(const QString& text) {
    return QString(text).remove(QStringLiteral("&&")).contains(QLatin1Char('&'));
}
} // namespace

class TestTranslations : public QObject {
    Q_OBJECT
private slots:
    void EveryTextTranslated_data();
    void EveryTextTranslated();
    void GermanInterface();
    void FrenchAndOtherLocales();
    void LabelsHoldTheirTexts_data();
    void LabelsHoldTheirTexts();
};

void TestTranslations::EveryTextTranslated_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << QStringLiteral("de");
    QTest::newRow("French") << QStringLiteral("fr");
}

// The sources read again into a copy of the translation, as the update_translations target does: a
// text added or changed since shows up there without a translation.
void TestTranslations::EveryTextTranslated() {
    QFETCH(QString, language);
    const QString source = QStringLiteral(VARNHOLT_SOURCE_DIR);
    const QString name = QStringLiteral("varnholt_%1.ts").arg(language);
    QTemporaryDir temp;
    QVERIFY(QFile::copy(source + QStringLiteral("/translations/") + name, temp.filePath(name)));
    QProcess lupdate;
    lupdate.setWorkingDirectory(source);
    lupdate.start(QStringLiteral(VARNHOLT_LUPDATE),
                  {QStringLiteral("app"), QStringLiteral("main"), QStringLiteral("charts"),
                   QStringLiteral("print"), QStringLiteral("reference"), QStringLiteral("kit"),
                   QStringLiteral("drawing"), QStringLiteral("core"), QStringLiteral("-extensions"),
                   QStringLiteral("cpp,h"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("-no-obsolete"), QStringLiteral("-silent"), QStringLiteral("-ts"),
                   temp.filePath(name)});
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);

    const std::vector<TMessage> messages = ReadTs(temp.filePath(name));
    QVERIFY(messages.size() > 300);
    QStringList faults;
    for (const TMessage& m : messages) {
        const QString where = m.Context + QStringLiteral(": \"") + m.Source + QLatin1Char('"');
        if (m.Type == QLatin1String("unfinished") || m.Translation.trimmed().isEmpty())
            faults << QStringLiteral("not translated: ") + where;
        else if (Placeholders(m.Source) != Placeholders(m.Translation))
            faults << QStringLiteral("other %n markers: ") + where;
        else if (HasAccelerator(m.Source) != HasAccelerator(m.Translation))
            faults << QStringLiteral("accelerator lost or added: ") + where;
    }
    if (!faults.isEmpty()) QFAIL(qPrintable(faults.mid(0, 40).join(QLatin1Char('\n'))));
}

void TestTranslations::GermanInterface() {
    TGuiFolder folder;
    QCOMPARE(InstallTranslations(QLocale(QLocale::German, QLocale::Germany), QStringLiteral(VARNHOLT_QM_DIR)),
             QStringLiteral("de"));
    {
        TWinMain w;
        // For review of the longer texts in the specified layouts: scripts/screenshots.sh's folder.
        if (const QString folder = qEnvironmentVariable("VARNHOLT_SCREENSHOTS"); !folder.isEmpty())
            w.grab().save(folder + QStringLiteral("/main-window-de.png"));
        QCOMPARE(w.MnuFile->title(), QStringLiteral("&Datei"));
        QCOMPARE(w.MnuParameters->title(), QStringLiteral("Pa&rameter"));
        QCOMPARE(w.BtExit->text(), QStringLiteral("&Beenden"));
    }
    // Qt's own texts (standard buttons) follow, and so do core's message templates with their values.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    // The charts' texts drawn outside widgets: the limit mode and the months under the date axis.
    QCOMPARE(LimitModeText(lmLocked), QStringLiteral("Gesperrte Grenzen"));
    QCOMPARE(MonthAbbreviation(3), QStringLiteral("Mär"));
    // Core's Sigma advice, built from translated templates.
    QVERIFY(CompareRules(AdviseRules(3.5L, 2), 2, false).Text.rfind("Empfohlen (Sigma < 4): ", 0) == 0);
    QCOMPARE(ToQ(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), "/x/Varnholt.qcf", "denied")),
             QStringLiteral("%1 kann nicht gelesen werden: %2").arg("/x/Varnholt.qcf", "denied"));
    // A note assembled from several parts is German in every part.
    const TImportText parsed = ParseImportText("2026-02-01\t12:00:00\tabc\n", 2, 1);
    QCOMPARE(parsed.Notes.size(), size_t(1));
    QCOMPARE(ToQ(parsed.Notes[0]),
             QStringLiteral("Zeile 1: 'abc' ist keine Zahl für QC1; Zeile übersprungen"));

    // The offered corrective actions are German, and their "Other" still asks for a text.
    const std::vector<std::string> actions = Operations().CorrectiveActions();
    QCOMPARE(ToQ(actions.back()), QStringLiteral("Sonstiges"));
    TWinReason reason;
    bool checked = false;
    QTimer::singleShot(0, &reason, [&] {
        reason.CBAction->setCurrentIndex(reason.CBAction->count() - 1);
        QVERIFY(!reason.BtOK->isEnabled());
        reason.EditReason->setText(QStringLiteral("Küvette getauscht"));
        checked = reason.BtOK->isEnabled();
        reason.reject();
    });
    std::string choice, text;
    reason.Execute("?", actions, choice, text);
    QVERIFY(checked);
    // Kept in the database (which starts with the English list), a default is still offered in German; the
    // laboratory's own text stays as written.
    QVERIFY(Operations().SetCorrectiveActions({"Recalibrated", "Lamp changed"}).Ok());
    QCOMPARE(Operations().CorrectiveActions(), (std::vector<std::string>{"Neu kalibriert", "Lamp changed"}));

    // Counts take the language's plural forms.
    auto deleted = [](int n) {
        return QCoreApplication::translate("TWinShowData", "Why are %n points of %1 deleted?", nullptr, n)
            .arg(QStringLiteral("Na"));
    };
    QCOMPARE(deleted(1), QStringLiteral("Warum wird 1 Punkt von Na gelöscht?"));
    QCOMPARE(deleted(3), QStringLiteral("Warum werden 3 Punkte von Na gelöscht?"));

    // The C locale brings the English source texts back, with English plural forms.
    QCOMPARE(InstallTranslations(QLocale::c(), QStringLiteral(VARNHOLT_QM_DIR)), QString());
    QCOMPARE(deleted(1), QStringLiteral("Why is 1 point of Na deleted?"));
    QCOMPARE(deleted(2), QStringLiteral("Why are 2 points of Na deleted?"));
    QCOMPARE(QCoreApplication::translate("TWinArchives", "Why are %n archives of %1 deleted?", nullptr, 1),
             QStringLiteral("Why is 1 archive of %1 deleted?"));
    TWinMain english;
    QCOMPARE(english.MnuFile->title(), QStringLiteral("&File"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    QCOMPARE(Fill(QT_TRANSLATE_NOOP("Core", "Cannot read %1: %2"), "a", "b"),
             std::string("Cannot read a: b"));
}

void TestTranslations::FrenchAndOtherLocales() {
    TGuiFolder folder;
    QCOMPARE(InstallTranslations(QLocale(QLocale::French, QLocale::Canada), QStringLiteral(VARNHOLT_QM_DIR)),
             QStringLiteral("fr"));
    {
        TWinMain w;
        if (const QString folder = qEnvironmentVariable("VARNHOLT_SCREENSHOTS"); !folder.isEmpty())
            w.grab().save(folder + QStringLiteral("/main-window-fr.png"));
        QCOMPARE(w.MnuFile->title(), QStringLiteral("&Fichier"));
    }
    QCOMPARE(QCoreApplication::translate("UEntryFlow", "%n run(s)", nullptr, 1), QStringLiteral("1 série"));
    QCOMPARE(QCoreApplication::translate("UEntryFlow", "%n run(s)", nullptr, 2), QStringLiteral("2 séries"));
    // A language without a translation: English throughout, Qt's buttons included.
    for (const QLocale& locale : {QLocale(QLocale::Japanese), QLocale(QLocale::English, QLocale::Germany)}) {
        QCOMPARE(InstallTranslations(locale, QStringLiteral(VARNHOLT_QM_DIR)), QString());
        TWinMain w;
        QCOMPARE(w.MnuFile->title(), QStringLiteral("&File"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }
}

void TestTranslations::LabelsHoldTheirTexts_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << QStringLiteral("de");
    QTest::newRow("French") << QStringLiteral("fr");
}

// Every window in each language, opened as the user opens it: no label is narrower than its text.
void TestTranslations::LabelsHoldTheirTexts() {
    QFETCH(QString, language);
    TGuiFolder folder;
    QCOMPARE(InstallTranslations(QLocale(language), QStringLiteral(VARNHOLT_QM_DIR)), language);
    QApplication::setFont(ProgramFont());
    SetScreenMetricsSource([] { return TScreenMetrics{96, 1024, 768}; });
    BuildSampleData();
    QStringList cut;
    {
        TWinMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        cut << CutTexts(&w);
        std::vector<std::function<void()>> commands = {
            [&] { w.BtDataClick(); },         [&] { w.BtLimitsClick(); },
            [&] { w.MnuRisksClick(); },       [&] { w.BtPrnGraphClick(); },
            [&] { w.BtDailyClick(); },        [&] { w.MnuAnalytesClick(); },
            [&] { w.MnuSerumClick(); },       [&] { w.BtAffectationClick(); },
            [&] { w.MnuEmployeesClick(); },   [&] { w.MnuRandomGeneratorClick(); },
            [&] { w.MnuOptionsClick(); },     [&] { w.MnuPswClick(); },
            [&] { w.MnuDisplaySizeClick(); }, [&] { w.MnuAboutClick(); },
            [&] { w.BtArchivesClick(); }};
        // The windows of the menus that came after the specified ones.
        for (const char* menu :
             {"MnuZScores", "MnuMonthlySummary", "MnuJournal", "MnuReview", "MnuCorrective", "MnuInbox",
              "MnuInboxMapping", "MnuPeer", "MnuEqa", "MnuUncertainty", "MnuPatientQc"})
            commands.push_back([&w, menu] { w.findChild<QAction*>(QLatin1String(menu))->trigger(); });
        for (const auto& command : commands) {
            bool opened = false;
            OnNextModal([&](QDialog* d) {
                if (QTest::qWaitForWindowExposed(d)) cut << CutTextsOnEveryPage(d);
                opened = true;
                d->reject();
            });
            command();
            QVERIFY(opened);
        }
        // The validation window of a run with a warning, on the first analyte.
        TAnalyte& a = *CurrentAnalyte;
        const LevelStats& l = a.Limits[0];
        TResu run =
            TestRun(a.Points.back().DateTime + 1, {double(l.Mean + (l.WarnDev + l.ActionDev) / 2),
                                                   double(a.Limits[1].Mean), double(a.Limits[2].Mean)});
        a.ClassifyRun(run.Levels);
        TWinValidCQ valid(&w);
        valid.PrepareValidation(a, run);
        valid.FormActivate();
        valid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&valid));
        cut << CutTexts(&valid);
        valid.hide();
        TDialogScript::AnswerNext(mbOK);
        w.close();
    }
    InstallTranslations(QLocale::c(), QStringLiteral(VARNHOLT_QM_DIR));
    // Texts once cut by their controls are among those measured.
    if (language == QLatin1String("de"))
        for (const char* text : {"Datum / Zeit", "Gesperrte Grenzen", "Dezimalen", "QK ablehnen1",
                                 "Serien ohne Warnung und ohne Zurückweisung ohne Validierung annehmen"})
            if (!CheckedTexts.contains(QString::fromUtf8(text)))
                cut << QStringLiteral("not measured: ") + text;
    if (!cut.isEmpty()) QFAIL(qPrintable(cut.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestTranslations)
#include "test_translations.moc"
