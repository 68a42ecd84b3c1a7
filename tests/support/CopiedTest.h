#pragma once

// A copy of the running test program, placed where the program's modules are not: an
// installation that lost them, as a user can meet it. The copy runs one test function, whose
// checks then see the modules missing for real, as the program's loader does.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace copiedtest {

inline constexpr char Marker[] = "CROONER_TEST_COPY_WITHOUT_MODULES";

/// Whether this process is such a copy.
inline bool isCopyWithoutModules()
{
    return qEnvironmentVariableIsSet(Marker);
}

/// Runs testFunction in a copy of this program without its modules; the copy's exit code (0 when
/// the function passed), -1 when the copy could not be made or run. Its output goes to *output.
inline int runWithoutModules(const QString &testFunction, QString *output)
{
    const QTemporaryDir dir;
    const QString program = QCoreApplication::applicationFilePath();
    const QString copy = dir.filePath(QStringLiteral("bin/") + QFileInfo(program).fileName());
    if (!dir.isValid() || !QDir(dir.path()).mkdir(QStringLiteral("bin")) || !QFile::copy(program, copy))
        return -1;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(Marker), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(copy, { testFunction });
    const bool finished = process.waitForFinished(120000);
    *output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace copiedtest
