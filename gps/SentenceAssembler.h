#pragma once
// Turns the received character stream into sentences: a carriage return ends a sentence, line
// feeds are dropped, blanks around a sentence are trimmed. No I/O; the caller feeds what it read.
#include <cstddef>
#include <string>
#include <string_view>

namespace gps {

class SentenceAssembler {
public:
    // Longest text kept without a carriage return; NMEA sentences are at most 82 characters,
    // so anything near this is line noise or a wrong speed and must not grow without bound.
    static constexpr std::size_t MaxBufferRX = 1024;

    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void debugText(std::string_view prefix, std::string_view text) = 0;
        virtual void sentence(std::string_view trimmed) = 0;
    };

    // Handles `bytes` in order: for each completed sentence the sink gets "RX=" with the raw
    // buffer, then the trimmed sentence. Not re-entrant: a sink must not feed from its callbacks.
    void feed(std::string_view bytes, Sink& sink);

    // Characters of the sentence still being assembled.
    const std::string& BufferRX() const { return m_buffer; }

private:
    void append(std::string_view run, Sink& sink);
    void complete(Sink& sink);

    std::string m_buffer;
};

inline constexpr std::string_view RxText = "RX=";
inline constexpr std::string_view OverflowText = "BufferRX excedido: 1024 caracteres sin retorno de carro descartados";

} // namespace gps
