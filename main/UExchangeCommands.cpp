// The main window's exchange commands: export, import (text or predecessor files), copy and paste.
#include "UExchangeCommands.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UCompatibilityDrovanta.h"
#include "UGlobale.h"
#include "UImport.h"
#include "UMessages.h"
#include "UOperations.h"
#include "UQcError.h"
#include "UStructures.h"
#include "UTexts.h"
#include "UUserPrompt.h"

namespace {
// The context of the texts outside the unit's classes.
struct TUnitTexts {
    Q_DECLARE_TR_FUNCTIONS(UExchangeCommands)
};
} // namespace

namespace {
QString exportFolder;
QString importFolder;

QString OrProgramFolder(const QString& folder) {
    return folder.isEmpty() ? QString::fromStdString(ProgramFolder) : folder;
}

std::string FileSystemPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The file name as the boxes show it (their texts are Windows-1252).
std::string BoxName(const QString& path) {
    return Utf8ToCp1252(path.toStdString());
}

QString FolderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

// Made when asked, so that they are in the language installed by then.
QString Cp1252Filter() {
    return TUnitTexts::tr("Text files with tabs as separators, Windows-1252 (*.txt)");
}
QString Utf8Filter() {
    return TUnitTexts::tr("Text files with tabs as separators, UTF-8 (*.txt)");
}

TExchangeChoice ChooseFile(QWidget* parent, TExchangeDialog kind, const QString& folder) {
    if (ExchangeDialogHook()) return ExchangeDialogHook()(kind, folder);
    QFileDialog d(parent);
    PrepareFileDialog(d);
    d.setDirectory(folder);
    if (kind == TExchangeDialog::Save) {
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setDefaultSuffix(QStringLiteral("txt"));
        // The encoding is chosen with the file type; Windows-1252 first, as files have always been.
        d.setNameFilters({Cp1252Filter(), Utf8Filter()});
        // The command asks its own question before replacing a file.
        d.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        d.setAcceptMode(QFileDialog::AcceptOpen);
        d.setFileMode(QFileDialog::ExistingFile);
        d.setNameFilters({TUnitTexts::tr("Text file from spreadsheet (*.txt)"),
                          TUnitTexts::tr("Data file of Drovanta 2 (*.dat)"),
                          TUnitTexts::tr("Backup file of Drovanta 2 (*.sav)")});
    }
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return {d.selectedFiles().first(),
            d.selectedNameFilter() == Utf8Filter() ? TTextEncoding::Utf8 : TTextEncoding::Windows1252};
}

// The hourglass while a long read, parse or conversion runs.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

TImportOutcome ImportPredecessor(const QString& file) {
    int imported = 0;
    TOutcome out;
    {
        TWaitCursor wait;
        out = Operations().ImportPredecessor(FileSystemPath(file), &imported);
    }
    if (out.Ok()) return TImportOutcome::AnalytesAdded;
    // The analytes converted before the damage stay: the user must know they came in.
    std::string text = FromQ(CoreTextQ(out.Message));
    if (!out.Reason.empty() && imported > 0)
        text += "\r" + FillQ(imported == 1 ? TUnitTexts::tr("%1 analyte was imported before the error.")
                                           : TUnitTexts::tr("%1 analytes were imported before the error."),
                             std::to_string(imported));
    else if (out.Reason.empty() && out.File.empty() && imported == 0)
        text = FromQ(TUnitTexts::tr("Cannot read data"));
    ShowMessageBox(mkError, mbYes, text);
    return imported > 0 && out.Changed() ? TImportOutcome::AnalytesAdded : TImportOutcome::Nothing;
}

TImportOutcome ImportText(TAnalyte* current, TWinImport& preview, const QString& file) {
    if (!current) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("No analyte to import data")));
        return TImportOutcome::Nothing;
    }
    // A file larger than an import takes is refused before it is read.
    if (static_cast<uint64_t>(QFileInfo(file).size()) > MaxImportBytes) {
        ShowMessageBox(
            mkError, mbYes,
            Fill(QT_TRANSLATE_NOOP("Core", "The text is larger than an import takes (%1 MB at most)"),
                 std::to_string(MaxImportBytes >> 20)));
        return TImportOutcome::Nothing;
    }
    try {
        TWaitCursor wait;
        const std::string text = ReadWholeFile(FileSystemPath(file));
        preview.PreviewText(*current, text);
    } catch (const EQcError&) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Bad file format")));
        return TImportOutcome::Nothing;
    }
    if (preview.Cancelled()) return TImportOutcome::Nothing;
    return preview.Execute() ? TImportOutcome::PointsAdded : TImportOutcome::Nothing;
}
} // namespace

TExchangeDialogHook& ExchangeDialogHook() {
    static TExchangeDialogHook hook;
    return hook;
}

QString ExportDialogFolder() {
    return OrProgramFolder(exportFolder);
}

QString ImportDialogFolder() {
    return OrProgramFolder(importFolder);
}

void ResetExchangeDialogFolders() {
    exportFolder.clear();
    importFolder.clear();
}

bool ExchangeExport(QWidget* parent, const TAnalyte* current) {
    if (!current) {
        ShowMessageBox(mkError, mbOK, FromQ(TUnitTexts::tr("No analyte")));
        return false;
    }
    const TExchangeChoice choice = ChooseFile(parent, TExchangeDialog::Save, ExportDialogFolder());
    const QString& file = choice.File;
    if (file.isEmpty()) return false;
    const std::string path = FileSystemPath(file);
    if (FileExists(path) && ShowMessageBox(mkConfirmation, mbOK | mbCancel,
                                           FillQ(TUnitTexts::tr("The file %1\ralready exists. Overwrite ?"),
                                                 BoxName(file))) != mbOK)
        return false;
    std::string bytes = EncodeExchangeText(current->PointsAsText(), choice.Encoding);
    if (choice.Encoding == TTextEncoding::Windows1252) bytes += '\0';
    try {
        AtomicWriteFile(path, bytes);
    } catch (const EQcError& e) {
        // Said, not swallowed: the user must not believe the data were exported.
        ShowMessageBox(mkError, mbOK,
                       FromQ(TUnitTexts::tr("The data were not exported.\r") + CoreTextQ(e.what())));
        return false;
    }
    exportFolder = FolderOf(file);
    return true;
}

TImportOutcome ExchangeImport(QWidget* parent, TAnalyte* current, TWinImport& preview) {
    const QString file = ChooseFile(parent, TExchangeDialog::Open, ImportDialogFolder()).File;
    if (file.isEmpty()) return TImportOutcome::Nothing;
    importFolder = FolderOf(file);
    // The choice goes by the name's last three letters, whatever filter the dialog showed.
    const QString last3 = file.right(3).toUpper();
    if (last3 == QLatin1String("DAT") || last3 == QLatin1String("SAV")) return ImportPredecessor(file);
    return ImportText(current, preview, file);
}

void ExchangeCopy(const TAnalyte* current) {
    CopyAnalyteToClipboard(current);
}

bool ExchangePaste(TAnalyte* current, TWinImport& preview) {
    if (!current) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("No analyte to paste")));
        return false;
    }
    try {
        preview.PreviewClipboard(*current);
    } catch (const EQcError&) {
        ShowMessageBox(mkError, mbYes, FromQ(TUnitTexts::tr("Bad clipboard format")));
        return false;
    }
    return preview.Execute();
}
