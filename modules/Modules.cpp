#include "modules/Modules.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>

namespace modules {

void *function(const char *module, const char *function, QString *error)
{
    // By its full name, from the modules' folder relative to the program: not through the run
    // path, which dlopen honours only when called from the program itself, not when a preloaded
    // library stands in for it (the sanitizers' runtime does). A module is never unloaded: its
    // code backs objects that live on.
    const QString programFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QString path = programFolder + QStringLiteral("/" CROONER_MODULES_FROM_PROGRAM "/lib") + QLatin1String(module)
        + QStringLiteral(".so");
    void *library = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    void *address = library ? ::dlsym(library, function) : nullptr;
    if (!address && error) {
        const char *reason = ::dlerror();
        *error = reason ? QString::fromLocal8Bit(reason) : path;
    }
    return address;
}

} // namespace modules
