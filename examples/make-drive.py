#!/usr/bin/env python3
"""Simulates a survey drive past access points at known positions and writes what the survey
tools would have logged, with the truth beside it, so position estimates can be measured.

Access points stand set back from the streets (inside blocks, beside a highway). A car drives
the street grid; every scan interval the receiver hears each AP whose signal clears the noise
floor. The signal follows a log-distance path-loss model with log-normal shadowing

    RSSI = P0 + offset(AP) - 10 n log10(d / 1 m) + X,   X ~ N(0, sigma)

and the logged position is the true car position plus a slowly wandering GPS error, with now
and then a fix thrown far off (GLITCH). Three
scenarios: a dense town (80 m blocks), a suburb (150 m blocks) and a highway (one straight
road). For each scenario S the files written to OUTDIR are

  S-wigle.csv          WiGLE CSV 1.6: one row per sighting
  S.netxml, S.gpsxml   Kismet netxml with its GPS log (track points and per-packet points)
  S.csv, S.gps, S.gpx  a Kismet .csv network log without positions, its GPS log, and the
                       drive's track as GPX 1.1 (the positions the receiver logged, with times)
  S-truth.csv          MAC,Latitude,Longitude,SetbackM: where each AP really is

Standard library only; the same bytes on every run for the same arguments.

  examples/make-drive.py OUTDIR [--scale F]   (F < 1 drives a smaller area, for tests)
"""
import argparse
import datetime
import math
import os
import random

# The program's Earth: one degree of a great circle is 60 nautical miles of 1.1515 statute miles.
M_PER_DEG = 60 * 1.1515 * 1609.344
ORIGIN = (47.3700000, 8.5400000)
START = datetime.datetime(2026, 6, 11, 10, 0, 0, tzinfo=datetime.timezone.utc)

SCENARIOS = {
    # grid: street spacing (m) and count of streets each way; aps: per block or per km of road
    "town": dict(spacing=80, streets=7, aps_per_block=3, setback=(8, 30), n=3.0, p0=-32, sigma=6.0,
                 speed_kmh=30, scan_s=1.0, gps_sigma=6.0, seed=1),
    "suburb": dict(spacing=150, streets=5, aps_per_block=4, setback=(12, 35), n=2.8, p0=-32, sigma=5.0,
                   speed_kmh=40, scan_s=1.0, gps_sigma=4.0, seed=2),
    "highway": dict(length=6000, aps_per_km=12, setback=(25, 150), n=2.6, p0=-30, sigma=4.0,
                    speed_kmh=100, scan_s=2.0, gps_sigma=3.0, seed=3),
}
FLOOR_DBM = -92
DETECT = 0.9   # share of scans in range that log the AP
GLITCH = 0.02  # share of fixes thrown 60-200 m off


def to_latlon(x, y):
    lat = ORIGIN[0] + y / M_PER_DEG
    lon = ORIGIN[1] + x / (M_PER_DEG * math.cos(math.radians(ORIGIN[0])))
    return lat, lon


def grid_route(spacing, streets):
    """Every street of the grid, driven end to end: east-west streets, then north-south."""
    size = spacing * (streets - 1)
    pts = []
    for i in range(streets):
        y = i * spacing
        pts += [(0, y), (size, y)] if i % 2 == 0 else [(size, y), (0, y)]
    for i in range(streets):
        x = (streets - 1 - i) * spacing
        pts += [(x, size), (x, 0)] if i % 2 == 0 else [(x, 0), (x, size)]
    return pts


def grid_aps(rng, spacing, streets, per_block, setback):
    aps = []
    for bx in range(streets - 1):
        for by in range(streets - 1):
            for _ in range(per_block):
                d = rng.uniform(*setback)
                d = min(d, spacing / 2 - 1)
                # a point at distance d from the nearest street of the block
                side = rng.randrange(4)
                t = rng.uniform(d, spacing - d)
                x0, y0 = bx * spacing, by * spacing
                x, y = [(x0 + t, y0 + d), (x0 + t, y0 + spacing - d), (x0 + d, y0 + t),
                        (x0 + spacing - d, y0 + t)][side]
                aps.append((x, y, d))
    return aps


def highway_aps(rng, length, per_km, setback):
    aps = []
    for _ in range(int(length / 1000 * per_km)):
        d = rng.uniform(*setback)
        aps.append((rng.uniform(0, length), d if rng.random() < 0.5 else -d, d))
    return aps


def drive(route, speed, scan):
    """Car positions every scan interval along the polyline."""
    step = speed * scan
    out, carry = [], 0.0
    for (x1, y1), (x2, y2) in zip(route, route[1:]):
        seg = math.hypot(x2 - x1, y2 - y1)
        s = carry
        while s <= seg:
            f = s / seg if seg else 0.0
            out.append((x1 + f * (x2 - x1), y1 + f * (y2 - y1)))
            s += step
        carry = s - seg
    return out


