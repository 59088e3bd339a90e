#pragma once
// The score table's load: stores the player's score when it is to be replaced, then ranks every record.

#include "data/ScoreDatabase.h"
#include "game/GameState.h"
#include "ui/messages/ScoreFilePrompts.h"

#include <QStringList>
#include <vector>

class QFontMetrics;

namespace palinor {

/* 0 <= score <= 999: "000" */
QString scoreText(int score);
/* The line of one rank: "  N° ", the rank in three columns, five spaces, the name between U+2068 and U+2069,
   " (", the score text, ")". */
QString rankingLine(int rank, QStringView name, QStringView scoreText);
// The same rank in words: "Rang 1 : ALPHA, 87 points."
QString spokenRankingLine(int rank, const QString& name, int score);

struct ScoreTableContents {
    // Best first.
    QStringList ranking;
    // The same lines as a screen reader says them: "Rang 1 : ALPHA, 87 points."
    QStringList spoken;
    // The file could not be read: nothing is ranked.
    std::optional<DbError> readFailure;
    // The player's score was due but could not be stored.
    std::optional<DbError> storeFailure;
    // What opening the file found: a backup made of half-written leftovers, a file that will not be written.
    QList<DbError> notices;
    // Records that cannot be shown, left as they are in the file, by their row numbers.
    std::vector<qint64> skipped;
};

// Runs a file operation once; the window passes one that asks again while the file is busy.
using FileAttempt = std::function<std::optional<DbError>(const FileOperation&)>;

/* Replaces the player's record when the game state asks for it, in one transaction. */
ScoreTableContents loadScoreTable(ScoreDatabase& db, GameState& state, const FileAttempt& attempt = {});

// The one message about skipped records of file, or an empty text when none was skipped.
QString skippedMessage(int count, const QString& file);

// The ranking line shortened to fit `width` pixels: its name, never its rank or its score.
QString fittedLine(const QString& line, const QFontMetrics& metrics, int width);

} // namespace palinor
