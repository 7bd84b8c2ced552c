#!/usr/bin/env python3
"""Writes the Monaco sample survey beside this script: a loop through Monte-Carlo, east along
Avenue d'Ostende, up Avenue de Monte-Carlo to the Casino, and back down Avenue de la Costa,
where the shipped OpenStreetMap extract (monaco/) draws the streets without any network.

  monaco-summary.txt   wi-scan text summary with extensions (Windows-1252, CR LF)

The corners follow the streets of the extract. It reuses the names, vendors, signals and flags
of make-sample.py; standard library only, and the fixed seed makes every run write the same bytes.
"""
import importlib.util
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
_spec = importlib.util.spec_from_file_location("make_sample", os.path.join(HERE, "make-sample.py"))
sample = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(sample)

ROUTE = [
    (43.73690, 7.42175),  # Avenue d'Ostende, at the Sainte-Devote roundabout
    (43.73702, 7.42212),
    (43.73716, 7.42314),
    (43.73735, 7.42401),
    (43.73749, 7.42510),
    (43.73778, 7.42598),
    (43.73787, 7.42651),  # Avenue de Monte-Carlo
    (43.73791, 7.42691),
    (43.73815, 7.42760),
    (43.73860, 7.42787),
    (43.73949, 7.42717),
    (43.73971, 7.42729),  # Casino
    (43.73971, 7.42514),  # Avenue de la Costa
    (43.73945, 7.42497),
    (43.73885, 7.42461),
    (43.73823, 7.42413),
    (43.73798, 7.42378),
    (43.73779, 7.42322),
    (43.73777, 7.42290),
    (43.73781, 7.42207),
]
NAMES = [
    ("Livebox-{n3}", 14, "other"), ("freebox_{n3}", 8, "other"), ("MonacoTelecom-{n2}", 10, "cisco"),
    ("linksys", 6, "linksys"), ("NETGEAR", 5, "netgear"), ("HotelWiFi", 3, "cisco"),
    ("Casino-Guest", 1, "cisco"), ("Cafe de Paris", 1, "netgear"), ("Yacht-{n2}", 2, "apple"),
    ("default", 4, "dlink"), (None, 5, "other"),
]


def summary_line(ap, rng, points):
    lat, lon = points[ap["point"]]
    lat += rng.uniform(-0.00004, 0.00004)
    lon += rng.uniform(-0.00004, 0.00004)
    signal = sample.dbm(rng, ap["loud"])
    noise = rng.randint(-100, -90)
    sig, noi = signal + 149, noise + 149
    t = sample.START + ap["point"] + rng.randint(0, 3)
    ssid = ap["ssid"] if ap["ssid"] is not None else ""
    return "N %.7f\tE %.7f\t( %s )\t%s\t( %s )\t%02d:%02d:%02d (GMT)\t[ %d %d %d ]\t# ( )\t%s\t%04x\t100" % (
        lat, lon, ssid, "ad-hoc" if ap["adhoc"] else "BSS", ap["mac"], t // 3600, t // 60 % 60, t % 60,
        max(0, sig - noi), sig, noi, sample.flags_for(ap, rng), 1 << ap["channel"])


def main():
    rng = random.Random(20200225)
    sample.ROUTE = ROUTE
    sample.NAMES = NAMES
    points = sample.drive(step_m=6.0)
    aps, used = [], set()
    for n in range(120):
        ssid, vendor = sample.pick_name(rng)
        adhoc = rng.random() < 0.03
        aps.append({"ssid": ssid, "mac": sample.new_mac(rng, vendor, used), "adhoc": adhoc,
                    "wep": rng.random() < 0.7, "channel": rng.choice([1, 6, 11]),
                    "point": rng.randrange(len(points)), "loud": n % 40 == 3})
    lines = [
        "# $Creator: Network Stumbler Version 0.4.0",
        "# $Format: wi-scan summary with extensions",
        "# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime (GMT)\t[ SNR Sig Noise ]\t"
        "# ( Name )\tFlags\tChannelbits\tBcnIntvl",
        "# $DateGMT: 2020-02-25",
    ]
    lines += [summary_line(ap, rng, points) for ap in sorted(aps, key=lambda a: a["point"])]
    with open(os.path.join(HERE, "monaco-summary.txt"), "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()
