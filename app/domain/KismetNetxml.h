#pragma once
// Reads a Kismet netxml network log (Kismet 2009-2019; airodump-ng writes the same shape),
// streamed with QXmlStreamReader so a large log is never held whole.
//
//   <detection-run> <wireless-network type="infrastructure"> <SSID> <encryption>WPA+PSK</encryption>
//   <essid cloaked="false">name</essid> </SSID> <BSSID>..</BSSID> <snr-info><max_signal_dbm>..
//   <gps-info><peak-lat>.. <avg-lat>.. </gps-info> <wireless-client>..</wireless-client> ...
//
// Infrastructure networks are BSS, ad-hoc networks IBSS. Probe and data networks are clients,
// not access points: their SSID is the one a client asked for and their position the client's,
// so they are counted in otherKinds and left out. Encrypted when any <encryption> of the
// network is other than "None". Position: gps-info's peak (where the signal was strongest),
// else its average. A .gpsxml log, when given, replaces it with the position of the strongest
// gps-point of that BSSID.
#include "domain/SurveyContents.h"

class QIODevice;

namespace aero::import {

SurveyContents readKismetNetxml(QIODevice& netxml, QIODevice* gpsxml = nullptr, const ReadProgress& progress = {});

// Strongest-signal position per BSSID from a .gpsxml log (upper-cased MAC -> point).
struct GpsxmlPoint {
    double lat = 0, lon = 0;
    float signal = 0;
};
struct GpsxmlContents {
    SurveyStatus status = SurveyStatus::Ok;
    QString detail;
    QHash<QString, GpsxmlPoint> strongest;
    QHash<QString, SightingSample> located;   // every located point per BSSID, bounded
    qint64 points = 0;
};
GpsxmlContents readKismetGpsxml(QIODevice& gpsxml, const ReadProgress& progress = {});

// The .gpsxml beside a .netxml: the same name with the other extension; empty if none exists.
QString gpsxmlBeside(const QString& netxmlPath);

bool looksLikeKismetNetxml(QByteArrayView head);

} // namespace aero::import
