#pragma once
// The one way both survey readers hand out records one at a time: step past lines that are
// not records (comments, blank or skipped lines) until a record or the end.
#include <optional>
#include <type_traits>

namespace aero::import {

template <class Reader>
auto nextRecord(Reader& reader) -> std::optional<std::decay_t<decltype(reader.record())>>
{
    for (;;) {
        switch (reader.step()) {
        case Reader::Step::Record:
            return reader.record();
        case Reader::Step::End:
            return std::nullopt;
        case Reader::Step::Other:
        case Reader::Step::Skipped:
            break;
        }
    }
}

} // namespace aero::import
