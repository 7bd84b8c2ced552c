#include "ui/Dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QSettings>
#include <QSpacerItem>
#include <QMessageBox>
#include <cstdio>

namespace aero {

QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!desc.contains(QLatin1Char('(')))
            desc += QStringLiteral(" (") + pattern + QLatin1Char(')');
        out << desc;
    }
    return out.join(QStringLiteral(";;"));
}

QString withFilterExtension(const QString& path, const QString& filter, int chosen)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    const QStringList parts = filter.split(QLatin1Char('|'));
    const qsizetype at = 2 * qsizetype(chosen) + 1;
    if (chosen < 0 || at >= parts.size())
        return path;
    const QString pattern = parts[at].section(QLatin1Char(';'), 0, 0).trimmed();   // "*.kml"
    if (!pattern.startsWith(QLatin1String("*.")) || pattern.mid(2).contains(QLatin1Char('*')))
        return path;
    return path + pattern.mid(1);
}

namespace {

int filterIndex(const QString& qtFilters, const QString& selected)
{
    return std::max(0, static_cast<int>(qtFilters.split(QStringLiteral(";;")).indexOf(selected)));
}

QMessageBox::Icon qtIcon(Icon icon)
{
    switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return QMessageBox::Ok;
    case Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case Buttons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

Answer fromQt(int button)
{
    switch (button) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Ignore: return Answer::Ignore;
    default: return Answer::Ok;
    }
}

// The answer that loses nothing when nobody is there to click.
Answer safeAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::No;
    case Buttons::YesNoCancel: return Answer::Cancel;
    case Buttons::RetryCancel: return Answer::Cancel;
    case Buttons::AbortRetryIgnore: return Answer::Abort;
    }
    return Answer::Ok;
}

Answer defaultAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::YesNo: return Answer::Yes;
    case Buttons::YesNoCancel: return Answer::No;   // go on as before the question was asked
    case Buttons::RetryCancel: return Answer::Retry;
    case Buttons::AbortRetryIgnore: return Answer::Retry;
    }
    return Answer::Ok;
}

} // namespace

void Dialogs::scriptWarning(const QString& text)
{
    ++m_refusals;
    std::fprintf(stderr, "aeroplotter: warning: %s\n", qPrintable(text));
    std::fflush(stderr);
}

Answer InteractiveDialogs::message(const QString& text, Icon icon, Buttons buttons)
{
    count(icon);
    const QString title = QStringLiteral("Aeroplotter");
    QMessageBox box(qtIcon(icon), title, text, qtButtons(buttons), m_parent);
    // A short message makes a narrow box, and window managers then cut the title short: the box
    // is kept wide enough for the title and the title bar's buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int wide = QFontMetrics(box.font()).horizontalAdvance(title) * 2 + 160;
        grid->addItem(new QSpacerItem(wide, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return fromQt(box.exec());
}

void InteractiveDialogs::errorReport(const QString& text)
{
    ++m_errorReports;
    message(text, Icon::Critical, Buttons::Ok);
}

// Dialogs remember their folder per kind of file, the first extension of the first filter:
// maps, logs and pictures each open where they were last.
QString InteractiveDialogs::folderKey(const FileRequest& request)
{
    const QString first = request.filter.section(QLatin1Char('|'), 1, 1).section(QLatin1Char(';'), 0, 0).trimmed();
    QString kind = first.startsWith(QLatin1String("*.")) ? first.mid(2).toLower() : QString();
    if (kind.isEmpty() || kind.contains(QLatin1Char('*')))
        kind = QStringLiteral("any");
    return QStringLiteral("Folders/") + kind;
}

QString InteractiveDialogs::startFolder(const FileRequest& request) const
{
    if (!request.folder.isEmpty())
        return request.folder;
    const QString kept = QSettings(QStringLiteral("Aeroplotter"), QStringLiteral("Aeroplotter")).value(folderKey(request)).toString();
    if (!kept.isEmpty() && QFileInfo(kept).isDir())
        return kept;
    return m_lastFolder.isEmpty() ? QDir::homePath() : m_lastFolder;
}

void InteractiveDialogs::keepFolder(const FileRequest& request, const QString& path)
{
    m_lastFolder = QFileInfo(path).absolutePath();
    QSettings(QStringLiteral("Aeroplotter"), QStringLiteral("Aeroplotter")).setValue(folderKey(request), m_lastFolder);
}

QString InteractiveDialogs::openFile(const FileRequest& request)
{
    const QString filters = qtFilter(request.filter);
    QString selected;
    const QString path = QFileDialog::getOpenFileName(m_parent, QString(), startFolder(request), filters, &selected);
    m_chosenFilter = filterIndex(filters, selected);
    if (!path.isEmpty())
        keepFolder(request, path);
    return path;
}

QString InteractiveDialogs::saveFile(const FileRequest& request)
{
    QString start = startFolder(request);
    if (!request.proposedName.isEmpty())
        start = QDir(start).filePath(request.proposedName);
    // The program asks its own overwrite question where it has one.
    const QString filters = qtFilter(request.filter);
    QString selected;
    const QString path = QFileDialog::getSaveFileName(m_parent, QString(), start, filters, &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    m_chosenFilter = filterIndex(filters, selected);
    if (path.isEmpty())
        return path;
    keepFolder(request, path);
    return withFilterExtension(path, request.filter, m_chosenFilter);
}

int InteractiveDialogs::chooseColor(int rgb)
{
    const QColor start(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
    const QColor c = QColorDialog::getColor(start, m_parent);
    // A cancelled chooser reports its starting colour.
    const QColor chosen = c.isValid() ? c : start;
    return chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16);
}

Answer UnattendedDialogs::message(const QString& text, Icon icon, Buttons buttons)
{
    count(icon);
    const char* tag = icon == Icon::Critical ? "error" : icon == Icon::Exclamation ? "warning" : "message";
    QString oneLine = text;
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" | "));
    std::fprintf(stderr, "aeroplotter: %s: %s\n", tag, qPrintable(oneLine));
    std::fflush(stderr);
    return safeAnswer(buttons);
}

void UnattendedDialogs::errorReport(const QString& text)
{
    ++m_errorReports;
    message(text, Icon::Critical, Buttons::Ok);
}

Answer ScriptedDialogs::message(const QString& text, Icon icon, Buttons buttons)
{
    count(icon);
    shown.push_back({text, icon, buttons});
    if (answers.empty())
        return defaultAnswer(buttons);
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

void ScriptedDialogs::errorReport(const QString& text)
{
    ++m_errorReports;
    reports.push_back(text);
    shown.push_back({text, Icon::Critical, Buttons::Ok});
    if (!reportsExpected && unexpectedReport)
        unexpectedReport(text);
}

QString ScriptedDialogs::openFile(const FileRequest& request)
{
    fileRequests.push_back(request);
    m_chosenFilter = 0;
    if (!filterChoices.empty()) {
        m_chosenFilter = filterChoices.front();
        filterChoices.pop_front();
    }
    if (files.empty())
        return {};
    QString f = files.front();
    files.pop_front();
    return f;
}

QString ScriptedDialogs::saveFile(const FileRequest& request)
{
    const QString path = openFile(request);
    return withFilterExtension(path, request.filter, m_chosenFilter);
}

int ScriptedDialogs::chooseColor(int rgb)
{
    if (colors.empty())
        return rgb;
    const int c = colors.front();
    colors.pop_front();
    return c;
}

void ScriptedDialogs::scriptWarning(const QString& text)
{
    ++m_refusals;
    warnings.push_back(text);
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const auto& s : shown)
        out << s.text;
    return out;
}

} // namespace aero
