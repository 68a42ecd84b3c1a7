#include "modules/Modules.h"

#include <QFileInfo>
#include <QLibrary>

namespace modules {

QFunctionPointer function(const char *module, const char *function, QString *error)
{
    // By its full name, from the modules' folder relative to the program, which also serves tools
    // without an application object: not through the run path, which the loader honours only for
    // the program itself, not when a preloaded library stands in for it (the sanitizers' runtime
    // does). Every symbol is bound at loading, so that a module that cannot work fails here, with
    // the loader's reason. The library stays loaded after the QLibrary is gone: its code backs
    // objects that live on.
    const QString programFolder = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    QLibrary library(programFolder + QStringLiteral("/" CROONER_MODULES_FROM_PROGRAM "/lib") + QLatin1String(module)
        + QStringLiteral(".so"));
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    const QFunctionPointer address = library.resolve(function);
    if (!address && error)
        *error = library.errorString();
    return address;
}

} // namespace modules
