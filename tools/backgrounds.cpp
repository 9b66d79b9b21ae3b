// Paints the graph's fifteen background pictures, 774 x 312 Windows bitmaps
// named as the background list names them, into a folder; a picture that is
// already there is left alone (the user may have put their own).
//   trimbo-backgrounds FOLDER
#include <QDir>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <functional>

namespace {

constexpr int Width = 774;
constexpr int Height = 312;

using Painting = std::function<void(QPainter &)>;

Painting plain(QColor colour)
{
    return [colour](QPainter &p) { p.fillRect(0, 0, Width, Height, colour); };
}

void sky(QPainter &p)
{
    QLinearGradient blue(0, 0, 0, Height);
    blue.setColorAt(0, QColor(70, 140, 225));
    blue.setColorAt(1, QColor(190, 225, 250));
    p.fillRect(0, 0, Width, Height, blue);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 215));
    const QList<QRect> puffs{{90, 60, 120, 44},   {150, 45, 100, 50},  {200, 66, 110, 38}, {470, 120, 140, 46},
                             {540, 100, 110, 56}, {600, 126, 100, 36}, {300, 210, 90, 30}, {350, 198, 80, 36}};
    for (const QRect &puff : puffs)
        p.drawEllipse(puff);
}

void sunset(QPainter &p)
{
    QLinearGradient evening(0, 0, 0, Height);
    evening.setColorAt(0, QColor(80, 60, 140));
    evening.setColorAt(0.45, QColor(235, 120, 80));
    evening.setColorAt(0.8, QColor(255, 190, 100));
    evening.setColorAt(1, QColor(255, 220, 150));
    p.fillRect(0, 0, Width, Height, evening);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(QPointF(Width * 0.62, Height * 0.82), 120);
    glow.setColorAt(0, QColor(255, 245, 200));
    glow.setColorAt(0.35, QColor(255, 200, 90, 220));
    glow.setColorAt(1, QColor(255, 160, 80, 0));
    p.fillRect(0, 0, Width, Height, glow);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 170));
    p.drawEllipse(QPointF(Width * 0.62, Height * 0.82), 34, 34);
}

Painting stripes(QColor light, QColor dark)
{
    return [light, dark](QPainter &p) {
        p.fillRect(0, 0, Width, Height, light);
        for (int x = 0; x < Width; x += 48)
            p.fillRect(x, 0, 24, Height, dark);
    };
}

void starryNight(QPainter &p)
{
    QLinearGradient night(0, 0, 0, Height);
    night.setColorAt(0, QColor(8, 12, 40));
    night.setColorAt(1, QColor(30, 40, 90));
    p.fillRect(0, 0, Width, Height, night);
    QRandomGenerator stars(15);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 260; ++i) {
        const QPointF at(stars.bounded(Width), stars.bounded(Height));
        const double size = stars.bounded(10) == 0 ? 1.8 : 0.8;
        p.setBrush(QColor(255, 255, 230, 140 + stars.bounded(115)));
        p.drawEllipse(at, size, size);
    }
    p.setBrush(QColor(250, 245, 210));
    p.drawEllipse(QPointF(650, 60), 22, 22);
    p.setBrush(QColor(8, 12, 40));
    p.drawEllipse(QPointF(660, 54), 20, 20); // a crescent moon
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        qCritical("usage: trimbo-backgrounds FOLDER");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const std::pair<const char *, Painting> pictures[] = {
        {"White", plain(Qt::white)},
        {"Pink", plain(QColor(255, 214, 228))},
        {"Red", plain(QColor(240, 120, 120))},
        {"Blue", plain(QColor(110, 145, 235))},
        {"SkyBlue", plain(QColor(166, 202, 240))},
        {"Green", plain(QColor(130, 200, 130))},
        {"Orange", plain(QColor(255, 190, 110))},
        {"UsuYello", plain(QColor(255, 250, 215))},
        {"Yello", plain(QColor(255, 240, 120))},
        {"YelGreen", plain(QColor(200, 235, 130))},
        {"Aozora", sky},
        {"Yuuhi", sunset},
        {"StraipBlue", stripes(QColor(215, 235, 252), QColor(166, 202, 240))},
        {"StraipPink", stripes(QColor(255, 236, 242), QColor(255, 205, 222))},
        {"Star", starryNight},
    };
    for (const auto &[name, paint] : pictures) {
        const QString path = folder.filePath(QString::fromLatin1(name) + QStringLiteral(".bmp"));
        if (QFileInfo::exists(path))
            continue;
        QImage image(Width, Height, QImage::Format_RGB888);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        if (!image.save(path, "BMP")) {
            qCritical("cannot write %s", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
