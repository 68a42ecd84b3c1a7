#pragma once

#include <QSettings>

#include <memory>

/// What the program keeps across runs (answers about encodings, the places of its windows), in one
/// INI file of the user's. Tests point QSettings' user scope at a folder of their own.
inline std::unique_ptr<QSettings> keptSettings()
{
    return std::make_unique<QSettings>(
        QSettings::IniFormat, QSettings::UserScope, QStringLiteral("crooners-diary"), QStringLiteral("crooners-diary"));
}
