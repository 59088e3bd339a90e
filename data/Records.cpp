#include "data/Records.h"

#include <cmath>

namespace palinor {

namespace {

std::optional<qint64> wholeNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double: {
        const double number = value.toDouble();
        if (std::isfinite(number) && number == std::floor(number) && std::abs(number) < 1e15) {
            return static_cast<qint64>(number);
        }
        return std::nullopt;
    }
    case QMetaType::QString: {
        bool ok = false;
        const qint64 number = value.toString().toLongLong(&ok);
        return ok ? std::optional<qint64>(number) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<int> storedScore(const QVariant& score)
{
    if (score.isNull()) {
        return 0;
    }
    const auto number = wholeNumber(score);
    if (!number || *number < 0 || *number > kMaxStoredScore) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

} // namespace

bool ScoreRecord::hasValidScore() const
{
    return storedScore(score).has_value();
}

QString ScoreRecord::nameText() const
{
    return name.isNull() ? QString() : name.toString();
}

int ScoreRecord::scoreValue() const
{
    return storedScore(score).value_or(0);
}

int nameLength(const QString& name)
{
    return static_cast<int>(name.toUcs4().size());
}

std::optional<DbError> checkPlayerName(const QString& name)
{
    using Kind = DbError::Kind;
    if (name.isEmpty()) {
        return dbError(Kind::EmptyName, {});
    }
    // SQLite reads a leading U+FEFF or U+FFFE of a UTF-16 text as a byte order mark, turns U+FFFE and U+FFFF
    // into U+FFFD and a lone surrogate into "?": such a name would be stored as another one, and the player's
    // scores lost.
    if (name.startsWith(QChar(0xFEFF)) || name.contains(QChar(0xFFFE)) || name.contains(QChar(0xFFFF)) ||
        !QStringView(name).isValidUtf16()) {
        return dbError(Kind::UnstorableName, {});
    }
    if (const int length = nameLength(name); length > kMaxNameLength) {
        return dbError(Kind::NameTooLong, {}, QString::number(length));
    }
    return std::nullopt;
}

std::optional<DbError> checkScore(int score)
{
    if (score < 0 || score > kMaxStoredScore) {
        return dbError(DbError::Kind::BadScore, {}, QString::number(score));
    }
    return std::nullopt;
}

} // namespace palinor
