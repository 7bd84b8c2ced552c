#!/usr/bin/env python3
"""Writes the sample surveys beside this script: a drive through San Francisco's Mission
District (Valencia St south to 24th St, east to Potrero Ave, north to 16th St and back west).

  sample-summary.txt   wi-scan text summary with extensions (Windows-1252, CR LF)
  kismet-sample.csv    Kismet network log, 38-column layout of 2005 and later (LF)
  kismet-sample.gps    its GPS log companion (XML)

Standard library only; the fixed seed makes every run write the same bytes.
"""
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
START = 12 * 3600 + 30 * 60          # 12:30:00 GMT
EPOCH_START = 1118493000             # Sat Jun 11 12:30:00 2005 GMT

# Street corners along the drive (decimal degrees).
ROUTE = [
    (37.76815, -122.42211),  # Valencia & 14th
    (37.76497, -122.42181),  # Valencia & 16th
    (37.75224, -122.42065),  # Valencia & 24th
    (37.75237, -122.41843),  # Mission & 24th
    (37.75260, -122.41427),  # Folsom & 24th
    (37.75294, -122.40652),  # Potrero & 24th
    (37.76573, -122.40763),  # Potrero & 16th
    (37.76535, -122.41525),  # Folsom & 16th
    (37.76509, -122.41964),  # Mission & 16th
    (37.76497, -122.42181),  # Valencia & 16th
]

# (SSID, weight, vendor). None as SSID: a blank name.
NAMES = [
    ("linksys", 18, "linksys"), ("default", 10, "dlink"), ("NETGEAR", 8, "netgear"),
    ("dlink", 4, "dlink"), ("WLAN", 3, "other"), ("2WIRE{n3}", 6, "2wire"), ("belkin54g", 3, "belkin"),
    ("Wireless", 3, "other"), ("SpeedStream", 2, "other"), ("tsunami", 1, "cisco"),
    ("hpsetup", 2, "hp"), ("homenet", 2, "linksys"), ("HOME", 2, "netgear"), ("apt{n1}b", 2, "linksys"),
    ("The Lopez Family", 1, "netgear"), ("garcia", 1, "linksys"), ("smith-home", 1, "dlink"),
    ("casa", 1, "linksys"), ("Ritual Roasters", 1, "cisco"), ("Dolores Park Cafe", 1, "netgear"),
    ("MissionMesh", 1, "other"), ("upstairs", 1, "apple"), ("frodo", 1, "apple"), ("valencia-{n2}", 2, "linksys"),
    (None, 7, "other"),
]
OUIS = {
    "linksys": ["00:06:25", "00:0c:41", "00:12:17", "00:13:10"],
    "netgear": ["00:09:5b", "00:0f:b5", "00:14:6c"],
    "dlink": ["00:0d:88", "00:11:95", "00:13:46"],
    "2wire": ["00:12:88", "00:18:3f"],
    "belkin": ["00:11:50", "00:30:bd"],
    "cisco": ["00:40:96", "00:0b:85"],
    "apple": ["00:0a:95", "00:11:24"],
    "hp": ["02:00:3a", "02:1a:2b"],
    "other": ["00:02:2d", "00:20:a6", "00:0f:66", "00:07:cb"],
}
# SSIDs anyone nearby can choose, and names in the Windows code page.
SPECIAL = ['<script>alert(1)</script>', 'Joe\'s "Fast" Net', 'Caf\u00e9 de la Paz', '\u20acuro-Net']


def drive(step_m=9.0):
    """One GPS fix per second at about 32 km/h along the route."""
    points = []
    for (a_lat, a_lon), (b_lat, b_lon) in zip(ROUTE, ROUTE[1:]):
        dy = (b_lat - a_lat) * 111_320
        dx = (b_lon - a_lon) * 111_320 * math.cos(math.radians(a_lat))
        steps = max(1, int(math.hypot(dx, dy) / step_m))
        for i in range(steps):
            t = i / steps
            points.append((a_lat + (b_lat - a_lat) * t, a_lon + (b_lon - a_lon) * t))
    return points


