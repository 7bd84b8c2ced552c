#include "survey/SurveyFormat.h"

#include "domain/KismetCsv.h"
#include "survey/Gzip.h"
#include "survey/KismetDb.h"
#include "domain/KismetNetxml.h"
#include "domain/SummaryLine.h"
#include "domain/WigleCsv.h"

#include <QFile>
#include <QFileInfo>

namespace aero::import {
namespace {

QByteArrayView lineAt(QByteArrayView head, int index)
{
    qsizetype start = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype lf = head.indexOf('\n', start);
        if (lf < 0)
            return {};
        start = lf + 1;
    }
    qsizetype end = head.indexOf('\n', start);
    if (end < 0)
        end = head.size();
    QByteArrayView line = head.sliced(start, end - start);
    while (line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

SurveyFormat detectSurveyFormat(QByteArrayView head)
{
    if (looksLikeSqlite(head))
        return SurveyFormat::KismetDb;
    if (looksLikeWigleCsv(head))
        return SurveyFormat::WigleCsv;
    if (isSummaryCreatorLine(lineAt(head, 0)) && isSummaryFormatLine(lineAt(head, 1)))
        return SurveyFormat::NetStumblerSummary;
    if (looksLikeKismetNetxml(head))
        return SurveyFormat::KismetNetxml;
    const QByteArrayView first = lineAt(head, 0);
    if (first.contains(';') && kismetColumns(first).missingColumn().isEmpty())
        return SurveyFormat::KismetCsv;
    return SurveyFormat::Unknown;
}

SurveyFormat detectSurveyFile(const QString& path)
{
    QFile file(path);
    // A FIFO or device (also behind a link) would block or never end: only regular files.
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return SurveyFormat::Unknown;
    const QByteArray head = file.read(SurveyFormatHead);
    if (looksLikeGzip(head)) {   // told by what it holds; only WiGLE logs come gzipped
        file.close();
        const Inflated inflated = inflateFile(path, qint64(64) * 1024 * 1024);
        const SurveyFormat inner = detectSurveyFormat(QByteArrayView(inflated.bytes).first(std::min<qsizetype>(inflated.bytes.size(), SurveyFormatHead)));
        return inner == SurveyFormat::WigleCsv ? inner : SurveyFormat::Unknown;
    }
    return detectSurveyFormat(head);
}

QString surveyFormatName(SurveyFormat format)
{
    switch (format) {
    case SurveyFormat::NetStumblerSummary: return QStringLiteral("NetStumbler summary");
    case SurveyFormat::KismetCsv: return QStringLiteral("Kismet .csv");
    case SurveyFormat::WigleCsv: return QStringLiteral("WiGLE CSV");
    case SurveyFormat::KismetNetxml: return QStringLiteral("Kismet netxml");
    case SurveyFormat::KismetDb: return QStringLiteral("Kismet log (.kismet)");
    case SurveyFormat::Unknown: break;
    }
    return QStringLiteral("unknown");
}

} // namespace aero::import
