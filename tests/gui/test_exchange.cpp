// Tests of the exchange commands and the import preview: export, import, predecessor files, clipboard.
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <filesystem>

#include "TestSeams.h"
#include "UAtomicFile.h"
#include "UDataLoadSave.h"
#include "UExchangeCommands.h"
#include "UGlobale.h"
#include "UImport.h"
#include "UProgram.h"
#include "URowList.h"
#include "UStructures.h"
#include "UUtilitaires.h"
#include "support_exchange.h"
#include "support_prompt.h"
#include "support_reference.h"

namespace {
// Little-endian field writers for predecessor files laid out byte by byte.
void PutI32(std::string& b, int32_t v) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
}
void PutRaw(std::string& b, const void* p, size_t n) {
    b.append(static_cast<const char*>(p), n);
}
void PutShort(std::string& b, const std::string& s, size_t room) {
    b += static_cast<char>(s.size());
    b += s;
    b.append(room - s.size(), '\0');
}

// One predecessor analyte with `points` points on consecutive days: level 1 counted, level 2 empty,
// level 3 discarded; one comment on the first point.
std::string V2Analyte(const std::string& name, int points) {
    std::string b;
    PutI32(b, points);
    for (int k = 0; k < points; ++k) {
        const double date = EncodeDate(2001, 5, 14) + k;
        PutRaw(b, &date, 8);
        const uint8_t codes[3] = {0, 1, 2};
        for (int i = 0; i < 3; ++i) {
            const float v = 5.0f + static_cast<float>(k) + static_cast<float>(i);
            PutRaw(b, &v, 4);
            b += static_cast<char>(codes[i]);
            b.append(3, '\0');
        }
        PutI32(b, k == 0 ? 0 : -1);
    }
    PutShort(b, name, 10);
    PutShort(b, "mmol/L", 12);
    PutI32(b, 2);
    b.append(80, '\0');
    for (int i = 0; i < 3; ++i) PutI32(b, -1);
    for (int i = 0; i < 3; ++i) PutI32(b, -1);
    PutI32(b, 0); // no further records
    PutI32(b, 1); // next comment identifier
    PutI32(b, 1); // one comment
    PutI32(b, 0); // its identifier
    PutShort(b, "new lot", 23);
    return b;
}

std::string V2File(const std::vector<std::string>& analytes) {
    std::string b;
    PutI32(b, 1);
    b.append(27, 'M');
    PutI32(b, static_cast<int32_t>(analytes.size()));
    for (const std::string& a : analytes) b += a;
    const char trailer[9] = {0x08, 0x32, 0x30, char(0xB5), char(0xFE), 0x70, 0x6F, 0x34, 0x35};
    b.append(trailer, 9);
    return b;
}

std::string ReadBytes(const std::string& path) {
    return ReadWholeFile(path);
}
} // namespace

class TestExchange : public QObject {
    Q_OBJECT
    TGuiTempFolder folder;
    TWinImport* preview = nullptr;
    std::vector<std::pair<TExchangeDialog, QString>> dialogs;
    QString nextFile;
    TTextEncoding nextEncoding = TTextEncoding::Windows1252;

    std::string Path(const std::string& name) const { return folder.Path() + name; }
    void Choose(const std::string& name) {
        nextFile = QString::fromStdString(name.empty() ? "" : Path(name));
    }

    // A three-level analyte with a discarded value, empty levels, operators and comments.
    TAnalyte& ThreeLevels() {
        TAnalyte& a = RefAddAnalyte("Calcium", 3, 2);
        RefAddPoint(a, 0, {2.25f, 2.5f, 3.125f}, psInControl, "start", "AB");
        RefAddPoint(a, 1, {2.3f, NAN, 3.0f}, psInControl, "", "CD");
        RefAddPoint(a, 2, {2.35f, 2.55f, NAN}, psInControl);
        a.Points[1].Levels[0].State = psDiscarded;
        a.Points[1].DateTime += 0.25; // 06:00
        return a;
    }

private slots:
    void init() {
        RefResetLists();
        Settings.Password.clear();
        Regional = TRegional{};
        ResetExchangeDialogFolders();
        dialogs.clear();
        nextFile.clear();
        nextEncoding = TTextEncoding::Windows1252;
        ExchangeDialogHook() = [this](TExchangeDialog d, const QString& f) {
            dialogs.emplace_back(d, f);
            return TExchangeChoice(nextFile, nextEncoding);
        };
        QGuiApplication::clipboard()->clear();
        preview = new TWinImport;
    }
    void cleanup() {
        delete preview;
        ExchangeDialogHook() = nullptr;
        WriteFaults() = {};
    }

