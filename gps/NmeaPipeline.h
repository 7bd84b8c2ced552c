#pragma once
// Received bytes to decoded records: the sentence assembler feeding the sentence router.
// Pure: the owner reads its source and feeds the bytes; the sink gets traces and records.
#include "NmeaDecoder.h"
#include "SentenceAssembler.h"

#include <string_view>

namespace gps {

class NmeaPipeline : private SentenceAssembler::Sink {
public:
    explicit NmeaPipeline(NmeaSink& sink) : m_sink(sink) {}

    void feed(std::string_view bytes) { m_assembler.feed(bytes, *this); }

    void setIgnoreValid(bool ignoreValid) { m_state.ignoreValid = ignoreValid; }
    bool ignoreValid() const { return m_state.ignoreValid; }
    void setTalkers(Talkers talkers) { m_state.talkers = talkers; }
    Talkers talkers() const { return m_state.talkers; }
    // Talker of the sentence decoded last (the one an event is being raised for).
    const std::string& talker() const { return m_state.talker; }

    const SentenceAssembler& assembler() const { return m_assembler; }

private:
    void debugText(std::string_view prefix, std::string_view text) override { m_sink.debugText(prefix, text); }
    void sentence(std::string_view trimmed) override
    {
        m_sink.onSentence(trimmed);
        ProcesarSentencia(trimmed, m_state, m_sink);
    }

    NmeaSink& m_sink;
    SentenceAssembler m_assembler;
    RouterState m_state;
};

} // namespace gps
