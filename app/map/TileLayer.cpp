#include "map/TileLayer.h"

#include "domain/Settings.h"
#include "map/Viewport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPainter>
#include "domain/CheckedSave.h"
#include <QStandardPaths>
#include <algorithm>
#include <cmath>

namespace aero {

namespace {
constexpr int MaxQueued = 48;
constexpr int TransferTimeoutMs = 15000;
} // namespace

TileLayer::TileLayer(QObject* parent)
    : QObject(parent), m_net(new QNetworkAccessManager(this))
{
    m_cacheRoot = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/tiles");
    connect(m_net, &QNetworkAccessManager::finished, this, &TileLayer::finished);
}

TileLayer::~TileLayer() = default;

QByteArray TileLayer::userAgent()
{
    return QByteArray("Aeroplotter/") + Settings::Version + " (+project README)";
}

QString TileLayer::Key::text() const
{
    return QStringLiteral("%1/%2/%3").arg(z).arg(x).arg(y);
}

void TileLayer::setUrlTemplate(const QString& urlTemplate)
{
    if (urlTemplate == m_template)
        return;
    m_template = urlTemplate;
    m_memory.clear();
    m_queue.clear();
    m_refused.clear();
    m_failuresInRow = 0;
    m_pausedSince.invalidate();
}

void TileLayer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled)
        m_queue.clear();
}

void TileLayer::setCacheFolder(const QString& folder)
{
    m_cacheRoot = folder;
    m_memory.clear();
}

bool TileLayer::isPaused() const
{
    return m_pausedSince.isValid() && !m_pausedSince.hasExpired(OfflinePauseMs);
}

int TileLayer::zoomFor(double scale)
{
    return std::clamp(int(std::lround(std::log2(scale / 256.0))), 0, MaxZoom);
}

QString TileLayer::diskPath(const Key& k) const
{
    // One folder per template, so switching servers never mixes their tiles.
    const QByteArray id = QCryptographicHash::hash(m_template.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return m_cacheRoot + QLatin1Char('/') + QString::fromLatin1(id) + QLatin1Char('/') + k.text() + QStringLiteral(".png");
}

const QImage* TileLayer::tile(const Key& k, bool& stale)
{
    stale = false;
    const QString name = k.text();
    if (const QImage* img = m_memory.object(name))
        return img;
    const QFileInfo info(diskPath(k));
    if (!info.exists())
        return nullptr;
    auto* img = new QImage(info.filePath());
    if (img->isNull()) {
        delete img;
        return nullptr;
    }
    stale = info.lastModified().secsTo(QDateTime::currentDateTime()) > CacheFreshSeconds;
    m_memory.insert(name, img);
    return m_memory.object(name);
}

int TileLayer::draw(QPainter& painter, const Viewport& view)
{
    if (!m_enabled || m_template.isEmpty())
        return 0;
    const int z = zoomFor(view.scale());
    const int n = 1 << z;
    const QRectF world = view.visibleWorld();
    const int x0 = std::max(0, int(std::floor(world.left() * n))), x1 = std::min(n - 1, int(std::floor(world.right() * n)));
    const int y0 = std::max(0, int(std::floor(world.top() * n))), y1 = std::min(n - 1, int(std::floor(world.bottom() * n)));
    m_queue.clear();   // only what is on screen now is worth fetching
    int drawn = 0;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const Key k{z, x, y};
            bool stale = false;
            const QImage* img = tile(k, stale);
            if (img) {
                const QPointF tl = view.worldToScreen(QPointF(double(x) / n, double(y) / n));
                const QPointF br = view.worldToScreen(QPointF(double(x + 1) / n, double(y + 1) / n));
                painter.drawImage(QRectF(tl, br), *img);
                ++drawn;
            }
            if (!img || stale)
                want(k);
        }
    }
    pump();
    return drawn;
}

void TileLayer::want(const Key& k)
{
    const QString name = k.text();
    if (m_inFlight.contains(name) || m_refused.contains(name) || int(m_queue.size()) >= MaxQueued)
        return;
    m_queue.push_back(k);
}

void TileLayer::pump()
{
    while (!m_queue.empty() && m_inFlight.size() < MaxConcurrent && !isPaused()) {
        const Key k = m_queue.front();
        m_queue.pop_front();
        QString url = m_template;
        url.replace(QLatin1String("{z}"), QString::number(k.z))
            .replace(QLatin1String("{x}"), QString::number(k.x))
            .replace(QLatin1String("{y}"), QString::number(k.y));
        QNetworkRequest request{QUrl(url)};
        request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
        request.setTransferTimeout(TransferTimeoutMs);
        request.setAttribute(QNetworkRequest::User, k.text());
        request.setAttribute(QNetworkRequest::Attribute(QNetworkRequest::User + 1), diskPath(k));
        request.setAttribute(QNetworkRequest::Attribute(QNetworkRequest::User + 2), m_template);
        m_inFlight.insert(k.text());
        ++m_started;
        m_net->get(request);
    }
}

void TileLayer::finished(QNetworkReply* reply)
{
    reply->deleteLater();
    const QString name = reply->request().attribute(QNetworkRequest::User).toString();
    const QString path = reply->request().attribute(QNetworkRequest::Attribute(QNetworkRequest::User + 1)).toString();
    m_inFlight.remove(name);
    const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    auto* img = new QImage(QImage::fromData(body));
    if (img->isNull()) {
        delete img;
        ++m_failed;
        if (reply->error() == QNetworkReply::NoError || reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
            m_refused.insert(name);   // the server answered: don't ask again this session
        else if (++m_failuresInRow >= FailuresBeforePause)
            m_pausedSince.start();
        pump();
        return;
    }
    m_failuresInRow = 0;
    m_pausedSince.invalidate();
    QDir().mkpath(QFileInfo(path).path());
    saveChecked(path, [&body](QIODevice& out) { return out.write(body) == body.size(); });
    // A reply for a template or cache given up meanwhile is kept on disk but not shown.
    const QString forTemplate = reply->request().attribute(QNetworkRequest::Attribute(QNetworkRequest::User + 2)).toString();
    if (forTemplate == m_template && path.startsWith(m_cacheRoot))
        m_memory.insert(name, img);
    else
        delete img;
    pump();
    Q_EMIT tileArrived();
}

} // namespace aero