    void exportThenImportRoundTrip() {
        TAnalyte& a = ThreeLevels();
        TScriptedAnswers answers;
        Choose("calcium.txt");
        QVERIFY(ExchangeExport(nullptr, &a));
        QVERIFY(answers.shown.empty());
        QCOMPARE(dialogs.back().second.toStdString(), folder.Path());
        const std::string bytes = ReadBytes(Path("calcium.txt"));
        QCOMPARE(bytes, a.PointsAsText() + std::string(1, '\0'));

        TAnalyte& empty = RefAddAnalyte("Copy", 3, 2);
        ExchWhenShown(preview, [this] {
            QCOMPARE(preview->windowTitle(), QStringLiteral("Imported file contents"));
            QCOMPARE(preview->BtAdd->text(), QStringLiteral("&Add the QC data to Copy"));
            QCOMPARE(preview->LB->Count(), 3);
            QCOMPARE(preview->LB->RowText(1), QStringLiteral("02/01/2024\t06:00:00\t\t\t3.00\t"));
            preview->BtAdd->click();
        });
        QCOMPARE(ExchangeImport(nullptr, &empty, *preview), TImportOutcome::PointsAdded);
        QVERIFY(answers.shown.empty()); // no question for an analyte without points
        QCOMPARE(empty.Count(), 3);
        for (int i = 0; i < 3; ++i) {
            const ControlPoint& p = empty.Points[static_cast<size_t>(i)];
            const ControlPoint& q = a.Points[static_cast<size_t>(i)];
            QCOMPARE(p.DateTime, q.DateTime);
            // The operator and the comment come back with the run.
            QCOMPARE(p.Operator.Str(), q.Operator.Str());
            QCOMPARE(empty.CommentText(p.CommentId), a.CommentText(q.CommentId));
            for (size_t k = 0; k < 3; ++k) {
                if (q.Levels[k].State == psDiscarded || q.Levels[k].State == psEmpty) {
                    QCOMPARE(int(p.Levels[k].State), int(psEmpty));
                } else {
                    QVERIFY(p.Levels[k].State != psEmpty);
                    // Every digit stored went out (3.125 for a two-decimal analyte): the same value.
                    QCOMPARE(p.Levels[k].Value, q.Levels[k].Value);
                }
            }
        }
        QCOMPARE(ImportDialogFolder().toStdString() + "/", folder.Path());
    }

    // A file exported on a German station is read on a British one and the reverse, in either encoding:
    // every date, time and value comes back.
    void exportImportBetweenLocales() {
        TAnalyte& a = ThreeLevels();
        RefAddPoint(a, 1, {1234.5f, -0.25f, 7.0f}, psInControl, "lot \xE9t\xE9", "JD");
        const QLocale de(QLocale::German, QLocale::Germany), gb(QLocale::English, QLocale::UnitedKingdom);
        const struct {
            QLocale from, to;
            TTextEncoding encoding;
            std::string start;
        } trips[] = {
            {de, gb, TTextEncoding::Windows1252, "01.01.2024\t00:00:00\t2,25\t2,50\t3,125\tAB\tstart"},
            {gb, de, TTextEncoding::Utf8,
             "\xEF\xBB\xBF"
             "01/01/2024\t00:00:00\t2.25\t2.50\t3.125\tAB"},
            {de, gb, TTextEncoding::Utf8,
             "\xEF\xBB\xBF"
             "01.01.2024\t00:00:00\t2,25"}};
        int n = 0;
        for (const auto& trip : trips) {
            TScriptedAnswers answers;
            FillRegionalFromLocale(trip.from);
            Choose("travel" + std::to_string(n) + ".txt");
            nextEncoding = trip.encoding;
            QVERIFY(ExchangeExport(nullptr, &a));
            const std::string bytes = ReadBytes(Path("travel" + std::to_string(n) + ".txt"));
            QCOMPARE(bytes.substr(0, trip.start.size()), trip.start);
            QCOMPARE(bytes.find("lot \xC3\xA9t\xC3\xA9") != std::string::npos,
                     trip.encoding == TTextEncoding::Utf8);

            FillRegionalFromLocale(trip.to);
            TAnalyte& copy = RefAddAnalyte("Copy" + std::to_string(n++), 3, 2);
            ExchWhenShown(preview, [this] { preview->BtAdd->click(); });
            QCOMPARE(ExchangeImport(nullptr, &copy, *preview), TImportOutcome::PointsAdded);
            QVERIFY(answers.shown.empty());
            QCOMPARE(copy.Count(), a.Count());
            for (int i = 0; i < a.Count(); ++i) {
                const ControlPoint& p = copy.Points[static_cast<size_t>(i)];
                const ControlPoint& q = a.Points[static_cast<size_t>(i)];
                QCOMPARE(p.DateTime, q.DateTime);
                for (size_t k = 0; k < 3; ++k) {
                    const bool none = q.Levels[k].State == psDiscarded || q.Levels[k].State == psEmpty;
                    QCOMPARE(p.Levels[k].State == psEmpty, none);
                    if (!none) QCOMPARE(p.Levels[k].Value, q.Levels[k].Value);
                }
            }
        }
        Regional = TRegional{};
    }

