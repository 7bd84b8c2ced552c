#include "navlet/NavletBytes.h"

#include <QDate>
#include <QRegularExpression>

#include <bit>
#include <cmath>
#include <limits>

namespace navlet {
namespace {

constexpr double SemicirclesPerHalfTurn = 2147483648.0; // 2^31
constexpr std::int64_t DayZeroJulian = 2447892;          // 1989-12-31
constexpr std::int64_t SecondsPerDay = 86400;

std::uint32_t readU32le(ByteView data, std::size_t offset)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(readU8(data, offset + i)) << (8 * i);
    return v;
}

std::uint64_t readU64le(ByteView data, std::size_t offset)
{
    return static_cast<std::uint64_t>(readU32le(data, offset))
        | (static_cast<std::uint64_t>(readU32le(data, offset + 4)) << 32);
}

void appendU32le(QByteArray& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

std::uint8_t readU8(ByteView data, std::size_t offset)
{
    return offset < data.size() ? data[offset] : 0;
}

std::uint16_t readU16le(ByteView data, std::size_t offset)
{
    return static_cast<std::uint16_t>(readU8(data, offset) | (readU8(data, offset + 1) << 8));
}

std::int16_t readI16le(ByteView data, std::size_t offset)
{
    return static_cast<std::int16_t>(readU16le(data, offset));
}

std::int32_t readI32le(ByteView data, std::size_t offset)
{
    return static_cast<std::int32_t>(readU32le(data, offset));
}

float readF32le(ByteView data, std::size_t offset)
{
    return std::bit_cast<float>(readU32le(data, offset));
}

double readF64le(ByteView data, std::size_t offset)
{
    return std::bit_cast<double>(readU64le(data, offset));
}

void appendU8(QByteArray& out, std::uint8_t v)
{
    out.append(static_cast<char>(v));
}

void appendI16le(QByteArray& out, std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    out.append(static_cast<char>(u & 0xFF));
    out.append(static_cast<char>(u >> 8));
}

void appendI32le(QByteArray& out, std::int32_t v)
{
    appendU32le(out, static_cast<std::uint32_t>(v));
}

void appendF32le(QByteArray& out, float v)
{
    appendU32le(out, std::bit_cast<std::uint32_t>(v));
}

void appendF64le(QByteArray& out, double v)
{
    const auto u = std::bit_cast<std::uint64_t>(v);
    appendU32le(out, static_cast<std::uint32_t>(u & 0xFFFFFFFFu));
    appendU32le(out, static_cast<std::uint32_t>(u >> 32));
}

double semicirclesToDegrees(std::int32_t semicircles)
{
    return semicircles * (180.0 / SemicirclesPerHalfTurn);
}

std::int32_t degreesToSemicircles(double degrees)
{
    if (!std::isfinite(degrees))
        return 0;
    // Default rounding mode rounds halves to even.
    const double rounded = std::nearbyint(degrees * (SemicirclesPerHalfTurn / 180.0));
    const double turn = 2.0 * SemicirclesPerHalfTurn;
    double wrapped = std::fmod(rounded, turn);
    if (wrapped >= SemicirclesPerHalfTurn)
        wrapped -= turn;
    else if (wrapped < -SemicirclesPerHalfTurn)
        wrapped += turn;
    return static_cast<std::int32_t>(wrapped);
}

double radiansToDegrees(double radians)
{
    static const double factor = 180.0 / (4.0 * std::atan(1.0));
    return radians * factor;
}

double degreesToRadians(double degrees)
{
    static const double factor = (4.0 * std::atan(1.0)) / 180.0;
    return degrees * factor;
}

QString textFromBytes(ByteView data)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
}

QString textUntilNul(ByteView data)
{
    std::size_t n = 0;
    while (n < data.size() && data[n] != 0)
        ++n;
    return textFromBytes(data.first(n));
}

QString fixedText(ByteView data, std::size_t offset, std::size_t width)
{
    if (offset >= data.size())
        return {};
    return trimNull(textFromBytes(data.subspan(offset, std::min(width, data.size() - offset))));
}

QString nulTerminatedText(ByteView data, std::size_t& offset)
{
    if (offset >= data.size())
        return {};
    const QString text = textUntilNul(data.subspan(offset));
    offset += static_cast<std::size_t>(text.size()) + 1;
    return text;
}

void appendFixedText(QByteArray& out, const QString& text, int width)
{
    QByteArray field = text.toLatin1().left(width);
    field.append(width - field.size(), ' ');
    out.append(field);
}

void appendNulText(QByteArray& out, const QString& text)
{
    QByteArray bytes = text.toLatin1();
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    out.append(bytes);
    out.append('\0');
}

QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

QString trimNull(const QString& text)
{
    const QString trimmed = trimBlanks(text);
    const qsizetype nul = trimmed.indexOf(QChar(0));
    return nul < 0 ? trimmed : trimmed.left(nul);
}

QString trackTimeText(std::int32_t seconds)
{
    // Floor division keeps times before day 0 (never sent by a healthy receiver) well-formed.
    std::int64_t days = seconds / SecondsPerDay;
    std::int64_t rest = seconds % SecondsPerDay;
    if (rest < 0) {
        rest += SecondsPerDay;
        --days;
    }
    const QDate date = QDate::fromJulianDay(DayZeroJulian + days);
    return QStringLiteral("%1/%2/%3-%4:%5:%6")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(rest / 3600, 2, 10, QLatin1Char('0'))
        .arg((rest / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(rest % 60, 2, 10, QLatin1Char('0'));
}

std::optional<std::int32_t> trackTimeSeconds(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^(\d{4})/(\d{2})/(\d{2})-(\d{2}):(\d{2}):(\d{2})$)"));
    const auto m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const int h = m.captured(4).toInt(), min = m.captured(5).toInt(), s = m.captured(6).toInt();
    if (!date.isValid() || h > 23 || min > 59 || s > 59)
        return std::nullopt;
    const std::int64_t total = (date.toJulianDay() - DayZeroJulian) * SecondsPerDay + h * 3600 + min * 60 + s;
    if (total < std::numeric_limits<std::int32_t>::min() || total > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(total);
}

QString hexDump(const QByteArray& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto b = static_cast<std::uint8_t>(c);
        out.append(QLatin1Char(digits[b >> 4]));
        out.append(QLatin1Char(digits[b & 0xF]));
        out.append(QLatin1Char(' '));
    }
    return out;
}

} // namespace navlet
