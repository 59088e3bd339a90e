#pragma once
// The score table window: its load stores the player's score when due, then shows every record ranked.

#include "game/GameState.h"

#include <QDialog>

class QListView;
class QPushButton;
class QStringListModel;

namespace palinor {

class scorefrm : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kFontFamily = "Garamond";

    explicit scorefrm(QWidget* parent = nullptr);

    /* Runs the load against the file at databasePath; returns what the user must be told. */
    QStringList load(GameState& state, const QString& databasePath);

    QStringList ranking() const;
    QListView* list() const { return List2_; }
    QPushButton* okButton() const { return Command1_; }

private:
    QListView* List2_ = nullptr;
    QStringListModel* model_ = nullptr;
    QPushButton* Command1_ = nullptr;
};

} // namespace palinor
