#pragma once
// Small helpers for tests that work with real files.
#include <QByteArray>
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
    return qEnvironmentVariable("AEROPLOTTER_BIN");
}

inline QString sourceDir()
{
    return qEnvironmentVariable("AEROPLOTTER_SOURCE");
}

} // namespace testing_support
