#!/usr/bin/env python3
"""Writes small survey logs of the Mission District drive in today's formats, and beside each
the table Aeroplotter must make of it (the .expected file), worked out here independently:

  survey-wigle.csv     WiGLE CSV 1.6 (the WiGLE Android app's layout; UTF-8, LF)
  survey.netxml        Kismet netxml network log (Kismet 2016 layout)
  survey.gpsxml        its GPS log: track points and per-packet points with signal
  survey.kismet        Kismet log database (SQLite, db_version 8 tables)

The formats follow their public descriptions (wigle.net's CSV upload format, Kismet's
documentation of its logs); the networks, addresses and times are made up. Standard library
only, and the same bytes on every run.

  examples/make-survey-logs.py [OUTDIR]     (default: app/domain/tests/data)

.expected: a first line "records observations skipped otherKinds", then one line per AP in
slot order: MAC|SSID|Signal|Latitude|Longitude|Flags|WEP|Mode. The rule: the first sighting
of a MAC keeps its slot, SSID and security; its signal is the strongest observation, its
position that of the strongest observation that has one.
"""
import json
import os
import sqlite3
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "app", "import", "tests", "data")


def flags(encrypted, adhoc):
    return "00" + ("1" if encrypted else "0") + ("2" if adhoc else "1")


class Table:
    """One record per MAC, first sighting first, strongest observation wins."""

    def __init__(self):
        self.order, self.by_mac = [], {}

    def see(self, mac, ssid, signal, lat, lon, encrypted, adhoc):
        mac = mac.upper()
        ssid = ssid.strip() or "BLANK SSID"
        has_pos = lat != 0 or lon != 0
        r = self.by_mac.get(mac)
        if r is None:
            r = dict(mac=mac, ssid=ssid, signal=signal, lat=lat if has_pos else 0.0, lon=lon if has_pos else 0.0,
                     pos_signal=signal if has_pos else None, flags=flags(encrypted, adhoc),
                     wep="1" if encrypted else "0", mode="0" if adhoc else "1")
            self.by_mac[mac] = r
            self.order.append(r)
            return
        if r["ssid"] == "BLANK SSID" and ssid != "BLANK SSID":
            r["ssid"] = ssid
        r["signal"] = max(r["signal"], signal)
        if has_pos and (r["pos_signal"] is None or signal > r["pos_signal"]):
            r["lat"], r["lon"], r["pos_signal"] = lat, lon, signal

    def write(self, path, observations, skipped, other):
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write("%d %d %d %d\n" % (len(self.order), observations, skipped, other))
            for r in self.order:
                f.write("%s|%s|%g|%.7f|%.7f|%s|%s|%s\n" % (r["mac"], r["ssid"], r["signal"], r["lat"], r["lon"],
                                                           r["flags"], r["wep"], r["mode"]))


# The networks of the drive: MAC, SSID, encryption text kind, ad-hoc, base position.
NETS = [
    ("00:14:6c:7e:40:80", "linksys", "open", False, 37.7681500, -122.4221100),
    ("00:0f:66:2a:01:11", "NETGEAR", "wpa2", False, 37.7649700, -122.4218100),
    ("00:18:39:a0:b1:c2", "Café de la Paz", "wpa2", False, 37.7522400, -122.4206500),
    ("00:1a:70:55:66:77", "Joe's, \"Fast\" Net", "wep", False, 37.7523700, -122.4184300),
    ("00:21:29:01:02:03", "", "wpa3", False, 37.7526000, -122.4142700),
    ("02:1a:11:f0:00:01", "laptop-adhoc", "open", True, 37.7529400, -122.4065200),
    ("00:22:6b:10:20:30", "Ritual Roasters", "owe", False, 37.7657300, -122.4076300),
    ("00:24:b2:aa:bb:cc", "corp-eap", "eap", False, 37.7653500, -122.4152500),
]
WIGLE_AUTH = {"open": "[ESS]", "wpa2": "[WPA2-PSK-CCMP][WPS][ESS]", "wep": "[WEP][ESS]",
              "wpa3": "[WPA3-SAE-CCMP][ESS]", "owe": "[OWE][ESS]", "eap": "[WPA2-EAP-CCMP][ESS]"}
WIGLE_AUTH_ADHOC = "[IBSS]"


