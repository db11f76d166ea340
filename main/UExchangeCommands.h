// The main window's exchange commands: export, import (text or predecessor files), copy and paste.
#pragma once

#include <QString>
#include <functional>

#include "UCodePage.h"

class QWidget;
class TAnalyte;
class TWinImport;

enum class TExchangeDialog { Save, Open };

// The file chosen in a dialog (empty when it was cancelled) and, for an export, the encoding chosen
// with it (the dialog's file type names it).
struct TExchangeChoice {
    TExchangeChoice(QString file = QString(), TTextEncoding encoding = TTextEncoding::Windows1252)
        : File(std::move(file)), Encoding(encoding) {}
    QString File;
    TTextEncoding Encoding;
};

// Replaces the file dialogs while set (tests): called with the dialog and its initial folder, it
// returns the choice.
using TExchangeDialogHook = std::function<TExchangeChoice(TExchangeDialog, const QString& folder)>;
TExchangeDialogHook& ExchangeDialogHook();

// The initial folders of the two dialogs: ProgramFolder until a file was chosen. Reset sends both
// back to ProgramFolder.
QString ExportDialogFolder();
QString ImportDialogFolder();
void ResetExchangeDialogFolders();

// "&Export": the analyte's points as exchange text, written atomically: in Windows-1252 followed by one
// zero byte (as the predecessor wrote it), or in UTF-8 with a byte order mark, as the dialog's chosen
// file type says.
// True when the file was written; a file that cannot be written is reported and left as it was.
bool ExchangeExport(QWidget* parent, const TAnalyte* current);

enum class TImportOutcome {
    Nothing,      // cancelled or refused: nothing changed
    PointsAdded,  // text import: SelectedPoint = -1, UpdateVisibleStretch, repaint
    AnalytesAdded // predecessor import (also partly failed): FillAnalyteList, repaint, save
};
// "&Import": names ending in dat or sav (any case) are predecessor files, all others exchange text
// shown in the preview window for `current`.
TImportOutcome ExchangeImport(QWidget* parent, TAnalyte* current, TWinImport& preview);

// "&Copy".
void ExchangeCopy(const TAnalyte* current);

// "&Paste": the clipboard's text in the preview window; true when its runs were added (then, as
// after a text import, SelectedPoint = -1, UpdateVisibleStretch, repaint).
bool ExchangePaste(TAnalyte* current, TWinImport& preview);
