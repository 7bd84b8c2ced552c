#include "survey/SurveyTableImport.h"

#include "domain/KismetNetxml.h"
#include "domain/WigleCsv.h"
#include "survey/Gzip.h"
#include "survey/KismetDb.h"

#include <QFile>
#include <QFileInfo>
#include <array>

namespace aero::import {
namespace {

SurveyContents failed(SurveyStatus status, QString detail)
{
    SurveyContents out;
    out.status = status;
    out.detail = std::move(detail);
    return out;
}

// Opens `path` and hands it to `read`; ReadError with the reason when it cannot be opened.
template <class Read> SurveyContents withFile(const QString& path, Read read)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(SurveyStatus::ReadError, file.errorString());
    return read(file);
}

SurveyContents readSummaryFile(const QString& path, const ReadProgress& progress)
{
    return withFile(path, [&](QFile& f) { return readSummarySurvey(f, progress); });
}

SurveyContents readKismetCsvFile(const QString& path, const ReadProgress& progress)
{
    return withFile(path, [&](QFile& f) { return readKismetCsvSurvey(f, progress); });
}

SurveyContents readWigleFile(const QString& path, const ReadProgress& progress)
{
    return withFile(path, [&](QFile& f) {
        if (!looksLikeGzip(f.peek(2)))
            return readWigleCsv(f, progress);
        f.close();
        const Inflated inflated = inflateFile(path, MaxInflatedLog);
        SurveyContents c = readWigleCsv(inflated.bytes, progress);
        if (!inflated.error.isEmpty() && c.status == SurveyStatus::Ok) {   // what came before the damage stays
            c.status = inflated.bytes.isEmpty() ? SurveyStatus::ReadError : SurveyStatus::Damaged;
            c.detail = inflated.error;
        }
        return c;
    });
}

SurveyContents readNetxmlFile(const QString& path, const ReadProgress& progress)
{
    return withFile(path, [&](QFile& f) {
        QFile gps(gpsxmlBeside(path));
        const bool withGps = !gps.fileName().isEmpty() && gps.open(QIODevice::ReadOnly);
        return readKismetNetxml(f, withGps ? &gps : nullptr, progress);
    });
}

SurveyContents readKismetDbFile(const QString& path, const ReadProgress& progress)
{
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return failed(SurveyStatus::ReadError, probe.errorString());
    return readKismetDb(path, progress);
}

constexpr std::array<SurveyPolicy, 5> Policies{{
    {SurveyFormat::NetStumblerSummary, 1, "Netstumbler text summary (*.*)|*.*|NetStumbler log (*.ns1)|*.ns1",
     "The file selected is not a NetStumbler summary.", Repeats::Dropped, false, true, readSummaryFile},
    {SurveyFormat::KismetCsv, 2, "Kismet .csv file (*.csv)|*.csv", "The file selected is not a Kismet .csv network log.",
     Repeats::Appended, true, false, readKismetCsvFile},
    {SurveyFormat::WigleCsv, 3, "WiGLE CSV (*.csv *.csv.gz)|*.csv;*.csv.gz|All files (*.*)|*.*", "The file selected is not a WiGLE CSV file.",
     Repeats::Dropped, false, true, readWigleFile},
    {SurveyFormat::KismetNetxml, 4, "Kismet netxml (*.netxml)|*.netxml|All files (*.*)|*.*",
     "The file selected is not a Kismet netxml file.", Repeats::Dropped, false, true, readNetxmlFile},
    {SurveyFormat::KismetDb, 5, "Kismet log (*.kismet)|*.kismet|All files (*.*)|*.*",
     "The file selected is not a Kismet log (.kismet) file.", Repeats::Dropped, false, true, readKismetDbFile},
}};

} // namespace

std::span<const SurveyPolicy> surveyPolicies()
{
    return Policies;
}

const SurveyPolicy* surveyPolicy(SurveyFormat format)
{
    for (const SurveyPolicy& p : Policies)
        if (p.format == format)
            return &p;
    return nullptr;
}

SurveyContents readSurveyFile(SurveyFormat format, const QString& path, const ReadProgress& progress)
{
    const SurveyPolicy* policy = surveyPolicy(format);
    if (!policy)
        return failed(SurveyStatus::NotRecognised, {});
    SurveyContents contents = policy->read(path, progress);
    const QString name = surveyFormatName(format);
    contents.observed.resize(contents.records.size());
    for (Observation& o : contents.observed)
        o.sourceFormat = name;
    return contents;
}

SurveyImport importSurvey(APList& table, SurveyFormat format, const QString& path, const Yield& yield)
{
    const SurveyPolicy* policy = surveyPolicy(format);
    if (policy && policy->needsGpsLog) {
        const QString gps = kismetGpsLogPath(path);
        if (gps.isEmpty() || !QFileInfo(gps).isFile()) {
            SurveyImport refused;
            refused.status = SurveyStatus::NoGpsLog;
            refused.detail = QString::fromLatin1(NoKismetGpsMessage);
            return refused;
        }
    }
    SurveyContents contents = readSurveyFile(format, path, yield);
    if (!policy || contents.status == SurveyStatus::NotRecognised || contents.status == SurveyStatus::MissingColumn) {
        SurveyImport refused;
        refused.status = contents.status;
        refused.detail = contents.detail;
        return refused;
    }
    return appendSurvey(table, std::move(contents), path, policy->repeats, policy->plotted, yield);
}

} // namespace aero::import
