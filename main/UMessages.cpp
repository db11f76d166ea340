// Message boxes and file dialogs of the program, with the test hook that answers them from a script.
#include "UMessages.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <array>

#include "UGlobale.h"
#include "UQcError.h"
#include "UUtilitaires.h"

namespace {
// Windows-1252 code points of the bytes 0x80..0x9F (0 where the byte is undefined).
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

struct TScriptState {
    bool active = false;
    std::deque<TMsgButton> answers;
    std::deque<QString> files;
    std::vector<TShownBox> shown;
};
TScriptState& Script() {
    static TScriptState s;
    return s;
}
TQtPrompt qtPrompt;

QString ShownText(const std::string& text) {
    // "\r" and "\n\r" in the program's texts are line breaks inside the box.
    QString t = ToQ(text);
    t.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
} // namespace

QString ToQ(const std::string& ansi) {
    QString out;
    out.reserve(static_cast<qsizetype>(ansi.size()));
    for (char ch : ansi) {
        auto b = static_cast<unsigned char>(ch);
        char16_t c = b;
        if (b >= 0x80 && b < 0xA0 && Cp1252High[b - 0x80]) c = Cp1252High[b - 0x80];
        out.append(QChar(c));
    }
    return out;
}

std::string FromQ(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar qc : text) {
        char16_t c = qc.unicode();
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        char mapped = '?';
        for (size_t i = 0; i < Cp1252High.size(); ++i)
            if (Cp1252High[i] == c) mapped = static_cast<char>(0x80 + i);
        out.push_back(mapped);
    }
    return out;
}

TMsgButton TQtPrompt::Ask(TMsgKind kind, unsigned buttons, const std::string& text) {
    if (TDialogScript::Active()) {
        TDialogScript::Shown().push_back({kind, buttons, text});
        return TDialogScript::TakeAnswer(buttons);
    }
    QMessageBox box(QApplication::activeWindow());
    static const QMessageBox::Icon icons[] = {QMessageBox::Critical, QMessageBox::Warning,
                                              QMessageBox::Information, QMessageBox::Question};
    static const char* titles[] = {"Error", "Warning", "Information", "Confirm"};
    box.setIcon(icons[kind]);
    box.setWindowTitle(QString::fromLatin1(titles[kind]));
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
    return TDialogScript::TakeAnswer(buttons & mbCancel ? mbCancel : buttons);
}

void InstallQtPrompt() {
    SetPrompt(&qtPrompt);
}

void TDialogScript::SetActive(bool active) {
    Script().active = active;
    if (active) SetPrompt(&qtPrompt);
}
bool TDialogScript::Active() {
    return Script().active;
}
void TDialogScript::AnswerNext(TMsgButton button) {
    Script().answers.push_back(button);
}
void TDialogScript::FileNext(const QString& path) {
    Script().files.push_back(path);
}
std::vector<TShownBox>& TDialogScript::Shown() {
    return Script().shown;
}
void TDialogScript::Reset() {
    Script().answers.clear();
    Script().files.clear();
    Script().shown.clear();
}

TMsgButton TDialogScript::TakeAnswer(unsigned buttons) {
    auto& s = Script();
    if (!s.answers.empty()) {
        TMsgButton b = s.answers.front();
        s.answers.pop_front();
        return b;
    }
    if (buttons & mbCancel) return mbCancel;
    for (unsigned b : {mbYes, mbOK, mbNo, mbRetry})
        if (buttons & b) return static_cast<TMsgButton>(b);
    return mbNone;
}

bool TDialogScript::TakeFile(QString& path) {
    auto& s = Script();
    if (!s.active) return false;
    path = s.files.empty() ? QString() : s.files.front();
    if (!s.files.empty()) s.files.pop_front();
    return true;
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter) {
    QString path;
    if (TDialogScript::TakeFile(path)) return path;
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString AskSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                        const QString& defaultSuffix) {
    QString path;
    if (!TDialogScript::TakeFile(path)) {
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
    QString path;
    if (TDialogScript::TakeFile(path)) return path;
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

bool SaveSettingsOrWarn() {
    try {
        SaveSettings();
        return true;
    } catch (const EQcError& e) {
        ShowMessageBox(mkError, mbOK, e.what());
        return false;
    }
}
