#pragma once
// Online raster tiles over the outline, from a URL template such as
// https://tile.openstreetmap.org/{z}/{x}/{y}.png. Following the usual tile usage policy:
// a User-Agent naming the program, at most two requests at a time, only the tiles on screen,
// and an on-disk cache whose tiles are not fetched again for a week. When the server cannot
// be reached the layer goes quiet for a while and the outline shows through.
#include <QCache>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <deque>

class QNetworkAccessManager;
class QNetworkReply;
class QPainter;

namespace aero {

class Viewport;

class TileLayer : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxConcurrent = 2;
    static constexpr int MaxZoom = 19;
    static constexpr qint64 CacheFreshSeconds = 7 * 24 * 3600;
    static constexpr qint64 OfflinePauseMs = 60000;
    static constexpr int FailuresBeforePause = 3;

    explicit TileLayer(QObject* parent = nullptr);
    ~TileLayer() override;

    static QByteArray userAgent();

    void setUrlTemplate(const QString& urlTemplate);
    QString urlTemplate() const { return m_template; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    void setCacheFolder(const QString& folder);
    QString cacheFolder() const { return m_cacheRoot; }

    // Draws the tiles at hand for the view and asks for the missing ones.
    // Returns the number of tiles drawn.
    int draw(QPainter& painter, const Viewport& view);

    int requestsStarted() const { return m_started; }
    int requestsFailed() const { return m_failed; }
    bool isPaused() const;
    bool isIdle() const { return m_queue.empty() && m_inFlight.isEmpty(); }
    static int zoomFor(double scale);

Q_SIGNALS:
    void tileArrived();

private:
    struct Key {
        int z, x, y;
        QString text() const;
    };
    QString diskPath(const Key& k) const;
    const QImage* tile(const Key& k, bool& stale);
    void want(const Key& k);
    void pump();
    void finished(QNetworkReply* reply);

    QString m_template;
    bool m_enabled = false;
    QString m_cacheRoot;
    QNetworkAccessManager* m_net = nullptr;
    QCache<QString, QImage> m_memory{512};
    std::deque<Key> m_queue;
    QSet<QString> m_inFlight;
    QSet<QString> m_refused;            // answered with an error or a non-image this session
    int m_started = 0;
    int m_failed = 0;
    int m_failuresInRow = 0;
    QElapsedTimer m_pausedSince;
};

} // namespace aero
