#pragma once
// Builds one JSON object per line, keys in the order they are added. Numbers print as the
// shortest text that reads back to the same double; whole numbers keep a ".0".
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class JsonLine {
public:
    explicit JsonLine(const char* event);

    JsonLine& add(const char* key, const QString& value);
    JsonLine& add(const char* key, bool value);
    JsonLine& add(const char* key, double value);
    JsonLine& add(const char* key, const QStringList& values);
    JsonLine& add(const char* key, const QList<float>& values);

    // The object, closed, with a trailing newline.
    QByteArray finish() const;

    static QByteArray number(double value);
    static QByteArray string(const QString& value);

private:
    void key(const char* name);
    QByteArray m_text;
};
