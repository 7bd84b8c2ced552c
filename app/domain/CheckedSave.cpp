#include "domain/CheckedSave.h"

#include <QIODevice>
#include <QSaveFile>

namespace aero {

namespace {

// Passes writes through and remembers the first that did not go through in full. Writers then
// need not test each write: one short write anywhere fails the save.
class WriteGuard final : public QIODevice {
public:
    explicit WriteGuard(QIODevice& target) : m_target(target) { open(QIODevice::WriteOnly); }
    bool failed() const { return m_failed; }
    QString why() const { return m_target.errorString(); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 len) override
    {
        if (m_failed)
            return -1;
        qint64 done = 0;
        while (done < len) {
            const qint64 n = m_target.write(data + done, len - done);
            if (n <= 0) {
                m_failed = true;
                return -1;
            }
            done += n;
        }
        return len;
    }

private:
    QIODevice& m_target;
    bool m_failed = false;
};

} // namespace

SaveResult writeChecked(QIODevice& out, const DocumentWriter& write)
{
    WriteGuard guard(out);
    const bool written = write(guard);
    if (guard.failed()) {
        const QString why = guard.why();
        return {false, why.isEmpty() || why == QLatin1String("Unknown error") ? QStringLiteral("a write failed") : why};
    }
    if (!written)
        return {false, QStringLiteral("the document could not be written (text it cannot encode)")};
    return {true, {}};
}

SaveResult saveChecked(const QString& path, const DocumentWriter& write)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return {false, out.errorString()};
    SaveResult r = writeChecked(out, write);
    if (!r) {
        out.cancelWriting();
        return r;
    }
    // What is still buffered goes out here: commit() would not tell a failed last flush.
    if (!out.flush()) {
        const QString why = out.errorString();
        out.cancelWriting();
        return {false, why};
    }
    if (!out.commit())
        return {false, out.errorString()};
    return r;
}

} // namespace aero
