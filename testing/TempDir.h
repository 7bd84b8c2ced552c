#pragma once
// Small helpers for tests that work with real files.
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

namespace testing_support {

inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
    return path;
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Folder of a built executable (tools under test are run as real processes).
inline QString binDir()
{
    const QString fromEnv = qEnvironmentVariable("AEROPLOTTER_BIN");
    return fromEnv.isEmpty() ? QCoreApplication::applicationDirPath() : fromEnv;   // tests live beside the tools
}

inline QString sourceDir()
{
    const QString fromEnv = qEnvironmentVariable("AEROPLOTTER_SOURCE");
    return fromEnv.isEmpty() ? QStringLiteral(AEROPLOTTER_SOURCE_DIR) : fromEnv;
}

} // namespace testing_support
