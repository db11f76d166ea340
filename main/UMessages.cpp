// Message boxes and file dialogs of the program, and the answers that can stand in for them.
#include "UMessages.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

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

TMsgButton TQtPrompt::Ask(TMsgKind kind, unsigned buttons, const std::string& text) {
    if (answers) return answers->Ask(kind, buttons, text);
    QMessageBox box(QApplication::activeWindow());
    static const QMessageBox::Icon icons[] = {QMessageBox::Critical, QMessageBox::Warning,
                                              QMessageBox::Information, QMessageBox::Question};
    static const char* titles[] = {
        QT_TRANSLATE_NOOP("TQtPrompt", "Error"), QT_TRANSLATE_NOOP("TQtPrompt", "Warning"),
        QT_TRANSLATE_NOOP("TQtPrompt", "Information"), QT_TRANSLATE_NOOP("TQtPrompt", "Confirm")};
    box.setIcon(icons[kind]);
    box.setWindowTitle(QCoreApplication::translate("TQtPrompt", titles[kind]));
    box.setText(ShownText(text));
    struct Pair {
        TMsgButton ours;
        QMessageBox::StandardButton qt;
    };
    static const Pair pairs[] = {{mbYes, QMessageBox::Yes},
                                 {mbNo, QMessageBox::No},
                                 {mbOK, QMessageBox::Ok},
                                 {mbCancel, QMessageBox::Cancel},
                                 {mbRetry, QMessageBox::Retry}};
    QMessageBox::StandardButtons set;
    for (const Pair& p : pairs)
        if (buttons & p.ours) set |= p.qt;
    if (!set) set = QMessageBox::Ok;
    box.setStandardButtons(set);
    if (buttons & mbCancel) box.setEscapeButton(QMessageBox::Cancel);
    int pressed = box.exec();
    for (const Pair& p : pairs)
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

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter) {
    if (answers) return answers->AskFile();
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                        const QString& defaultSuffix) {
    QString path;
    if (answers) {
        path = answers->AskFile();
    } else {
        QFileDialog dlg(parent, caption, folder, filter);
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
    return QFileDialog::getExistingDirectory(parent, caption, folder);
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
