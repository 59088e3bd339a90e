#include "ui/scores/ScoreTable.h"

#include "game/ScoreStore.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace palinor {

namespace {

const QString kSortSeparator = QStringLiteral("     ");
constexpr int kScoreTextLength = 3;

QString skippedMessage(int count, const QString& file)
{
    return count == 1
               ? QStringLiteral("Un enregistrement illisible de %1 (nom vide ou score hors de 0 à 255) "
                                "n'est pas affiché ; il reste tel quel dans le fichier.")
                     .arg(file)
               : QStringLiteral("%1 enregistrements illisibles de %2 (nom vide ou score hors de 0 à 255) "
                                "ne sont pas affichés ; ils restent tels quels dans le fichier.")
                     .arg(count)
                     .arg(file);
}

} // namespace

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

ScoreTableContents loadScoreTable(ScoreDatabase& db, GameState& state)
{
    ScoreTableContents contents;
    ScanResult scan = db.scan();
    if (scan.error) {
        contents.messages << scan.error->message;
        return contents;
    }

    struct Row {
        QString name;
        int score;
        bool replaced;
    };
    std::vector<Row> rows;
    rows.reserve(scan.records.size());
    std::vector<qint64> replacedIds;
    std::optional<Byte> newScore;
    const bool flagBefore = state.ForceScoreUpdate;
    const QString player = QString::fromStdString(state.PlayerName);
    int skipped = 0;
    for (const ScoreRecord& record : scan.records) {
        if (!record.readable()) {
            ++skipped; // left as it is in the file
            continue;
        }
        Row row{record.nameText(), record.scoreValue(), false};
        // Only the player's own records can be replaced: the others skip the rule's conversion.
        if (row.name == player) {
            if (auto replacement = ReplacementScore(state, state.PlayerName, static_cast<Byte>(row.score))) {
                row.replaced = true;
                replacedIds.push_back(record.rowId);
                newScore = replacement;
            }
        }
        rows.push_back(std::move(row));
    }

    bool stored = false;
    if (newScore) {
        if (auto error = db.replaceScore(replacedIds, player, *newScore)) {
            // Nothing was stored: the table shows the file as it is, and the next load tries again.
            contents.messages << error->message;
            state.ForceScoreUpdate = flagBefore;
        } else {
            stored = true;
        }
    }
    if (skipped > 0) {
        contents.messages << skippedMessage(skipped, db.filePath());
    }

    if (stored) {
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
    const QString separator = kSortSeparator;
    for (int rank = 1; rank <= count; ++rank) {
        const Row& row = rows[static_cast<std::size_t>(count - rank)];
        contents.ranking << rankingLine(rank, separator + row.name, scoreText(row.score));
    }
    return contents;
}

} // namespace palinor
