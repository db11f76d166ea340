// The program's shared bitmaps and drag cursors, loaded once from the resources and kept to the end.
#include "USharedImages.h"

#include <QBitmap>
#include <array>

namespace {
QPixmap Load(const char* name, bool whiteTransparent) {
    QPixmap p(QStringLiteral(":/images/%1.xpm").arg(QLatin1String(name)));
    if (whiteTransparent && !p.isNull()) p.setMask(p.createMaskFromColor(Qt::white));
    return p;
}
} // namespace

const QPixmap& SharedImage(TSharedImage which) {
    static const std::array<QPixmap, 5> images = {Load("PUCEROUGE", true), Load("PUCEVERTE", true),
                                                  Load("PUCEJAUNE", true), Load("CROIXROUGE", true),
                                                  Load("COMMENT", false)};
    return images[static_cast<size_t>(which)];
}

const QCursor& CursorDragLot() {
    static const QCursor c(QPixmap(QStringLiteral(":/images/CURSDRAGLOT.xpm")), 0, 0);
    return c;
}

const QCursor& CursorNoDropLot() {
    static const QCursor c(QPixmap(QStringLiteral(":/images/CURSNODROPLOT.xpm")), 0, 0);
    return c;
}
