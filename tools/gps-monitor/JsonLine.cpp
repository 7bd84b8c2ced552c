#include "JsonLine.h"

#include <charconv>
#include <cmath>

JsonLine::JsonLine(const char* event)
{
    m_text = "{\"event\":" + string(QString::fromLatin1(event));
}

void JsonLine::key(const char* name)
{
    m_text += ",\"";
    m_text += name;
    m_text += "\":";
}

JsonLine& JsonLine::add(const char* name, const QString& value)
{
    key(name);
    m_text += string(value);
    return *this;
}

JsonLine& JsonLine::add(const char* name, bool value)
{
    key(name);
    m_text += value ? "true" : "false";
    return *this;
}

JsonLine& JsonLine::add(const char* name, double value)
{
    key(name);
    m_text += number(value);
    return *this;
}

JsonLine& JsonLine::add(const char* name, const QStringList& values)
{
    key(name);
    m_text += '[';
    for (qsizetype i = 0; i < values.size(); ++i)
        m_text += (i ? "," : "") + string(values[i]);
    m_text += ']';
    return *this;
}

JsonLine& JsonLine::add(const char* name, const QList<float>& values)
{
    key(name);
    m_text += '[';
    for (qsizetype i = 0; i < values.size(); ++i)
        m_text += (i ? "," : "") + number(static_cast<double>(values[i]));
    m_text += ']';
    return *this;
}

QByteArray JsonLine::finish() const
{
    return m_text + "}\n";
}

QByteArray JsonLine::number(double value)
{
    if (!std::isfinite(value))
        return "null";  // JSON has no infinities
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    QByteArray text(buf, result.ptr - buf);
    if (!text.contains('.') && !text.contains('e'))
        text += ".0";
    return text;
}

QByteArray JsonLine::string(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size() + 2);
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            escaped += QLatin1Char('\\');
            escaped += c;
        } else if (u < 0x20) {
            escaped += QStringLiteral("\\u%1").arg(static_cast<unsigned>(u), 4, 16, QLatin1Char('0'));
        } else {
            escaped += c;
        }
    }
    return '"' + escaped.toUtf8() + '"';
}
