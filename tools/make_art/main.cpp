// SPDX-License-Identifier: GPL-3.0-or-later
// make_art: draws the interface art, crops the dog photos, synthesises the
// interface sounds and renders the program icons of Пёсограф. Pictures shown in the
// windows are also made at twice the size ("fon@2x.jpg") for screens of high pixel density.
//
// Usage: make_art <photos-dir> <repo-root>
// Everything is deterministic, so running it twice gives the same bytes: the screen the
// fonts are laid out for and the writers' settings are fixed here, not taken from the
// environment.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <numbers>
#include <vector>

namespace {

QString g_photos;
QString g_root;

[[noreturn]] void fail(const QString& message) {
    std::fprintf(stderr, "make_art: %s\n", qPrintable(message));
    std::exit(1);
}

QString outPath(const QString& rel) {
    const QString path = g_root + '/' + rel;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        fail("cannot create the folder for " + path);
    return path;
}

// "Graph/fon.jpg" -> "Graph/fon@2x.jpg", the name the program looks for on dense screens.
QString doubledName(const QString& rel) {
    return QString(rel).insert(rel.lastIndexOf('.'), "@2x");
}

void save(const QImage& image, const QString& rel) {
    const bool jpeg = rel.endsWith(".jpg");
    // The resolution recorded is the photo's or, for drawn art, the pinned screen's.
    const QImage out = jpeg ? image.convertToFormat(QImage::Format_RGB32) : image;
    QImageWriter writer(outPath(rel), jpeg ? "jpg" : "png");
    writer.setQuality(jpeg ? 90 : -1);
    writer.setOptimizedWrite(false);
    writer.setProgressiveScanWrite(false);
    if (!writer.write(out)) fail("cannot write " + rel + ": " + writer.errorString());
    std::printf("%-34s %4d x %d\n", qPrintable(rel), image.width(), image.height());
}

const QImage& photo(const QString& name) {
    static QHash<QString, QImage> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        QImage image(g_photos + '/' + name);
        if (image.isNull())
            fail("cannot read the original photo " + g_photos + '/' + name +
                 " (the licensed originals listed in content/CREDITS, kept outside the"
                 " repository; see tools/make-art.sh)");
        it = cache.insert(name, image.convertToFormat(QImage::Format_RGB32));
    }
    return *it;
}

// ---------------------------------------------------------------- background

void pawPrint(QPainter& p) {
    p.drawEllipse(QPointF(0, 7), 9.5, 8);
    p.drawEllipse(QPointF(-11.5, -3), 3.6, 4.8);
    p.drawEllipse(QPointF(-4.5, -10), 3.8, 5);
    p.drawEllipse(QPointF(4.5, -10), 3.8, 5);
    p.drawEllipse(QPointF(11.5, -3), 3.6, 4.8);
}

// Warm parchment with soft blotches, faint paw prints and a fine grain; scale 2 draws the
// same shapes with twice the pixels (the grain stays one pixel fine).
QImage background(int scale) {
    QImage img(640 * scale, 512 * scale, QImage::Format_RGB32);
    QRandomGenerator rng(1933);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    QLinearGradient base(0, 0, 640, 512);
    base.setColorAt(0, QColor(0xF9, 0xF2, 0xDE));
    base.setColorAt(1, QColor(0xF1, 0xE5, 0xC8));
    p.fillRect(QRect(0, 0, 640, 512), base);

    for (int i = 0; i < 16; ++i) {
        const QPointF centre(rng.bounded(640), rng.bounded(512));
        QColor colour = i % 2 ? QColor(255, 252, 240, 45) : QColor(190, 160, 110, 14);
        QRadialGradient blotch(centre, 60 + rng.bounded(130));
        blotch.setColorAt(0, colour);
        colour.setAlpha(0);
        blotch.setColorAt(1, colour);
        p.fillRect(QRect(0, 0, 640, 512), blotch);
    }

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 105, 60, 15));
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 8; ++col) {
            p.save();
            p.translate(col * 96 + (row % 2) * 48 + 10 + rng.bounded(14),
                        row * 92 + 28 + rng.bounded(14));
            p.rotate(-35 + rng.bounded(70));
            pawPrint(p);
            p.restore();
        }
    }
    p.end();

    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const int d = rng.bounded(5) - 2;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + d, 255), qBound(0, qGreen(c) + d, 255),
                           qBound(0, qBlue(c) + d, 255));
        }
    }
    return img;
}

// The same background, greyed and darkened behind a modal question.
QImage dimmed(const QImage& src) {
    QImage img = src;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x];
            const double grey = qGray(c);
            auto dim = [grey](int v) { return int((0.4 * v + 0.6 * grey) * 0.6 + 0.5); };
            line[x] = qRgb(dim(qRed(c)), dim(qGreen(c)), dim(qBlue(c)));
        }
    }
    return img;
}

