// The program's shared bitmaps and drag cursors, loaded once from the resources and kept to the end.
#pragma once

#include <QCursor>
#include <QPixmap>

enum TSharedImage { siPuceRouge, siPuceVerte, siPuceJaune, siCroixRouge, siComment };

// The status dots and the cross have white as their transparent colour; the comment marker is opaque.
const QPixmap& SharedImage(TSharedImage which);
// The cursors of dragging a control material onto a level (allowed, refused).
const QCursor& CursorDragLot();
const QCursor& CursorNoDropLot();