def mac_of(k, seed):
    return "02:%02X:%02X:%02X:%02X:%02X" % (0x10 + seed, (k >> 16) & 255, (k >> 8) & 255, k & 255, 0x5A)


def simulate(name, p, scale):
    rng = random.Random(p["seed"])
    if "length" in p:
        length = p["length"] * scale
        route = [(0, 0), (length, 0)]
        aps = highway_aps(rng, length, p["aps_per_km"], p["setback"])
    else:
        streets = max(3, round(p["streets"] * scale))
        route = grid_route(p["spacing"], streets)
        aps = grid_aps(rng, p["spacing"], streets, p["aps_per_block"], p["setback"])
    offsets = [rng.gauss(0, 3) for _ in aps]
    scan = p["scan_s"]
    cars = drive(route, p["speed_kmh"] / 3.6, scan)
    fixes, ex, ey = [], 0.0, 0.0
    keep = 0.9   # the GPS error wanders: each fix keeps 90 % of the last one's
    for x, y in cars:
        ex = keep * ex + rng.gauss(0, p["gps_sigma"] * math.sqrt(1 - keep * keep))
        ey = keep * ey + rng.gauss(0, p["gps_sigma"] * math.sqrt(1 - keep * keep))
        jx = jy = 0.0
        if rng.random() < GLITCH:   # a reflected fix between tall buildings, or a cold start
            a, r = rng.uniform(0, 2 * math.pi), rng.uniform(60, 200)
            jx, jy = r * math.cos(a), r * math.sin(a)
        fixes.append((x + ex + jx, y + ey + jy))
    sightings = []   # (scan index, ap index, rssi)
    for i, (x, y) in enumerate(cars):
        for k, (ax, ay, _) in enumerate(aps):
            d = math.hypot(ax - x, ay - y, 3.0)
            rssi = p["p0"] + offsets[k] - 10 * p["n"] * math.log10(d) + rng.gauss(0, p["sigma"])
            if rssi >= FLOOR_DBM and rng.random() < DETECT:
                sightings.append((i, k, int(round(min(rssi, -20)))))
    return aps, fixes, sightings, scan


def stamp(t):
    return START + datetime.timedelta(seconds=t)


def ctime(t):
    return stamp(t).strftime("%a %b %d %H:%M:%S %Y")


