#include "navlet/RecordJson.h"

#include "navlet/RecordFields.h"

#include <QJsonDocument>

#include <charconv>
#include <ostream>
#include <type_traits>

namespace navlet {
namespace {

// A float in its shortest decimal form, so 12.3f is written 12.3 and reads back as 12.3f.
double shortestFloat(float f)
{
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, f);
    return QByteArray(buf, static_cast<qsizetype>(res.ptr - buf)).toDouble();
}

struct Writer {
    QJsonObject& o;
    template <class T> void operator()(const char* name, const T& value)
    {
        const QString key = QString::fromLatin1(name);
        if constexpr (std::is_same_v<T, QString> || std::is_same_v<T, bool> || std::is_same_v<T, double>)
            o.insert(key, value);
        else if constexpr (std::is_same_v<T, float>)
            o.insert(key, shortestFloat(value));
        else
            o.insert(key, static_cast<qint64>(value));
    }
};

struct Reader {
    const QJsonObject& o;
    template <class T> void operator()(const char* name, T& value)
    {
        const QJsonValue v = o.value(QString::fromLatin1(name));
        if (v.isUndefined() || v.isNull())
            return;
        if constexpr (std::is_same_v<T, QString>)
            value = v.toString();
        else if constexpr (std::is_same_v<T, bool>)
            value = v.isBool() ? v.toBool() : v.toDouble() != 0;
        else if constexpr (std::is_floating_point_v<T>)
            value = static_cast<T>(v.toDouble());
        else
            value = static_cast<T>(v.toInteger());
    }
};

template <class R> QJsonObject write(R r)
{
    QJsonObject o;
    visitFields(r, Writer{o});
    return o;
}

template <class R> R read(const QJsonObject& o, R base)
{
    visitFields(base, Reader{o});
    return base;
}

template <class R> void print(const R& r, std::ostream* os)
{
    *os << QJsonDocument(toJson(r)).toJson(QJsonDocument::Compact).toStdString();
}

} // namespace

QJsonObject toJson(const cWaypoint& r) { return write(r); }
QJsonObject toJson(const cRoute& r) { return write(r); }
QJsonObject toJson(const cTrack& r) { return write(r); }
QJsonObject toJson(const cPosition& r) { return write(r); }
QJsonObject toJson(const cPvtData& r) { return write(r); }
QJsonObject toJson(const cDate_Time& r) { return write(r); }
QJsonObject toJson(const cAlmanac& r) { return write(r); }
QJsonObject toJson(const cProduct_Data& r) { return write(r); }

cWaypoint waypointFromJson(const QJsonObject& o, cWaypoint base) { return read(o, std::move(base)); }
cTrack trackFromJson(const QJsonObject& o, cTrack base) { return read(o, std::move(base)); }
cProduct_Data productFromJson(const QJsonObject& o, cProduct_Data base) { return read(o, std::move(base)); }

void PrintTo(const cWaypoint& r, std::ostream* os) { print(r, os); }
void PrintTo(const cRoute& r, std::ostream* os) { print(r, os); }
void PrintTo(const cTrack& r, std::ostream* os) { print(r, os); }
void PrintTo(const cPosition& r, std::ostream* os) { print(r, os); }
void PrintTo(const cPvtData& r, std::ostream* os) { print(r, os); }
void PrintTo(const cDate_Time& r, std::ostream* os) { print(r, os); }
void PrintTo(const cAlmanac& r, std::ostream* os) { print(r, os); }
void PrintTo(const cProduct_Data& r, std::ostream* os) { print(r, os); }

} // namespace navlet
