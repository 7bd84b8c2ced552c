#pragma once
// One line of a Kismet network log (.csv), decoded without any I/O.
//
// Fields are separated by ";" and every line, the heading included, ends with one, so a
// line has one more (empty) field than it has columns. A field in double quotes may hold
// ";" ("" stands for one quote); values such as "WPA2,WPA,AES-CCM,TKIP" hold commas.
// Kismet changed its columns several times between 2002 and 2008 (29 to 38 of them), so
// columns are found by their heading name, never by position:
//   Network;NetType;ESSID;BSSID;Info;Channel;Cloaked;Encryption;Decrypted;MaxRate;...
//   1;infrastructure;linksys;00:0C:41:2A:3B:4C;None;6;No;WEP;No;11.0;...
#include "domain/AccessPoint.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

namespace aero::import {

struct KismetColumns {
    int fieldCount = 0;     // fields per line, the empty one after the last ";" included
    int extraEmptyFields = 0;   // empty fields a line may carry past the heading's last column
    int netType = -1;
    int essid = -1;
    int bssid = -1;
    int encryption = -1;    // "Encryption" (2005 on): "None" means open
    int wep = -1;           // "WEP" (before 2005): "No" means open
    int channel = -1, firstTime = -1, lastTime = -1, cloaked = -1;   // optional
    struct Numeric {
        int index;
        QString name;
    };
    std::vector<Numeric> numeric;   // GPS columns that must be empty or a number

    // Name of the first required column the heading lacks; empty when all are there.
    QString missingColumn() const;
};

// Finds the columns by name (case and surrounding blanks ignored).
KismetColumns kismetColumns(QByteArrayView heading);

// Splits a line on ";", honouring double-quoted fields.
std::vector<QByteArray> splitKismetFields(QByteArrayView line);

// Empty (blanks only) or a decimal number such as "-122.419416", "90.000000", "1e-3".
bool isEmptyOrNumber(QByteArrayView field);

enum class KismetLineKind {
    Record,            // the record was filled
    Blank,             // an empty line
    WrongFieldCount,   // more or fewer fields than the heading
    BadNumber,         // a GPS column holds text; `badColumn` names it
};

// First and last seen of the line just parsed (ms since 1970, the logger's clock read as UTC;
// 0 when absent or unreadable).
struct KismetSeen {
    qint64 first = 0;
    qint64 last = 0;
};

KismetLineKind parseKismetLine(QByteArrayView line, const KismetColumns& columns,
                               AccessPoint& record, QString* badColumn = nullptr, KismetSeen* seen = nullptr);

// "Sat Jun 11 12:30:05 2005" (C's ctime layout, the day padded with a blank) as ms since 1970
// UTC; 0 when it is not one.
qint64 kismetTime(QByteArrayView text);

} // namespace aero::import
