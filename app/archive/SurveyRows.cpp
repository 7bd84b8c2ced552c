#include "archive/SurveyRows.h"

#include "domain/KismetCsvReader.h"
#include "domain/SummaryReader.h"
#include "domain/TableImport.h"
#include "survey/SurveyTableImport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace aero::archive {

using import::SurveyFormat;

namespace {

SurveyRows refuse(SurveyRows r, QString message)
{
    r.refused = true;
    r.message = std::move(message);
    r.rows.clear();
    return r;
}

void readSummaryRows(QIODevice& file, SurveyRows& out)
{
    import::SummaryReader reader(file);
    if (reader.readHeader() != import::SummaryStatus::Ok) {
        out = refuse(std::move(out), QString::fromLatin1(import::surveyPolicy(SurveyFormat::NetStumblerSummary)->notThisKind));
        return;
    }
    while (const auto record = reader.next()) {
        AccessPoint ap = record->ap;
        if (record->noFix)
            ap.Latitude = ap.Longitude = 0.0;
        out.rows.push_back(rowOf(ap));
    }
    out.skipped = reader.skippedCount();
    out.damaged = reader.status() == import::SummaryStatus::ReadError;
    if (out.rows.empty() && out.skipped > 0)
        out = refuse(std::move(out), QString::fromLatin1(import::surveyPolicy(SurveyFormat::NetStumblerSummary)->notThisKind));
}

void readKismetRows(QIODevice& file, SurveyRows& out)
{
    import::KismetCsvReader reader(file);
    if (reader.readHeading() != import::KismetStatus::Ok) {
        out = refuse(std::move(out), QString::fromLatin1(import::surveyPolicy(SurveyFormat::KismetCsv)->notThisKind));
        return;
    }
    while (const auto ap = reader.next())
        out.rows.push_back(rowOf(*ap));
    out.skipped = reader.skippedCount();
    out.damaged = reader.status() != import::KismetStatus::Ok;
}

} // namespace

SurveyRows readSurveyRows(const QString& path, SurveyFormat format)
{
    SurveyRows out;
    out.source.file = QFileInfo(path).absoluteFilePath();
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return refuse(std::move(out), QStringLiteral("File not found: ") + path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return refuse(std::move(out), QStringLiteral("Could not read ") + path + QStringLiteral(": ") + file.errorString());
    out.source.sha256 = QString::fromLatin1(hash.result().toHex());
    file.seek(0);
    if (format == SurveyFormat::Unknown)
        format = import::detectSurveyFile(path);
    if (format == SurveyFormat::Unknown)
        return refuse(std::move(out), QStringLiteral("The file %1 is not a survey log Aeroplotter can read.").arg(path));
    out.source.format = import::surveyFormatName(format);
    switch (format) {
    case SurveyFormat::NetStumblerSummary:
        readSummaryRows(file, out);
        return out;
    case SurveyFormat::KismetCsv:
        readKismetRows(file, out);
        return out;
    default:
        break;
    }
    file.close();
    const import::SurveyContents c = import::readSurveyFile(format, path);
    if (c.status == import::SurveyStatus::NotRecognised || c.status == import::SurveyStatus::MissingColumn)
        return refuse(std::move(out), QString::fromLatin1(import::surveyPolicy(format)->notThisKind));
    if (c.status == import::SurveyStatus::ReadError && c.records.empty())
        return refuse(std::move(out), QStringLiteral("Could not read ") + path + QStringLiteral(": ") + c.detail);
    out.rows.reserve(c.records.size());
    for (const AccessPoint& ap : c.records)
        out.rows.push_back(rowOf(ap));
    out.skipped = c.skipped;
    out.damaged = c.status != import::SurveyStatus::Ok;
    if (out.damaged)
        out.message = c.detail;
    return out;
}

} // namespace aero::archive
