// The main window's exchange commands: export, import (text or predecessor files), copy and paste.
#pragma once

#include <QString>
#include <functional>

class QWidget;
class TAnalyte;
class TWinImport;

enum class TExchangeDialog { Save, Open };

// Replaces the file dialogs while set (tests): called with the dialog and its initial folder, it
// returns the chosen file, or an empty text for a cancelled dialog.
using TExchangeDialogHook = std::function<QString(TExchangeDialog, const QString& folder)>;
TExchangeDialogHook& ExchangeDialogHook();

// The initial folders of the two dialogs: ProgramFolder until a file was chosen. Reset sends both
// back to ProgramFolder.
QString ExportDialogFolder();
QString ImportDialogFolder();
void ResetExchangeDialogFolders();

// "&Export": the analyte's points as exchange text followed by one zero byte, written atomically.
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