def pick_name(rng):
    entry = rng.choices(NAMES, weights=[w for _, w, _ in NAMES])[0]
    ssid, _, vendor = entry
    if ssid is not None:
        ssid = ssid.format(n1=rng.randint(1, 9), n2=rng.randint(10, 99), n3=rng.randint(100, 999))
    return ssid, vendor


def new_mac(rng, vendor, used):
    while True:
        mac = rng.choice(OUIS[vendor]) + ":" + ":".join("%02x" % rng.randint(0, 255) for _ in range(3))
        if mac not in used:
            used.add(mac)
            return mac


def make_aps(rng, points):
    aps, used = [], set()
    for n in range(310):
        ssid, vendor = pick_name(rng)
        if n in (40, 95, 170, 260):
            ssid, vendor = SPECIAL[(40, 95, 170, 260).index(n)], "other"
        adhoc = vendor == "hp" or rng.random() < 0.04
        aps.append({
            "ssid": ssid, "mac": new_mac(rng, vendor, used), "adhoc": adhoc,
            "wep": rng.random() < (0.2 if adhoc else 0.45), "channel": rng.choice([1, 6, 6, 11, 11, 3, 9]),
            "point": rng.randrange(len(points)), "name": rng.random() < 0.03, "loud": n % 61 == 7,
        })
    return aps


def dbm(rng, loud=False):
    """Strongest signal: most APs are heard weakly from the street, a few from the kerb."""
    if loud:
        return rng.randint(-42, -40)
    return max(-95, min(-40, int(rng.triangular(-96, -40, -78))))


def flags_for(ap, rng):
    preamble = rng.choice(["0", "0", "2", "4"])
    mode = "2" if ap["adhoc"] else "1"
    privacy = "1" if ap["wep"] else "0"
    if preamble == "2":
        privacy = "3" if ap["wep"] else "2"
        preamble = "0"
    return "0" + preamble + privacy + mode


def summary_line(ap, rng, points, nofix):
    lat, lon = points[ap["point"]]
    lat += rng.uniform(-0.00003, 0.00003)
    lon += rng.uniform(-0.00003, 0.00003)
    signal = dbm(rng, ap["loud"])
    noise = rng.randint(-100, -90)
    sig, noi = signal + 149, noise + 149
    t = START + ap["point"] + rng.randint(0, 3)
    position = "N 0.0000000\tE 0.0000000" if nofix else "N %.7f\tW %.7f" % (lat, -lon)
    name = "# ( AP-%s )" % ap["mac"][-5:].replace(":", "") if ap["name"] else "# ( )"
    ssid = ap["ssid"] if ap["ssid"] is not None else rng.choice(["", "   "])
    return "%s\t( %s )\t%s\t( %s )\t%02d:%02d:%02d (GMT)\t[ %d %d %d ]\t%s\t%s\t%04x\t%d" % (
        position, ssid, "ad-hoc" if ap["adhoc"] else "BSS", ap["mac"], t // 3600, t // 60 % 60, t % 60,
        max(0, sig - noi), sig, noi, name, flags_for(ap, rng), 1 << ap["channel"],
        rng.choice([100, 100, 100, 100, 50, 200]))