def csv_field(text):
    if any(c in text for c in ',"\n'):
        return '"' + text.replace('"', '""') + '"'
    return text


def wigle(path_csv, path_expected):
    t = Table()
    rows = []
    observations = skipped = other = 0
    # Three passes along the drive; signals and positions differ per pass.
    for p, (dsig, dpos) in enumerate([(-14, 0.0004), (0, 0.0), (-7, -0.0003)]):
        for i, (mac, ssid, kind, adhoc, lat, lon) in enumerate(NETS):
            if p == 0 and i == 4:
                continue   # the WPA3 network is first seen on the second pass
            sig = -55 - 4 * i + dsig
            la, lo = round(lat + dpos, 7), round(lon - dpos, 7)
            if p == 2 and i == 1:
                la, lo = 0.0, 0.0   # no fix on this sighting
                sig = -40          # strongest, but without a position
            auth = WIGLE_AUTH_ADHOC if adhoc else WIGLE_AUTH[kind]
            rows.append("%s,%s,%s,2026-06-11 12:%02d:%02d,6,2437,%d,%.7f,%.7f,15.0,8.0,,,WIFI" % (
                mac, csv_field(ssid), auth, 30 + p, i, sig, la, lo))
            t.see(mac, ssid, sig, la, lo, kind != "open", adhoc)
            observations += 1
        rows.append("310260_12345_6789%d,T-Mobile,LTE;us,2026-06-11 12:%02d:59,66786,0,-90,37.7600000,-122.4100000,"
                    "15.0,8.0,,,LTE" % (p, 30 + p))
        other += 1
    rows.append("4c:11:ae:00:00:01,Buds,Misc [LE],2026-06-11 12:33:00,0,0,-70,37.7600000,-122.4100000,15.0,8.0,,0x004c,BLE")
    other += 1
    rows.append("00:99:99:99:99:99,short row,[ESS],2026-06-11 12:33:01,6")   # wrong width
    skipped += 1
    rows.append("00:99:99:99:99:98,bad rssi,[ESS],2026-06-11 12:33:02,6,2437,strong,37.76,-122.41,15.0,8.0,,,WIFI")
    skipped += 1
    with open(path_csv, "w", encoding="utf-8", newline="\n") as f:
        f.write("WigleWifi-1.6,appRelease=2.70,model=Pixel 7,release=14,device=panther,display=UQ1A,"
                "board=panther,brand=google,star=Sol,body=3,subBody=0\n")
        f.write("MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,"
                "AltitudeMeters,AccuracyMeters,RCOIs,MfgrId,Type\n")
        f.write("\n".join(rows) + "\n")
    t.write(path_expected, observations, skipped, other)


NETXML_ENC = {"open": ["None"], "wpa2": ["WPA+PSK", "WPA+AES-CCM"], "wep": ["WEP"], "wpa3": ["WPA+AES-CCM"],
              "owe": ["WPA+AES-CCM"], "eap": ["WPA+PEAP", "WPA+AES-CCM"]}


