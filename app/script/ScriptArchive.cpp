#include "script/ScriptArchive.h"

#include "archive/ArchiveWork.h"

namespace aero {

void ScriptArchive::open(AppContext& ctx, const QString& target)
{
    m_store.reset();
    if (target.isEmpty())
        return;
    QString error;
    m_store = archive::openArchive(target, error);
    if (!m_store)
        ctx.dialogs.message(error + QStringLiteral(" The following imports are not archived."), Icon::Exclamation);
}

void ScriptArchive::add(AppContext& ctx, const QString& path, import::SurveyFormat format)
{
    if (!m_store)
        return;
    const archive::ArchivedFile done = archive::archiveSurveyFile(*m_store, path, m_session, format);
    if (!done.ok)
        ctx.dialogs.message(QStringLiteral("Archive: ") + done.message, Icon::Exclamation);
}

} // namespace aero
