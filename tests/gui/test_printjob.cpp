// Print job: the preview, the print dialog's choices (printer, copies, pages, paper), PDF files,
// refused jobs and unwritable files that bring the preview back, and the choices remembered.
#include <QApplication>
#include <QFileDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include "UGlobale.h"
#include "UPrintJob.h"
#include "UPrnTable.h"
#include "UProgram.h"
#include "UTranslations.h"
#include "support_print.h"
#include "support_prompt.h"

namespace {

// Runs the action once a modal window of the given type is up.
template <class T> void WhenModalIs(std::function<void(T*)> action) {
    QTimer::singleShot(10, qApp, [action] {
        if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()))
            action(w);
        else
            WhenModalIs<T>(action);
    });
}

void ClickInPreview(const char* button) {
    WhenModalIs<QDialog>([button](QDialog* preview) {
        QTest::mouseClick(preview->findChild<QPushButton*>(button), Qt::LeftButton);
    });
}

void SmallTable(TPrintCanvas& c) {
    PrintTable(c, "Job", {}, {{"A", cmSilver}, {"B", cmSilver}, {"1", cmNone}, {"2", cmNone}}, 2, {10, 10},
               false);
}

// Three pages, each saying which it is.
void ThreePages(TPrintCanvas& c) {
    QPainter& p = c.Painter();
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) c.NewPage();
        p.drawText(QRect(0, 0, c.Width(), c.Height() / 4), Qt::AlignCenter,
                   QStringLiteral("Sheet number %1").arg(page));
    }
}

} // namespace

class TestPrintJob : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is configured on this machine");
        QFile::remove(PrintChoicesFile());
    }
    void cleanup() {
        TPrintJob::SetDialogHook({});
        TPrintJob::SetSubmitHook({});
    }
    void previewThenChosenPdfFile();
    void cancelledPreviewWritesNothing();
    void failedWriteIsShown();
    void queueGetsChosenPagesCopiesAndPaper();
    void queueKeywordsStayUntranslated();
    void refusedJobBringsThePreviewBack();
    void unwritablePdfAndMissingPagesBringThePreviewBack();
    void choicesAreRemembered();
    void safeFileNames();
    void previewFitsTheScreen();
};

void TestPrintJob::previewThenChosenPdfFile() {
    TGuiTempFolder folder;
    const QString expected = QString::fromStdString(folder.Path()) + "QC data for GLU.pdf";
    QString proposed;
    int previewPages = 0;
    WhenModalIs<QDialog>([&](QDialog* preview) {
        previewPages = preview->findChild<QPrintPreviewWidget*>("Preview")->pageCount();
        WhenModalIs<QFileDialog>([&](QFileDialog* files) {
            proposed = files->selectedFiles().value(0);
            static_cast<QDialog*>(files)->accept(); // QFileDialog hides accept()
        });
        QTest::mouseClick(preview->findChild<QPushButton*>("BtSavePdf"), Qt::LeftButton);
    });
    TPrintJobSpec job;
    job.JobTitle = "Printing QC data";
    job.FileName = TPrintJob::SafeFileName("QC data for GLU");
    QVERIFY(TPrintJob::Print(nullptr, job, SmallTable));
    QCOMPARE(previewPages, 1);
    QCOMPARE(proposed, expected);
    QVERIFY(QFile::exists(expected));
    QCOMPARE(PrnCount(PrnPdfText(expected), "- Page 1/1 - Job - Printed on"), 1);
}

void TestPrintJob::cancelledPreviewWritesNothing() {
    TGuiTempFolder folder;
    WhenModalIs<QDialog>([](QDialog* preview) { preview->reject(); });
    TPrintJobSpec job;
    job.FileName = "Nothing.pdf";
    QVERIFY(!TPrintJob::Print(nullptr, job, SmallTable));
    QVERIFY(QDir(QString::fromStdString(folder.Path())).entryList({"*.pdf"}).isEmpty());
}

void TestPrintJob::failedWriteIsShown() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    SetTestOutput(QString::fromStdString(folder.Path()) + "missing/folder/out.pdf");
    TPrintJobSpec job;
    bool printed = TPrintJob::Print(nullptr, job, SmallTable);
    SetTestOutput(QString());
    QVERIFY(!printed);
    QCOMPARE(answers.shown.size(), size_t(1));
    QCOMPARE(answers.shown[0].kind, mkError);
    QVERIFY(answers.LastText().find("out.pdf") != std::string::npos);
}

