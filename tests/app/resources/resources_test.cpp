// The pictures and the icon as the program finds them: Qt resources, read through Qt's own image loaders.
#include "app/resources/PalinorResources.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

TEST(Resources, holdEveryPictureAndAnIconQtCanRead)
{
    palinor_init_resources();
    palinor_init_resources(); // a second call must do no harm
    for (int id = 100; id <= 130; ++id)
        EXPECT_EQ(QFile(QStringLiteral(":/pictures/%1.dib").arg(id)).size(), 1940) << id;
    for (int pocket = 1; pocket <= 4; ++pocket)
        EXPECT_EQ(QImage(QStringLiteral(":/pictures/die%1.bmp").arg(pocket)).size(), QSize(30, 30)) << pocket;
    const QImage ico = QImage(QStringLiteral(":/icons/palinor.ico")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(ico.size(), QSize(32, 32)) << "is Qt's ico image plugin installed?";
    EXPECT_EQ(qAlpha(ico.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(ico.pixel(16, 16)), 255);
    const QImage png = QImage(QStringLiteral(":/icons/palinor.png")).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(png, ico) << "the PNG shows the very pixels of the icon";
}
