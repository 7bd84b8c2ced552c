#pragma once
// Every message box, file dialog and colour dialog of the program goes through this interface,
// so tests answer them from a queue and unattended runs never wait for a click.
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace aero {

enum class Icon { None, Information, Exclamation, Critical, Question };
enum class Buttons { Ok, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class Answer { Ok, Yes, No, Retry, Cancel, Abort, Ignore };

struct FileRequest {
    QString filter;        // "Description (*.x)|*.x|Other (*.*)|*.*"
    QString folder;        // start folder; empty: the folder last used
    QString proposedName;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual Answer message(const QString& text, Icon icon, Buttons buttons = Buttons::Ok) = 0;
    // The critical report of an unexpected error (unattended runs count these for the exit code).
    virtual void errorReport(const QString& text) = 0;
    virtual QString openFile(const FileRequest& request) = 0;   // empty when cancelled
    virtual QString saveFile(const FileRequest& request) = 0;   // empty when cancelled
    virtual int chooseColor(int rgb) = 0;                        // red in the low byte
    // What a script run reports without a box: a line on standard error, counted as a refusal
    // so the run's exit code tells that not everything went as written.
    virtual void scriptWarning(const QString& text);
    int errorReports() const { return m_errorReports; }
    // Warnings and critical messages shown so far: refusals of bad input, files of the wrong kind.
    int refusals() const { return m_refusals; }
    // The filter (0-based, in FileRequest::filter's order) the last file dialog ended on.
    int chosenFilter() const { return m_chosenFilter; }

protected:
    void count(Icon icon)
    {
        if (icon == Icon::Exclamation || icon == Icon::Critical)
            ++m_refusals;
    }
    int m_errorReports = 0;
    int m_refusals = 0;
    int m_chosenFilter = 0;
};

// Converts "Desc (*.x)|*.x|..." into Qt's "Desc (*.x);;..." form.
QString qtFilter(const QString& filter);

// A name chosen in a save dialog, with the extension of filter `chosen` (0-based) added when
// the name has none: "mymap" under "Maps (*.kml)|*.kml" is "mymap.kml". Filters like "*.*"
// add nothing.
QString withFilterExtension(const QString& path, const QString& filter, int chosen = 0);

// Qt's own dialogs, over `parent`.
class InteractiveDialogs final : public Dialogs {
public:
    explicit InteractiveDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    Answer message(const QString& text, Icon icon, Buttons buttons) override;
    void errorReport(const QString& text) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    int chooseColor(int rgb) override;

private:
    static QString folderKey(const FileRequest& request);
    QString startFolder(const FileRequest& request) const;
    void keepFolder(const FileRequest& request, const QString& path);
    QWidget* m_parent;
    QString m_lastFolder;
};

// Headless runs: messages go to standard error, questions get their safe answer.
class UnattendedDialogs final : public Dialogs {
public:
    Answer message(const QString& text, Icon icon, Buttons buttons) override;
    void errorReport(const QString& text) override;
    QString openFile(const FileRequest&) override { return {}; }
    QString saveFile(const FileRequest&) override { return {}; }
    int chooseColor(int rgb) override { return rgb; }
};

// Tests: answers come from queues, every message is recorded.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString text;
        Icon icon;
        Buttons buttons;
    };
    std::vector<Shown> shown;
    std::vector<QString> reports;
    std::deque<Answer> answers;         // used in order; empty: Ok / Yes / No (Yes/No/Cancel) / Retry
    std::deque<QString> files;          // answers to open/save dialogs (the first filter chosen); empty: cancelled
    std::deque<int> colors;
    std::deque<int> filterChoices;      // the filter each file dialog ends on; empty: the first
    std::vector<FileRequest> fileRequests;
    // An error report nobody expected fails the running test: fixtures set the sink, a test
    // that provokes reports says so first.
    std::function<void(const QString& report)> unexpectedReport;
    bool reportsExpected = false;
    std::vector<QString> warnings;      // scriptWarning texts

    Answer message(const QString& text, Icon icon, Buttons buttons) override;
    void errorReport(const QString& text) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    int chooseColor(int rgb) override;
    void scriptWarning(const QString& text) override;

    QStringList texts() const;
    QString last() const { return shown.empty() ? QString() : shown.back().text; }
    void reset() { shown.clear(); reports.clear(); answers.clear(); files.clear(); fileRequests.clear(); warnings.clear(); }
};

} // namespace aero
