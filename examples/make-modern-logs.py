#!/usr/bin/env python3
"""Writes small survey logs of today's networks in every format the program reads: WEP, WPA3,
OWE and enterprise networks, a hidden one, 5 and 6 GHz channels, a name that is not UTF-8 and
one Kismet wrote escaped. The golden import tests (app/survey/tests) read them and hold the
same facts.

Usage: make-modern-logs.py [OUT_DIR]   (default app/survey/tests/data)
"""
import gzip
import json
import os
import sqlite3
import sys

OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "app", "survey",
                                                             "tests", "data")
T0 = 1781181000   # 2026-06-11 12:30:00 UTC

# mac, name bytes, security, channel, frequency MHz
NETS = [
    ("00:14:6C:00:00:01", b"OldCafe", "wep", 6, 2437),
    ("00:14:6C:00:00:02", b"Home6", "wpa3", 37, 6135),
    ("00:14:6C:00:00:03", b"FreeOWE", "owe", 36, 5180),
    ("00:14:6C:00:00:04", b"Corp", "eap", 149, 5745),
    ("00:14:6C:00:00:05", b"", "wpa2", 11, 2462),
    ("00:14:6C:00:00:06", b"Caf\xe9", "wpa2", 1, 2412),          # Windows-1252, not UTF-8
    ("00:14:6C:00:00:07", "Café".encode(), "open", 6, 2437),    # Kismet writes it escaped
]
WIGLE_AUTH = {"wep": "[WEP][ESS]", "wpa3": "[WPA3-SAE-CCMP][ESS]", "owe": "[OWE][ESS]",
              "eap": "[WPA2-EAP-CCMP][ESS]", "wpa2": "[WPA2-PSK-CCMP][ESS]", "open": "[ESS]"}
NETXML_CRYPT = {"wep": ["WEP"], "wpa3": ["WPA+SAE"], "owe": ["OWE"], "eap": ["WPA+PEAP", "WPA+AES-CCM"],
                "wpa2": ["WPA+PSK", "WPA+AES-CCM"], "open": ["None"]}
KISMET_CRYPT = {"wep": "WEP", "wpa3": "WPA3-SAE", "owe": "OWE", "eap": "WPA2-EAP", "wpa2": "WPA2-PSK",
                "open": "Open"}


def escaped(name, always=False):
    """Kismet's \\ooo escapes of bytes outside printable ASCII."""
    return "".join(chr(b) if 32 <= b < 127 and b != 92 else "\\%03o" % b for b in name)


def when(i, fmt):
    import time
    return time.strftime(fmt, time.gmtime(T0 + i))


def wigle(path):
    lines = ["WigleWifi-1.6,appRelease=2.70,model=Pixel 7,release=14,device=panther,display=x,board=x,"
             "brand=google,star=Sol,body=3,subBody=0",
             "MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,"
             "AltitudeMeters,AccuracyMeters,RCOIs,MfgrId,Type"]
    out = "\n".join(lines).encode() + b"\n"
    for i, (mac, name, sec, ch, f) in enumerate(NETS):
        ssid = escaped(name).encode() if i == 6 else name   # the last as Kismet's wiglecsv writes it
        out += b"%s,%s,%s,%s,%d,%d,%d,%.7f,%.7f,15,8,,,WIFI\n" % (
            mac.lower().encode(), ssid, WIGLE_AUTH[sec].encode(), when(i, "%Y-%m-%d %H:%M:%S").encode(), ch, f,
            -50 - i, 37.76 + i / 1000, -122.42 - i / 1000)
    open(path, "wb").write(out)


def netxml(path):
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<detection-run kismet-version="2019.04.R1" start-time="Thu Jun 11 12:30:00 2026">']
    for i, (mac, name, sec, ch, f) in enumerate(NETS):
        t = when(i, "%a %b %d %H:%M:%S %Y")
        crypt = "".join("<encryption>%s</encryption>" % c for c in NETXML_CRYPT[sec])
        cloaked = "true" if not name else "false"
        out.append('<wireless-network number="%d" type="infrastructure" first-time="%s" last-time="%s">'
                   '<SSID>%s<essid cloaked="%s">%s</essid></SSID><BSSID>%s</BSSID><channel>%d</channel>'
                   '<freqmhz>%d 40</freqmhz><snr-info><max_signal_dbm>%d</max_signal_dbm></snr-info>'
                   '<gps-info><peak-lat>%.7f</peak-lat><peak-lon>%.7f</peak-lon></gps-info></wireless-network>'
                   % (i + 1, t, t, crypt, cloaked, escaped(name), mac, ch, f, -50 - i, 37.76 + i / 1000,
                      -122.42 - i / 1000))
    out.append("</detection-run>")
    open(path, "w").write("\n".join(out) + "\n")


