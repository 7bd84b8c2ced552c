#include "domain/APList.h"
#include "domain/ApListExport.h"
#include "domain/CheckedSave.h"
#include "domain/ValidText.h"

#include "TempDir.h"

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace aero {
namespace {

// A disk that fills up after `room` bytes: later writes are short, then fail.
class FullAfter final : public QIODevice {
public:
    explicit FullAfter(qint64 room) : m_room(room) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override
    {
        const qint64 n = std::min(len, m_room);
        m_room -= n;
        return n > 0 ? n : -1;
    }

private:
    qint64 m_room;
};

APList table(int n)
{
    APList list;
    list.NextAP = 1;
    for (int i = 0; i < n; ++i) {
        AccessPoint ap;
        ap.SSID = QStringLiteral("net %1").arg(i);
        ap.MAC = QStringLiteral("00:11:22:33:%1:%2").arg(i / 256, 2, 16, QLatin1Char('0')).arg(i % 256, 2, 16, QLatin1Char('0'));
        ap.Latitude = 40 + i * 1e-4, ap.Longitude = -3, ap.Signal = -60;
        ap.Flags = QStringLiteral("0011"), ap.WEP = QStringLiteral("1"), ap.Mode = QStringLiteral("1");
        list.append(ap);
    }
    return list;
}

constexpr ApListFormat AllFormats[] = {ApListFormat::ProgramCsv, ApListFormat::Gpx, ApListFormat::GeoJson,
                                       ApListFormat::WigleCsv};

TEST(CheckedSave, EveryListFormatFailsWhenTheDeviceFillsUp)
{
    const APList list = table(3000);
    for (const ApListFormat format : AllFormats) {
        for (const qint64 room : {qint64(0), qint64(100), qint64(70000)}) {
            FullAfter disk(room);
            EXPECT_FALSE(writeChecked(disk, [&](QIODevice& out) { return writeApList(list, out, format); }))
                << int(format) << " room " << room;
        }
        QBuffer roomy;
        roomy.open(QIODevice::WriteOnly);
        EXPECT_TRUE(writeChecked(roomy, [&](QIODevice& out) { return writeApList(list, out, format); })) << int(format);
    }
}

TEST(CheckedSave, AFailedWriterKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = testing_support::writeFile(dir.filePath(QStringLiteral("old.csv")), "old");
    const SaveResult r = saveChecked(path, [](QIODevice& out) {
        out.write("partial");
        return false;
    });
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(testing_support::readFile(path), "old");
}

// A real full disk: a 64 KiB tmpfs (needs the right to mount; skipped elsewhere).
TEST(CheckedSave, AFullDiskKeepsTheOldFileInEveryFormat)
{
    QTemporaryDir dir;
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", dir.path()}) != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    const APList list = table(5000);
    for (const ApListFormat format : AllFormats) {
        const QString path = testing_support::writeFile(dir.filePath(QStringLiteral("list")), "old");
        EXPECT_FALSE(saveApList(list, path, format)) << int(format);
        EXPECT_EQ(testing_support::readFile(path), "old") << int(format);
    }
    QProcess::execute(QStringLiteral("umount"), {dir.path()});
}

TEST(CheckedSave, TextEnteringTheTableIsValidAndExportsStayWellFormed)
{
    const struct {
        QString in, out;
    } cases[] = {
        {QString(QChar(0xD800)) + QStringLiteral("x"), QString(QChar::ReplacementCharacter) + QStringLiteral("x")},
        {QStringLiteral("a") + QChar(0xDC00), QStringLiteral("a") + QChar::ReplacementCharacter},
        {QStringLiteral("a\x01z"), QStringLiteral("a") + QChar::ReplacementCharacter + QStringLiteral("z")},
        {QString(QChar(0xFFFE)), QString(QChar::ReplacementCharacter)},
        {QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x93\xB6\tok"), QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x93\xB6\tok")},
    };
    for (const auto& c : cases) {
        APList list = table(1);
        AccessPoint ap = list.at(1);
        ap.SSID = c.in;
        ap.MAC = QStringLiteral("AA:BB:CC:DD:EE:FF");
        list.append(ap);
        EXPECT_EQ(list.at(2).SSID, c.out);
        QBuffer gpx;
        gpx.open(QIODevice::WriteOnly);
        ASSERT_TRUE(writeChecked(gpx, [&](QIODevice& out) { return writeApList(list, out, ApListFormat::Gpx); }));
        QXmlStreamReader xml(gpx.data());
        while (!xml.atEnd())
            xml.readNext();
        EXPECT_FALSE(xml.hasError()) << qPrintable(xml.errorString());
    }
}

} // namespace
} // namespace aero
