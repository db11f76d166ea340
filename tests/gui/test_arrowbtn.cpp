// Tests of the arrow button: outline geometry, hit-testing, click, pressed frame, caption pieces.
#include <QSignalSpy>
#include <QTest>

#include "UArrowBtn.h"

namespace {
QList<QPoint> Points(const TArrowOutline& o) {
    return QList<QPoint>(o.begin(), o.end());
}

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};
} // namespace

class TestArrowBtn : public QObject {
    Q_OBJECT
private slots:
    // Halves round to the even neighbour: H/2 = 22.5 gives 22, 5H/6 = 37.5 gives 38, H/6 = 7.5 gives 8.
    void outlineOfEachDirection() {
        using L = QList<QPoint>;
        QCOMPARE(Points(ArrowOutline(btnRIGHT, 80, 45)),
                 (L{{37, 3}, {77, 22}, {37, 42}, {37, 35}, {3, 35}, {3, 11}, {37, 11}}));
        QCOMPARE(Points(ArrowOutline(btnUP, 80, 45)),
                 (L{{40, 3}, {77, 27}, {64, 27}, {64, 42}, {16, 42}, {16, 27}, {3, 27}}));
        QCOMPARE(Points(ArrowOutline(btnDOWN, 80, 45)),
                 (L{{64, 3}, {64, 19}, {77, 19}, {40, 42}, {3, 19}, {16, 19}, {16, 3}}));
        QCOMPARE(Points(ArrowOutline(btnLEFT, 80, 45)),
                 (L{{77, 11}, {77, 35}, {30, 35}, {30, 42}, {3, 22}, {30, 3}, {30, 11}}));
        // The assignment window's 60 x 40 buttons.
        QCOMPARE(Points(ArrowOutline(btnRIGHT, 60, 40)),
                 (L{{27, 3}, {57, 20}, {27, 37}, {27, 30}, {3, 30}, {3, 10}, {27, 10}}));
        QCOMPARE(Points(ArrowFrame(btnRIGHT, 80, 45)),
                 (L{{35, 0}, {79, 22}, {35, 45}, {35, 36}, {1, 36}, {1, 9}, {35, 9}}));
        QCOMPARE(Points(ArrowFrame(btnLEFT, 80, 45)),
                 (L{{78, 9}, {78, 36}, {31, 36}, {31, 45}, {1, 22}, {31, 0}, {31, 9}}));
    }

    void hitTestFollowsTheShape() {
        TArrowButton b;
        QCOMPARE(b.size(), QSize(80, 45));
        QVERIFY(b.HitTest({10, 20}));  // shaft
        QVERIFY(b.HitTest({70, 22}));  // point of the head
        QVERIFY(b.HitTest({45, 10}));  // head below its upper edge
        QVERIFY(!b.HitTest({1, 1}));   // corner
        QVERIFY(!b.HitTest({10, 8}));  // above the shaft
        QVERIFY(!b.HitTest({45, 5}));  // above the head's edge
        QVERIFY(!b.HitTest({78, 43})); // far corner
        b.SetDirection(btnUP);
        QVERIFY(b.HitTest({40, 10}));
        QVERIFY(!b.HitTest({10, 40}));
    }

    void clicksOnlyInsideTheShape() {
        QWidget parent;
        auto* b = new TArrowButton(&parent);
        parent.resize(100, 60);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QSignalSpy spy(b, &TArrowButton::clicked);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(spy.count(), 0);
        QVERIFY(!b->Pressed());
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 20));
        QVERIFY(b->Pressed());
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(12, 22));
        QVERIFY(!b->Pressed());
        QCOMPARE(spy.count(), 1);
        // Released away from the control: no click.
        QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 20));
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(95, 55));
        QCOMPARE(spy.count(), 1);
        // A disabled button ignores the mouse.
        b->setEnabled(false);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 20));
        QCOMPARE(spy.count(), 1);
    }

    // The outer frame is grey at rest and black while the button is held.
    void pressedFrameTurnsBlack() {
        TArrowButton b;
        b.SetButtonColor(QColor(255, 255, 0));
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        const QPoint frame(35, 4); // on the frame's edge S6-S0, outside the inner outline's pen
        QCOMPARE(b.grab().toImage().pixelColor(frame), QColor(128, 128, 128));
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 20));
        QCOMPARE(b.grab().toImage().pixelColor(frame), QColor(0, 0, 0));
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 20));
        QCOMPARE(b.grab().toImage().pixelColor(frame), QColor(128, 128, 128));
        // Inside the shape the button colour shows.
        QCOMPARE(b.grab().toImage().pixelColor(QPoint(60, 22)), QColor(255, 255, 0));
    }

    void captionAndShortcutLetter() {
        const TCaptionPieces p = SplitCaption(QStringLiteral("Level &2"));
        QCOMPARE(p.before, QStringLiteral("Level "));
        QCOMPARE(p.letter, QStringLiteral("2"));
        QCOMPARE(p.after, QString());
        const TCaptionPieces end = SplitCaption(QStringLiteral("Level&"));
        QCOMPARE(end.before, QStringLiteral("Level&"));
        QVERIFY(end.letter.isEmpty());
        const TCaptionPieces mid = SplitCaption(QStringLiteral("A&bc&d"));
        QCOMPARE(mid.before + "|" + mid.letter + "|" + mid.after, QStringLiteral("A|b|c&d"));

        // The underlined letter is drawn: the image differs from the caption without the mark.
        TArrowButton b;
        b.SetCaption(QStringLiteral("Level 2"));
        const QImage plain = b.grab().toImage();
        b.SetCaption(QStringLiteral("Level &2"));
        QVERIFY(b.grab().toImage() != plain);
        // An empty caption leaves the stored one.
        b.SetCaption(QString());
        QCOMPARE(b.Caption(), QStringLiteral("Level &2"));
    }

    void sameDirectionDoesNotRepaint() {
        TArrowButton b;
        PaintCounter counter;
        b.installEventFilter(&counter);
        b.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QCoreApplication::processEvents();
        const int before = counter.paints;
        b.SetDirection(btnRIGHT);
        QCoreApplication::processEvents();
        QCOMPARE(counter.paints, before);
        b.SetDirection(btnDOWN);
        QTRY_VERIFY(counter.paints > before);
    }
};

QTEST_MAIN(TestArrowBtn)
#include "test_arrowbtn.moc"