// The queue gets only the pages chosen, once, with the copies, paper and the printer's own options.
void TestPrintJob::queueGetsChosenPagesCopiesAndPaper() {
    TGuiTempFolder folder;
    int offered = 0;
    TPrintJob::SetDialogHook([&](TPrintChoice& c, int pages) {
        offered = pages;
        c.Printer = "Lab-Laser";
        c.Copies = 2;
        c.Pages = {1, 3, {{1, 1}, {3, 3}}}; // "1,3" in the dialog
        c.Page.setPageSize(QPageSize(QPageSize::Letter));
        c.PrinterOptions = QStringList{"ColorModel", "Gray"};
        return true;
    });
    TPrintSubmission sent;
    TPrintJob::SetSubmitHook([&](const TPrintSubmission& s) {
        sent = s;
        return QString();
    });
    ClickInPreview("BtPrint");
    TPrintJobSpec job;
    job.JobTitle = "Printing QC charts";
    QVERIFY(TPrintJob::Print(nullptr, job, ThreePages));
    QCOMPARE(offered, 3);
    QCOMPARE(sent.Printer, QString("Lab-Laser"));
    QCOMPARE(sent.Title, QString("Printing QC charts"));
    QCOMPARE(sent.Options, (QStringList{"media", "Letter", "copies", "2", "Collate", "True", "sides",
                                        "one-sided", "ColorModel", "Gray"}));
    const QString pdf = QString::fromStdString(folder.Path()) + "sent.pdf";
    QFile f(pdf);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(sent.Pdf);
    f.close();
    QCOMPARE(PrnPdfPages(pdf), 2);
    const std::string text = PrnPdfText(pdf);
    QCOMPARE(PrnCount(text, "Sheet number 1"), 1);
    QCOMPARE(PrnCount(text, "Sheet number 2"), 0); // skipped, not hidden under the others
    QCOMPARE(PrnCount(text, "Sheet number 3"), 1);
    QVERIFY(text.find("Sheet number 1") < text.find('\f'));
    QVERIFY(text.find("Sheet number 3") > text.find('\f'));
}

// The queue's option keywords are the protocol's own words under every interface language.
void TestPrintJob::queueKeywordsStayUntranslated() {
    TGuiTempFolder folder;
    for (const QLocale& locale : {QLocale(QLocale::German), QLocale(QLocale::French)}) {
        QVERIFY(!InstallTranslations(locale, QStringLiteral(VARNHOLT_QM_DIR)).isEmpty());
        TPrintJob::SetDialogHook([](TPrintChoice& c, int) {
            c.Printer = "Lab-Laser";
            c.Duplex = QPrinter::DuplexNone;
            return true;
        });
        QStringList options;
        TPrintJob::SetSubmitHook([&](const TPrintSubmission& s) {
            options = s.Options;
            return QString();
        });
        ClickInPreview("BtPrint");
        QVERIFY(TPrintJob::Print(nullptr, TPrintJobSpec{}, SmallTable));
        QVERIFY2(options.contains("one-sided"), qPrintable(options.join(' ')));
    }
    InstallTranslations(QLocale::c(), QStringLiteral(VARNHOLT_QM_DIR));
}

// A queue that refuses the job: the reason is said, the preview comes back and a PDF can still be saved.
void TestPrintJob::refusedJobBringsThePreviewBack() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    TPrintJob::SetDialogHook([](TPrintChoice& c, int) {
        c.Printer = "Lab-Laser";
        return true;
    });
    TPrintJob::SetSubmitHook([](const TPrintSubmission&) {
        return QStringLiteral("Destination \"Lab-Laser\" is not accepting jobs.");
    });
    int previews = 0;
    WhenModalIs<QDialog>([&](QDialog* preview) {
        ++previews;
        WhenModalIs<QDialog>([&](QDialog* again) {
            ++previews;
            WhenModalIs<QFileDialog>([](QFileDialog* files) { static_cast<QDialog*>(files)->accept(); });
            QTest::mouseClick(again->findChild<QPushButton*>("BtSavePdf"), Qt::LeftButton);
        });
        QTest::mouseClick(preview->findChild<QPushButton*>("BtPrint"), Qt::LeftButton);
    });
    TPrintJobSpec job;
    job.FileName = "Kept.pdf";
    QVERIFY(TPrintJob::Print(nullptr, job, SmallTable));
    QCOMPARE(previews, 2);
    QCOMPARE(answers.shown.size(), size_t(1));
    QCOMPARE(answers.shown[0].kind, mkError);
    QCOMPARE(answers.LastText(), std::string("The printer Lab-Laser did not take the printout: Destination "
                                             "\"Lab-Laser\" is not accepting jobs.\rNothing was printed. "
                                             "Choose another printer, or save the printout as PDF."));
    QVERIFY(QFile::exists(QString::fromStdString(folder.Path()) + "Kept.pdf"));
}

