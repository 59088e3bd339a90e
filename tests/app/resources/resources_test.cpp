// The pictures and the icon as the program finds them: Qt resources, read through Qt's own image loaders.
#include "app/resources/PalinorResources.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <gtest/gtest.h>

TEST(Resources, holdEveryPictureInBothDrawings)
{
    palinor_init_resources();
    palinor_init_resources(); // a second call must do no harm
    for (int id = 100; id <= 130; ++id) {
        EXPECT_EQ(QFile(QStringLiteral(":/pictures/%1.dib").arg(id)).size(), 1940) << id;
        EXPECT_EQ(QFile(QStringLiteral(":/pictures/%1@2x.dib").arg(id)).size(), 7640) << id;
    }
    for (int pocket = 1; pocket <= 4; ++pocket) {
        EXPECT_EQ(QImage(QStringLiteral(":/pictures/die%1.bmp").arg(pocket)).size(), QSize(30, 30)) << pocket;
        EXPECT_EQ(QImage(QStringLiteral(":/pictures/die%1@2x.bmp").arg(pocket)).size(), QSize(60, 60))
            << pocket;
    }
}

TEST(Resources, holdTheIconAtEverySizeAsATransparentSquare)
{
    for (int n : palinor::kApplicationIconSizes) {
        const QImage png = QImage(QStringLiteral(":/icons/palinor-%1.png").arg(n), "PNG");
        ASSERT_EQ(png.size(), QSize(n, n)) << n;
        EXPECT_TRUE(png.hasAlphaChannel()) << n;
        EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0) << n;
        EXPECT_EQ(qAlpha(png.pixel(n / 2, n / 2)), 255) << n;
    }
}

TEST(Resources, holdAnIcoQtCanReadFrom16To256Pixels)
{
    QImageReader ico(QStringLiteral(":/icons/palinor.ico"));
    ASSERT_EQ(ico.imageCount(), 8) << "is Qt's ico image plugin installed?";
    QList<int> widths;
    do {
        const QImage image = ico.read();
        ASSERT_FALSE(image.isNull()) << qPrintable(ico.errorString());
        EXPECT_EQ(image.width(), image.height());
        EXPECT_EQ(qAlpha(image.convertToFormat(QImage::Format_ARGB32).pixel(0, 0)), 0) << image.width();
        widths << image.width();
    } while (ico.jumpToNextImage());
    EXPECT_EQ(widths, (QList<int>{32, 16, 24, 32, 48, 64, 128, 256}));
}