// ------------------------------------------------------------------- buttons

enum class Glyph { Help, Minimise, Close, Back };

// A rounded button drawn over the piece of the background it will cover; bg is the
// background made at the same scale, place is in 1x pixels.
QImage button(const QImage& bg, const QRect& place, Glyph glyph, bool lit, int scale) {
    QImage img = bg.copy(QRect(place.topLeft() * scale, place.size() * scale));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const double inset = place.height() > 30 ? 3.5 : 1.5;
    const QRectF r = QRectF(QPointF(0, 0), QSizeF(place.size()))
                         .adjusted(inset, inset, -inset - 0.5, -inset - 1);
    const double radius = std::min(r.height() / 2.6, 7.0);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 60, 20, lit ? 60 : 40));
    p.drawRoundedRect(r.translated(0.8, 1.2), radius, radius);

    QLinearGradient face(r.topLeft(), r.bottomLeft());
    face.setColorAt(0, lit ? QColor(0xFF, 0xFC, 0xEC) : QColor(0xF1, 0xE7, 0xCD));
    face.setColorAt(1, lit ? QColor(0xF6, 0xCF, 0x62) : QColor(0xD0, 0xBD, 0x93));
    p.setPen(QPen(lit ? QColor(0xC0, 0x86, 0x18) : QColor(0x8C, 0x76, 0x52), 1));
    p.setBrush(face);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, lit ? 110 : 60));
    p.drawRoundedRect(r.adjusted(2, 1.5, -2, -r.height() / 2), radius - 1, radius - 1);

    const QColor ink = glyph == Glyph::Close && lit ? QColor(0xC0, 0x10, 0x10)
                       : lit                        ? QColor(0x00, 0x5A, 0x00)
                                                    : QColor(0x5A, 0x46, 0x2E);
    const QPointF c = r.center();
    switch (glyph) {
    case Glyph::Help: {
        QFont font("DejaVu Sans");
        font.setBold(true);
        font.setPixelSize(21);
        p.setFont(font);
        p.setPen(ink);
        p.drawText(r.translated(0, 0.5), Qt::AlignCenter, QStringLiteral("?"));
        break;
    }
    case Glyph::Minimise:
        p.setBrush(ink);
        p.drawRoundedRect(QRectF(c.x() - 8, c.y() + 4, 16, 4), 1.5, 1.5);
        break;
    case Glyph::Close:
        p.setPen(QPen(ink, 3.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(-6, -6), c + QPointF(6, 6));
        p.drawLine(c + QPointF(-6, 6), c + QPointF(6, -6));
        break;
    case Glyph::Back: {
        QPainterPath arrow;
        arrow.moveTo(c + QPointF(-14, 0));
        arrow.lineTo(c + QPointF(-5, -7));
        arrow.lineTo(c + QPointF(-5, -2.5));
        arrow.lineTo(c + QPointF(13, -2.5));
        arrow.lineTo(c + QPointF(13, 2.5));
        arrow.lineTo(c + QPointF(-5, 2.5));
        arrow.lineTo(c + QPointF(-5, 7));
        arrow.closeSubpath();
        p.setBrush(ink);
        p.drawPath(arrow);
        break;
    }
    }
    return img;
}

// -------------------------------------------------------------------- photos

struct Crop {
    const char* photo;
    QRect source; // in the source photo's pixels
    QSize size;
    const char* out;
};

// Rectangles were chosen by eye; each keeps the output's aspect ratio.
const Crop crops[] = {
    // Carousel, 233x177.
    // German Shepherd standing side-on: whole dog from tail tip to ears.
    {"01_german_shepherd_gcompris.jpg", {10, 10, 974, 740}, {233, 177}, "content/dog/sob191.jpg"},
    // Golden Retriever head: ears to the tip of the tongue.
    {"02_golden_retriever_plasma.jpg", {0, 100, 512, 389}, {233, 177}, "content/dog/sob133.jpg"},
    // Golden Retriever lying: head centred, front paws in, tail tip out.
    {"03_golden_retriever_lying_gcompris.jpg",
     {0, 0, 582, 442},
     {233, 177},
     "content/dog/sob141.jpg"},
    // Dog on the porch: the sitting dog, most of the bicycle left out.
    {"04_mixed_breed_porch_darknet.jpg", {6, 212, 434, 330}, {233, 177}, "content/dog/sob148.jpg"},
    // Black retriever: head and chest.
    {"05_black_retriever_labelme.jpg", {100, 25, 540, 410}, {233, 177}, "content/dog/sob167.jpg"},
    // Breed pages.
    {"01_german_shepherd_gcompris.jpg", {0, 10, 1000, 742}, {217, 161}, "content/dog/sob201.jpg"},
    {"02_golden_retriever_plasma.jpg", {28, 0, 456, 512}, {186, 209}, "content/dog/sob202.jpg"},
};

