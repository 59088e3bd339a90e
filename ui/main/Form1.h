#pragma once
// The board window: draws what the game computes and turns clicks, menu items and keys into game actions.

#include "game/Game.h"

#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace palinor {

class ClickableLabel;
class PanelFrame;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // The design font of the labels; the program maps it onto a font it installs.
    static constexpr const char* kLabelFontFamily = "MS Sans Serif";
    static constexpr int kLabelFontPoints = 24;

    // Borrows the game, which outlives every instance of the window.
    explicit Form1(Game& game, QWidget* parent = nullptr);

    // Drawing, as the game asks for it.
    void drawBoard(const BoardView& board);
    void setLabelCaption(Label label, const QString& caption);
    void setLabelBackColor(Label label, Rgb color);
    void hideNewGameItem();
    // What a screen reader says after a command: the description of the button that holds the focus.
    void announce(const QString& sentence);

    // One handler per command; menu items and keys call the handler they stand for.
    void Command1_Click(int index);
    void Label2_Click(int index);
    void npmn_Click();
    void Command2_Click();
    void Annulermn_Click();

    QLabel* label(Label which) const;
    QLabel* image(int index) const { return Image1_.at(static_cast<std::size_t>(index)); }
    QPushButton* pocketButton(int index) const { return Command1_.at(static_cast<std::size_t>(index)); }
    QPushButton* newGameButton() const { return Command2_; }

signals:
    // "Tableau des scores" and "Aide" open windows of their own.
    void scoreTableRequested();
    void helpRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Once shown, the window follows its screen: the pictures are drawn again for a screen of another scale.
    void showEvent(QShowEvent* event) override;

private:
    void buildBoard(QWidget* client);
    void buildPanel(QWidget* client);
    void buildMenu();
    void showPicture(int index, int pictureId);
    // Runs a game action; a broken limit becomes a message instead of a crash.
    template <typename Action> void run(Action action);

    Game& game_;
    std::array<QPushButton*, 5> Command1_{};
    std::array<QLabel*, 5> Image1_{};
    std::array<ClickableLabel*, 5> Label2_{};
    QLabel* Label1_ = nullptr;
    PanelFrame* Frame1_ = nullptr;
    QPushButton* Command2_ = nullptr;
    QMenu* menumn_ = nullptr;
    QAction* npmn_ = nullptr;
    QAction* tsmn_ = nullptr;
    std::array<QAction*, 5> pmn_{};
    QAction* msmn_ = nullptr;
    QAction* aidemn_ = nullptr;
    QAction* Annulermn_ = nullptr;
    bool followsScreen_ = false;
};

} // namespace palinor