def xml_text(s):
    return s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def netxml(path_netxml, path_gpsxml, path_expected):
    t = Table()
    observations = other = 0
    gps_points = []   # (bssid, lat, lon, signal)
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<!DOCTYPE detection-run SYSTEM "http://kismetwireless.net/kismet-3.1.0.dtd">',
           '<detection-run kismet-version="2016.07.R1" start-time="Sat Jun 11 12:30:00 2016">',
           '<card-source uuid="1b3c2f3e-0000-0000-0000-000000000001"><card-source>wlan0</card-source>'
           '<card-name>wlan0</card-name></card-source>']
    for i, (mac, ssid, kind, adhoc, lat, lon) in enumerate(NETS):
        number = i + 1
        cloaked = ssid == ""
        net_type = "ad-hoc" if adhoc else "infrastructure"
        maxsig = -50 - 3 * i
        peak = (round(lat + 0.0001, 7), round(lon + 0.0001, 7))
        avg = (round(lat, 7), round(lon, 7))
        if i == 6:
            peak = (0.0, 0.0)   # no peak recorded: the average is used
        enc = "".join("<encryption>%s</encryption>" % e for e in NETXML_ENC[kind])
        out.append('<wireless-network number="%d" type="%s" first-time="Sat Jun 11 12:30:%02d 2016" '
                   'last-time="Sat Jun 11 12:40:00 2016">' % (number, net_type, i))
        out.append('<SSID first-time="Sat Jun 11 12:30:00 2016" last-time="Sat Jun 11 12:40:00 2016">'
                   '<type>Beacon</type><max-rate>54.000000</max-rate><packets>40</packets>'
                   '<beaconrate>10</beaconrate>%s<essid cloaked="%s">%s</essid></SSID>'
                   % (enc, "true" if cloaked else "false", xml_text(ssid)))
        out.append('<BSSID>%s</BSSID><manuf>Unknown</manuf><channel>6</channel><freqmhz>2437 40</freqmhz>'
                   '<maxseenrate>54000</maxseenrate><carrier>IEEE 802.11g</carrier><encoding></encoding>'
                   '<packets><LLC>40</LLC><data>0</data><crypt>0</crypt><total>40</total><fragments>0</fragments>'
                   '<retries>0</retries></packets><datasize>0</datasize>' % mac.upper())
        out.append('<snr-info><last_signal_dbm>%d</last_signal_dbm><last_noise_dbm>0</last_noise_dbm>'
                   '<last_signal_rssi>0</last_signal_rssi><last_noise_rssi>0</last_noise_rssi>'
                   '<min_signal_dbm>%d</min_signal_dbm><min_noise_dbm>0</min_noise_dbm>'
                   '<min_signal_rssi>1024</min_signal_rssi><min_noise_rssi>1024</min_noise_rssi>'
                   '<max_signal_dbm>%d</max_signal_dbm><max_noise_dbm>0</max_noise_dbm>'
                   '<max_signal_rssi>0</max_signal_rssi><max_noise_rssi>0</max_noise_rssi></snr-info>'
                   % (maxsig - 10, maxsig - 20, maxsig))
        out.append('<gps-info><min-lat>%.7f</min-lat><min-lon>%.7f</min-lon><min-alt>10</min-alt><min-spd>0</min-spd>'
                   '<max-lat>%.7f</max-lat><max-lon>%.7f</max-lon><max-alt>20</max-alt><max-spd>10</max-spd>'
                   '<peak-lat>%.7f</peak-lat><peak-lon>%.7f</peak-lon><peak-alt>15</peak-alt>'
                   '<avg-lat>%.7f</avg-lat><avg-lon>%.7f</avg-lon><avg-alt>15</avg-alt></gps-info>'
                   % (lat - 0.001, lon - 0.001, lat + 0.001, lon + 0.001, peak[0], peak[1], avg[0], avg[1]))
        if i == 0:   # a client with its own, stronger signal and another place: not the AP's
            out.append('<wireless-client number="1" type="established"><client-mac>00:11:22:33:44:55</client-mac>'
                       '<snr-info><max_signal_dbm>-20</max_signal_dbm></snr-info>'
                       '<gps-info><peak-lat>10.0</peak-lat><peak-lon>10.0</peak-lon></gps-info></wireless-client>')
        out.append('<bsstimestamp>0</bsstimestamp><cdp-device></cdp-device><cdp-portid></cdp-portid></wireless-network>')
        observations += 1
        position = peak if peak != (0.0, 0.0) else avg
        if i in (1, 2):   # per-packet points in the gpsxml: the strongest one places the AP
            pts = [(mac.upper(), round(lat + 0.0002, 7), round(lon - 0.0002, 7), maxsig - 8),
                   (mac.upper(), round(lat - 0.0005, 7), round(lon + 0.0005, 7), maxsig - 1),
                   (mac.upper(), round(lat + 0.0003, 7), round(lon + 0.0003, 7), maxsig - 5)]
            gps_points += pts
            best = max(pts, key=lambda q: q[3])
            position = (best[1], best[2])
        t.see(mac, "" if cloaked else ssid, maxsig, position[0], position[1], kind != "open", adhoc)
    for n, kind in ((9, "probe"), (10, "data")):
        out.append('<wireless-network number="%d" type="%s" first-time="Sat Jun 11 12:31:00 2016" '
                   'last-time="Sat Jun 11 12:31:00 2016"><SSID><type>Probe Response</type>'
                   '<essid cloaked="false">probed-net</essid></SSID><BSSID>00:DE:AD:00:00:%02d</BSSID>'
                   '<gps-info><peak-lat>37.76</peak-lat><peak-lon>-122.41</peak-lon></gps-info></wireless-network>'
                   % (n, kind, n))
        other += 1
    out.append('</detection-run>')
    with open(path_netxml, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")
    with open(path_gpsxml, "w", encoding="utf-8", newline="\n") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<!DOCTYPE gps-run SYSTEM "http://kismetwireless.net/kismet-gps-2.9.1.dtd">\n'
                '<gps-run gps-version="5" start-time="Sat Jun 11 12:30:00 2016">\n'
                '<network-file>survey.netxml</network-file>\n')
        for k in range(5):
            f.write('<gps-point bssid="GP:SD:TR:AC:KL:OG" time-sec="%d" time-usec="0" lat="%.7f" lon="%.7f" '
                    'spd="5.0" heading="180.0" fix="3" alt="15.0" signal_dbm="0" noise_dbm="0"/>\n'
                    % (1465648200 + k, 37.768 - 0.001 * k, -122.422))
        for k, (b, la, lo, s) in enumerate(gps_points):
            f.write('<gps-point bssid="%s" source="%s" time-sec="%d" time-usec="0" lat="%.7f" lon="%.7f" '
                    'spd="5.0" heading="180.0" fix="3" alt="15.0" signal_dbm="%d" noise_dbm="0"/>\n'
                    % (b, b, 1465648300 + k, la, lo, s))
        f.write('</gps-run>\n')
    t.write(path_expected, observations, 0, other)


