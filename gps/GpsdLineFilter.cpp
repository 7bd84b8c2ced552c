#include "GpsdLineFilter.h"

namespace gps {

void GpsdLineFilter::filter(std::string_view in, std::string& out)
{
    for (const char c : in) {
        if (c == '\n') {
            if (!m_skipping)
                out.push_back('\r');
            m_lineStart = true;
            m_skipping = false;
            continue;
        }
        if (m_lineStart) {
            m_skipping = c == '{';
            m_lineStart = false;
        }
        if (!m_skipping)
            out.push_back(c);
    }
}

void GpsdLineFilter::reset()
{
    m_lineStart = true;
    m_skipping = false;
}

} // namespace gps
