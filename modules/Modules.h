#pragma once

#include <QString>
#include <QtGlobal>

/// The program's modules: shared libraries with the parts that need a large library (Qt Charts,
/// libarchive). Linking those into the program made every start load them, for features most
/// runs never open; a module is loaded when its feature is first used and stays for the run.
namespace modules {

/// The function named in the module named (libNAME.so), in the modules' folder, found from the
/// program's own folder: lib/crooners-diary beside the folder of the program once installed, and
/// at the same place in the build tree, where the program, the tests and the benchmark are each
/// built one folder deep. Null, with why in *error, when the module cannot be loaded or lacks the
/// function.
QFunctionPointer function(const char *module, const char *function, QString *error);

} // namespace modules