    void exportOverAnExistingFile() {
        TAnalyte& a = ThreeLevels();
        const std::string longer(5000, 'x');
        AtomicWriteFile(Path("old.txt"), longer);
        TScriptedAnswers answers;
        Choose("old.txt");
        answers.Answer(mbCancel);
        QVERIFY(!ExchangeExport(nullptr, &a));
        QCOMPARE(answers.LastText(), "The file " + Path("old.txt") + "\ralready exists. Overwrite ?");
        QCOMPARE(ReadBytes(Path("old.txt")), longer);
        answers.Answer(mbOK);
        QVERIFY(ExchangeExport(nullptr, &a));
        QCOMPARE(ReadBytes(Path("old.txt")), a.PointsAsText() + std::string(1, '\0'));

        // A file that cannot be written is said, and the old one stays whole.
        std::filesystem::create_directory(Path("sub"));
        AtomicWriteFile(Path("sub/keep.txt"), longer);
        Choose("sub/keep.txt");
        WriteFaults() = {true, TWriteStep::Write, 10};
        answers.Answer(mbOK);
        QVERIFY(!ExchangeExport(nullptr, &a));
        WriteFaults() = {};
        QCOMPARE(int(answers.shown.back().kind), int(mkError));
        QVERIFY(answers.LastText().find(Path("sub/keep.txt")) != std::string::npos);
        QCOMPARE(ReadBytes(Path("sub/keep.txt")), longer);
        QCOMPARE(std::filesystem::directory_iterator(Path("sub"))->path().filename().string(),
                 std::string("keep.txt"));
        // The dialog went on starting where the last file was written.
        QCOMPARE(ExportDialogFolder().toStdString() + "/", folder.Path());
        Choose("sub/new.txt");
        QVERIFY(ExchangeExport(nullptr, &a));
        QCOMPARE(ExportDialogFolder().toStdString(), Path("sub"));
        Choose("");
        QVERIFY(!ExchangeExport(nullptr, &a));
        QCOMPARE(dialogs.back().second.toStdString(), Path("sub"));

        answers.shown.clear();
        QVERIFY(!ExchangeExport(nullptr, nullptr));
        QCOMPARE(answers.LastText(), std::string("No analyte"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbOK));
    }

