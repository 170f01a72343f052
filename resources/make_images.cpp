// Draws the program's own images into resources/: the banner, the listen
// button's glyph, the menu icons used where the desktop's icon theme has
// none, the tray and window icon, and the same icon for the desktop's icon
// theme (desktop/icons/). Usage: melodrop-make-images FOLDER
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor kInk(0x1E, 0x4F, 0x9A);
const QColor kAccent(0xF2, 0x9B, 0x1D);

QImage Canvas(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  return image;
}

// The note that stands for the program, on a 16-unit grid: two heads and
// two stems joined by a beam. The pictures and the scalable icon draw it
// from these shapes.
const QRectF kNoteHeads[] = {{1.5, 10.5, 5, 4}, {9.5, 9, 5, 4}};
const QRectF kNoteStems[] = {{5.2, 2.5, 1.4, 10}, {13.2, 1, 1.4, 10}};
const QPointF kNoteBeam[] = {{5.2, 2.5}, {14.6, 1}, {14.6, 3.6}, {5.2, 5.1}};

void DrawNote(QPainter& p, QRectF box, const QColor& colour) {
  const double s = box.width() / 16.0;
  p.save();
  p.translate(box.topLeft());
  p.scale(s, s);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  for (const QRectF& head : kNoteHeads) p.drawEllipse(head);
  for (const QRectF& stem : kNoteStems) p.drawRect(stem);
  p.drawPolygon(kNoteBeam, 4);
  p.restore();
}

// The banner drawn for a device pixel ratio: 365 x 81 points.
QImage Banner(int scale) {
  QImage image(365 * scale, 81 * scale, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  QLinearGradient sky(0, 0, 365, 81);
  sky.setColorAt(0, QColor(0x10, 0x24, 0x52));
  sky.setColorAt(1, QColor(0x4A, 0x1E, 0x6E));
  p.fillRect(QRectF(0, 0, 365, 81), sky);
  // An equaliser along the bottom.
  for (int bar = 0; bar < 46; ++bar) {
    const double h = 10 + 26 * std::fabs(std::sin(bar * 0.55) * std::cos(bar * 0.21));
    QColor c = kAccent;
    c.setAlpha(70 + bar * 3);
    p.fillRect(QRectF(4 + bar * 7.8, 81 - h, 5, h), c);
  }
  DrawNote(p, QRectF(14, 10, 44, 44), Qt::white);
  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(26);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(70, 8, 290, 34), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Melodrop"));
  QFont line(QStringLiteral("DejaVu Sans"));
  line.setPixelSize(13);
  p.setFont(line);
  p.setPen(QColor(0xFF, 0xD8, 0x9A));
  p.drawText(QRectF(72, 38, 290, 18), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8("Музыка с портала в один клик"));
  return image;
}

using Drawing = std::function<void(QPainter&)>;

// A 16 x 16 icon drawn on a 16-unit grid.
QImage Icon16(const Drawing& draw) {
  QImage image = Canvas(16, 16);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return image;
}

QPen Stroke(const QColor& colour, double width = 1.6) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Triangle(QPainter& p, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygonF({QPointF(4, 2.5), QPointF(13.5, 8), QPointF(4, 13.5)}));
}

