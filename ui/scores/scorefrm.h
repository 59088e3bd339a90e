#pragma once
// The score table window: its load stores the player's score when due, then shows every record ranked.

#include "data/ScoreDatabase.h"
#include "game/GameState.h"

#include <QDialog>

class QListView;
class QPushButton;

namespace palinor {

class MessageBoxes;
class RankingModel;

class scorefrm : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kFontFamily = "Garamond";

    // Borrows the message boxes, which must outlive the window. The score file is opened with options.
    explicit scorefrm(MessageBoxes& boxes, const ScoreDatabaseOptions& options = {},
                      QWidget* parent = nullptr);

    // Runs the load against the file at databasePath and tells the user what went wrong. A load that is
    // never seen (the undo's) tells only a failed store and a backup made.
    void load(GameState& state, const QString& databasePath, bool seen = true);

    QStringList ranking() const;
    QListView* list() const { return List2_; }
    QPushButton* okButton() const { return Command1_; }

private:
    MessageBoxes& boxes_;
    ScoreDatabaseOptions options_;
    QListView* List2_ = nullptr;
    RankingModel* model_ = nullptr;
    QPushButton* Command1_ = nullptr;
};

} // namespace palinor
