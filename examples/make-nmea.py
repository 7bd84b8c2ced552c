#!/usr/bin/env python3
"""Writes sample-drive.nmea beside this script: the sample survey's drive through San
Francisco's Mission District as a receiver reports it once a second (RMC, GGA, GSA and GSV
sentences with their checksums), for trying live GPS with nmea-replay. Standard library only;
the same run always writes the same file."""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
# Valencia St and 16th St, south to 24th St, east to Potrero Ave, north to 16th St, back west.
ROUTE = [(37.76502, -122.42187), (37.75246, -122.42070), (37.75321, -122.40654),
         (37.76582, -122.40776), (37.76502, -122.42187)]
SPEED_KMH = 28.0


def checksum(body):
    x = 0
    for c in body:
        x ^= ord(c)
    return "%02X" % x


def sentence(body):
    return "$%s*%s" % (body, checksum(body))


def ddmm(value, width):
    v = abs(value)
    deg = int(v)
    return "%0*d%07.4f" % (width, deg, (v - deg) * 60)


def points():
    step_km = SPEED_KMH / 3600.0
    for (a_lat, a_lon), (b_lat, b_lon) in zip(ROUTE, ROUTE[1:]):
        dy = (b_lat - a_lat) * 111.2
        dx = (b_lon - a_lon) * 111.2 * math.cos(math.radians(a_lat))
        dist = math.hypot(dx, dy)
        course = (math.degrees(math.atan2(dx, dy)) + 360) % 360
        for i in range(max(1, int(dist / step_km))):
            t = i * step_km / dist
            yield a_lat + (b_lat - a_lat) * t, a_lon + (b_lon - a_lon) * t, course


def main():
    lines = ["# A drive through the Mission District, San Francisco, once a second."]
    for n, (lat, lon, course) in enumerate(points()):
        sec = 12 * 3600 + n
        hms = "%02d%02d%02d" % (sec // 3600, sec // 60 % 60, sec % 60)
        ns, ew = ("N" if lat >= 0 else "S"), ("E" if lon >= 0 else "W")
        knots = SPEED_KMH / 1.852
        lines.append(sentence("GPRMC,%s,A,%s,%s,%s,%s,%05.1f,%05.1f,110605,015.0,E"
                              % (hms, ddmm(lat, 2), ns, ddmm(lon, 3), ew, knots, course)))
        lines.append(sentence("GPGGA,%s,%s,%s,%s,%s,1,07,1.2,18.0,M,-29.0,M,," % (hms, ddmm(lat, 2), ns, ddmm(lon, 3), ew)))
        if n % 5 == 0:
            lines.append(sentence("GPGSA,A,3,04,05,09,12,17,24,26,,,,,,2.1,1.2,1.7"))
            lines.append(sentence("GPGSV,2,1,07,04,45,120,42,05,30,060,38,09,62,300,45,12,15,200,33"))
            lines.append(sentence("GPGSV,2,2,07,17,70,010,47,24,25,250,36,26,10,150,30"))
    with open(os.path.join(HERE, "sample-drive.nmea"), "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