// The same rectangle at scale 2 has twice the pixels, scaled from the original (up where
// the original has fewer).
QImage cropped(const Crop& crop, int scale) {
    const QImage& src = photo(crop.photo);
    if (!src.rect().contains(crop.source))
        fail(QString("crop for %1 leaves the photo").arg(crop.out));
    return src.copy(crop.source)
        .scaled(crop.size * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// --------------------------------------------------------------------- icons

// The Golden Retriever's head in an oval over a blue field.
QImage icon(QSize size) {
    const QImage& src = photo("02_golden_retriever_plasma.jpg");
    const double scale = std::min(size.width(), size.height()) / 46.0;
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient field(0, 0, size.width() * 0.3, size.height());
    field.setColorAt(0, QColor(0x4C, 0x8A, 0xF0));
    field.setColorAt(1, QColor(0x10, 0x36, 0x9A));
    p.setPen(Qt::NoPen);
    p.setBrush(field);
    p.drawRoundedRect(QRectF(img.rect()), 7 * scale, 7 * scale);

    const int margin = std::max(2, int(std::lround(3 * scale)));
    const QRect oval = img.rect().adjusted(margin, margin, -margin, -margin);
    // The head spans x 50..460, y 85..505 in the 512x512 photo.
    const int h = 450, w = std::min(512, h * oval.width() / oval.height());
    const QRect head = QRect(265 - w / 2, 287 - h / 2, w, h).intersected(src.rect());
    const QImage face =
        src.copy(head).scaled(oval.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    p.setBrushOrigin(oval.topLeft());
    p.setBrush(face);
    p.drawEllipse(oval);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 190), std::max(1.0, 1.5 * scale)));
    p.drawEllipse(QRectF(oval));
    return img;
}

QImage siteLink(int scale) {
    const QString text = QStringLiteral("PSOGRAF.EXAMPLE.ORG");
    const QRect logical(0, 0, 159, 37);
    QImage img(logical.size() * scale, QImage::Format_RGB32);
    img.fill(Qt::white);
    QFont font("Liberation Sans");
    font.setBold(true);
    for (int px = 20; px > 8; --px) {
        font.setPixelSize(px);
        if (QFontMetrics(font).horizontalAdvance(text) <= logical.width() - 8) break;
    }
    QPainter p(&img);
    p.scale(scale, scale);
    p.setFont(font);
    p.setPen(QColor(0xD0, 0x00, 0x00));
    p.drawText(logical, Qt::AlignCenter, text);
    return img;
}

// Pointing hand cursor as pixel art ('#' black, '.' white), the index finger
// tip at (6, 0) is the hot spot.
QImage handCursor() {
    // clang-format off
    static const char* const rows[] = {
        "     ###",
        "    #...#",
        "    #...#",
        "    #...#",
        "    #...###",
        "    #...#..#",
        "    #...#..###",
        "    #...#..#..#",
        "    #...#..#..###",
        "    #...#..#..#..#",
        " ## #...#..#..#..#",
        "#..##...#..#..#..#",
        "#...#...#..#..#..#",
        "#................#",
        " #...............#",
        " #...............#",
        "  #..............#",
        "  #.............#",
        "   #............#",
        "   #...........#",
        "    #..........#",
        "    #..........#",
        "    ############",
    };
    // clang-format on
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < int(std::size(rows)); ++y)
        for (int x = 0; rows[y][x]; ++x)
            if (rows[y][x] != ' ')
                img.setPixel(x, y, rows[y][x] == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return img;
}

// -------------------------------------------------------------------- sounds

constexpr int kRate = 22050;

// A sine tone with a gliding pitch and an exponentially decaying level.
void addTone(std::vector<double>& buf, double startMs, double lengthMs, double fromHz, double toHz,
             double level, double decayMs, double overtone = 0) {
    const int first = int(startMs * kRate / 1000), count = int(lengthMs * kRate / 1000);
    if (buf.size() < size_t(first + count)) buf.resize(first + count);
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / count, ms = i * 1000.0 / kRate;
        phase += 2 * std::numbers::pi * fromHz * std::pow(toHz / fromHz, t) / kRate;
        const double attack = std::min(1.0, ms / 3.0);
        const double release = std::min(1.0, (count - i) * 1000.0 / kRate / 8.0);
        const double env = level * attack * release * std::exp(-ms / decayMs);
        buf[first + i] += env * (std::sin(phase) + overtone * std::sin(2 * phase));
    }
}

