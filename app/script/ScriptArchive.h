#pragma once
// The survey archive a script's imports also go to: `$ARCHIVE target` opens it (a GeoPackage
// file or a postgresql:// URI), `$ARCHIVE` alone stops archiving.
#include "archive/ArchiveStore.h"
#include "survey/SurveyFormat.h"
#include "ui/AppContext.h"

namespace aero {

class ScriptArchive {
public:
    explicit ScriptArchive(QString session) : m_session(std::move(session)) {}

    void open(AppContext& ctx, const QString& target);
    // Archives a log the script has just imported; failures are reported, success is quiet.
    void add(AppContext& ctx, const QString& path, import::SurveyFormat format);

private:
    QString m_session;
    std::unique_ptr<archive::ArchiveStore> m_store;
};

} // namespace aero
