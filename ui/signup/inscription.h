#pragma once
// The sign-up window: pick a registered player or type a new name, confirm with "OK".

#include "game/GameState.h"

#include <QDialog>
#include <memory>

class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;

namespace palinor {

class ScoreDatabase;

class inscription : public QDialog {
    Q_OBJECT
public:
    // Borrows the game state: a confirmed name becomes its PlayerName.
    explicit inscription(GameState& state, QWidget* parent = nullptr);
    ~inscription() override;

    /* Creates the file when missing, opens it and lists the names; returns what the user must be told. */
    QStringList load(const QString& databasePath);

    void Command1_Click();

    QLineEdit* text() const { return Text1_; }
    QListView* list() const { return List1_; }
    QPushButton* okButton() const { return Command1_; }
    QStringList names() const;

protected:
    // Tells the user why a name was refused; the window stays open.
    virtual void report(const QString& message);
    void keyPressEvent(QKeyEvent* event) override;

private:
    GameState& state_;
    std::unique_ptr<ScoreDatabase> db_;
    QLineEdit* Text1_ = nullptr;
    QListView* List1_ = nullptr;
    QStringListModel* names_ = nullptr;
    QPushButton* Command1_ = nullptr;
};

// Only the space character is trimmed, then the name is upper-cased.
QString normalisedName(const QString& typed);

} // namespace palinor
