// The pictures and the icon as the program finds them: Qt resources, read through Qt's own image loaders.
#include "app/resources/PalinorResources.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QByteArray resource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Resources, holdEveryCountingPictureAsADibQtCanReadOnceGivenAFileHeader)
{
    palinor_init_resources();
    palinor_init_resources(); // a second call must do no harm
    for (int id = 100; id <= 130; ++id) {
        const QByteArray dib = resource(QStringLiteral(":/pictures/%1.dib").arg(id));
        ASSERT_EQ(dib.size(), 1940) << id;
        QByteArray bmp("BM");
        for (quint32 v : {quint32(14 + dib.size()), 0u, 14u + 40u})
            bmp.append(reinterpret_cast<const char*>(&v), 4);
        bmp.append(dib);
        const QImage picture = QImage::fromData(bmp, "BMP");
        ASSERT_EQ(picture.size(), QSize(25, 25)) << id;
        EXPECT_EQ(picture.pixel(0, 0), qRgb(128, 64, 0)) << id;
    }
}

TEST(Resources, holdThePocketPicturesAndTheIcon)
{
    palinor_init_resources();
    for (int pocket = 1; pocket <= 4; ++pocket)
        EXPECT_EQ(QImage(QStringLiteral(":/pictures/die%1.bmp").arg(pocket)).size(), QSize(30, 30)) << pocket;
    const QImage ico = QImage(QStringLiteral(":/icons/palinor.ico")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(ico.size(), QSize(32, 32)) << "is Qt's ico image plugin installed?";
    EXPECT_EQ(qAlpha(ico.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(ico.pixel(16, 16)), 255);
    const QImage png = QImage(QStringLiteral(":/icons/palinor.png")).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(png, ico) << "the PNG shows the very pixels of the icon";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // image plugins are found through the application
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
