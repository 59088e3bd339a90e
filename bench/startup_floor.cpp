// The floor for the start: the least a Qt program can do to show a main window of the board's size with a
// one-item menu.

#include "StartupProbe.h"

#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char* argv[])
{
    const auto started = palinor::bench::StartupProbe::Clock::now();
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Menu"))->addAction(QStringLiteral("Nouvelle partie"));
    auto* client = new QWidget(&window);
    client->setFixedSize(792, 547);
    window.setCentralWidget(client);
    palinor::bench::StartupProbe probe(started);
    window.show();
    probe.watch(&window);
    return QApplication::exec();
}