    void predecessorFilesByTheLastThreeLetters() {
        TAnalyte& current = RefAddAnalyte("Current", 1);
        TScriptedAnswers answers;
        const std::string file = V2File({V2Analyte("Urea", 3), V2Analyte("Iron", 2)});
        for (const char* name : {"old.dat", "OLD.DAT", "b.Sav"}) {
            AtomicWriteFile(Path(name), file);
            Choose(name);
            QCOMPARE(ExchangeImport(nullptr, &current, *preview), TImportOutcome::AnalytesAdded);
        }
        QVERIFY(answers.shown.empty());
        QCOMPARE(ListAnalytes.Count(), 7);
        const TAnalyte& urea = ListAnalytes[1];
        QCOMPARE(urea.Name, std::string("Urea"));
        QCOMPARE(urea.NbLevels, 3);
        QCOMPARE(urea.Count(), 3);
        const ControlPoint& p = urea.Points[0];
        QCOMPARE(p.DateTime, EncodeDate(2001, 5, 14) + 0.5);
        QCOMPARE(int(p.Levels[1].State), int(psEmpty));
        QCOMPARE(int(p.Levels[2].State), int(psDiscarded));
        QCOMPARE(urea.CommentText(p.CommentId), std::string("new lot"));
        QCOMPARE(current.Count(), 0);

        // Damaged part-way: the analytes before the damage stay and the user is told how many.
        std::string damaged = V2File({V2Analyte("Urea", 3), V2Analyte("Iron", 2), V2Analyte("Zinc", 2)});
        const std::string first = V2Analyte("Urea", 3);
        const size_t secondHeader = 4 + 27 + 4 + first.size() + 4 + 2 * 36;
        damaged[secondHeader + 24] = 0x7F; // 127 decimals: refused
        AtomicWriteFile(Path("damaged.dat"), damaged);
        Choose("damaged.dat");
        QCOMPARE(ExchangeImport(nullptr, &current, *preview), TImportOutcome::AnalytesAdded);
        QCOMPARE(ListAnalytes.Count(), 8);
        QCOMPARE(answers.LastText(),
                 std::string("Cannot read data\r1 analyte was imported before the error."));

        // A file of this program, or a damage before the first analyte: nothing comes in.
        std::string ours = file;
        ours[ours.size() - 8] = '3';
        ours[ours.size() - 7] = '2';
        AtomicWriteFile(Path("ours.sav"), ours);
        Choose("ours.sav");
        QCOMPARE(ExchangeImport(nullptr, &current, *preview), TImportOutcome::Nothing);
        QCOMPARE(answers.LastText(), std::string("Cannot read data"));
        QCOMPARE(ListAnalytes.Count(), 8);
        Choose("missing.dat");
        QCOMPARE(ExchangeImport(nullptr, &current, *preview), TImportOutcome::Nothing);
        QCOMPARE(answers.LastText(), std::string("Cannot read data"));
    }

