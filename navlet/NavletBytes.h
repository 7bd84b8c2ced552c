#pragma once
// Byte and unit helpers for the receiver's binary records: little-endian reads and writes,
// angle conversions, text fields and the receiver's clock. Decoders use these and never
// shift bytes themselves. Reads outside the data give 0, so a short record cannot crash.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace navlet {

using ByteView = std::span<const std::uint8_t>;

inline ByteView bytesOf(const QByteArray& a)
{
    return {reinterpret_cast<const std::uint8_t*>(a.constData()), static_cast<std::size_t>(a.size())};
}

std::uint8_t readU8(ByteView data, std::size_t offset);
std::int16_t readI16le(ByteView data, std::size_t offset);
std::uint16_t readU16le(ByteView data, std::size_t offset);
std::int32_t readI32le(ByteView data, std::size_t offset);
float readF32le(ByteView data, std::size_t offset);
double readF64le(ByteView data, std::size_t offset);

void appendU8(QByteArray& out, std::uint8_t v);
void appendI16le(QByteArray& out, std::int16_t v);
void appendI32le(QByteArray& out, std::int32_t v);
void appendF32le(QByteArray& out, float v);
void appendF64le(QByteArray& out, double v);

// 2^31 semicircles are 180 degrees.
double semicirclesToDegrees(std::int32_t semicircles);
// Rounded to the nearest semicircle, halves to even; +180 wraps to -180 (the same meridian).
std::int32_t degreesToSemicircles(double degrees);
double radiansToDegrees(double radians);
double degreesToRadians(double degrees);

// One character per byte (the receiver's texts are 8-bit).
QString textFromBytes(ByteView data);
// Text up to the first NUL (or the end).
QString textUntilNul(ByteView data);
// Text of a fixed field of `width` bytes at `offset`, with TrimNull applied.
QString fixedText(ByteView data, std::size_t offset, std::size_t width);
// Reads a NUL-terminated text at `offset` and moves `offset` past its NUL.
QString nulTerminatedText(ByteView data, std::size_t& offset);

// Blank-filled field of exactly `width` bytes; longer text is cut.
void appendFixedText(QByteArray& out, const QString& text, int width);
void appendNulText(QByteArray& out, const QString& text);

// Trims blanks (only blanks) at both ends.
QString trimBlanks(const QString& text);
// Trims blanks at both ends, then keeps the part before the first NUL.
QString trimNull(const QString& text);

// The receiver's clock counts seconds since 1989-12-31 00:00 (no time zone).
// Text form: "yyyy/MM/dd-hh:mm:ss".
QString trackTimeText(std::int32_t seconds);
std::optional<std::int32_t> trackTimeSeconds(const QString& text);

// Each byte as two upper-case hex digits followed by a blank.
QString hexDump(const QByteArray& bytes);

} // namespace navlet