def write_summary(rng, points, aps):
    lines = [
        "# $Creator: Network Stumbler Version 0.4.0",
        "# $Format: wi-scan summary with extensions",
        "# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime (GMT)\t[ SNR Sig Noise ]\t"
        "# ( Name )\tFlags\tChannelbits\tBcnIntvl",
        "# $DateGMT: 2005-06-11",
    ]
    order = sorted(aps, key=lambda a: a["point"])
    for i, ap in enumerate(order):
        lines.append(summary_line(ap, rng, points, nofix=rng.random() < 0.05))
        if i % 15 == 14:
            # The same AP heard again further on: a repeated MAC, sometimes without a fix.
            again = rng.choice(order[: i + 1])
            lines.append(summary_line(again, rng, points, nofix=rng.random() < 0.3))
        if i == 150:
            lines.append("# $DateGMT: 2005-06-11")
    with open(os.path.join(HERE, "sample-summary.txt"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


KISMET_HEADING = (
    "Network;NetType;ESSID;BSSID;Info;Channel;Cloaked;Encryption;Decrypted;MaxRate;MaxSeenRate;Beacon;"
    "LLC;Data;Crypt;Weak;Total;Carrier;Encoding;FirstTime;LastTime;BestQuality;BestSignal;BestNoise;"
    "GPSMinLat;GPSMinLon;GPSMinAlt;GPSMinSpd;GPSMaxLat;GPSMaxLon;GPSMaxAlt;GPSMaxSpd;"
    "GPSBestLat;GPSBestLon;GPSBestAlt;DataSize;IPType;IP;")


def clock(t):
    return "Sat Jun 11 %02d:%02d:%02d 2005" % (t // 3600, t // 60 % 60, t % 60)


def kismet_line(n, ap, rng, points):
    lat, lon = points[ap["point"]]
    t = START + ap["point"]
    enc = "None" if not ap["wep"] else rng.choice(["WEP", "WPA,PSK,TKIP", "WPA2,WPA,AES-CCM,TKIP", "WEP,WPA,PSK,AES-CCM"])
    ssid = "<no ssid>" if ap["ssid"] is None else ap["ssid"]
    ssid = '"%s"' % ssid.replace('"', '""') if (";" in ssid or '"' in ssid) else ssid
    llc, data = rng.randint(5, 900), rng.randint(0, 300)
    box = (lat - 0.0002, lon - 0.0002, lat + 0.0002, lon + 0.0002)
    return ";".join(str(v) for v in [
        n, "ad-hoc" if ap["adhoc"] else "infrastructure", ssid, ap["mac"].upper(), "", ap["channel"],
        "Yes" if ap["ssid"] is None else "No", enc, "No", "54.0", 540, 25600, llc, data,
        data if ap["wep"] else 0, 0, llc + data, "IEEE 802.11g", "CCK,OFDM",
        clock(t), clock(t + rng.randint(20, 300)),
        0, dbm(rng), -98, "%.6f" % box[0], "%.6f" % box[1], "52.000000", "0.000000",
        "%.6f" % box[2], "%.6f" % box[3], "55.000000", "%.6f" % rng.uniform(5, 25),
        "%.6f" % lat, "%.6f" % lon, "53.000000", 0, "None", "0.0.0.0"]) + ";"


def write_kismet(rng, points, aps):
    # Every kind of network at least once: the odd names, ad-hoc cells, then a random rest.
    must = [a for a in aps if a["ssid"] in SPECIAL] + [a for a in aps if a["adhoc"]][:3]
    rest = rng.sample([a for a in aps if a not in must], 36 - len(must))
    chosen = sorted(must + rest, key=lambda a: a["point"])
    lines = [KISMET_HEADING] + [kismet_line(i + 1, ap, rng, points) for i, ap in enumerate(chosen)]
    with open(os.path.join(HERE, "kismet-sample.csv"), "wb") as f:
        f.write(("\n".join(lines) + "\n").encode("cp1252"))
    gps = ['<?xml version="1.0" encoding="ISO-8859-1"?>',
           '<!DOCTYPE gps-run SYSTEM "http://kismetwireless.net/kismet-gps-2.9.1.dtd">', "",
           '<gps-run gps-version="5" start-time="Sat Jun 11 12:30:00 2005">', "",
           "    <network-file>kismet-sample.network</network-file>"]
    for i in range(0, len(points), 20):
        lat, lon = points[i]
        gps.append('    <gps-point bssid="GP:SD:TR:AC:KL:OG" time-sec="%d" time-usec="0" lat="%.6f" '
                   'lon="%.6f" alt="52.000000" spd="8.900000" heading="0.000000" fix="3" signal="0" noise="0"/>'
                   % (EPOCH_START + i, lat, lon))
    gps.append("</gps-run>")
    with open(os.path.join(HERE, "kismet-sample.gps"), "w", newline="\n") as f:
        f.write("\n".join(gps) + "\n")


def main():
    rng = random.Random(20050611)
    points = drive()
    aps = make_aps(rng, points)
    write_summary(rng, points, aps)
    write_kismet(rng, points, aps)


if __name__ == "__main__":
    main()
