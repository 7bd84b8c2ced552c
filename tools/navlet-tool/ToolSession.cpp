#include "ToolSession.h"

#include <QEventLoop>
#include <QTimer>

using namespace navlet;

ToolSession::ToolSession(const QString& device, QTextStream& err, QObject* parent)
    : QObject(parent)
    , m_err(err)
    , m_device(device)
{
    m_navlet.setDevicePath(device);
    m_navlet.setTimeScale({ToolTime::scale()});
    m_navlet.setPrompt([this](const QString& text, PromptButtons buttons) { return answer(text, buttons); });
    connect(&m_navlet, &Navlet::Receive, this, &ToolSession::onReceive);
}

ToolSession::~ToolSession()
{
    m_navlet.PortClose();
}

PromptAnswer ToolSession::answer(const QString& text, PromptButtons buttons)
{
    QString oneLine = text;
    oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    const int asked = ++m_asked[text];
    const bool retry = buttons != PromptButtons::Ok && asked <= tooltiming::PromptRetries;
    m_err << "navlet-tool: " << oneLine << (retry ? " [Retry]" : " [giving up]") << '\n';
    m_err.flush();
    return retry ? PromptAnswer::Retry : safeAnswer(buttons);
}

void ToolSession::onReceive(quint8 id, quint8 data)
{
    // A damaged frame, a repeat, or an ACK for a packet we did not just send tells nothing.
    if (!m_navlet.lastFrameValid())
        return;
    if (id != m_navlet.PID_Nak_Byte())
        m_asked.clear(); // the line works again: the next trouble gets its retries anew
    if (id == m_navlet.PID_Ack_Byte())
        m_acked.append(data);
    else if (id == m_navlet.PID_Product_Data())
        m_gotProduct = true;
    else if (id == m_navlet.PID_Protocol_Array())
        m_gotProtocols = true;
}

bool ToolSession::open()
{
    m_navlet.PortOpen();
    if (!m_navlet.isPortOpen())
        m_err << "navlet-tool: cannot open " << m_device << '\n';
    return m_navlet.isPortOpen();
}

bool ToolSession::waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

bool ToolSession::connectReceiver()
{
    m_navlet.Request_Product_Data();
    if (!waitUntil([this] { return m_gotProduct; }, ToolTime::ms(tooltiming::AnswerMs))) {
        m_err << "navlet-tool: the receiver did not answer the product request\n";
        return false;
    }
    if (!waitUntil([this] { return m_gotProtocols; }, ToolTime::ms(tooltiming::ProtocolArrayMs))) {
        m_navlet.Request_Protocol_Data();
        waitUntil([this] { return m_gotProtocols; }, ToolTime::ms(tooltiming::ProtocolArrayMs));
    }
    return true;
}

bool ToolSession::waitForAck(quint8 id)
{
    const bool acked = waitUntil([&] { return m_acked.contains(id); }, ToolTime::ms(tooltiming::AnswerMs));
    m_acked.clear();
    return acked;
}
