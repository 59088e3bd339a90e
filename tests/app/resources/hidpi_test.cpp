// The board on a screen of 200 % (the test runs with QT_SCALE_FACTOR=2), and its outlines at the usual
// screen scales.

#include "app/resources/PalinorResources.h"
#include "tests/game/RecordingWindows.h"
#include "ui/main/BoardWidgets.h"
#include "ui/main/Form1.h"
#include "ui/main/Pictures.h"

#include <QtTest>
#include <QtWidgets>

using namespace palinor;

namespace {

constexpr QColor kBrown(128, 64, 0);

// A game of eight discs on a real window: pockets hold 2, 2, 3 and 1 discs, 22 remain to be played.
struct ShownBoard : testing::GameFixture {
    Form1 form{game};

    ShownBoard()
    {
        game.LoadBoard();
        play("N11223334");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }
    void drawBoard(const BoardView& view) override { form.drawBoard(view); }
};

QImage source(const QString& path, qsizetype fileHeader)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? decodeDib(file.readAll().mid(fileHeader)) : QImage();
}

QImage devicePixels(const QImage& image, QRect area)
{
    QImage pixels = image.copy(area).convertToFormat(QImage::Format_RGB32);
    pixels.setDevicePixelRatio(1.0);
    return pixels;
}

// Whether `part` appears, pixel for pixel, somewhere in `whole`.
bool contains(const QImage& whole, const QImage& part)
{
    for (int y = 0; y + part.height() <= whole.height(); ++y) {
        for (int x = 0; x + part.width() <= whole.width(); ++x) {
            if (devicePixels(whole, QRect(QPoint(x, y), part.size())) == part) {
                return true;
            }
        }
    }
    return false;
}

// Whether some device row (or column) meeting [from, from + thickness) is black from `start` to `end`.
bool blackBand(const QImage& image, qreal from, qreal thickness, int start, int end, bool rows)
{
    for (int line = qFloor(from); line < qCeil(from + thickness); ++line) {
        bool black = true;
        for (int i = start; i < end && black; ++i) {
            black = image.pixelColor(rows ? i : line, rows ? line : i) == Qt::black;
        }
        if (black) {
            return true;
        }
    }
    return false;
}

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        palinor_init_resources();
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
    }

    void countingPicturesShowTheirDoubleSizeDrawingPixelForPixel()
    {
        ShownBoard b;
        for (int i : {0, 1, 2, 3, 4}) {
            const int id = b.form.image(i)->property("pictureId").toInt();
            const QImage shown = b.form.image(i)->grab().toImage();
            QCOMPARE(shown.devicePixelRatio(), 2.0);
            const QImage drawn = source(QStringLiteral(":/pictures/%1@2x.dib").arg(id), 0);
            QCOMPARE(drawn.size(), QSize(50, 50));
            QVERIFY2(devicePixels(shown, QRect(0, 0, 50, 50)) == drawn, qPrintable(QString::number(id)));
        }
    }

    void pocketButtonsShowTheirDoubleSizeDieFace()
    {
        ShownBoard b;
        for (int pocket = 1; pocket <= 4; ++pocket) {
            const QImage drawn = source(QStringLiteral(":/pictures/die%1@2x.bmp").arg(pocket), 14);
            QCOMPARE(drawn.size(), QSize(60, 60));
            QVERIFY2(contains(b.form.pocketButton(pocket)->grab().toImage(), drawn),
                     qPrintable(QString::number(pocket)));
        }
    }

    void picturesCoverTheirLogicalSizeOnWholeDevicePixels_data()
    {
        QTest::addColumn<qreal>("ratio");
        for (qreal ratio : {1.0, 1.25, 1.5, 1.75, 2.0, 3.0}) {
            QTest::addRow("%d %%", qRound(ratio * 100)) << ratio;
        }
    }
    void picturesCoverTheirLogicalSizeOnWholeDevicePixels()
    {
        QFETCH(qreal, ratio);
        for (const auto& [picture, side] :
             {std::pair{dominoPicture(130, ratio), 25}, {dieFace(4, ratio), 30}}) {
            QCOMPARE(picture.devicePixelRatio(), ratio);
            QCOMPARE(picture.width(), devicePixelsFor(side, ratio));
            QVERIFY(qAbs(picture.deviceIndependentSize().width() - side) < 0.5);
        }
        // Drawings made for 1x and 2x are shown as they are.
        if (ratio == 1.0 || ratio == 2.0) {
            const QImage picture = dominoPicture(130, ratio).toImage();
            QCOMPARE(devicePixels(picture, picture.rect()),
                     source(ratio == 2.0 ? ":/pictures/130@2x.dib" : ":/pictures/130.dib", 0));
        }
    }

    void outlinesKeepFourEdgesOnWholeDevicePixels_data()
    {
        QTest::addColumn<qreal>("ratio");
        for (qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
            QTest::addRow("%d %%", qRound(ratio * 100)) << ratio;
        }
    }
    void outlinesKeepFourEdgesOnWholeDevicePixels()
    {
        QFETCH(qreal, ratio);
        // Odd positions put the shape's edges between device pixels at 125 % and 150 %.
        for (int at : {0, 1, 2, 3}) {
            QWidget board;
            board.resize(60, 90);
            auto* shape = new OutlineShape(&board, kBrown);
            shape->setGeometry(at, at, 49, 73);
            QImage image(qCeil(60 * ratio), qCeil(90 * ratio), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            board.render(&image, {}, {}, QWidget::DrawChildren);

            const QRectF device(at * ratio, at * ratio, 49 * ratio, 73 * ratio);
            // Each edge, without the corners, lies on one logical pixel's worth of device pixels.
            const int x0 = qCeil(device.left() + ratio);
            const int x1 = qFloor(device.right() - ratio);
            const int y0 = qCeil(device.top() + ratio);
            const int y1 = qFloor(device.bottom() - ratio);
            const QString where = QStringLiteral("shape at %1").arg(at);
            QVERIFY2(blackBand(image, device.top(), ratio, x0, x1, true), qPrintable(where + ", top"));
            QVERIFY2(blackBand(image, device.bottom() - ratio, ratio, x0, x1, true),
                     qPrintable(where + ", bottom"));
            QVERIFY2(blackBand(image, device.left(), ratio, y0, y1, false), qPrintable(where + ", left"));
            QVERIFY2(blackBand(image, device.right() - ratio, ratio, y0, y1, false),
                     qPrintable(where + ", right"));
            // Inside the edges the shape is filled, so the outline stays thin.
            QCOMPARE(image.pixelColor(x0 + 1, y0 + 1), kBrown);
            QCOMPARE(image.pixelColor(x1 - 2, y1 - 2), kBrown);
        }
    }

    void windowIconHoldsEveryDrawnSize()
    {
        const QIcon icon = applicationIcon();
        for (int n : kApplicationIconSizes) {
            QVERIFY(icon.availableSizes().contains(QSize(n, n)));
            // Compared premultiplied, as a pixmap holds them.
            const auto format = QImage::Format_ARGB32_Premultiplied;
            QCOMPARE(icon.pixmap(QSize(n, n), 1.0).toImage().convertToFormat(format),
                     QImage(QStringLiteral(":/icons/palinor-%1.png").arg(n)).convertToFormat(format));
        }
    }
};

QTEST_MAIN(HiDpiTest)
#include "hidpi_test.moc"
