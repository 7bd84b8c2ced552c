#include "SentenceAssembler.h"

#include <algorithm>

namespace gps {

namespace {
constexpr char CarriageReturn = '\r';
constexpr char LineFeed = '\n';
} // namespace

void SentenceAssembler::feed(std::string_view bytes, Sink& sink)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == CarriageReturn) {
            complete(sink);
            ++i;
        } else if (c == LineFeed) {
            ++i;
        } else {
            // Append the whole run up to the next line end at once.
            std::size_t end = i + 1;
            while (end < bytes.size() && bytes[end] != CarriageReturn && bytes[end] != LineFeed)
                ++end;
            append(bytes.substr(i, end - i), sink);
            i = end;
        }
    }
}

void SentenceAssembler::append(std::string_view run, Sink& sink)
{
    if (m_buffer.capacity() < MaxBufferRX)
        m_buffer.reserve(MaxBufferRX);
    while (!run.empty()) {
        const std::size_t take = std::min(MaxBufferRX - m_buffer.size(), run.size());
        m_buffer.append(run.substr(0, take));
        run.remove_prefix(take);
        if (m_buffer.size() == MaxBufferRX) {
            m_buffer.clear();
            sink.debugText(OverflowText, {});
        }
    }
}

void SentenceAssembler::complete(Sink& sink)
{
    if (m_buffer.empty())
        return;
    sink.debugText(RxText, m_buffer);
    const std::size_t first = m_buffer.find_first_not_of(' ');
    std::string_view trimmed;
    if (first != std::string::npos) {
        const std::size_t last = m_buffer.find_last_not_of(' ');
        trimmed = std::string_view(m_buffer).substr(first, last - first + 1);
    }
    sink.sentence(trimmed);
    m_buffer.clear();
}

} // namespace gps
