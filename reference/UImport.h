// TWinImport: the preview of exchange text (a file or the clipboard) and its addition to an analyte;
// and the copy of an analyte's points to the clipboard.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

#include "UAnalyteHandle.h"
#include "UImportText.h"
#include "UTypes.h"

class QLabel;
class QListWidget;
class QPushButton;
class TAnalyte;
class TRowList;

class TWinImport : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TWinImport)
public:
    explicit TWinImport(QWidget* parent = nullptr);

    // Parses a file's text for the analyte (caption "Imported file contents"). Reading stops at the
    // first zero byte or at the end of the text.
    void PreviewText(TAnalyte& analyte, std::string_view text);
    // Parses the clipboard's text (caption "ClipBoard contents"); throws EQcError with an empty
    // message when the clipboard holds no text: the caller reports it and does not show the window.
    void PreviewClipboard(TAnalyte& analyte);
    // Shows the preview modally; true when the runs were added to the analyte.
    bool Execute();

    void FormActivate();
    void BtAddClick();
    void BtCleClick();

    const std::vector<TResu>& Runs() const { return parsed_.Runs; }
    // What the last parse read and skipped, line by line.
    const TImportText& Parsed() const { return parsed_; }
    // The last parse was stopped with the progress bar's Cancel: the window is not to be shown.
    bool Cancelled() const { return parsed_.Cancelled; }
    // Texts from this size on are read under a progress bar.
    static constexpr size_t ProgressFromBytes = size_t{4} << 20;

    TRowList* LB; // one row per run read, its text made when drawn
    // The lines skipped or only partly read, with their reasons; shown under the runs when there are any.
    QLabel* LblNotes;
    QListWidget* LBNotes;
    QPushButton* BtAdd;
    QPushButton* BitBtn1;
    QPushButton* BtCle;

private:
    void Parse(std::string_view text);
    void ShowNotes();

    TAnalyteHandle analyte_;
    TImportText parsed_;
};

// The copy command: the analyte's points on the clipboard as exchange text, or "Nothing to copy."
// without an analyte.
void CopyAnalyteToClipboard(const TAnalyte* analyte);
