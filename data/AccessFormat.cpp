#include "data/AccessFormat.h"

#include "data/FileSystem.h"

namespace palinor {

namespace {

constexpr qint64 kJetPage = 4096;
constexpr int kVersionOffset = 0x14;

} // namespace

AccessFormat accessFormat(const QByteArray& header, qint64 size)
{
    const QByteArray signature = header.mid(4, 15);
    if (signature == "Standard ACE DB") {
        return AccessFormat::Ace;
    }
    if (signature != "Standard Jet DB" || header.size() <= kVersionOffset) {
        return AccessFormat::NotAccess;
    }
    switch (header.at(kVersionOffset)) {
    case 0:
        return AccessFormat::Jet3;
    case 1:
        return size % kJetPage == 0 ? AccessFormat::Jet4 : AccessFormat::Truncated;
    default:
        return AccessFormat::Ace;
    }
}

AccessFormat accessFormatOf(const QString& path)
{
    const FileProbe probe = probeFile(path, kVersionOffset + 1);
    return probe.type == FileProbe::Type::Regular ? accessFormat(probe.header, probe.size)
                                                  : AccessFormat::NotAccess;
}

} // namespace palinor
