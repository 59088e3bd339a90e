// Palinor's own start, as main does it, up to the first painted idle board.

#include "StartupProbe.h"
#include "app/Application.h"
#include "app/WindowShell.h"
#include "data/ScoreDatabase.h"

int main(int argc, char* argv[])
{
    const auto started = palinor::bench::StartupProbe::Clock::now();
    QApplication app(argc, argv);
    palinor::setUpApplication(app);
    palinor::GameState state;
    palinor::QtMessageBoxes boxes;
    palinor::WindowShell windows(state, boxes, [] { return palinor::locateDatabase(); });
    palinor::bench::StartupProbe probe(started);
    windows.showMainWindow();
    probe.watch(windows.mainWindow());
    return QApplication::exec();
}
