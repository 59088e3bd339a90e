#pragma once
// Recognising a Microsoft Access file, and which engine wrote it, from its first bytes and its size.

#include <QByteArray>
#include <QString>

namespace palinor {

// What the first bytes and the size of a file say it is.
enum class AccessFormat {
    NotAccess,
    Jet3,      // Access 97
    Jet4,      // Access 2000: the older program's own format, the one imported
    Ace,       // Access 2007 or later
    Truncated, // Jet 4, but its size is not a whole number of 4096-byte pages
};
AccessFormat accessFormat(const QByteArray& header, qint64 size);
AccessFormat accessFormatOf(const QString& path);

} // namespace palinor
