#include "NmeaFields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

namespace gps {

std::string_view FieldScanner::LeerCampo()
{
    const std::size_t start = m_position;
    std::size_t taken = 0;
    // Past the end the position keeps advancing without a comma, so the 16 steps run out;
    // callers that compare the position with the length rely on that.
    while (taken < MaxFieldLength) {
        if (m_position <= m_sentence.size() && m_sentence[m_position - 1] == ',')
            break;
        ++m_position;
        ++taken;
    }
    ++m_position;
    if (start > m_sentence.size())
        return {};
    return m_sentence.substr(start - 1, std::min(taken, m_sentence.size() - start + 1));
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits and at most one decimal point, blanks removed. Up to 19 significant digits are kept
// as an integer, so the usual field (a few digits and a fraction) converts with one exact
// division; anything longer goes through from_chars, and integer digits beyond the buffer become
// an exponent so an absurdly long field keeps its magnitude.
class NumberText {
public:
    bool add(char c)
    {
        if (c == '.') {
            if (m_dot)
                return false;
            m_dot = true;
        } else {
            m_digits = true;
            if (m_significant < MaxExactDigits) {
                m_mantissa = m_mantissa * 10 + static_cast<std::uint64_t>(c - '0');
                ++m_significant;
                if (m_dot)
                    ++m_fractionDigits;
            }
        }
        if (m_size < m_text.size())
            m_text[m_size++] = c;
        else if (!m_dot)
            ++m_droppedIntegerDigits;
        return true;
    }

    double value() const
    {
        if (!m_digits)
            return 0.0;
        // Both operands exact in a double: the quotient is correctly rounded, as from_chars gives.
        if (m_size == m_significant + (m_dot ? 1 : 0) && m_mantissa <= MaxExactMantissa &&
            m_fractionDigits < PowersOfTen.size())
            return static_cast<double>(m_mantissa) / PowersOfTen[m_fractionDigits];
        return slowValue();
    }

private:
    static constexpr std::size_t MaxExactDigits = 19;
    static constexpr std::uint64_t MaxExactMantissa = std::uint64_t{1} << 53;
    static constexpr std::array<double, 23> PowersOfTen = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

    double slowValue() const
    {
        double v = 0.0;
        const auto [end, ec] = std::from_chars(m_text.data(), m_text.data() + m_size, v, std::chars_format::fixed);
        if (ec == std::errc::result_out_of_range)
            return HUGE_VAL;
        if (ec != std::errc() || end == m_text.data())
            return 0.0;
        return m_droppedIntegerDigits == 0 ? v : v * std::pow(10.0, static_cast<double>(m_droppedIntegerDigits));
    }

    std::array<char, 128> m_text;  // filled up to m_size only
    std::size_t m_size = 0;
    std::size_t m_droppedIntegerDigits = 0;
    std::uint64_t m_mantissa = 0;
    std::size_t m_significant = 0;
    std::size_t m_fractionDigits = 0;
    bool m_dot = false;
    bool m_digits = false;
};

} // namespace

double ValorNumerico(std::string_view text)
{
    NumberText number;
    bool negative = false;
    bool started = false;
    for (const char c : text) {
        if (isBlank(c))
            continue;
        if (!started && (c == '-' || c == '+')) {
            negative = c == '-';
            started = true;
            continue;
        }
        started = true;
        if (!(isDigit(c) || c == '.') || !number.add(c))
            break;
    }
    const double v = number.value();
    return v == 0.0 ? 0.0 : (negative ? -v : v);
}

std::string FormatoHora(std::string_view timeField)
{
    const std::string_view t = timeField.substr(0, std::min<std::size_t>(6, timeField.size()));
    std::string out;
    out.reserve(8);
    out.append(t.substr(0, 2));
    out.push_back(':');
    if (t.size() > 2)
        out.append(t.substr(2, 2));
    out.push_back(':');
    out.append(t.substr(t.size() - std::min<std::size_t>(2, t.size())));
    return out;
}

namespace {

std::optional<unsigned> hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    if (c >= 'A' && c <= 'F')
        return static_cast<unsigned>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return static_cast<unsigned>(c - 'a' + 10);
    return std::nullopt;
}

// XOR of all bytes, eight at a time: every sentence the control decodes passes through here.
unsigned xorOf(std::string_view bytes)
{
    std::uint64_t wide = 0;
    std::size_t i = 0;
    for (; i + sizeof wide <= bytes.size(); i += sizeof wide) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        wide ^= word;
    }
    wide ^= wide >> 32;
    wide ^= wide >> 16;
    wide ^= wide >> 8;
    unsigned sum = static_cast<unsigned>(wide & 0xFF);
    for (; i < bytes.size(); ++i)
        sum ^= static_cast<unsigned char>(bytes[i]);
    return sum;
}

} // namespace

Checksum checkChecksum(std::string_view sentence)
{
    if (sentence.size() < 3 || sentence[sentence.size() - 3] != '*')
        return Checksum::Absent;
    const std::size_t star = sentence.size() - 3;
    const std::size_t first = (!sentence.empty() && sentence.front() == '$') ? 1 : 0;
    const unsigned sum = xorOf(sentence.substr(first, star - first));
    const auto high = hexValue(sentence[star + 1]);
    const auto low = hexValue(sentence[star + 2]);
    if (!high || !low)
        return Checksum::Mismatch;
    return ((*high << 4) | *low) == sum ? Checksum::Matches : Checksum::Mismatch;
}

} // namespace gps
