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

    void setIgnoreValid(bool ignoreValid) { m_ignoreValid = ignoreValid; }
    bool ignoreValid() const { return m_ignoreValid; }

    const SentenceAssembler& assembler() const { return m_assembler; }

private:
    void debugText(std::string_view prefix, std::string_view text) override { m_sink.debugText(prefix, text); }
    void sentence(std::string_view trimmed) override { ProcesarSentencia(trimmed, m_ignoreValid, m_sink); }

    NmeaSink& m_sink;
    SentenceAssembler m_assembler;
    bool m_ignoreValid = false;
};

} // namespace gps
