// One command on the real board window under the offscreen platform, its refresh painted.

#include "QtBenchmarkMain.h"
#include "app/Application.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QEvent>
#include <benchmark/benchmark.h>
#include <memory>

namespace palinor {
namespace {

// Draws on a real Form1; the other windows answer at once.
class BoardWindows : public GameWindows {
public:
    GameState state;
    Game game{state, *this};
    std::unique_ptr<Form1> form = std::make_unique<Form1>(game);

    BoardWindows()
    {
        game.LoadBoard();
        form->show();
        QApplication::processEvents();
        game.StartNewGame();
        for (int pocket : {1, 2, 3, 4, 4, 2, 1, 3, 2, 2, 4}) {
            game.RecordDisc(pocket);
        }
        QApplication::processEvents();
    }

    void drawBoard(const BoardView& board) override { form->drawBoard(board); }
    void showMessage(std::string_view, MessageIcon, std::string_view) override {}
    void announce(std::string_view) override {}
    void showSignUp() override { state.PlayerName = "DUPONT"; }
    void showScoreTable() override {}
    void loadAndUnloadScoreTable() override {}
    void setLabelCaption(Label label, std::string_view caption) override
    {
        form->setLabelCaption(label, QString::fromUtf8(caption.data(), qsizetype(caption.size())));
    }
    void setLabelBackColor(Label label, Rgb color) override { form->setLabelBackColor(label, color); }
    void hideNewGameItem() override { form->hideNewGameItem(); }
    void unloadMainWindow() override {}
    void showMainWindow() override {}
};

// Counts the paint events of a window and its children: proof that the refresh reached the screen.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window)
    {
        window->installEventFilter(this);
        for (QWidget* child : window->findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
    }
    long long paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

enum Command { Disc, NextRound, Undo };
enum Paint { WholeWindow, DirtyParts };

// Arguments: the command, and how the refresh reaches the screen: repaint() paints the whole window at
// once; the event loop paints only what the refresh changed, as the running program does.
void BM_BoardCommand(benchmark::State& run)
{
    BoardWindows board;
    const GameState position = board.state;
    const auto command = Command(run.range(0));
    const auto paint = Paint(run.range(1));
    PaintCounter counter(board.form.get());
    for (auto _ : run) {
        board.state = position;
        switch (command) {
        case Disc:
            board.form->Command1_Click(3);
            break;
        case NextRound:
            board.form->Label2_Click(2);
            break;
        case Undo:
            board.form->Annulermn_Click();
            break;
        }
        if (paint == WholeWindow) {
            board.form->repaint();
        } else {
            QApplication::processEvents();
        }
    }
    run.counters["widgets_painted"] =
        benchmark::Counter(double(counter.paints), benchmark::Counter::kAvgIterations);
    run.SetLabel(std::string(command == Disc        ? "RecordDisc"
                             : command == NextRound ? "AdvanceRound"
                                                    : "UndoLastMove") +
                 (paint == WholeWindow ? ", whole window repainted" : ", changed parts painted"));
}
BENCHMARK(BM_BoardCommand)
    ->ArgsProduct({{Disc, NextRound, Undo}, {WholeWindow, DirtyParts}})
    ->ArgNames({"command", "paint"})
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace palinor

int main(int argc, char** argv)
{
    // The program's own set-up, so that the board is drawn as the player sees it.
    return palinor::bench::runQtBenchmarks(argc, argv, palinor::setUpApplication);
}
