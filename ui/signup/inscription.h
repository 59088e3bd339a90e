#pragma once
// The sign-up window: pick a registered player or type a new name, confirm with "OK".

#include "data/ScoreDatabase.h"
#include "game/GameState.h"

#include <QDialog>
#include <memory>

class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;

namespace palinor {

class MessageBoxes;
class inscription : public QDialog {
    Q_OBJECT
public:
    // Borrows the game state (a confirmed name becomes its PlayerName) and the message boxes; both must
    // outlive the window. The score file is opened with options.
    inscription(GameState& state, MessageBoxes& boxes, const ScoreDatabaseOptions& options = {},
                QWidget* parent = nullptr);
    ~inscription() override;

    // Creates the file when missing, opens it and lists the names; tells the user what went wrong.
    void load(const QString& databasePath);

    void Command1_Click();

    QLineEdit* text() const { return Text1_; }
    QListView* list() const { return List1_; }
    QPushButton* okButton() const { return Command1_; }
    QStringList names() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Creates the file when missing and reads the names into the list; false when that failed (the user was
    // told why).
    bool fillList();
    void describeList();

    GameState& state_;
    MessageBoxes& boxes_;
    ScoreDatabaseOptions options_;
    std::unique_ptr<ScoreDatabase> db_;
    // The list shows the file: after a failure the next confirmation reads it afresh before comparing.
    bool listed_ = false;
    QLineEdit* Text1_ = nullptr;
    QListView* List1_ = nullptr;
    QStringListModel* names_ = nullptr;
    QPushButton* Command1_ = nullptr;
};

// Only the space character is trimmed, then the name is upper-cased.
QString normalisedName(const QString& typed);

} // namespace palinor
