#pragma once
// The rules that turn what a survey log wrote into the bounded fields of an Observation, and
// their names in files and lists. Every reader and writer goes through these, so a channel,
// a security class or a time means the same in every format.
#include "domain/Observation.h"

#include <QByteArrayView>
#include <QStringView>

namespace aero {

inline constexpr qsizetype MaxCapabilities = 256;   // longer capability text is cut
inline constexpr qsizetype MaxOriginalSsid = 64;    // an 802.11 name is at most 32 bytes

// A time a log may truly hold: from 1997 (the first 802.11 standard) to the end of 2099;
// anything else is a lie and gives 0 (unknown).
qint64 plausibleTime(qint64 msUtc);

// A channel of 1..233 and a frequency of 2400..7125 MHz (fractions cut), else 0 (unknown).
// They take doubles so that no number of a log reaches an integer it does not fit.
int plausibleChannel(double channel);
int plausibleFrequency(double mhz);
// A signal in dBm that fits any record (|dBm| < 1000), else 0 (unknown).
float plausibleSignal(double dbm);

// The band of a frequency; without one, channels 1-14 are 2.4 GHz and 32-177 5 GHz.
Band bandOf(int channel, int frequencyMHz);
// The channel of a frequency (0 when it is none of the three bands).
int channelOf(int frequencyMHz);
// The centre frequency of a channel in a band (2.4 GHz when the band is unknown and the channel
// is 1-14); 0 when unknown.
int frequencyOf(int channel, Band band);

// The class of a capability text as the survey tools write it: WiGLE's "[WPA2-PSK-CCMP][ESS]",
// Kismet's "WPA+PSK", "WEP", "None", "Open", "OWE", ... The strongest protection named wins,
// except that an enterprise (EAP, 802.1X, MGT) network is Enterprise. "[UNKNOWN]" is unknown.
SecurityClass securityClassOf(QStringView capabilities);

// Whether a class means the network is encrypted (Unknown: no).
bool encryptedClass(SecurityClass security);

// Fixed names for files and lists: "open", "WEP", "WPA", "WPA2", "WPA3", "OWE", "enterprise",
// "unknown"; "2.4 GHz", "5 GHz", "6 GHz", "" (unknown band). The readers of those names give the
// Unknown value for anything else.
QString securityName(SecurityClass security);
SecurityClass securityFromName(QStringView name);
QString bandName(Band band);
Band bandFromName(QStringView name);

// ISO 8601 UTC ("2024-05-03T12:35:19Z"), empty for 0; and back (0 when not a plausible time).
QString isoTime(qint64 msUtc);
qint64 timeFromIso(QStringView text);

// "2024-05-03 12:35:19" or "2024-05-03T12:35:19Z" read as UTC, ms since 1970; 0 when not a
// plausible time. No allocation: it runs once per row of the largest logs.
qint64 timeFromLog(QByteArrayView text);

// The date Kismet writes ("Sat Jun 11 12:30:00 2016", taken as UTC); 0 when not a plausible time.
qint64 timeFromKismet(QByteArrayView text);

// Text of a log: UTF-8, or Windows-1252 when the bytes are not UTF-8 (never U+FFFD).
QString logText(QByteArrayView bytes);
// Kismet writes bytes outside printable ASCII as "\ooo" (octal): decoded to the bytes they stand
// for, then read as logText(). Text without a backslash is returned as it is.
QString kismetText(QByteArrayView bytes);

// Capability text and the name as written, bounded.
QString boundedCapabilities(QString text);
QString boundedSsid(QString text);

} // namespace aero
