#pragma once
// Bounds for an SQLite file from outside (a survey log, a tile pack): no text or blob larger
// than a limit, and a progress handler, so a crafted file (a generated column that computes
// for minutes, a value of gigabytes) cannot freeze the window or fill the memory. Header only:
// included by the parts that link SQLite.
#include <sqlite3.h>

#include <QElapsedTimer>
#include <exception>
#include <functional>

namespace aero {

class SqliteBounds {
public:
    // `tick` runs every few thousand SQLite steps; false or an exception interrupts the
    // statement running (it then fails with SQLITE_INTERRUPT). The exception is kept, since it
    // must not cross SQLite's C frames, and rethrown by rethrowIfStopped().
    SqliteBounds(sqlite3* db, std::function<bool()> tick, int maxValueBytes = 16 << 20) : m_db(db), m_tick(std::move(tick))
    {
        sqlite3_limit(db, SQLITE_LIMIT_LENGTH, maxValueBytes);
        sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 1 << 20);
        sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, 100);
        sqlite3_limit(db, SQLITE_LIMIT_COLUMN, 1000);
        sqlite3_progress_handler(db, StepsPerTick, &SqliteBounds::handler, this);
    }
    ~SqliteBounds() { sqlite3_progress_handler(m_db, 0, nullptr, nullptr); }
    SqliteBounds(const SqliteBounds&) = delete;
    SqliteBounds& operator=(const SqliteBounds&) = delete;

    bool stopped() const { return m_stopped; }
    void rethrowIfStopped() const
    {
        if (m_caught)
            std::rethrow_exception(m_caught);
    }

    // With a time budget, each statement begun after startStatement() gets at most that long
    // (for files read on the GUI thread without a Cancel button, such as tile packs).
    void setBudget(int ms) { m_budgetMs = ms; }
    void startStatement() { m_timer.start(); }

private:
    static constexpr int StepsPerTick = 20000;
    static int handler(void* self) noexcept
    {
        auto* b = static_cast<SqliteBounds*>(self);
        try {
            if (b->m_budgetMs > 0 && b->m_timer.isValid() && b->m_timer.elapsed() > b->m_budgetMs)
                return 1;   // this statement only: the next one starts afresh
            if (b->m_tick && !b->m_tick())
                b->m_stopped = true;
        } catch (...) {
            b->m_caught = std::current_exception();
            b->m_stopped = true;
        }
        return b->m_stopped ? 1 : 0;
    }

    sqlite3* m_db;
    std::function<bool()> m_tick;
    bool m_stopped = false;
    std::exception_ptr m_caught;
    int m_budgetMs = 0;
    QElapsedTimer m_timer;
};

} // namespace aero
