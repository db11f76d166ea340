// Shared pieces of the reference windows: text conversion, owner-drawn tabbed lists, key button, marks.
#pragma once

#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "URowList.h"
#include "UStructures.h"

namespace refui {

// Core texts are Windows-1252 bytes; windows show UTF-8 QStrings.
QString ToQt(const std::string& ansi);
std::string ToCore(const QString& text);

// Colours of the owner-drawn lists.
inline const QColor SelectedBack(0, 0, 128);
inline const QColor OddBack(192, 255, 255);

// Data role holding what a list entry is attached to (analyte pointer, material id, point index).
constexpr int AttachRole = Qt::UserRole + 1;

// Draws a list entry: navy when selected, light cyan on odd rows, white otherwise; the text one
// pixel below the top with the given tab stops (pixels from the entry's left edge); then `extra`.
class TTabListDelegate : public QStyledItemDelegate {
public:
    using TExtra = std::function<void(QPainter&, const QRect&, int row)>;
    explicit TTabListDelegate(QObject* parent) : QStyledItemDelegate(parent) {}
    void SetTabStops(std::vector<int> stops) { stops_ = std::move(stops); }
    void SetExtra(TExtra extra) { extra_ = std::move(extra); }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    std::vector<int> stops_;
    TExtra extra_;
};

// A list box whose entries are 16 pixels high and drawn by a TTabListDelegate.
QListWidget* MakeTabList(QWidget* parent, const char* name, std::vector<int> tabStops);
// The same for lists of many rows, whose texts are made only when drawn.
TRowList* MakeRowList(QWidget* parent, const char* name, std::vector<int> tabStops);
TTabListDelegate* TabDelegate(QAbstractItemView* list);

// The key button that unlocks the protected commands after the password.
// The key picture of the password buttons.
QPixmap KeyPicture();
QPushButton* MakeKeyButton(QWidget* parent);

// The state marks of the data table and the register: yellow and red dots (11 x 11), red cross
// (12 x 12). Taken from the program's resources when present, else drawn here.
const QPixmap& YellowDot();
const QPixmap& RedDot();
const QPixmap& RedCross();

// True when some point of the analyte has a result (counted or discarded) in the level (0-based):
// what N + NDiscarded of the level's statistics count, read from the points themselves so that
// statistics not yet recomputed can never let a level's data be dropped unarchived.
bool LevelHoldsPoints(const TAnalyte& a, int level);

// The selected row of a single-selection list, or -1 when nothing is selected.
int SelectedRow(const QListWidget* list);

// A tabbed line of an archive file with its date fields (0-based) shown as the windows show dates.
QString ArchiveLineText(const std::string& line, std::initializer_list<size_t> dateFields);

} // namespace refui
