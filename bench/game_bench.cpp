// The game actions with windows that do nothing: each includes the recompute and the board value.

#include "game/Game.h"

#include <benchmark/benchmark.h>

namespace palinor {
namespace {

// Windows that cost nothing, answering as a player would: the sign-up picks a name, the board reloads.
class NoWindows : public GameWindows {
public:
    Game* game = nullptr;
    GameState* state = nullptr;

    void drawBoard(const BoardView& board) override { benchmark::DoNotOptimize(&board); }
    void showMessage(std::string_view, MessageIcon, std::string_view) override {}
    void announce(std::string_view) override {}
    void showSignUp() override { state->PlayerName = "DUPONT"; }
    void showScoreTable() override {}
    void loadAndUnloadScoreTable() override {}
    void setLabelCaption(Label, std::string_view caption) override
    {
        benchmark::DoNotOptimize(caption.data());
    }
    void setLabelBackColor(Label, Rgb) override {}
    void hideNewGameItem() override {}
    void unloadMainWindow() override {}
    void showMainWindow() override { game->LoadBoard(); }
};

struct Table {
    GameState state;
    NoWindows windows;
    Game game{state, windows};

    Table()
    {
        windows.game = &game;
        windows.state = &state;
        game.LoadBoard();
        game.StartNewGame();
    }
    void discs(std::initializer_list<int> pockets)
    {
        for (int pocket : pockets) {
            game.RecordDisc(pocket);
        }
    }
};

// Each iteration starts again from the same position, so the action always does the same work; the copy
// back is measured apart in BM_RestorePosition.
template <typename Action> void fromPosition(benchmark::State& run, Table& table, Action action)
{
    const GameState position = table.state;
    for (auto _ : run) {
        table.state = position;
        action();
        benchmark::ClobberMemory();
    }
}

void BM_RestorePosition(benchmark::State& run)
{
    Table table;
    table.discs({1, 2, 3, 4, 4, 2});
    fromPosition(run, table, [] {});
}
BENCHMARK(BM_RestorePosition);

void BM_RecordDisc(benchmark::State& run)
{
    Table table;
    table.discs({1, 2, 3, 4, 4, 2, 1, 3});
    table.game.AdvanceRound(2);
    table.discs({2, 2, 4, 1, 3});
    fromPosition(run, table, [&] { table.game.RecordDisc(3); });
}
BENCHMARK(BM_RecordDisc);

void BM_AdvanceRound(benchmark::State& run)
{
    Table table;
    table.discs({1, 2, 3, 4, 4, 2, 1, 3, 2, 2, 4});
    fromPosition(run, table, [&] { table.game.AdvanceRound(2); });
}
BENCHMARK(BM_AdvanceRound);

// Taking back a disc also asks the score table to store the score (a no-op here).
void BM_UndoLastMove_disc(benchmark::State& run)
{
    Table table;
    table.discs({1, 2, 3, 4, 4, 2, 1, 3, 2, 2, 4});
    fromPosition(run, table, [&] { table.game.UndoLastMove(); });
}
BENCHMARK(BM_UndoLastMove_disc);

void BM_UndoLastMove_round(benchmark::State& run)
{
    Table table;
    table.discs({1, 2, 3, 4, 4, 2, 1, 3, 2, 2, 4});
    table.game.AdvanceRound(2);
    fromPosition(run, table, [&] { table.game.UndoLastMove(); });
}
BENCHMARK(BM_UndoLastMove_round);

// From the idle board: a new game, 30 discs over three rounds, the end of the game and the board's reload.
void BM_WholeGame(benchmark::State& run)
{
    constexpr int kActions = 1 + 30 + 2 + 1; // new game, discs, round advances, end
    for (auto _ : run) {
        Table table;
        for (int disc = 0; disc < 30; ++disc) {
            table.game.RecordDisc(disc % 4 + 1);
            if (disc == 9 || disc == 19) {
                table.game.AdvanceRound(table.state.CurrentRound + 1);
            }
        }
        benchmark::DoNotOptimize(table.state.CurrentRound);
    }
    run.counters["per_action"] = benchmark::Counter(kActions, benchmark::Counter::kIsIterationInvariantRate |
                                                                  benchmark::Counter::kInvert);
}
BENCHMARK(BM_WholeGame);

} // namespace
} // namespace palinor

BENCHMARK_MAIN();