def write_all(out, name, p, scale):
    aps, fixes, sightings, scan = simulate(name, p, scale)
    seed = p["seed"]
    macs = [mac_of(k, seed) for k in range(len(aps))]
    ssids = ["%s-%03d" % (name, k) for k in range(len(aps))]
    ll = [to_latlon(x, y) for x, y in fixes]
    base = os.path.join(out, name)
    with open(base + "-truth.csv", "w", newline="\n") as f:
        f.write("MAC,Latitude,Longitude,SetbackM\n")
        for k, (x, y, d) in enumerate(aps):
            lat, lon = to_latlon(x, y)
            f.write("%s,%.7f,%.7f,%.1f\n" % (macs[k], lat, lon, d))
    with open(base + "-wigle.csv", "w", newline="\n") as f:
        f.write("WigleWifi-1.6,appRelease=2.70,model=Simulated,release=14,device=sim,display=sim,"
                "board=sim,brand=sim,star=Sol,body=3,subBody=0\n")
        f.write("MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,"
                "AltitudeMeters,AccuracyMeters,RCOIs,MfgrId,Type\n")
        for i, k, rssi in sightings:
            f.write("%s,%s,[WPA2-PSK-CCMP][ESS],%s,6,2437,%d,%.7f,%.7f,400.0,%.1f,,,WIFI\n" % (
                macs[k], ssids[k], stamp(i * scan).strftime("%Y-%m-%d %H:%M:%S"), rssi, ll[i][0], ll[i][1],
                p["gps_sigma"]))
    per_ap = {}
    for i, k, rssi in sightings:
        per_ap.setdefault(k, []).append((i, rssi))
    with open(base + ".netxml", "w", newline="\n") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<detection-run kismet-version="2016.07.R1" '
                'start-time="%s">\n' % ctime(0))
        for k in sorted(per_ap):
            seen = per_ap[k]
            best = max(seen, key=lambda s: s[1])
            avg = (sum(ll[i][0] for i, _ in seen) / len(seen), sum(ll[i][1] for i, _ in seen) / len(seen))
            f.write('<wireless-network number="%d" type="infrastructure" first-time="%s" last-time="%s">'
                    '<SSID><type>Beacon</type><encryption>WPA+AES-CCM</encryption><essid cloaked="false">%s'
                    '</essid></SSID><BSSID>%s</BSSID><channel>6</channel>'
                    '<snr-info><max_signal_dbm>%d</max_signal_dbm></snr-info>'
                    '<gps-info><peak-lat>%.7f</peak-lat><peak-lon>%.7f</peak-lon>'
                    '<avg-lat>%.7f</avg-lat><avg-lon>%.7f</avg-lon></gps-info></wireless-network>\n'
                    % (k + 1, ctime(seen[0][0] * scan), ctime(seen[-1][0] * scan), ssids[k], macs[k], best[1],
                       ll[best[0]][0], ll[best[0]][1], avg[0], avg[1]))
        f.write("</detection-run>\n")
    epoch = int(START.timestamp())
    with open(base + ".gpsxml", "w", newline="\n") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<gps-run gps-version="5" start-time="%s">\n'
                '<network-file>%s.netxml</network-file>\n' % (ctime(0), name))
        for i, (lat, lon) in enumerate(ll):
            f.write('<gps-point bssid="GP:SD:TR:AC:KL:OG" time-sec="%d" time-usec="0" lat="%.7f" lon="%.7f" '
                    'fix="3" signal_dbm="0"/>\n' % (epoch + int(i * scan), lat, lon))
        for i, k, rssi in sightings:
            f.write('<gps-point bssid="%s" source="%s" time-sec="%d" time-usec="0" lat="%.7f" lon="%.7f" '
                    'fix="3" signal_dbm="%d"/>\n' % (macs[k], macs[k], epoch + int(i * scan), ll[i][0], ll[i][1], rssi))
        f.write("</gps-run>\n")
    with open(base + ".gps", "w", newline="\n") as f:
        f.write('<?xml version="1.0" encoding="ISO-8859-1"?>\n<gps-run gps-version="5" start-time="%s">\n'
                '<network-file>%s.csv</network-file>\n' % (ctime(0), name))
        for i, (lat, lon) in enumerate(ll):
            f.write('<gps-point bssid="GP:SD:TR:AC:KL:OG" time-sec="%d" time-usec="0" lat="%.6f" lon="%.6f" '
                    'alt="400.0" spd="0.0" heading="0.0" fix="3" signal="0" noise="0"/>\n'
                    % (epoch + int(i * scan), lat, lon))
        f.write("</gps-run>\n")
    with open(base + ".gpx", "w", newline="\n") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n<gpx version="1.1" creator="make-drive.py" '
                'xmlns="http://www.topografix.com/GPX/1/1">\n<trk><name>%s</name><trkseg>\n' % name)
        for i, (lat, lon) in enumerate(ll):
            f.write('<trkpt lat="%.7f" lon="%.7f"><time>%s</time></trkpt>\n'
                    % (lat, lon, stamp(i * scan).strftime("%Y-%m-%dT%H:%M:%SZ")))
        f.write("</trkseg></trk>\n</gpx>\n")
    heading = ("Network;NetType;ESSID;BSSID;Info;Channel;Cloaked;Encryption;Decrypted;MaxRate;MaxSeenRate;"
               "Beacon;LLC;Data;Crypt;Weak;Total;Carrier;Encoding;FirstTime;LastTime;BestQuality;BestSignal;"
               "BestNoise;GPSMinLat;GPSMinLon;GPSMinAlt;GPSMinSpd;GPSMaxLat;GPSMaxLon;GPSMaxAlt;GPSMaxSpd;"
               "GPSBestLat;GPSBestLon;GPSBestAlt;DataSize;IPType;IP;")
    with open(base + ".csv", "w", newline="\r\n") as f:
        f.write(heading + "\n")
        for n, k in enumerate(sorted(per_ap)):
            seen = per_ap[k]
            best = max(s[1] for s in seen)
            f.write("%d;infrastructure;%s;%s;;6;No;WPA,AES-CCM;No;54.0;540;25600;%d;0;0;0;%d;IEEE 802.11g;"
                    "CCK,OFDM;%s;%s;0;%d;-98;0.000000;0.000000;0.000000;0.000000;0.000000;0.000000;0.000000;"
                    "0.000000;0.000000;0.000000;0.000000;0;None;0.0.0.0;\n"
                    % (n + 1, ssids[k], macs[k], len(seen), len(seen), ctime(seen[0][0] * scan),
                       ctime(seen[-1][0] * scan), best))
    return len(aps), len(sightings)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("outdir")
    ap.add_argument("--scale", type=float, default=1.0)
    args = ap.parse_args()
    os.makedirs(args.outdir, exist_ok=True)
    for name, p in SCENARIOS.items():
        n, s = write_all(args.outdir, name, p, args.scale)
        print("%s: %d APs, %d sightings" % (name, n, s))


if __name__ == "__main__":
    main()