const std::vector<std::pair<const char*, Drawing>> kMenuIcons = {
    {"search",
     [](QPainter& p) {
       p.setPen(Stroke(kInk, 1.8));
       p.drawEllipse(QRectF(2, 2, 8.5, 8.5));
       p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
     }},
    {"stop",
     [](QPainter& p) {
       p.setPen(Qt::NoPen);
       p.setBrush(QColor(0xC8, 0x2A, 0x2A));
       p.drawRoundedRect(QRectF(3, 3, 10, 10), 1.5, 1.5);
     }},
    {"reconnect",
     [](QPainter& p) {
       p.setPen(Stroke(kInk, 1.7));
       p.drawArc(QRectF(2.5, 2.5, 11, 11), 30 * 16, 270 * 16);
       p.setPen(Qt::NoPen);
       p.setBrush(kInk);
       p.drawPolygon(QPolygonF({QPointF(10, 1), QPointF(15, 4.5), QPointF(10, 7.5)}));
     }},
    {"list",
     [](QPainter& p) {
       p.setPen(Stroke(kInk, 1.6));
       for (double y : {4.0, 8.0, 12.0}) {
         p.drawPoint(QPointF(3, y));
         p.drawLine(QPointF(6, y), QPointF(14, y));
       }
     }},
    {"settings",
     [](QPainter& p) {
       p.setPen(Stroke(kInk, 2.2));
       for (int i = 0; i < 8; ++i) {
         const double a = i * M_PI / 4;
         p.drawLine(QPointF(8 + 4.2 * std::cos(a), 8 + 4.2 * std::sin(a)),
                    QPointF(8 + 6.3 * std::cos(a), 8 + 6.3 * std::sin(a)));
       }
       p.setPen(Stroke(kInk, 1.8));
       p.drawEllipse(QRectF(4.5, 4.5, 7, 7));
     }},
    {"exit",
     [](QPainter& p) {
       p.setPen(Stroke(QColor(0x55, 0x55, 0x55), 1.5));
       p.drawRect(QRectF(2.5, 2.5, 7, 11));
       p.setPen(Stroke(QColor(0xC8, 0x2A, 0x2A), 1.8));
       p.drawLine(QPointF(7, 8), QPointF(14, 8));
       p.drawLine(QPointF(11.5, 5.5), QPointF(14, 8));
       p.drawLine(QPointF(11.5, 10.5), QPointF(14, 8));
     }},
    {"download",
     [](QPainter& p) {
       p.setPen(Stroke(QColor(0x1F, 0x8A, 0x3B), 2));
       p.drawLine(QPointF(8, 2), QPointF(8, 10.5));
       p.drawLine(QPointF(4.5, 7), QPointF(8, 10.5));
       p.drawLine(QPointF(11.5, 7), QPointF(8, 10.5));
       p.setPen(Stroke(kInk, 1.6));
       p.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 13.5));
     }},
    {"copy",
     [](QPainter& p) {
       p.setPen(Stroke(kInk, 1.3));
       p.setBrush(Qt::white);
       p.drawRect(QRectF(2.5, 2.5, 8, 9));
       p.drawRect(QRectF(5.5, 5.5, 8, 9));
     }},
    {"play", [](QPainter& p) { Triangle(p, QColor(0x1F, 0x8A, 0x3B)); }},
    {"folder",
     [](QPainter& p) {
       p.setPen(Stroke(QColor(0x9A, 0x6A, 0x10), 1.2));
       p.setBrush(QColor(0xF4, 0xC4, 0x50));
       p.drawPolygon(QPolygonF({QPointF(1.5, 4), QPointF(6, 4), QPointF(7.5, 5.5),
                                QPointF(14.5, 5.5), QPointF(14.5, 13), QPointF(1.5, 13)}));
     }},
    {"remove",
     [](QPainter& p) {
       p.setPen(Stroke(QColor(0xC8, 0x2A, 0x2A), 2));
       p.drawLine(QPointF(4, 4), QPointF(12, 12));
       p.drawLine(QPointF(12, 4), QPointF(4, 12));
     }},
    {"clear",
     [](QPainter& p) {
       p.setPen(Stroke(QColor(0x55, 0x55, 0x55), 1.3));
       p.setBrush(QColor(0xDD, 0xDD, 0xDD));
       p.drawRect(QRectF(4, 4.5, 8, 9.5));
       p.drawLine(QPointF(2.5, 3), QPointF(13.5, 3));
       p.drawLine(QPointF(6.5, 1.5), QPointF(9.5, 1.5));
     }},
};

void PutLittleEndian(QByteArray& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// An icon file with 32-bit images and empty masks, the largest first.
QByteArray IconFile(const std::vector<QImage>& images) {
  QByteArray directory, data;
  const uint32_t first = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const QImage& source : images) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const uint32_t side = static_cast<uint32_t>(image.width());
    const uint32_t maskRow = (side + 31) / 32 * 4;
    QByteArray bitmap;
    PutLittleEndian(bitmap, 40, 4);
    PutLittleEndian(bitmap, side, 4);
    PutLittleEndian(bitmap, side * 2, 4);
    PutLittleEndian(bitmap, 1, 2);
    PutLittleEndian(bitmap, 32, 2);
    PutLittleEndian(bitmap, 0, 4);
    PutLittleEndian(bitmap, side * side * 4 + maskRow * side, 4);
    bitmap.append(16, '\0');
    for (int y = static_cast<int>(side) - 1; y >= 0; --y)
      for (int x = 0; x < static_cast<int>(side); ++x)
        PutLittleEndian(bitmap, image.pixel(x, y), 4);
    bitmap.append(static_cast<int>(maskRow * side), '\0');
    directory.append(static_cast<char>(side));
    directory.append(static_cast<char>(side));
    PutLittleEndian(directory, 0, 2);
    PutLittleEndian(directory, 1, 2);
    PutLittleEndian(directory, 32, 2);
    PutLittleEndian(directory, static_cast<uint32_t>(bitmap.size()), 4);
    PutLittleEndian(directory, first + static_cast<uint32_t>(data.size()), 4);
    data += bitmap;
  }
  QByteArray file;
  PutLittleEndian(file, 0, 2);
  PutLittleEndian(file, 1, 2);
  PutLittleEndian(file, static_cast<uint32_t>(images.size()), 2);
  return file + directory + data;
}