// A PDF file that cannot be written, and pages the printout does not have: said, nothing written, the
// preview back.
void TestPrintJob::unwritablePdfAndMissingPagesBringThePreviewBack() {
    TGuiTempFolder folder;
    TScriptedAnswers answers;
    const QString good = QString::fromStdString(folder.Path()) + "good.pdf";
    const std::vector<TPrintChoice> asked = [&] {
        TPrintChoice unwritable, beyond;
        unwritable.File = QString::fromStdString(folder.Path()) + "missing/folder/out.pdf";
        beyond.File = good;
        beyond.Pages = {5, 6, {}};
        return std::vector<TPrintChoice>{unwritable, beyond};
    }();
    size_t next = 0;
    TPrintJob::SetDialogHook([&](TPrintChoice& c, int) {
        const TPrintChoice& a = asked[next++];
        c.Printer.clear();
        c.File = a.File;
        c.Pages = a.Pages;
        return true;
    });
    int previews = 0;
    std::function<void(QDialog*)> step = [&](QDialog* preview) {
        ++previews;
        if (next < asked.size()) {
            WhenModalIs<QDialog>(step);
            QTest::mouseClick(preview->findChild<QPushButton*>("BtPrint"), Qt::LeftButton);
        } else {
            preview->reject();
        }
    };
    WhenModalIs<QDialog>(step);
    TPrintJobSpec job;
    QVERIFY(!TPrintJob::Print(nullptr, job, ThreePages));
    QCOMPARE(previews, 3);
    QCOMPARE(answers.shown.size(), size_t(2));
    const std::string& unwritable = answers.shown[0].text;
    QVERIFY2(unwritable.rfind("The printout was not saved.\rCannot write ", 0) == 0, unwritable.c_str());
    QVERIFY(unwritable.find("missing/folder/out.pdf") != std::string::npos);
    QCOMPARE(answers.shown[1].text,
             std::string("The printout has 3 pages: pages 5 to 6 are not in it. Nothing was printed."));
    QVERIFY(!QFile::exists(good));
}

// The next print dialog starts from the last choices: paper, copies and the PDF file's folder.
void TestPrintJob::choicesAreRemembered() {
    TGuiTempFolder folder;
    const QString elsewhere = QString::fromStdString(folder.Path()) + "reports";
    QVERIFY(QDir().mkpath(elsewhere));
    std::vector<TPrintChoice> seen;
    TPrintJob::SetDialogHook([&](TPrintChoice& c, int) {
        seen.push_back(c);
        if (seen.size() == 1) {
            c.File = elsewhere + "/first.pdf";
            c.Copies = 3;
            c.Page.setPageSize(QPageSize(QPageSize::Legal));
        }
        return true;
    });
    TPrintJobSpec job;
    job.FileName = "QC charts.pdf";
    for (int i = 0; i < 2; ++i) {
        ClickInPreview("BtPrint");
        QVERIFY(TPrintJob::Print(nullptr, job, SmallTable));
    }
    QCOMPARE(seen.size(), size_t(2));
    QCOMPARE(seen[0].Copies, 1);
    QCOMPARE(seen[1].Copies, 3);
    QCOMPARE(seen[1].Page.pageSize().id(), QPageSize::Legal);
    QCOMPARE(seen[1].File, elsewhere + "/QC charts.pdf");
    QVERIFY(QFile::exists(elsewhere + "/QC charts.pdf"));
}

void TestPrintJob::safeFileNames() {
    QCOMPARE(TPrintJob::SafeFileName("Cumulative daily QC : 10/06/2025"),
             QString("Cumulative daily QC - 10-06-2025.pdf"));
    QCOMPARE(TPrintJob::SafeFileName("  "), QString("Printout.pdf"));
}

// The preview, taller than many screens, is shown within the screen's available area.
void TestPrintJob::previewFitsTheScreen() {
    TGuiTempFolder folder;
    InstallScreenFit();
    QRect shown, area;
    WhenModalIs<QDialog>([&](QDialog* preview) {
        shown = preview->frameGeometry();
        area = preview->screen()->availableGeometry();
        preview->reject();
    });
    TPrintJobSpec job;
    QVERIFY(!TPrintJob::Print(nullptr, job, SmallTable));
    QVERIFY2(area.contains(shown), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                  .arg(shown.x())
                                                  .arg(shown.y())
                                                  .arg(shown.width())
                                                  .arg(shown.height())));
    QVERIFY(shown.height() > area.height() / 2); // shrunk to fit, not collapsed
}

QTEST_MAIN(TestPrintJob)
#include "test_printjob.moc"