KISMET_CRYPT = {"open": "Open", "wpa2": "WPA2-PSK", "wep": "WEP", "wpa3": "WPA3-SAE", "owe": "OWE",
                "eap": "WPA2-EAP"}


def kismetdb(path_db, path_expected):
    if os.path.exists(path_db):
        os.remove(path_db)
    db = sqlite3.connect(path_db)
    db.executescript("""
        CREATE TABLE KISMET (kismet_version TEXT, db_version INT, db_module TEXT);
        CREATE TABLE devices (first_time INT, last_time INT, devkey TEXT, phyname TEXT, devmac TEXT,
            strongest_signal INT, min_lat REAL, min_lon REAL, max_lat REAL, max_lon REAL,
            avg_lat REAL, avg_lon REAL, bytes_data INT, type TEXT, device BLOB,
            UNIQUE(phyname, devmac) ON CONFLICT REPLACE);
        CREATE TABLE packets (ts_sec INT, ts_usec INT, phyname TEXT, sourcemac TEXT, destmac TEXT,
            transmac TEXT, frequency REAL, devkey TEXT, lat REAL, lon REAL, alt REAL, speed REAL,
            heading REAL, packet_len INT, signal INT, datasource TEXT, dlt INT, packet BLOB,
            error INT, tags TEXT, datarate REAL, hash INT, packetid INT);
        CREATE TABLE data (ts_sec INT, ts_usec INT, phyname TEXT, devmac TEXT, lat REAL, lon REAL,
            alt REAL, speed REAL, heading REAL, datasource TEXT, type TEXT, json BLOB);
        CREATE TABLE datasources (uuid TEXT, typestring TEXT, definition TEXT, name TEXT, interface TEXT,
            json BLOB, UNIQUE(uuid) ON CONFLICT REPLACE);
        CREATE TABLE alerts (ts_sec INT, ts_usec INT, phyname TEXT, devmac TEXT, lat REAL, lon REAL,
            header TEXT, json BLOB);
        CREATE TABLE messages (ts_sec INT, lat REAL, lon REAL, msgtype TEXT, message TEXT);
        CREATE TABLE snapshots (ts_sec INT, ts_usec INT, lat REAL, lon REAL, snaptype TEXT, json BLOB);
    """)
    db.execute("INSERT INTO KISMET VALUES ('2023.07.R1', 8, 'kismetlog')")
    t = Table()
    observations = other = 0
    ts = 1686486600
    for i, (mac, ssid, kind, adhoc, lat, lon) in enumerate(NETS):
        strongest = -48 - 3 * i
        avg = (round(lat, 7), round(lon, 7))
        dtype = "Wi-Fi Ad-Hoc" if adhoc else "Wi-Fi AP"
        device = {
            "kismet.device.base.key": "4202770D00000000_%s" % mac.replace(":", "").upper(),
            "kismet.device.base.macaddr": mac.upper(),
            "kismet.device.base.phyname": "IEEE802.11",
            "kismet.device.base.name": ssid,
            "kismet.device.base.commonname": ssid or mac.upper(),
            "kismet.device.base.type": dtype,
            "kismet.device.base.crypt": KISMET_CRYPT[kind],
            "kismet.device.base.channel": "6",
            "kismet.device.base.frequency": 2437000,
            "kismet.device.base.signal": {"kismet.common.signal.last_signal": strongest - 6,
                                          "kismet.common.signal.max_signal": strongest,
                                          "kismet.common.signal.type": "dbm"},
            "dot11.device": {
                "dot11.device.typeset": 1,
                "dot11.device.last_beaconed_ssid_record": {
                    "dot11.advertisedssid.ssid": ssid,
                    "dot11.advertisedssid.ssidlen": len(ssid.encode("utf-8")),
                    "dot11.advertisedssid.cloaked": 1 if ssid == "" else 0,
                    "dot11.advertisedssid.crypt_set": 0 if kind == "open" else 16,
                    "dot11.advertisedssid.channel": "6",
                },
                "dot11.device.advertised_ssid_map": [{"dot11.advertisedssid.ssid": ssid}],
                "dot11.device.num_client_aps": 0,
            },
        }
        db.execute("INSERT INTO devices VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                   (ts, ts + 600, device["kismet.device.base.key"], "IEEE802.11", mac.upper(), strongest,
                    lat - 0.001, lon - 0.001, lat + 0.001, lon + 0.001, avg[0], avg[1], 0, dtype,
                    json.dumps(device, ensure_ascii=False).encode("utf-8")))
        observations += 1
        position = avg
        signal = strongest
        if i % 2 == 0:   # located packets for every other AP; the strongest places it
            pts = [(round(lat + 0.0002, 7), round(lon - 0.0001, 7), strongest - 9),
                   (round(lat - 0.0004, 7), round(lon + 0.0004, 7), strongest - 2),
                   (round(lat + 0.0001, 7), round(lon + 0.0002, 7), strongest - 5)]
            for k, (la, lo, s) in enumerate(pts):
                db.execute("INSERT INTO packets VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                           (ts + k, 0, "IEEE802.11", mac.upper(), "FF:FF:FF:FF:FF:FF", mac.upper(), 2437000,
                            "0", la, lo, 15.0, 5.0, 180.0, 120, s, "1b3c2f3e", 127, b"\x80\x00" + bytes(118),
                            0, "", 54.0, 0, k))
            best = max(pts, key=lambda q: q[2])
            position = (best[0], best[1])
            signal = max(signal, best[2])
        # a packet without a location changes nothing
        db.execute("INSERT INTO packets VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                   (ts + 9, 0, "IEEE802.11", mac.upper(), "FF:FF:FF:FF:FF:FF", mac.upper(), 2437000, "0",
                    0, 0, 0, 0, 0, 120, -20, "1b3c2f3e", 127, b"\x80\x00", 0, "", 54.0, 0, 9))
        t.see(mac, ssid, signal, position[0], position[1], kind != "open", adhoc)
    for mac, phy, dtype in (("00:11:22:33:44:55", "IEEE802.11", "Wi-Fi Client"),
                            ("00:11:22:33:44:66", "IEEE802.11", "Wi-Fi Device"),
                            ("4C:11:AE:00:00:01", "Bluetooth", "BTLE"),
                            ("4C:11:AE:00:00:02", "Bluetooth", "BR/EDR")):
        db.execute("INSERT INTO devices VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                   (ts, ts, "0_" + mac, phy, mac, -60, 37.76, -122.41, 37.76, -122.41, 37.76, -122.41, 0, dtype,
                    json.dumps({"kismet.device.base.macaddr": mac, "kismet.device.base.type": dtype}).encode()))
        other += 1
    db.commit()
    db.close()
    t.write(path_expected, observations, 0, other)


def main():
    os.makedirs(OUT, exist_ok=True)
    wigle(os.path.join(OUT, "survey-wigle.csv"), os.path.join(OUT, "survey-wigle.expected"))
    netxml(os.path.join(OUT, "survey.netxml"), os.path.join(OUT, "survey.gpsxml"),
           os.path.join(OUT, "survey-netxml.expected"))
    kismetdb(os.path.join(OUT, "survey.kismet"), os.path.join(OUT, "survey-kismet.expected"))


if __name__ == "__main__":
    main()
