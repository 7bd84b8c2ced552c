#pragma once
// One receiver session of the command-line tool: the control on a device path, a prompt that
// answers without a user (Retry a few times, then stop), and waiting while the event loop runs.
#include "navlet/Navlet.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTextStream>
#include <algorithm>
#include <functional>

namespace tooltiming {
inline constexpr int AnswerMs = 5000;          // first answer to a request, each ACK of an upload
inline constexpr int ProtocolArrayMs = 1000;   // the array that follows the product data
inline constexpr int PromptRetries = 3;        // Retry answers per question before giving up
} // namespace tooltiming

// Every wait of a session multiplied by one factor (--time-scale), so tests run fast.
class ToolTime {
public:
    static void setScale(double factor) { s_scale = factor > 0 ? factor : 1.0; }
    static double scale() { return s_scale; }
    static int ms(int baseMs) { return std::max(1, static_cast<int>(baseMs * s_scale)); }

private:
    static inline double s_scale = 1.0;
};

class ToolSession : public QObject {
    Q_OBJECT
public:
    ToolSession(const QString& device, QTextStream& err, QObject* parent = nullptr);
    ~ToolSession() override;

    navlet::Navlet& navlet() { return m_navlet; }
    QTextStream& err() { return m_err; }

    bool open();
    // Product data, then the protocol array (asked for when the receiver does not volunteer it).
    bool connectReceiver();
    // Runs the event loop until `done` holds or `ms` passed; returns `done()`.
    bool waitUntil(const std::function<bool()>& done, int ms);
    // Waits for the receiver's ACK of `id` since the last call.
    bool waitForAck(quint8 id);

private:
    navlet::PromptAnswer answer(const QString& text, navlet::PromptButtons buttons);
    void onReceive(quint8 id, quint8 data);

    navlet::Navlet m_navlet;
    QTextStream& m_err;
    QString m_device;
    QHash<QString, int> m_asked;
    QList<quint8> m_acked;
    bool m_gotProduct = false;
    bool m_gotProtocols = false;
};
