#include "domain/TableImport.h"

namespace aero::import {
namespace {

void yieldIf(const Yield& yield)
{
    if (yield)
        yield();
}

} // namespace

SummaryImport importSummary(APList& table, QIODevice& file, const Yield& yield)
{
    SummaryImport result;
    if (table.NextAP == 0)
        table.NextAP = 1;
    table.NextAP = table.findFirstFree();
    SummaryReader reader(file);
    result.status = reader.readHeader();
    if (result.status != SummaryStatus::Ok)
        return result;
    try {
        for (;;) {
            const SummaryReader::Step step = reader.step();
            if (step == SummaryReader::Step::End)
                break;
            if (step == SummaryReader::Step::Record) {
                const AccessPoint& ap = reader.record().ap;
                if (table.containsMac(ap.MAC)) {
                    ++result.repeatedMacs;
                } else {
                    table.append(ap);
                    ++result.added;
                }
            }
            yieldIf(yield);
        }
        if (reader.status() == SummaryStatus::ReadError)
            result.error = AppError(errors::InputPastEnd, QStringLiteral("Input past end of file"));
        yieldIf(yield);
        table.DedupeSSIDs();
    } catch (const AppError& e) {
        result.error = e;
        // The records that fit are kept, so they get unique names like those of any import.
        if (result.tableFull())
            table.DedupeSSIDs();
    }
    result.skippedLines = reader.skippedCount();
    result.firstSkippedLine = reader.firstSkippedLine();
    return result;
}

KismetImport importKismet(APList& table, QIODevice& file, const Yield& yield)
{
    KismetImport result;
    if (table.NextAP == 0)
        table.NextAP = 1;
    table.NextAP = table.findFirstFree();
    KismetCsvReader reader(file);
    result.status = reader.readHeading();
    if (result.status != KismetStatus::Ok) {
        result.missingColumn = reader.columns().missingColumn();
        return result;
    }
    try {
        while (auto ap = reader.next()) {
            yieldIf(yield);
            Observation seen;   // its times, so a track can place it later
            seen.firstSeen = reader.seen().first;
            seen.lastSeen = reader.seen().last;
            table.append(*ap, std::move(seen));
            ++result.added;
        }
        if (reader.status() == KismetStatus::BadNumber)
            result.error = AppError(errors::TypeMismatch, QStringLiteral("Type mismatch: column %1 of line %2 is not a number")
                                            .arg(reader.errorColumn())
                                            .arg(reader.errorLine()));
        else if (reader.status() == KismetStatus::ReadError)
            result.error = AppError(errors::InputPastEnd, QStringLiteral("Input past end of file"));
    } catch (const AppError& e) {
        result.error = e;
    }
    yieldIf(yield);
    result.skippedLines = reader.skippedCount();
    result.firstSkippedLine = reader.firstSkippedLine();
    return result;
}

QString kismetGpsLogPath(const QString& csvPath)
{
    if (csvPath.size() < 4)
        return {};
    return csvPath.chopped(4) + QStringLiteral(".gps");
}

} // namespace aero::import
