#include "ui/ErrorReport.h"

#include "domain/NumberText.h"

namespace aero {

QString errorReportText(const QString& routine, double code, const QString& description)
{
    return QStringList{
        QStringLiteral("Aeroplotter generated an error!"),
        QStringLiteral("Program routine: ") + routine,
        QStringLiteral("Error code: ") + singleText(static_cast<float>(code)),
        QStringLiteral("Error description: ") + description,
        QStringLiteral("Please report this information to ") + QString::fromLatin1(BugReportPlace)
            + QStringLiteral(", so we can fix the problem."),
    }.join(QStringLiteral("\r\n"));
}

void ShowErrorReport(Dialogs& dialogs, const QString& routine, double code, const QString& description)
{
    dialogs.errorReport(errorReportText(routine, code, description));
}

} // namespace aero
