#include "app/resources/PalinorResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the rcc entry point, so it must be used outside any namespace.
void palinor_init_resources()
{
    Q_INIT_RESOURCE(pictures);
}
