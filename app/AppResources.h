#pragma once

/// Registers the program's icons and help text, which live in a static library that the linker
/// would otherwise leave out. Safe to call any number of times.
void loadAppResources();