    void textFilesWhateverTheirOtherExtensions() {
        TAnalyte& a = RefAddAnalyte("Glucose", 2, 1);
        TScriptedAnswers answers;
        // Read as text: no zero byte at the end, and a last line without a carriage return.
        AtomicWriteFile(Path("x.sav.txt"), "01/03/2024\t08:30:00\t5.25\t7.5\r\n"
                                           "bad date\t08:30:00\t5.25\t7.5\r\n"
                                           "02/03/2024\tnoon?\t5.5\tAB\r\n"
                                           "03/03/2024\t08:30:00\t5.75\t7.75");
        Choose("x.sav.txt");
        ExchWhenShown(preview, [this] {
            QCOMPARE(preview->LB->Count(), 2);
            QCOMPARE(preview->LB->RowText(0), QStringLiteral("01/03/2024\t08:30:00\t5.3\t7.5"));
            QCOMPARE(preview->LB->RowText(1), QStringLiteral("02/03/2024\t12:00:00\t5.5\t"));
            preview->BitBtn1->click();
        });
        QCOMPARE(ExchangeImport(nullptr, &a, *preview), TImportOutcome::Nothing);
        QCOMPARE(a.Count(), 0);
        QCOMPARE(preview->Runs().size(), size_t(2));

        // No readable line: an empty preview all the same.
        AtomicWriteFile(Path("none.txt"), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
        Choose("none.txt");
        int shown = 0;
        ExchWhenShown(preview, [&] {
            ++shown;
            QVERIFY(!QApplication::overrideCursor()); // the hourglass is gone once the preview shows
            QCOMPARE(preview->LB->Count(), 0);
            preview->reject();
        });
        QCOMPARE(ExchangeImport(nullptr, &a, *preview), TImportOutcome::Nothing);
        QCOMPARE(shown, 1);
        QVERIFY(answers.shown.empty());

        // Unreadable file, and no analyte to import into.
        Choose("absent.txt");
        QCOMPARE(ExchangeImport(nullptr, &a, *preview), TImportOutcome::Nothing);
        QCOMPARE(answers.LastText(), std::string("Bad file format"));
        QVERIFY(!QApplication::overrideCursor());
        Choose("none.txt");
        QCOMPARE(ExchangeImport(nullptr, nullptr, *preview), TImportOutcome::Nothing);
        QCOMPARE(answers.LastText(), std::string("No analyte to import data"));
        QCOMPARE(answers.shown.back().buttons, unsigned(mbYes));
        // A cancelled dialog does nothing.
        Choose("");
        answers.shown.clear();
        QCOMPARE(ExchangeImport(nullptr, &a, *preview), TImportOutcome::Nothing);
        QVERIFY(answers.shown.empty());
    }

    void addingResetsToMobileAfterTheQuestion() {
        TAnalyte& a = RefAddAnalyte("Glucose", 1, 2);
        RefAddPoint(a, 0, {5.0f});
        RefAddPoint(a, 1, {5.2f});
        a.LimitMode[0] = lmLocked;
        a.LockFirst[0] = 0;
        a.LockLast[0] = 1;
        // Level 3 values have no slot in a one-level analyte: not stored, and a run left without
        // value is not added.
        const std::string text = "05/01/2024\t10:00:00\t5.1\t\t9.9\r\n06/01/2024\t10:00:00\t\t\t9.9\r\n";
        TScriptedAnswers answers;
        preview->PreviewText(a, text);
        preview->FormActivate();
        QCOMPARE(preview->LB->Count(), 2);
        answers.Answer(mbCancel);
        preview->BtAddClick();
        QCOMPARE(
            answers.LastText(),
            std::string("Add the new QC points to the previous ones\rThe QC mode will be reset to mobile"));
        QCOMPARE(preview->result(), int(QDialog::Rejected));
        QCOMPARE(a.Count(), 2);
        QCOMPARE(int(a.LimitMode[0]), int(lmLocked));
        answers.Answer(mbOK);
        preview->BtAddClick();
        QCOMPARE(preview->result(), int(QDialog::Accepted));
        QCOMPARE(a.Count(), 3);
        QCOMPARE(int(a.LimitMode[0]), int(lmMobile));
        QCOMPARE(int(a.Points[2].Levels[2].State), int(psEmpty));
        QCOMPARE(a.AllStats[0].N, 3);

        // The key button.
        Settings.Password = "SECRET";
        preview->FormActivate();
        QVERIFY(!preview->BtAdd->isEnabled());
        QVERIFY(!preview->BtCle->isHidden());
        answers.AnswerPassword(true);
        preview->BtCle->click();
        QVERIFY(preview->BtAdd->isEnabled());
        QVERIFY(preview->BtCle->isHidden());
    }

    void addingNothingSaysWhyAndChangesNothing() {
        TAnalyte& a = RefAddAnalyte("Glucose", 1, 2);
        RefAddPoint(a, 0, {5.0f});
        RefAddPoint(a, 1, {5.2f});
        a.LimitMode[0] = lmLocked;
        TScriptedAnswers answers;
        // A date the regional settings cannot read, and a value only for a level the analyte lacks.
        preview->PreviewText(a, "31.13.2024\t10:00:00\t5.1\r\n05/01/2024\t10:00:00\t\t\t9.9\r\n");
        preview->FormActivate();
        QCOMPARE(preview->LB->Count(), 1);
        QCOMPARE(preview->Parsed().Notes.size(), size_t(2));
        // The window lists each skipped line with its reason, under the runs and above the buttons.
        QVERIFY(!preview->LBNotes->isHidden());
        QCOMPARE(preview->LBNotes->count(), 2);
        QVERIFY(preview->LBNotes->item(0)->text().startsWith(QStringLiteral("line 1: ")));
        QVERIFY(preview->LBNotes->geometry().bottom() < preview->BtAdd->geometry().top());
        preview->BtAddClick();
        QCOMPARE(answers.shown.size(), size_t(1));
        QCOMPARE(int(answers.shown.back().kind), int(mkInformation));
        QCOMPARE(answers.LastText(), preview->Parsed().NothingRead);
        QVERIFY(answers.LastText().find("dd/MM/yyyy") != std::string::npos);
        QVERIFY(preview->result() != int(QDialog::Accepted));
        QCOMPARE(a.Count(), 2);
        QCOMPARE(int(a.LimitMode[0]), int(lmLocked));
        // Nothing skipped: no list, the window back at its size.
        preview->PreviewText(a, "12/05/2024\t10:00:00\t5.1\r\n");
        QVERIFY(preview->LBNotes->isHidden());
        QCOMPARE(preview->size(), QSize(520, 400));
    }

    // Dates that fit only the other order of day and month add nothing, with the reason; a run after
    // today is asked about, and Cancel adds nothing.
    void swappedOrFutureDatesAreNotTakenUnseen() {
        TAnalyte& a = RefAddAnalyte("Glucose", 1, 1);
        TScriptedAnswers answers;
        preview->PreviewText(a, "01/12/2024\t10:00:00\t5.1\r\n01/13/2024\t10:00:00\t5.2\r\n");
        preview->FormActivate();
        preview->BtAdd->click();
        QCOMPARE(answers.shown.size(), size_t(1));
        QVERIFY(answers.LastText().find("the dates are written as MM/dd/yyyy") != std::string::npos);
        QCOMPARE(a.Count(), 0);

        preview->PreviewText(a, "05/01/2024\t10:00:00\t5.1\r\n01/01/2999\t10:00:00\t5.2\r\n");
        preview->FormActivate();
        answers.Answer(mbCancel);
        preview->BtAdd->click();
        QCOMPARE(answers.LastText(),
                 std::string("Line 2 is dated 01/01/2999, after today.\rAdd the runs all the same?"));
        QCOMPARE(a.Count(), 0);
        QVERIFY(preview->result() != int(QDialog::Accepted));
    }

    void copyAndPaste() {
        TScriptedAnswers answers;
        ExchangeCopy(nullptr);
        QCOMPARE(answers.LastText(), std::string("Nothing to copy."));
        TAnalyte& a = ThreeLevels();
        a.Points[0].CommentId = a.Comments.AddText("lot \xE9t\xE9"); // Windows-1252 accents
        ExchangeCopy(&a);
        QCOMPARE(answers.LastText(), std::string("The data for Calcium are now copied in the clipboard.\r"
                                                 "You can paste them in a spreadsheet."));
        QCOMPARE(int(answers.shown.back().kind), int(mkInformation));
        QVERIFY(QGuiApplication::clipboard()->text().contains(QStringLiteral("lot été")));

        TAnalyte& copy = RefAddAnalyte("Copy", 3, 2);
        ExchWhenShown(preview, [this] {
            QCOMPARE(preview->windowTitle(), QStringLiteral("ClipBoard contents"));
            preview->BtAddClick();
        });
        QVERIFY(ExchangePaste(&copy, *preview));
        QCOMPARE(copy.Count(), 3);

        // An empty clipboard: no window, no runs.
        QGuiApplication::clipboard()->clear();
        QVERIFY(!ExchangePaste(&copy, *preview));
        QCOMPARE(answers.LastText(), std::string("Bad clipboard format"));
        QCOMPARE(preview->LB->Count(), 1);
        QCOMPARE(preview->LB->RowText(0), QStringLiteral("Nothing to paste from the clipboard"));
        QVERIFY(preview->Runs().empty());
        QCOMPARE(copy.Count(), 3);
        QVERIFY(!ExchangePaste(nullptr, *preview));
        QCOMPARE(answers.LastText(), std::string("No analyte to paste"));
    }

    void spreadsheetClipboardUnderACommaLocale() {
        Regional.DecimalSeparator = ',';
        TAnalyte& a = RefAddAnalyte("Albumin", 2, 1);
        // As a spreadsheet on Linux copies cells: line feeds only, comma decimals, the last line ended.
        QGuiApplication::clipboard()->setText(QStringLiteral("04/03/2024\t07:15:00\t41,2\t28,65\n"
                                                             "05/03/2024\t07:20:00\t40,8\t\n"
                                                             "06/03/2024\t07:25:00\t41.0\t29,1\n"));
        ExchWhenShown(preview, [this] {
            QCOMPARE(preview->LB->Count(), 3);
            QCOMPARE(preview->LB->RowText(0), QStringLiteral("04/03/2024\t07:15:00\t41,2\t28,6"));
            preview->BtAdd->click();
        });
        QVERIFY(ExchangePaste(&a, *preview));
        QCOMPARE(a.Count(), 3);
        QCOMPARE(a.Points[0].DateTime, EncodeDate(2024, 3, 4) + EncodeTime(7, 15, 0));
        QCOMPARE(a.Points[0].Levels[1].Value, 28.65f);
        QCOMPARE(int(a.Points[1].Levels[1].State), int(psEmpty));
        // A point is not this locale's decimal mark.
        QCOMPARE(int(a.Points[2].Levels[0].State), int(psEmpty));
        QCOMPARE(a.Points[2].Levels[1].Value, 29.1f);
    }
};

QTEST_MAIN(TestExchange)
#include "test_exchange.moc"
