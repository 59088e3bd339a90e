#include "app/Application.h"
#include "app/StartUp.h"
#include "app/WindowShell.h"
#include "data/DatabaseFolder.h"
#include "ui/messages/MessageBoxes.h"

#include <QApplication>
#include <QScreen>
#include <memory>

int main(int argc, char* argv[])
{
    palinor::watchStartUpFailures();
    auto app = std::make_unique<QApplication>(argc, argv);
    // A screen too small for the board at its scale: the whole program is drawn at the largest scale that
    // fits.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const double fit = palinor::fittingScale(palinor::boardWindowSize(), screen->availableGeometry());
        if (fit < 1.0) {
            const double given = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                     ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                     : 1.0;
            app.reset();
            qputenv("QT_SCALE_FACTOR", QByteArray::number((given > 0 ? given : 1.0) * fit));
            app = std::make_unique<QApplication>(argc, argv);
        }
    }
    palinor::stopWatchingStartUpFailures();
    palinor::setUpApplication(*app);

    palinor::GameState state;
    palinor::QtMessageBoxes boxes;
    palinor::WindowShell windows(state, boxes, [] { return palinor::locateDatabase(); });
    windows.showMainWindow();
    return QApplication::exec();
}
