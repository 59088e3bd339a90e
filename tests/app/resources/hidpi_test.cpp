// The board on a screen of 200 % (the test runs with QT_SCALE_FACTOR=2), and its pictures at other scales.
#include "app/resources/PalinorResources.h"
#include "tests/game/RecordingWindows.h"
#include "ui/main/Form1.h"
#include "ui/main/Pictures.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;

class HiDpiTest : public QObject {
    Q_OBJECT

private slots:
    void boardShowsTheDoubleSizeDrawingsOnWholeDevicePixels()
    {
        struct : testing::GameFixture {
            Form1 form{game};
            void drawBoard(const BoardView& view) override { form.drawBoard(view); }
        } b;
        b.game.LoadBoard();
        b.play("N11223334"); // pockets hold 2, 2, 3 and 1 discs, 22 remain to be played
        b.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.form));
        // The five counting pictures, then the four pocket buttons: each drawing somewhere, pixel for pixel.
        for (int i = 0; i <= 8; ++i) {
            QWidget* shown = i <= 4 ? static_cast<QWidget*>(b.form.image(i)) : b.form.pocketButton(i - 4);
            const QString name =
                i <= 4 ? shown->property("pictureId").toString() : "die" + QString::number(i - 4);
            const QImage drawn(":/pictures/" + name + "@2x.png");
            QImage grabbed = shown->grab().toImage().convertToFormat(QImage::Format_RGB32);
            grabbed.setDevicePixelRatio(1.0);
            bool found = false;
            for (int y = 0; y + drawn.height() <= grabbed.height(); ++y)
                for (int x = 0; x + drawn.width() <= grabbed.width() && !found; ++x)
                    found = grabbed.copy(QRect(QPoint(x, y), drawn.size())) == drawn;
            QVERIFY2(found, qPrintable(name));
        }
    }

    void picturesAndTheIconSuitEveryScale()
    {
        for (qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
            for (const auto& [picture, side] :
                 {std::pair{dominoPicture(130, ratio), 25}, {dieFace(4, ratio), 30}}) {
                QCOMPARE(picture.devicePixelRatio(), ratio);
                QCOMPARE(picture.width(), devicePixelsFor(side, ratio));
            }
        }
        QCOMPARE(applicationIcon().availableSizes().constLast(), QSize(64, 64)); // small sizes only
        QCOMPARE(applicationIcon().pixmap(QSize(96, 96), 1.0).size(), QSize(96, 96));
    }
};

QTEST_MAIN(HiDpiTest)
#include "hidpi_test.moc"
