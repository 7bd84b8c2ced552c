#pragma once
// Which survey log a file holds, judged by its first bytes, never by its name.
#include <QByteArrayView>
#include <QString>

namespace aero::import {

enum class SurveyFormat { Unknown, NetStumblerSummary, KismetCsv, WigleCsv, KismetNetxml, KismetDb };

// How many leading bytes detectSurveyFormat() wants to see.
inline constexpr qsizetype SurveyFormatHead = 4096;

SurveyFormat detectSurveyFormat(QByteArrayView head);
SurveyFormat detectSurveyFile(const QString& path);   // Unknown when the file cannot be read

// "WiGLE CSV", "Kismet netxml", ... for messages.
QString surveyFormatName(SurveyFormat format);

} // namespace aero::import
