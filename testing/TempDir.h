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

// Track points in the long transfers over faulty lines. Each damaged packet costs a receiver's
// resend time, so the full 10000 (AEROPLOTTER_TRANSFER_POINTS=10000) take a quarter of an hour;
// the default keeps the same faults and segments in a few minutes.
inline int transferPoints()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("AEROPLOTTER_TRANSFER_POINTS", &ok);
    return ok && n >= 100 ? n : 2000;
}

} // namespace testing_support
