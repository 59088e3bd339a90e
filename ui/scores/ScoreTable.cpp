#include "ui/scores/ScoreTable.h"

#include "game/Plural.h"
#include "game/ScoreStore.h"

#include <QCollator>
#include <QFontMetrics>
#include <QLocale>
#include <algorithm>

namespace palinor {

namespace {

const QString kSortSeparator = QStringLiteral("     ");
// A shown name stands between these: its own direction controls end with it.
constexpr QChar kIsolateStart(0x2068), kIsolateEnd(0x2069);
constexpr int kScoreTextLength = 3;

} // namespace

QString skippedMessage(int count, const QString& file)
{
    if (count == 0) {
        return {};
    }
    return count == 1
               ? QStringLiteral(
                     "Un enregistrement illisible de %1 (sans nom, ou dont le score n'est pas un "
                     "nombre entier de 0 à 255) n'est pas affiché ; il reste tel quel dans le fichier.")
                     .arg(file)
               : QStringLiteral(
                     "%1 enregistrements illisibles de %2 (sans nom, ou dont le score n'est pas un "
                     "nombre entier de 0 à 255) ne sont pas affichés ; ils restent tels quels dans le "
                     "fichier.")
                     .arg(count)
                     .arg(file);
}

QString fittedLine(const QString& line, const QFontMetrics& metrics, int width)
{
    // The name stands between its isolates; what comes before and after it is kept whole.
    const qsizetype start = line.indexOf(kIsolateStart) + 1, end = line.lastIndexOf(kIsolateEnd);
    if (metrics.horizontalAdvance(line) <= width || start <= 0 || end < start) {
        return line;
    }
    const QString before = line.left(start), after = line.mid(end);
    const int room = width - metrics.horizontalAdvance(before) - metrics.horizontalAdvance(after);
    return before + metrics.elidedText(line.mid(start, end - start), Qt::ElideRight, std::max(room, 0)) +
           after;
}

QString scoreText(int score)
{
    return QStringLiteral("%1").arg(score, kScoreTextLength, 10, QLatin1Char('0'));
}

QString rankingLine(int rank, QStringView name, QStringView score)
{
    // A rank above 999 is written in full. The name is isolated, so that its own direction controls
    // cannot reorder the score after it.
    QString line = QStringLiteral("  N\u00B0 ") + QStringLiteral("%1").arg(rank, 3) + kSortSeparator;
    line.append(kIsolateStart).append(name).append(kIsolateEnd);
    line.append(QStringLiteral(" (")).append(score).append(QLatin1Char(')'));
    return line;
}

QString spokenRankingLine(int rank, const QString& name, int score)
{
    return QStringLiteral("Rang %1 : %2, %3.")
        .arg(rank)
        .arg(name, QString::fromStdString(counted(score, "point")));
}

namespace {

// The rule applied to the player's records as they are found: which are replaced, and the score then stored.
ScoreDatabase::Change replacementOf(const std::vector<ScoreRecord>& records, GameState& state)
{
    const QString player = QString::fromStdString(state.PlayerName);
    ScoreDatabase::Change change{{}, player, std::nullopt};
    bool ownReadable = false, ownUnreadable = false;
    for (const ScoreRecord& record : records) {
        if (player.isEmpty() || record.name.isNull() || record.nameText() != player) {
            continue;
        }
        if (!record.readable()) {
            ownUnreadable = true; // left as it is in the file
            continue;
        }
        ownReadable = true;
        if (auto replacement =
                ReplacementScore(state, state.PlayerName, static_cast<Byte>(record.scoreValue()))) {
            change.removedRowIds.push_back(record.rowId);
            change.score = *replacement;
        }
    }
    // A player whose records cannot be read would otherwise never get a score: a readable record is added
    // beside them, and the normal rule finds it from then on.
    if (ownUnreadable && !ownReadable) {
        change.score = FirstReadableScore(state);
    }
    return change;
}

} // namespace

ScoreTableContents loadScoreTable(ScoreDatabase& db, GameState& state, const FileAttempt& attempt)
{
    const auto tryOnce = [&attempt](const FileOperation& operation) {
        return attempt ? attempt(operation) : operation();
    };
    ScoreTableContents contents;
    ScanResult scan;
    contents.readFailure = tryOnce([&] {
        scan = db.scan();
        return scan.error;
    });
    contents.notices = db.takeNotices();
    if (contents.readFailure) {
        return contents;
    }
    // Only when a replacement is due is the file written; the rule is then applied anew to what the file
    // holds inside the write, so that another copy of the program storing at the same time is never undone.
    GameState trial = state;
    if (!replacementOf(scan.records, trial).score) {
        state.BestBeforeGame = trial.BestBeforeGame; // the player's best as first seen
    } else {
        const bool flagBefore = state.ForceScoreUpdate;
        const auto bestBefore = state.BestBeforeGame;
        const auto restore = [&] {
            state.ForceScoreUpdate = flagBefore;
            state.BestBeforeGame = bestBefore;
        };
        std::vector<ScoreRecord> after;
        contents.storeFailure = tryOnce([&] {
            restore();
            return db.storeScore(
                [&](const std::vector<ScoreRecord>& found) { return replacementOf(found, state); }, &after);
        });
        contents.notices += db.takeNotices();
        if (contents.storeFailure) {
            // Nothing was stored: the table shows the file as it is, and the next load tries again.
            restore();
        } else {
            scan.records = std::move(after);
        }
    }

    struct Row {
        QString name;
        int score;
    };
    std::vector<Row> rows;
    rows.reserve(scan.records.size());
    for (const ScoreRecord& record : scan.records) {
        if (record.readable()) {
            rows.push_back({record.nameText(), record.scoreValue()});
        } else {
            contents.skipped.push_back(record.rowId); // left as it is in the file
        }
    }
    // The order of the lines "score text, five spaces, name" in ascending text order: by score, then by the
    // names' collation. Comparing the scores as numbers first spares most collations.
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    std::sort(rows.begin(), rows.end(), [&collator](const Row& a, const Row& b) {
        if (a.score != b.score) {
            return a.score < b.score;
        }
        return collator.compare(a.name, b.name) < 0;
    });

    const auto count = static_cast<int>(rows.size());
    contents.ranking.reserve(count);
    contents.spoken.reserve(count);
    for (int rank = 1; rank <= count; ++rank) {
        const Row& row = rows[static_cast<std::size_t>(count - rank)];
        contents.ranking << rankingLine(rank, row.name, scoreText(row.score));
        contents.spoken << spokenRankingLine(rank, row.name, row.score);
    }
    return contents;
}

} // namespace palinor
