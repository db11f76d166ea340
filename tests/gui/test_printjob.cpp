// Print job: the preview, the PDF file chosen when no printer is configured, and failed writes.
#include <QApplication>
#include <QFileDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "UGlobale.h"
#include "UPrintJob.h"
#include "UPrnTable.h"
#include "UProgram.h"
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

void SmallTable(TPrintCanvas& c) {
    PrintTable(c, "Job", {}, {{"A", cmSilver}, {"B", cmSilver}, {"1", cmNone}, {"2", cmNone}}, 2, {10, 10},
               false);
}

} // namespace

class TestPrintJob : public QObject {
    Q_OBJECT
private slots:
    void init() {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("a printer is configured on this machine");
    }
    void previewThenChosenPdfFile();
    void cancelledPreviewWritesNothing();
    void failedWriteIsShown();
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
        QTest::mouseClick(preview->findChild<QPushButton*>("BtPrint"), Qt::LeftButton);
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
    TPrintJob::SetTestOutput(QString::fromStdString(folder.Path()) + "missing/folder/out.pdf");
    TPrintJobSpec job;
    bool printed = TPrintJob::Print(nullptr, job, SmallTable);
    TPrintJob::SetTestOutput(QString());
    QVERIFY(!printed);
    QCOMPARE(answers.shown.size(), size_t(1));
    QCOMPARE(answers.shown[0].kind, mkError);
    QVERIFY(answers.LastText().find("out.pdf") != std::string::npos);
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
