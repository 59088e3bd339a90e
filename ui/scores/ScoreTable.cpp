#include "ui/scores/ScoreTable.h"

#include "game/Plural.h"
#include "game/ScoreStore.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace palinor {

namespace {

const QString kSortSeparator = QStringLiteral("     ");
constexpr int kScoreTextLength = 3;

} // namespace

QString skippedMessage(int count, const QString& file)
{
    if (count == 0) {
        return {};
    }
    return count == 1
               ? QStringLiteral("Un enregistrement illisible de %1 (nom vide ou score hors de 0 à 255) "
                                "n'est pas affiché ; il reste tel quel dans le fichier.")
                     .arg(file)
               : QStringLiteral("%1 enregistrements illisibles de %2 (nom vide ou score hors de 0 à 255) "
                                "ne sont pas affichés ; ils restent tels quels dans le fichier.")
                     .arg(count)
                     .arg(file);
}

QString scoreText(int score)
{
    return QStringLiteral("%1").arg(score, kScoreTextLength, 10, QLatin1Char('0'));
}

QString rankingLine(int rank, QStringView namePart, QStringView score)
{
    // A rank above 999 is written in full.
    QString line = QStringLiteral("  N\u00B0 ") + QStringLiteral("%1").arg(rank, 3);
    line.append(namePart).append(QStringLiteral(" (")).append(score).append(QLatin1Char(')'));
    return line;
}

QString spokenRankingLine(int rank, const QString& name, int score)
{
    return QStringLiteral("Rang %1 : %2, %3.")
        .arg(rank)
        .arg(name, QString::fromStdString(counted(score, "point")));
}

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

    struct Row {
        QString name;
        int score;
        bool replaced;
    };
    std::vector<Row> rows;
    rows.reserve(scan.records.size() + 1);
    std::vector<qint64> replacedIds;
    std::optional<Byte> newScore;
    const bool flagBefore = state.ForceScoreUpdate;
    const auto bestBefore = state.BestBeforeGame;
    const QString player = QString::fromStdString(state.PlayerName);
    bool ownReadable = false, ownUnreadable = false;
    for (const ScoreRecord& record : scan.records) {
        const bool own = !player.isEmpty() && !record.name.isNull() && record.nameText() == player;
        if (!record.readable()) {
            ++contents.skipped; // left as it is in the file
            ownUnreadable = ownUnreadable || own;
            continue;
        }
        Row row{record.nameText(), record.scoreValue(), false};
        // Only the player's own records can be replaced: the others skip the rule's conversion.
        if (own) {
            ownReadable = true;
            if (auto replacement = ReplacementScore(state, state.PlayerName, static_cast<Byte>(row.score))) {
                row.replaced = true;
                replacedIds.push_back(record.rowId);
                newScore = replacement;
            }
        }
        rows.push_back(std::move(row));
    }
    // A player whose records cannot be read would otherwise never get a score: a readable record is added
    // beside them, and the normal rule finds it from then on.
    if (ownUnreadable && !ownReadable) {
        newScore = FirstReadableScore(state);
        rows.push_back({player, *newScore, true});
    }

    if (newScore) {
        contents.storeFailure = tryOnce([&] { return db.replaceScore(replacedIds, player, *newScore); });
        contents.notices += db.takeNotices();
        if (contents.storeFailure) {
            // Nothing was stored: the table shows the file as it is, and the next load tries again.
            state.ForceScoreUpdate = flagBefore;
            state.BestBeforeGame = bestBefore;
            std::erase_if(rows, [&](const Row& row) { return row.replaced && replacedIds.empty(); });
        }
    }
    if (newScore && !contents.storeFailure) {
        for (Row& row : rows) {
            row.score = row.replaced ? *newScore : row.score;
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
        contents.ranking << rankingLine(rank, kSortSeparator + row.name, scoreText(row.score));
        contents.spoken << spokenRankingLine(rank, row.name, row.score);
    }
    return contents;
}

} // namespace palinor