void saveWav(const std::vector<double>& samples, const QString& rel) {
    QByteArray b;
    auto put = [&b](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b.append(char((v >> (8 * i)) & 0xFF));
    };
    const quint32 data = quint32(samples.size() * 2);
    b.append("RIFF");
    put(36 + data, 4);
    b.append("WAVEfmt ");
    put(16, 4);        // fmt chunk size
    put(1, 2);         // PCM
    put(1, 2);         // mono
    put(kRate, 4);     // sample rate
    put(kRate * 2, 4); // byte rate
    put(2, 2);         // block align
    put(16, 2);        // bits per sample
    b.append("data");
    put(data, 4);
    for (double s : samples)
        put(quint16(qint16(std::lround(std::clamp(s, -1.0, 1.0) * 32767))), 2);

    QFile file(outPath(rel));
    if (!file.open(QIODevice::WriteOnly) || file.write(b) != b.size()) fail("cannot write " + rel);
    std::printf("%-34s %4zu ms\n", qPrintable(rel), samples.size() * 1000 / kRate);
}

// Text is laid out for a screen of 96 DPI at scale 1 whatever the desktop says, and in the
// exact families named, so the art is the same on every machine.
void pinEnvironment() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    qputenv("QT_FONT_DPI", "96");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_SCALE_FACTOR_ROUNDING_POLICY");
}

void requireFont(const char* family, const char* package) {
    if (QFontInfo(QFont(family)).family() != QLatin1String(family))
        fail(QString("font \"%1\" is missing: install the Debian package %2").arg(family, package));
}

void drawArt(int scale) {
    const QImage fon = background(scale);
    const auto name = [scale](const QString& rel) { return scale == 1 ? rel : doubledName(rel); };
    save(fon, name("content/Graph/fon.jpg"));
    save(dimmed(fon), name("content/Graph/fonno.jpg"));
    // The three window buttons sit in the top right corner.
    const struct {
        Glyph glyph;
        int x;
        const char *normal, *lit;
    } buttons[] = {
        {Glyph::Help, 640 - 3 * 41, "qesno", "qesakt"},
        {Glyph::Minimise, 640 - 2 * 41, "lis", "lir"},
        {Glyph::Close, 640 - 41, "CLNO", "CLAK"},
    };
    for (const auto& b : buttons) {
        save(button(fon, {b.x, 0, 41, 36}, b.glyph, false, scale),
             name(QString("content/Graph/%1.jpg").arg(b.normal)));
        save(button(fon, {b.x, 0, 41, 36}, b.glyph, true, scale),
             name(QString("content/Graph/%1.jpg").arg(b.lit)));
    }
    save(button(fon, {8, 480, 50, 23}, Glyph::Back, false, scale),
         name("content/Graph/ARNOAK.jpg"));
    save(button(fon, {8, 480, 50, 23}, Glyph::Back, true, scale), name("content/Graph/ARAK.jpg"));

    for (const Crop& crop : crops)
        save(cropped(crop, scale), name(crop.out));
    save(siteLink(scale), name("app/resources/site.png"));
}

} // namespace

int main(int argc, char** argv) {
    pinEnvironment();
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_art <photos-dir> <repo-root>\n");
        return 2;
    }
    g_photos = QString::fromLocal8Bit(argv[1]);
    g_root = QString::fromLocal8Bit(argv[2]);

    // Everything is checked before the first file is written, so a missing input leaves
    // the committed files as they were.
    requireFont("DejaVu Sans", "fonts-dejavu-core");
    requireFont("Liberation Sans", "fonts-liberation2");
    for (const Crop& crop : crops)
        photo(crop.photo);

    drawArt(1);
    drawArt(2);

    // Sounds: a rising two-tone tick, a softer falling blip and a short pop.
    std::vector<double> check, select, stat;
    addTone(check, 0, 55, 1320, 1320, 0.38, 30, 0.25);
    addTone(check, 45, 85, 1760, 1760, 0.42, 35, 0.2);
    addTone(select, 0, 140, 880, 520, 0.45, 70);
    addTone(stat, 0, 75, 560, 330, 0.55, 18);
    saveWav(check, "content/Sound/check.wav");
    saveWav(select, "content/Sound/select.wav");
    saveWav(stat, "content/Sound/stat.wav");

    save(icon({46, 51}), "app/resources/icon.png");
    for (int px : {48, 64, 128, 256})
        save(icon({px, px}), QString("packaging/icons/psograf-%1.png").arg(px));
    save(handCursor(), "app/resources/hand.png");
    return 0;
}
