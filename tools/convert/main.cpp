// aeroplotter-convert: survey logs to the program's AP CSV and a KML map, without the window.
// The files are read in the order given, exactly as successive imports of the program fill its
// AP table, and the program's messages go to standard error.
#include "domain/ApCsv.h"
#include "domain/ApMap.h"
#include "domain/ApSymbols.h"
#include "domain/KmlWriter.h"
#include "domain/ProgramFolder.h"
#include "domain/TableImport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <vector>

namespace {

struct Input {
    bool kismet;
    QString path;
};

struct Options {
    std::vector<Input> inputs;
    QString csv, kml;
    bool help = false;
    QString error;
};

const char* Usage =
    "Usage: aeroplotter-convert [--netstumbler FILE | --kismet FILE]... [--csv OUT] [--kml OUT]\n"
    "\n"
    "Reads NetStumbler text summaries and Kismet .csv network logs in the order given, as\n"
    "successive imports of Aeroplotter do (repeated MAC addresses dropped, repeated SSIDs\n"
    "numbered), then writes the AP list as Aeroplotter's CSV and/or as a KML map it opens.\n"
    "A Kismet log needs its .gps log beside it. Exit code 0, or 1 when a file was refused or an\n"
    "import ended in an error (the other files are still converted), 2 for a usage error.\n";

Options parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
            continue;
        }
        const bool known = a == QLatin1String("--netstumbler") || a == QLatin1String("--kismet")
                           || a == QLatin1String("--csv") || a == QLatin1String("--kml");
        if (!known) {
            o.error = QStringLiteral("unknown argument: ") + a;
            return o;
        }
        if (i + 1 >= args.size()) {
            o.error = a + QStringLiteral(" needs a file name");
            return o;
        }
        const QString value = args[++i];
        if (a == QLatin1String("--netstumbler") || a == QLatin1String("--kismet"))
            o.inputs.push_back({a == QLatin1String("--kismet"), value});
        else
            (a == QLatin1String("--csv") ? o.csv : o.kml) = value;
    }
    if (!o.help && o.inputs.empty())
        o.error = QStringLiteral("no input files");
    return o;
}

void say(const QString& text)
{
    std::fprintf(stderr, "aeroplotter-convert: %s\n", qPrintable(text));
}

void report(const aero::AppError& e)
{
    say(QStringLiteral("%1 (error %2)").arg(e.description).arg(e.code));
}

// One file into the table; false when it was refused or its import ended in an error.
bool convert(const Input& in, aero::APList& table)
{
    if (in.kismet) {
        const QString gps = aero::import::kismetGpsLogPath(in.path);
        if (gps.isEmpty() || !QFileInfo(gps).isFile()) {
            say(QString::fromLatin1(aero::import::NoKismetGpsMessage));
            return false;
        }
    }
    QFile file(in.path);
    if (!QFileInfo(in.path).isFile() || !file.open(QIODevice::ReadOnly)) {
        report(aero::AppError(aero::errors::FileNotFound, QStringLiteral("File not found: ") + in.path));
        return false;
    }
    aero::import::TableImportResult result;
    bool refused = false;
    if (in.kismet) {
        const auto k = aero::import::importKismet(table, file);
        refused = k.status == aero::import::KismetStatus::Empty || k.status == aero::import::KismetStatus::BadHeading;
        if (refused)
            say(QString::fromLatin1(aero::import::NotKismetMessage));
        result = k;
    } else {
        const auto s = aero::import::importSummary(table, file);
        refused = s.status != aero::import::SummaryStatus::Ok;
        if (refused)
            say(QString::fromLatin1(aero::import::NotSummaryMessage));
        result = s;
    }
    if (refused)
        return false;
    std::fprintf(stderr, "aeroplotter-convert: %s: %d added, %d repeated MACs dropped, %lld lines skipped\n",
                 qPrintable(in.path), result.added, result.repeatedMacs, static_cast<long long>(result.skippedLines));
    if (result.error) {
        report(*result.error);
        return false;
    }
    return true;
}

bool writeCsv(const QString& path, const aero::APList& table)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    aero::writeApCsv(table, out);
    return out.commit();
}

// The map the program would show after these imports, with its AP symbols from the program's
// folder.
bool writeKml(const QString& path, const aero::APList& table)
{
    QStringList symbols;
    const QDir folder(aero::programFolder());
    for (const QString& file : aero::customSymbolFiles())
        symbols << folder.filePath(file);
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && aero::writeKml(aero::tableMapFile(table, symbols), out) && out.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const Options o = parse(args);
    if (o.help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    if (!o.error.isEmpty()) {
        std::fprintf(stderr, "aeroplotter-convert: %s\n%s", qPrintable(o.error), Usage);
        return 2;
    }
    QCoreApplication app(argc, argv);
    aero::APList table;
    bool ok = true;
    for (const Input& in : o.inputs)
        ok = convert(in, table) && ok;
    if (!o.csv.isEmpty() && !writeCsv(o.csv, table)) {
        std::fprintf(stderr, "aeroplotter-convert: could not write %s\n", qPrintable(o.csv));
        ok = false;
    }
    if (!o.kml.isEmpty() && !writeKml(o.kml, table)) {
        std::fprintf(stderr, "aeroplotter-convert: could not write %s\n", qPrintable(o.kml));
        ok = false;
    }
    return ok ? 0 : 1;
}
