#pragma once
// Field-level rules every NMEA decoder of the control shares: the field scanner, the lenient
// number reader, the time layout and the optional "*hh" checksum. Pure text in, values out.
#include <cstddef>
#include <string>
#include <string_view>

namespace gps {

// Reads the comma-separated fields of one sentence, starting just after "$GPxxx,".
// A field is cut after 16 characters and the character after the cut is skipped as if it were
// the comma: receivers never send longer fields, and the control has always read them this way.
class FieldScanner {
public:
    static constexpr std::size_t FirstFieldPosition = 8;  // 1-based: after the six-character tag and its comma
    static constexpr std::size_t MaxFieldLength = 16;

    explicit FieldScanner(std::string_view sentence) : m_sentence(sentence) {}

    // The next field; fields past the end of the sentence read as empty.
    std::string_view LeerCampo();

    // 1-based index of the next character to read (past the end once the fields run out).
    std::size_t position() const { return m_position; }

private:
    std::string_view m_sentence;
    std::size_t m_position = FirstFieldPosition;
};

// Value of the longest leading decimal number of `text` (optional sign, digits, one "."),
// skipping blanks anywhere in it; 0 when the text does not begin with a number.
double ValorNumerico(std::string_view text);

// "hh:mm:ss" from the first six characters of a time field: "123519.00" -> "12:35:19", "" -> "::".
std::string FormatoHora(std::string_view timeField);

enum class Checksum { Absent, Matches, Mismatch };

// A sentence carries a checksum when its third character from the end is "*"; it matches when
// the two hex digits (either case) equal the XOR of the characters between "$" and "*".
Checksum checkChecksum(std::string_view sentence);

} // namespace gps