def kismetdb(path):
    if os.path.exists(path):
        os.remove(path)
    db = sqlite3.connect(path)
    db.executescript("""
        CREATE TABLE devices (first_time INT, last_time INT, devkey TEXT, phyname TEXT, devmac TEXT,
            strongest_signal INT, min_lat REAL, min_lon REAL, max_lat REAL, max_lon REAL,
            avg_lat REAL, avg_lon REAL, bytes_data INT, type TEXT, device BLOB);
    """)
    for i, (mac, name, sec, ch, f) in enumerate(NETS):
        ssid = name.decode("cp1252") if i == 5 else name.decode()
        lat, lon = 37.76 + i / 1000, -122.42 - i / 1000
        device = {
            "kismet.device.base.macaddr": mac, "kismet.device.base.phyname": "IEEE802.11",
            "kismet.device.base.name": ssid, "kismet.device.base.type": "Wi-Fi AP",
            "kismet.device.base.crypt": KISMET_CRYPT[sec], "kismet.device.base.channel": str(ch),
            "kismet.device.base.frequency": f * 1000,
            "kismet.device.base.signal": {"kismet.common.signal.max_signal": -50 - i,
                                          "kismet.common.signal.peak_loc": {
                                              "kismet.common.location.geopoint": [lon, lat]}},
            "dot11.device": {"dot11.device.last_beaconed_ssid_record": {
                "dot11.advertisedssid.ssid": ssid, "dot11.advertisedssid.cloaked": 0 if ssid else 1}},
        }
        db.execute("INSERT INTO devices VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                   (T0 + i, T0 + 600, "k" + mac, "IEEE802.11", mac, -50 - i, 0, 0, 0, 0, 0, 0, 0, "Wi-Fi AP",
                    json.dumps(device, ensure_ascii=False).encode()))
    db.commit()
    db.close()


def summary(path):
    """The text summary knows 2.4 GHz channel bits, privacy and Windows-1252 names only."""
    out = [b"# $Creator: Network Stumbler Version 0.4.0", b"# $Format: wi-scan summary with extensions",
           b"# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime (GMT)\t[ SNR Sig Noise ]\t# ( Name )\tFlags"
           b"\tChannelbits\tBcnIntvl", b"# $DateGMT: 2026-06-11"]
    for i, (mac, name, sec, ch, f) in enumerate(NETS):
        if ch > 14 or i == 6:
            continue
        flags = b"0001" if sec == "open" else b"0011"
        out.append(b"N %.7f\tW %.7f\t( %s )\tBSS\t( %s )\t%s (GMT)\t[ 40 %d 54 ]\t# ( )\t%s\t%04x\t100" % (
            37.76 + i / 1000, 122.42 + i / 1000, name, mac.lower().encode(), when(i, "%H:%M:%S").encode(),
            99 - i, flags, 1 << ch))
    open(path, "wb").write(b"\r\n".join(out) + b"\r\n")


def kismetcsv(path):
    head = ("Network;NetType;ESSID;BSSID;Info;Channel;Cloaked;Encryption;Decrypted;MaxRate;MaxSeenRate;Beacon;"
            "LLC;Data;Crypt;Weak;Total;Carrier;Encoding;FirstTime;LastTime;BestQuality;BestSignal;BestNoise;"
            "GPSMinLat;GPSMinLon;GPSMinAlt;GPSMinSpd;GPSMaxLat;GPSMaxLon;GPSMaxAlt;GPSMaxSpd;GPSBestLat;"
            "GPSBestLon;GPSBestAlt;DataSize;IPType;IP;")
    crypt = {"wep": "WEP", "wpa3": "WPA,SAE", "owe": "OWE", "eap": "WPA,PEAP", "wpa2": "WPA,AES-CCM",
             "open": "None"}
    out = [head.encode()]
    for i, (mac, name, sec, ch, f) in enumerate(NETS):
        t = when(i, "%a %b %d %H:%M:%S %Y").encode()
        out.append(b"%d;infrastructure;%s;%s;;%d;%s;\"%s\";No;54.0;0;10;0;0;0;0;10;IEEE 802.11g;;%s;%s;0;%d;0;"
                   b"0;0;0;0;0;0;0;0;0;0;0;0;None;0.0.0.0;" % (
                       i + 1, name if name else b"<no ssid>", mac.encode(), ch, b"Yes" if not name else b"No",
                       crypt[sec].encode(), t, t, -50 - i))
    open(path, "wb").write(b"\n".join(out) + b"\n")
    open(path[:-4] + ".gps", "w").write("<gps-run/>\n")


def main():
    os.makedirs(OUT, exist_ok=True)
    wigle(os.path.join(OUT, "modern-wigle.csv"))
    with open(os.path.join(OUT, "modern-wigle.csv"), "rb") as f:   # as the WiGLE app writes its runs
        with gzip.GzipFile(os.path.join(OUT, "modern-wigle.csv.gz"), "wb", mtime=0) as z:
            z.write(f.read())
    netxml(os.path.join(OUT, "modern.netxml"))
    kismetdb(os.path.join(OUT, "modern.kismet"))
    summary(os.path.join(OUT, "modern-summary.txt"))
    kismetcsv(os.path.join(OUT, "modern-kismet.csv"))


if __name__ == "__main__":
    main()
