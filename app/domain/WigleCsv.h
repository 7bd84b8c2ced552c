#pragma once
// Reads a WiGLE CSV survey (WigleWifi-1.4 to 1.6 and later files with the same heading): the
// WiGLE Android app, Kismet's wiglecsv log and most small wardriving firmwares write it.
//
//   WigleWifi-1.6,appRelease=...,model=...          pre-header (optional for the reader)
//   MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,...,Type
//   one observation per row, UTF-8, fields quoted when they hold commas
//
// Columns are found by name. Rows of other types than WIFI (GSM, LTE, BT, BLE, ...) are counted
// in otherKinds; rows of another width than the heading's, with bad numbers, no MAC, or longer than the line limit
// are counted in skipped. AuthMode "[WPA2-PSK-CCMP][WPS][ESS]": any WEP, WPA (WPA2, WPA3),
// OWE, SAE, 802.1X, EAP or PSK means encrypted; "[IBSS]" means ad-hoc.
#include "domain/SurveyContents.h"

class QIODevice;

namespace aero::import {

SurveyContents readWigleCsv(QIODevice& device, const ReadProgress& progress = {});
SurveyContents readWigleCsv(QByteArrayView bytes, const ReadProgress& progress = {});

// Does the start of a file look like a WiGLE CSV?
bool looksLikeWigleCsv(QByteArrayView head);

// The AuthMode rules above, exposed for the writer and the tests.
bool wigleAuthEncrypted(QByteArrayView authMode);
bool wigleAuthAdHoc(QByteArrayView authMode);

} // namespace aero::import
