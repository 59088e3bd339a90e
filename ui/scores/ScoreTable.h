#pragma once
// The score table's load: stores the player's score when it is to be replaced, then ranks every record.

#include "data/ScoreDatabase.h"
#include "game/GameState.h"

#include <QStringList>

namespace palinor {

/* 0 <= score <= 999: "000" */
QString scoreText(int score);
/* The line of one rank: "  N° ", the rank in three columns, the name part, " (", the score text, ")". */
QString rankingLine(int rank, QStringView namePart, QStringView scoreText);

struct ScoreTableContents {
    // Best first.
    QStringList ranking;
    // French messages for the user: a file that could not be read or written, records skipped.
    QStringList messages;
};

/* db is open. Replaces the player's record when the game state asks for it, in one transaction. */
ScoreTableContents loadScoreTable(ScoreDatabase& db, GameState& state);

} // namespace palinor
