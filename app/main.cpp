#include "app/Application.h"
#include "app/StartUp.h"
#include "app/WindowShell.h"
#include "data/DatabaseFolder.h"
#include "ui/messages/MessageBoxes.h"

#include <QApplication>
#include <memory>

int main([[maybe_unused]] int argc, char* argv[])
{
    palinor::watchStartUpFailures();
    // The program reads no command line: Qt's own options (-reverse, -style, -stylesheet...) are not given to
    // it either. The environment still chooses the platform.
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    auto app = std::make_unique<QApplication>(qtArgc, qtArgv);
    palinor::stopWatchingStartUpFailures();
    palinor::setUpApplication(*app);

    palinor::GameState state;
    palinor::QtMessageBoxes boxes;
    palinor::WindowShell windows(state, boxes, [] { return palinor::locateDatabase(); });
    windows.showMainWindow();
    return QApplication::exec();
}
