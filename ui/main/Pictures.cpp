#include "ui/main/Pictures.h"

#include "game/Board.h"

#include <QFile>
#include <QPixmapCache>
#include <QtEndian>

namespace palinor {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

QByteArray readResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QImage decodeDib(const QByteArray& dib)
{
    if (dib.size() < kInfoHeaderSize || qFromLittleEndian<quint32>(dib.constData()) != kInfoHeaderSize) {
        return {};
    }
    const auto bitsPerPixel = qFromLittleEndian<quint16>(dib.constData() + 14);
    const auto paletteEntries = qFromLittleEndian<quint32>(dib.constData() + 32);
    const int paletteSize =
        bitsPerPixel <= 8 ? 4 * (paletteEntries ? paletteEntries : 1u << bitsPerPixel) : 4 * paletteEntries;
    // Qt reads bitmaps as files: give the stored header and pixels the file header they lack.
    QByteArray file(kFileHeaderSize, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(kFileHeaderSize + dib.size(), file.data() + 2);
    qToLittleEndian<quint32>(kFileHeaderSize + kInfoHeaderSize + paletteSize, file.data() + 10);
    file.append(dib);
    return QImage::fromData(file, "BMP");
}

QPixmap dominoPicture(int id)
{
    if (id < kFirstPictureId || id > kLastPictureId) {
        return {};
    }
    // Qt's pixmap cache lives and dies with the application, unlike a static of our own.
    const QString key = QStringLiteral("palinor-domino-%1").arg(id);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap::fromImage(decodeDib(readResource(QStringLiteral(":/pictures/%1.dib").arg(id))));
        QPixmapCache::insert(key, picture);
    }
    return picture;
}

QPixmap dieFace(int pips)
{
    return QPixmap(QStringLiteral(":/pictures/die%1.bmp").arg(pips));
}

} // namespace palinor
