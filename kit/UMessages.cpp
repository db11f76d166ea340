// Message boxes and file dialogs of the program, and the answers that can stand in for them.
#include "UMessages.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeDatabase>

#include "UAtomicFile.h"
#include "UCodePage.h"
#include "UGlobale.h"
#include "UMotPass.h"
#include "UQcError.h"
#include "UReason.h"
#include "UUtilitaires.h"

namespace {
TDialogAnswers* answers = nullptr;
TQtPrompt qtPrompt;

QString ShownText(const std::string& text) {
    // "\r" and "\n\r" in the program's texts are line breaks inside the box.
    QString t = CoreTextQ(text);
    t.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
} // namespace

QString ToQ(const std::string& ansi) {
    return QString::fromStdString(Cp1252ToUtf8(ansi));
}

std::string FromQ(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}

QString CoreTextQ(const std::string& text) {
    const QString translated = QCoreApplication::translate("Core", text.c_str());
    return translated == QString::fromUtf8(text) ? ToQ(text) : translated;
}

namespace {
struct TButtonPair {
    TMsgButton ours;
    QMessageBox::StandardButton qt;
};
const TButtonPair ButtonPairs[] = {{mbYes, QMessageBox::Yes},
                                   {mbNo, QMessageBox::No},
                                   {mbOK, QMessageBox::Ok},
                                   {mbCancel, QMessageBox::Cancel},
                                   {mbRetry, QMessageBox::Retry}};
} // namespace

int TitleBarWidth(const QString& title) {
    QFont f = QApplication::font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    // Room for the window menu and the minimise, maximise and close buttons.
    constexpr int buttons = 150;
    return QFontMetrics(f).horizontalAdvance(title) + buttons;
}

void FitWindowTitle(QWidget* window) {
    const int needed = TitleBarWidth(window->windowTitle());
    if (window->minimumWidth() < needed) window->setMinimumWidth(needed);
    if (window->width() < needed) window->resize(needed, window->height());
}

void PrepareMessageBox(QMessageBox& box, TMsgKind kind, unsigned buttons, const std::string& text) {
    static const QMessageBox::Icon icons[] = {QMessageBox::Critical, QMessageBox::Warning,
                                              QMessageBox::Information, QMessageBox::Question};
    static const char* titles[] = {
        QT_TRANSLATE_NOOP("TQtPrompt", "Error"), QT_TRANSLATE_NOOP("TQtPrompt", "Warning"),
        QT_TRANSLATE_NOOP("TQtPrompt", "Information"), QT_TRANSLATE_NOOP("TQtPrompt", "Confirm")};
    box.setIcon(icons[kind]);
    box.setWindowTitle(QCoreApplication::translate("TQtPrompt", titles[kind]));
    box.setTextFormat(Qt::PlainText); // messages quote names and paths as typed
    box.setText(ShownText(text));
    QMessageBox::StandardButtons set;
    for (const TButtonPair& p : ButtonPairs)
        if (buttons & p.ours) set |= p.qt;
    if (!set) set = QMessageBox::Ok;
    box.setStandardButtons(set);
    if (buttons & mbCancel) box.setEscapeButton(QMessageBox::Cancel);
    // A box sizes itself to its text; a spacer keeps a short one wide enough for its title.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(TitleBarWidth(box.windowTitle()), 0, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

TMsgButton TQtPrompt::Ask(TMsgKind kind, unsigned buttons, const std::string& text) {
    if (answers) return answers->Ask(kind, buttons, text);
    QMessageBox box(QApplication::activeWindow());
    PrepareMessageBox(box, kind, buttons, text);
    int pressed = box.exec();
    for (const TButtonPair& p : ButtonPairs)
        if (pressed == p.qt) return p.ours;
    // The close box answers Cancel when offered, else the box's only or first button.
    if (buttons & mbCancel) return mbCancel;
    for (unsigned b : {mbYes, mbOK, mbNo, mbRetry})
        if (buttons & b) return static_cast<TMsgButton>(b);
    return mbNone;
}

bool TQtPrompt::EnterPassword() {
    if (!WinEntryPsw) new TWinEntryPsw(QApplication::activeWindow()); // kept for the program's life
    return WinEntryPsw->exec() == QDialog::Accepted;
}

bool TQtPrompt::AskReason(const std::string& question, const std::vector<std::string>& choices,
                          std::string& choice, std::string& text) {
    if (answers) return answers->AskReason(question, choices, choice, text);
    static TWinReason* window = nullptr;
    if (!window) window = new TWinReason(QApplication::activeWindow()); // kept for the program's life
    return window->Execute(question, choices, choice, text);
}

void InstallQtPrompt() {
    SetPrompt(&qtPrompt);
}

void SetDialogAnswers(TDialogAnswers* installed) {
    answers = installed;
}

namespace {
// Icons and type names from the file's name alone.
class TNameOnlyIconProvider : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override {
        if (info.isDir() || info.isSymLink()) return QFileIconProvider::type(info);
        return QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension).comment();
    }
};
} // namespace

void PrepareFileDialog(QFileDialog& dialog) {
    static TNameOnlyIconProvider provider;
    // A native dialog runs in this process too and reads the files' contents.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setIconProvider(&provider);
}

std::optional<std::string> AskFileBytes(QWidget* parent, const QString& caption, const QString& filter) {
    const QString path = AskOpenFileName(parent, caption, ToQ(ProgramFolder), filter);
    if (path.isEmpty()) return std::nullopt;
    try {
        return ReadWholeFile(path.toStdString());
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbOK, e.what());
        return std::nullopt;
    }
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter) {
    if (answers) return answers->AskFile();
    QFileDialog dlg(parent, caption, folder, filter);
    PrepareFileDialog(dlg);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                        const QString& defaultSuffix) {
    QString path;
    if (answers) {
        path = answers->AskFile();
    } else {
        QFileDialog dlg(parent, caption, folder, filter);
        PrepareFileDialog(dlg);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(defaultSuffix);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
        path = dlg.selectedFiles().first();
    }
    if (!path.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + defaultSuffix;
    return path;
}

QString AskExistingFolder(QWidget* parent, const QString& caption, const QString& folder) {
    if (answers) return answers->AskFile();
    QFileDialog dlg(parent, caption, folder);
    PrepareFileDialog(dlg);
    dlg.setFileMode(QFileDialog::Directory);
    dlg.setOption(QFileDialog::ShowDirsOnly);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return {};
    return dlg.selectedFiles().first();
}

namespace {
[[noreturn]] void Refuse(QLineEdit* edit, const EConvertError& e) {
    edit->selectAll();
    edit->setFocus();
    ShowMessageBox(mkError, mbOK, e.what());
    throw e;
}
} // namespace

int CheckIntegerEdit(QLineEdit* edit, int min, int max) {
    std::string text = FromQ(edit->text());
    try {
        int v = CheckIntegerText(text, min, max);
        edit->setText(ToQ(text));
        return v;
    } catch (const EConvertError& e) {
        Refuse(edit, e);
    }
}

LevelValue ReadValueEdit(QLineEdit* edit) {
    try {
        return ReadValueText(FromQ(edit->text()));
    } catch (const EConvertError& e) {
        Refuse(edit, e);
    }
}

long double ReadRealEdit(QLineEdit* edit, bool nonNegative) {
    std::string text = FromQ(edit->text());
    try {
        long double v = ReadRealText(text, nonNegative);
        edit->setText(ToQ(text));
        return v;
    } catch (const EConvertError& e) {
        Refuse(edit, e);
    }
}
