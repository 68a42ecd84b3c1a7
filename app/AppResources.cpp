#include "app/AppResources.h"

#include <QtGlobal>

void loadAppResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(loaded)
}
