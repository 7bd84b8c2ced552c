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
    try {
        int n = 0;
        for (std::size_t i = 0; i < contents.records.size(); ++i) {
            const AccessPoint& ap = contents.records[i];
            if (table.containsMac(ap.MAC)) {
                ++result.repeatedMacs;
            } else if (i < contents.located.size() && !contents.located[i].empty()) {
                Observation kept;   // the sightings, so another position method needs no re-import
                kept.located = contents.located[i];
                table.append(ap, std::move(kept));
                ++result.added;
            } else {
                table.append(ap);
                ++result.added;
            }
            if (yield && ++n % 256 == 0)
                yield();
        }
        if (yield)
            yield();
        table.DedupeSSIDs();
    } catch (const AppError& e) {
        result.error = e;
    }
    return result;
}

QString notSurveyMessage(SurveyFormat format)
{
    return QStringLiteral("The file selected is not a %1 file.").arg(surveyFormatName(format));
}

} // namespace aero::import
