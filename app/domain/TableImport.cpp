#include "domain/TableImport.h"

#include "domain/KismetCsvReader.h"
#include "domain/ObservationFacts.h"
#include "domain/OuiVendors.h"
#include "domain/SummaryReader.h"
#include "domain/WindowsText.h"

#include <QDateTime>
#include <QTimeZone>

namespace aero::import {
namespace {

constexpr int ProgressEvery = 1024;

void yieldIf(const Yield& yield)
{
    if (yield)
        yield();
}

// "# $DateGMT: 2005-06-11" -> midnight of that day, ms UTC; 0 when the line is not one.
qint64 summaryDate(QByteArrayView line)
{
    const qsizetype at = line.indexOf("$DateGMT:");
    if (at < 0)
        return 0;
    const QDate d = QDate::fromString(QString::fromLatin1(line.sliced(at + 9).trimmed().first(
                                          std::min<qsizetype>(10, line.sliced(at + 9).trimmed().size()))),
                                      Qt::ISODate);
    return d.isValid() ? QDateTime(d, QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch() : 0;
}

// The time column ("12:30:03 (GMT)", after the MAC's ")") and the channel bits (the field after
// the flags: bit n set means channel n) of a summary data line.
void summaryFacts(QByteArrayView line, qint64 date, Observation& o)
{
    const qsizetype gmt = line.indexOf("(GMT)");
    if (gmt >= 9 && date != 0) {
        const QTime t = QTime::fromString(QString::fromLatin1(line.sliced(gmt - 9, 8)), QStringLiteral("HH:mm:ss"));
        if (t.isValid())
            o.firstSeen = o.lastSeen = plausibleTime(date + t.msecsSinceStartOfDay());
    }
    const qsizetype hash = line.indexOf("# (");
    const qsizetype close = hash < 0 ? -1 : line.indexOf(')', hash);
    if (close < 0)
        return;
    QList<QByteArray> rest;
    for (const QByteArray& part : line.sliced(close + 1).toByteArray().split('\t'))
        if (!part.trimmed().isEmpty())
            rest << part.trimmed();
    if (rest.size() < 2)
        return;
    bool ok = false;
    const uint bits = QString::fromLatin1(rest[1]).toUInt(&ok, 16);
    for (int ch = 1; ok && ch <= 14; ++ch)
        if (bits == (1u << ch)) {
            o.channel = ch;
            o.band = Band::GHz2_4;
            o.frequencyMHz = frequencyOf(ch, o.band);
        }
}

Observation kismetFacts(QByteArrayView line, const KismetColumns& c, const AccessPoint& ap)
{
    const std::vector<QByteArray> f = splitKismetFields(line);
    const auto at = [&f](int i) { return i >= 0 && static_cast<std::size_t>(i) < f.size() ? QByteArrayView(f[static_cast<std::size_t>(i)]) : QByteArrayView(); };
    Observation o;
    o.sightings = 1;
    o.channel = plausibleChannel(at(c.channel).trimmed().toLongLong());
    o.band = bandOf(o.channel, 0);
    o.frequencyMHz = frequencyOf(o.channel, o.band);
    o.firstSeen = timeFromKismet(at(c.firstTime));
    o.lastSeen = std::max(o.firstSeen, timeFromKismet(at(c.lastTime)));
    o.capabilities = boundedCapabilities(fromWindows1252(at(c.encryption >= 0 ? c.encryption : c.wep).trimmed()));
    o.security = c.encryption >= 0 ? securityClassOf(o.capabilities)
                 : ap.encrypted()  ? SecurityClass::WEP
                                   : SecurityClass::Open;
    o.hidden = at(c.cloaked).trimmed() == "Yes" || ap.SSID == QLatin1String("BLANK SSID");
    o.originalSsid = o.hidden ? QString() : boundedSsid(logText(at(c.essid)));
    return o;
}

bool hasMac(const AccessPoint& ap)
{
    return !macField(ap.MAC.toUtf8()).isEmpty();
}

// Rows a reader took but the import skips, counted with the reader's own.
void addSkipped(SurveyContents& out, const SurveyContents& more)
{
    if (more.skipped == 0)
        return;
    if (out.skipped == 0 || more.firstSkipped < out.firstSkipped)
        out.firstSkipped = more.firstSkipped;
    out.skipped += more.skipped;
}

} // namespace

bool SurveyImport::refused() const
{
    switch (status) {
    case SurveyStatus::NotRecognised:
    case SurveyStatus::MissingColumn:
    case SurveyStatus::NoGpsLog: return true;
    case SurveyStatus::Ok:
    case SurveyStatus::Damaged:
    case SurveyStatus::BadNumber:
    case SurveyStatus::ReadError: break;
    }
    return added == 0 && repeatedMacs == 0 && skipped > 0 && !error;
}

SurveyImport appendSurvey(APList& table, SurveyContents contents, const QString& path, Repeats repeats, bool dedupe,
                          const Yield& yield)
{
    SurveyImport result;
    result.status = contents.status;
    result.detail = contents.detail;
    result.skipped = contents.skipped;
    result.firstSkipped = contents.firstSkipped;
    result.otherKinds = contents.otherKinds;
    if (table.NextAP == 0)
        table.NextAP = 1;
    table.NextAP = table.findFirstFree();
    const OuiVendors& vendors = OuiVendors::shared();
    static bool vendorsSaid = false;
    if (vendors.missing() && !std::exchange(vendorsSaid, true))
        result.vendorsMissing = QStringLiteral("The MAC vendor list %1 could not be read, so no vendor is shown. "
                                               "Installing the ieee-data package provides it.")
                                    .arg(vendors.path());
    contents.observed.resize(contents.records.size());
    std::size_t i = 0;
    try {
        for (; i < contents.records.size(); ++i) {
            const AccessPoint& ap = contents.records[i];
            if (repeats == Repeats::Dropped && table.containsMac(ap.MAC)) {
                ++result.repeatedMacs;
            } else {
                Observation& o = contents.observed[i];
                o.sourceFile = path;
                o.vendor = vendors.vendor(ap.MAC);
                table.append(ap, std::move(o));
                ++result.added;
            }
            if (yield && i % 256 == 255)
                yield();
        }
        yieldIf(yield);
        if (contents.status == SurveyStatus::BadNumber)
            result.error = AppError(errors::TypeMismatch, QStringLiteral("Type mismatch: %1").arg(contents.detail));
        if (dedupe)
            table.DedupeSSIDs();
    } catch (const AppError& e) {
        result.error = e;
        if (result.tableFull()) {
            // The error report stands, and says what it cost: the APs of the file left out (those
            // the table holds already are not counted).
            qint64 left = 0;
            for (; i < contents.records.size(); ++i)
                left += repeats == Repeats::Appended || !table.containsMac(contents.records[i].MAC) ? 1 : 0;
            result.error->description += QStringLiteral("; %1 APs of this file did not fit").arg(left);
        }
        if (dedupe && result.tableFull())   // what fitted gets unique names like any import
            table.DedupeSSIDs();
    }
    return result;
}

SurveyContents readSummarySurvey(QIODevice& file, const ReadProgress& progress)
{
    SurveyContents out;
    SummaryReader reader(file);
    switch (reader.readHeader()) {
    case SummaryStatus::Ok: break;
    case SummaryStatus::NotSummaryLine1:
    case SummaryStatus::NotSummaryLine2: out.status = SurveyStatus::NotRecognised; return out;
    case SummaryStatus::ReadError: out.status = SurveyStatus::ReadError; return out;
    }
    qint64 date = 0;
    SurveyContents noMac; // rows without a MAC: no AP to file them under
    for (qint64 n = 1;; ++n) {
        const SummaryReader::Step step = reader.step();
        if (step == SummaryReader::Step::End)
            break;
        if (step == SummaryReader::Step::Other && date == 0)
            date = summaryDate(reader.line());
        if (step == SummaryReader::Step::Record && !hasMac(reader.record().ap)) {
            noMac.skip(reader.lineNumber());
        } else if (step == SummaryReader::Step::Record) {
            const AccessPoint& ap = reader.record().ap;
            Observation o;
            o.sightings = 1;
            o.sourceLine = reader.lineNumber();
            o.hidden = ap.SSID == QLatin1String("BLANK SSID");
            o.originalSsid = o.hidden ? QString() : boundedSsid(ap.SSID);
            // The flags tell privacy, not which protocol gave it.
            o.security = ap.WEP.isEmpty() ? SecurityClass::Unknown
                         : ap.encrypted()  ? SecurityClass::Unknown
                                           : SecurityClass::Open;
            o.capabilities = ap.Flags;
            summaryFacts(reader.line(), date, o);
            out.records.push_back(ap);
            out.observed.push_back(std::move(o));
            ++out.observations;
        }
        if (progress && n % ProgressEvery == 0)
            progress();
    }
    if (reader.status() == SummaryStatus::ReadError) {
        out.status = SurveyStatus::ReadError;
        out.detail = QStringLiteral("the file could not be read past line %1").arg(reader.lineNumber());
    }
    out.skipped = reader.skippedCount();
    out.firstSkipped = reader.firstSkippedLine();
    addSkipped(out, noMac);
    out.stoppedAt = reader.lineNumber();
    return out;
}

SurveyContents readKismetCsvSurvey(QIODevice& file, const ReadProgress& progress)
{
    SurveyContents out;
    KismetCsvReader reader(file);
    switch (reader.readHeading()) {
    case KismetStatus::Ok: break;
    case KismetStatus::Empty: out.status = SurveyStatus::NotRecognised; return out;
    case KismetStatus::BadHeading:
        out.status = SurveyStatus::MissingColumn;
        out.detail = reader.errorColumn();
        return out;
    case KismetStatus::BadNumber:
    case KismetStatus::ReadError: out.status = SurveyStatus::ReadError; return out;
    }
    SurveyContents noMac;
    for (qint64 n = 1;; ++n) {
        const KismetCsvReader::Step step = reader.step();
        if (step == KismetCsvReader::Step::End)
            break;
        if (step == KismetCsvReader::Step::Record && !hasMac(reader.record())) {
            noMac.skip(reader.lineNumber());
        } else if (step == KismetCsvReader::Step::Record) {
            Observation o = kismetFacts(reader.line(), reader.columns(), reader.record());
            o.sourceLine = reader.lineNumber();
            out.records.push_back(reader.record());
            out.observed.push_back(std::move(o));
            ++out.observations;
        }
        if (progress && n % ProgressEvery == 0)
            progress();
    }
    switch (reader.status()) {
    case KismetStatus::BadNumber:
        out.status = SurveyStatus::BadNumber;
        out.detail = QStringLiteral("column %1 of line %2 is not a number").arg(reader.errorColumn()).arg(reader.errorLine());
        break;
    case KismetStatus::ReadError:
        out.status = SurveyStatus::ReadError;
        out.detail = QStringLiteral("the file could not be read past line %1").arg(reader.lineNumber());
        break;
    case KismetStatus::Ok:
    case KismetStatus::Empty:
    case KismetStatus::BadHeading: break;
    }
    out.skipped = reader.skippedCount();
    out.firstSkipped = reader.firstSkippedLine();
    addSkipped(out, noMac);
    out.stoppedAt = reader.lineNumber();
    return out;
}

QString kismetGpsLogPath(const QString& csvPath)
{
    if (csvPath.size() < 4)
        return {};
    return csvPath.chopped(4) + QStringLiteral(".gps");
}

} // namespace aero::import
