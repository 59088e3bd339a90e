#include "app/resources/PalinorResources.h"

#include <QString>
#include <QtGlobal>

// Q_INIT_RESOURCE declares the rcc entry point, so it must be used outside any namespace.
void palinor_init_resources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace palinor {

QIcon applicationIcon()
{
    palinor_init_resources();
    QIcon icon;
    for (int size : kApplicationIconSizes) {
        icon.addFile(QStringLiteral(":/icons/palinor-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace palinor
