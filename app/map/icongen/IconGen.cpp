// Draws the program's nine AP symbol files:
//   O1.ico .. O4.ico  open networks: a green circle, filled from the bottom by signal band
//   W1.ico .. W4.ico  encrypted networks: a red diamond with a padlock bar, filled the same way
//   Stumbler.bmp      the live-position mark: a blue arrow on a magenta background that the map
//                     keys out (bitmaps carry no alpha)
// Each icon holds a 16 and a 32 pixel image. Usage: aero_icongen <output folder>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

enum class Kind { Open, Encrypted };

QPainterPath outline(Kind kind, double s)
{
    QPainterPath p;
    const double m = s * 0.06;
    if (kind == Kind::Open) {
        p.addEllipse(QRectF(m, m, s - 2 * m, s - 2 * m));
    } else {
        p.moveTo(s / 2, m);
        p.lineTo(s - m, s / 2);
        p.lineTo(s / 2, s - m);
        p.lineTo(m, s / 2);
        p.closeSubpath();
    }
    return p;
}

QImage drawIcon(Kind kind, int band, int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QColor strong = kind == Kind::Open ? QColor(20, 160, 40) : QColor(210, 25, 25);
    const QPainterPath shape = outline(kind, s);
    p.fillPath(shape, Qt::white);
    // The fill rises with the signal band. The diamond is narrow at the top, so its level
    // is set by area (a quarter of the diamond per band) to keep the steps equally plain.
    const double share = band / 4.0;
    const double height = kind == Kind::Open ? share
                          : share <= 0.5     ? std::sqrt(share / 2.0)
                                             : 1.0 - std::sqrt((1.0 - share) / 2.0);
    const double level = s * (1.0 - height);
    p.save();
    p.setClipPath(shape);
    p.fillRect(QRectF(0, level, s, s - level), strong);
    p.restore();
    p.setPen(QPen(strong.darker(160), std::max(1.0, s / 14.0)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    if (kind == Kind::Encrypted) {
        // A padlock shackle across the top half, so the two kinds differ without colour too.
        // Outline only, so the fill level still shows through it.
        p.setPen(QPen(Qt::black, std::max(1.0, s / 14.0)));
        p.drawArc(QRectF(s * 0.37, s * 0.2, s * 0.26, s * 0.3), 0, 180 * 16);
        p.drawRect(QRectF(s * 0.32, s * 0.36, s * 0.36, s * 0.22));
    }
    return img;
}

void put16(QByteArray& b, int v) { b.append(char(v & 255)).append(char((v >> 8) & 255)); }
void put32(QByteArray& b, quint32 v) { put16(b, int(v & 0xffff)), put16(b, int(v >> 16)); }

// One DIB image of an icon file: header, BGRA rows bottom-up, then the 1-bit AND mask.
QByteArray dib(const QImage& img)
{
    const int w = img.width(), h = img.height();
    QByteArray b;
    put32(b, 40), put32(b, quint32(w)), put32(b, quint32(h * 2)), put16(b, 1), put16(b, 32);
    put32(b, 0), put32(b, 0), put32(b, 0), put32(b, 0), put32(b, 0), put32(b, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) {
            const QRgb c = img.pixel(x, y);
            b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append(char(qAlpha(c)));
        }
    const int rowBytes = ((w + 31) / 32) * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(rowBytes, 0);
        for (int x = 0; x < w; ++x)
            if (qAlpha(img.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        b.append(row);
    }
    return b;
}

bool writeIco(const QString& path, const QList<QImage>& images)
{
    QByteArray out;
    put16(out, 0), put16(out, 1), put16(out, int(images.size()));
    QList<QByteArray> dibs;
    for (const QImage& i : images)
        dibs << dib(i);
    quint32 offset = 6 + 16 * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        out.append(char(images[i].width() % 256)).append(char(images[i].height() % 256)).append(char(0)).append(char(0));
        put16(out, 1), put16(out, 32), put32(out, quint32(dibs[i].size())), put32(out, offset);
        offset += quint32(dibs[i].size());
    }
    for (const QByteArray& d : dibs)
        out.append(d);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

QImage drawStumbler()
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    p.setPen(QPen(QColor(0, 40, 140), 1));
    p.setBrush(QColor(30, 100, 230));
    p.drawPolygon(QPolygon({QPoint(8, 1), QPoint(14, 14), QPoint(8, 10), QPoint(2, 14)}));
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(dir);
    bool ok = true;
    for (int band = 1; band <= 4; ++band) {
        ok &= writeIco(QStringLiteral("%1/O%2.ico").arg(dir).arg(band), {drawIcon(Kind::Open, band, 16), drawIcon(Kind::Open, band, 32)});
        ok &= writeIco(QStringLiteral("%1/W%2.ico").arg(dir).arg(band),
                       {drawIcon(Kind::Encrypted, band, 16), drawIcon(Kind::Encrypted, band, 32)});
    }
    ok &= drawStumbler().save(dir + QStringLiteral("/Stumbler.bmp"), "BMP");
    if (argc > 2) {
        // A contact sheet to look at: every symbol at 32 px and at 16 px, magnified.
        QImage sheet(9 * 80, 160, QImage::Format_RGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        for (int i = 0; i < 8; ++i) {
            const Kind k = i < 4 ? Kind::Open : Kind::Encrypted;
            p.drawImage(QRect(i * 80 + 8, 8, 64, 64), drawIcon(k, i % 4 + 1, 32));
            p.drawImage(QRect(i * 80 + 8, 88, 64, 64), drawIcon(k, i % 4 + 1, 16));
        }
        p.drawImage(QRect(8 * 80 + 8, 88, 64, 64), drawStumbler());
        p.end();
        sheet.save(QString::fromLocal8Bit(argv[2]));
    }
    std::printf("%s\n", ok ? "symbol files written" : "could not write the symbol files");
    return ok ? 0 : 1;
}
