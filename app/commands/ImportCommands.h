#pragma once
// The Import button's two entries: a text summary (then the lists are refilled and the new
// APs plotted) and a Kismet network log.
#include "ui/AppContext.h"

namespace aero {

namespace import {
struct TableImportResult;
}

void importNetStumbler(AppContext& ctx);
void importKismet(AppContext& ctx);

// Refills lstAP and lstNoGps from the whole table and sets their captions.
void refillPanels(AppContext& ctx);

// After a file was read into the table: it joins the recent logs (not under a script) and the
// status line tells how many APs it added.
void importDone(AppContext& ctx, const QString& path, int added);

// The file an import reads: the script's, or one the user picks under `filter`. False, having said
// why where there is something to say, when there is nothing to read.
bool chooseInputFile(AppContext& ctx, const QString& filter);

// What every survey import tells the user once the file is read. Refused: not one line of the
// file could be read, so it is not a survey of that kind (`notThisKind`, critical). LinesSkipped:
// one message with how many lines of `path` were skipped and the first of them (under a script
// on standard error, and the run's exit code says so); the caller then does not call the import
// complete. Clean: nothing to say.
enum class ImportOutcome { Clean, LinesSkipped, Refused };
ImportOutcome reportImport(AppContext& ctx, const QString& path, const import::TableImportResult& result,
                           const QString& notThisKind);

} // namespace aero