// The program's icon: the white note on a disc from blue to violet.
const QColor kDiscFrom(0x2C, 0x6B, 0xD1);
const QColor kDiscTo(0x5A, 0x2A, 0x8C);
QRectF NoteBox(double side) {
  return QRectF(side * 0.18, side * 0.2, side * 0.62, side * 0.62);
}

QImage ProgramIcon(int side) {
  QImage image = Canvas(side, side);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  QLinearGradient disc(0, 0, side, side);
  disc.setColorAt(0, kDiscFrom);
  disc.setColorAt(1, kDiscTo);
  p.setBrush(disc);
  p.drawEllipse(QRectF(0.5, 0.5, side - 1, side - 1));
  DrawNote(p, NoteBox(side), Qt::white);
  return image;
}

// The same icon as SVG, for the desktop's scalable icon theme.
QByteArray ProgramIconSvg() {
  constexpr double kSide = 64;
  const QRectF box = NoteBox(kSide);
  const double unit = box.width() / 16.0;
  QString svg = QStringLiteral(
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                    "viewBox=\"0 0 %1 %1\">\n"
                    "  <defs><linearGradient id=\"disc\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">"
                    "<stop offset=\"0\" stop-color=\"%2\"/><stop offset=\"1\" stop-color=\"%3\"/>"
                    "</linearGradient></defs>\n"
                    "  <circle cx=\"%4\" cy=\"%4\" r=\"%5\" fill=\"url(#disc)\"/>\n"
                    "  <g fill=\"#ffffff\" transform=\"translate(%6 %7) scale(%8)\">\n")
                    .arg(kSide)
                    .arg(kDiscFrom.name(), kDiscTo.name())
                    .arg(kSide / 2)
                    .arg(kSide / 2 - 0.5)
                    .arg(box.left())
                    .arg(box.top())
                    .arg(unit);
  for (const QRectF& head : kNoteHeads)
    svg += QStringLiteral("    <ellipse cx=\"%1\" cy=\"%2\" rx=\"%3\" ry=\"%4\"/>\n")
               .arg(head.center().x())
               .arg(head.center().y())
               .arg(head.width() / 2)
               .arg(head.height() / 2);
  for (const QRectF& stem : kNoteStems)
    svg += QStringLiteral("    <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\"/>\n")
               .arg(stem.x())
               .arg(stem.y())
               .arg(stem.width())
               .arg(stem.height());
  QString points;
  for (const QPointF& point : kNoteBeam)
    points += QStringLiteral("%1,%2 ").arg(point.x()).arg(point.y());
  svg += QStringLiteral("    <polygon points=\"%1\"/>\n  </g>\n</svg>\n").arg(points.trimmed());
  return svg.toUtf8();
}

bool Save(const QImage& image, const QString& path, const char* format, int quality = -1) {
  if (image.save(path, format, quality)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: melodrop-make-images FOLDER\n");
    return 2;
  }
  QApplication application(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
  bool ok = Save(Banner(1), folder + QStringLiteral("banner.jpg"), "JPEG", 92);
  ok = Save(Banner(2), folder + QStringLiteral("banner@2x.jpg"), "JPEG", 92) && ok;
  ok = Save(Icon16([](QPainter& p) { Triangle(p, kInk); }), folder + QStringLiteral("listen.png"),
            "PNG") &&
       ok;
  for (const auto& [name, draw] : kMenuIcons)
    ok = Save(Icon16(draw), folder + QStringLiteral("menu/%1.png").arg(QLatin1String(name)),
              "PNG") &&
         ok;
  QFile icon(folder + QStringLiteral("melodrop.ico"));
  ok = icon.open(QIODevice::WriteOnly) &&
       icon.write(IconFile({ProgramIcon(32), ProgramIcon(16)})) > 0 && ok;
  ok = Save(ProgramIcon(64), folder + QStringLiteral("melodrop.png"), "PNG") && ok;
  // The desktop's icon theme: the sizes a menu, a task bar and a software
  // centre ask for, and the scalable one.
  const QString themed = folder + QStringLiteral("desktop/icons/");
  for (const int side : {16, 22, 24, 32, 48, 64, 128, 256})
    ok = Save(ProgramIcon(side), themed + QStringLiteral("%1.png").arg(side), "PNG") && ok;
  QFile svg(themed + QStringLiteral("scalable.svg"));
  ok = svg.open(QIODevice::WriteOnly) && svg.write(ProgramIconSvg()) > 0 && ok;
  return ok ? 0 : 1;
}
