#pragma once
// A tile server on the loopback interface: one solid-colour 256 px PNG for every request,
// noting what was asked. No test reaches the internet.
#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>

namespace maptest {

class TileServer : public QObject {
public:
    explicit TileServer(QColor colour)
    {
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(colour);
        QBuffer b(&m_png);
        b.open(QIODevice::WriteOnly);
        tile.save(&b, "PNG");
        connect(&m_server, &QTcpServer::newConnection, this, &TileServer::accept);
        m_server.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return m_server.serverPort(); }
    QStringList paths, userAgents;
    int open = 0, maxOpen = 0;

private:
    void accept()
    {
        while (QTcpSocket* s = m_server.nextPendingConnection()) {
            maxOpen = std::max(maxOpen, ++open);
            connect(s, &QTcpSocket::readyRead, this, [this, s] { serve(s); });
            connect(s, &QTcpSocket::disconnected, this, [this, s] { --open, s->deleteLater(); });
        }
    }
    void serve(QTcpSocket* s)
    {
        QByteArray& buffer = m_pending[s];
        buffer += s->readAll();
        if (buffer.size() > 65536)
            return s->abort();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> lines = buffer.split('\n');
        paths << QString::fromLatin1(lines[0].split(' ').value(1));
        for (const QByteArray& l : lines)
            if (l.toLower().startsWith("user-agent:"))
                userAgents << QString::fromLatin1(l.mid(11).trimmed());
        m_pending.remove(s);
        s->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\nContent-Length: " +
                 QByteArray::number(m_png.size()) + "\r\n\r\n" + m_png);
        s->disconnectFromHost();
    }
    QTcpServer m_server;
    QByteArray m_png;
    QHash<QTcpSocket*, QByteArray> m_pending;
};

} // namespace maptest
