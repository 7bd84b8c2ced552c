// libFuzzer entry: any text as a script line. Parsing never crashes, a command's parameter is
// always a tail of the line, and only lines starting with "$" are commands.
#include "domain/ScriptParser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const aero::ScriptLine parsed = aero::parseScriptLine(line);
    if (parsed.command != aero::ScriptCommand::None && !line.startsWith(QLatin1Char('$')))
        std::abort();
    if (!parsed.parameter.isEmpty() && !line.contains(parsed.parameter))
        std::abort();
    return 0;
}
