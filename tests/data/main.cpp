// Qt SQL loads its drivers only under a QCoreApplication; any Qt warning fails the running test.

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg) {
            ADD_FAILURE() << "Qt warning: " << message.toStdString();
        }
    });
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
