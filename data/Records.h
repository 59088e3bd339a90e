#pragma once
// The values a record of `nom` may hold, and the rules for the names the program writes.

#include "data/DbError.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace palinor {

// Counted in Unicode code points, not UTF-16 units.
inline constexpr int kMaxNameLength = 255;
inline constexpr int kMaxStoredScore = 255;

// One record of `nom` as stored; the file may hold values the program never writes.
struct ScoreRecord {
    qint64 rowId = 0;
    QVariant name;  // "Nom Complet"; may be Null
    QVariant score; // "Score"; may be Null, out of range or not a number

    // Null, or a whole number 0..255.
    bool hasValidScore() const;
    // What the score table can show: a name and a valid score.
    bool readable() const { return !name.isNull() && hasValidScore(); }
    // The sign-up list's text: a Null name gives an empty text.
    QString nameText() const;
    /* hasValidScore(); a Null score gives 0 */
    int scoreValue() const;
};

// Code points in name.
int nameLength(const QString& name);
// The refusal for a name that cannot be stored as it is, if any.
std::optional<DbError> checkPlayerName(const QString& name);
// The refusal for a score outside 0..255, if any.
std::optional<DbError> checkScore(int score);

} // namespace palinor
