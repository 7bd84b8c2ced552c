#include "survey/SurveyTableImport.h"

#include "survey/KismetDb.h"
#include "domain/KismetNetxml.h"
#include "domain/WigleCsv.h"

#include <QFile>

namespace aero::import {
namespace {

SurveyContents cannotOpen(const QFile& file)
{
    SurveyContents out;
    out.status = SurveyStatus::ReadError;
    out.detail = file.errorString();
    return out;
}

} // namespace

SurveyContents readSurveyFile(SurveyFormat format, const QString& path, const ReadProgress& progress)
{
    if (format == SurveyFormat::KismetDb) {
        QFile probe(path);
        if (!probe.open(QIODevice::ReadOnly))
            return cannotOpen(probe);
        return readKismetDb(path, progress);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotOpen(file);
    if (format == SurveyFormat::WigleCsv)
        return readWigleCsv(file, progress);
    if (format == SurveyFormat::KismetNetxml) {
        QFile gps(gpsxmlBeside(path));
        const bool withGps = !gps.fileName().isEmpty() && gps.open(QIODevice::ReadOnly);
        return readKismetNetxml(file, withGps ? &gps : nullptr, progress);
    }
    SurveyContents out;
    out.status = SurveyStatus::NotRecognised;
    return out;
}

TableImportResult importSurveyContents(APList& table, const SurveyContents& contents, const Yield& yield)
{
    TableImportResult result;
    if (table.NextAP == 0)
        table.NextAP = 1;
    table.NextAP = table.findFirstFree();
    result.skippedLines = contents.skipped;
    result.firstSkippedLine = contents.firstSkipped;
    std::size_t n = 0;
    try {
        for (; n < contents.records.size(); ++n) {
            const AccessPoint& ap = contents.records[n];
            if (table.containsMac(ap.MAC)) {
                ++result.repeatedMacs;
            } else if (n < contents.located.size() && !contents.located[n].empty()) {
                Observation kept;   // the sightings, so another position method needs no re-import
                kept.located = contents.located[n];
                table.append(ap, std::move(kept));
                ++result.added;
            } else {
                table.append(ap);
                ++result.added;
            }
            if (yield && (n + 1) % 256 == 0)
                yield();
        }
        if (yield)
            yield();
        table.DedupeSSIDs();
    } catch (const AppError& e) {
        result.error = e;
        if (result.tableFull()) {
            // The error report stands, and says what it cost: the APs of the file left out
            // (records are one per MAC already; those the table holds are not counted).
            qint64 left = 0;
            for (; n < contents.records.size(); ++n)
                left += table.containsMac(contents.records[n].MAC) ? 0 : 1;
            result.error->description += QStringLiteral("; %1 APs of this file did not fit").arg(left);
            table.DedupeSSIDs();
        }
    }
    return result;
}

QString notSurveyMessage(SurveyFormat format)
{
    return QStringLiteral("The file selected is not a %1 file.").arg(surveyFormatName(format));
}

} // namespace aero::import
