#include "app/ui/ToolbarIcons.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QtMath>

#include "app/CommandSurface.h"

namespace toolbar_icons {

namespace {

// One palette for the whole set: a group colour per kind of command, one dark
// ink for outlines, and light tints for fills.
const QColor kInk(0x33, 0x3d, 0x4a);
const QColor kBlue(0x1f, 0x6f, 0xd1);
const QColor kBlueTint(0xe3, 0xee, 0xfb);
const QColor kIndigo(0x5a, 0x4f, 0xcf);
const QColor kIndigoTint(0xec, 0xea, 0xfb);
const QColor kGreen(0x1e, 0x9e, 0x5a);
const QColor kGreenTint(0xe2, 0xf4, 0xea);
const QColor kRed(0xd6, 0x3b, 0x3b);
const QColor kRedTint(0xfb, 0xe6, 0xe6);
const QColor kAmber(0xe5, 0x9a, 0x1c);
const QColor kAmberTint(0xfd, 0xf1, 0xdc);
const QColor kGrey(0x8a, 0x94, 0xa0);
const QColor kWhite(0xff, 0xff, 0xff);

QPen Stroke(const QColor& c, qreal w = 2.0) {
  return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A small round badge in the lower right corner, ringed in white so that it
// reads against the picture behind it.
void Badge(QPainter& p, const QColor& fill) {
  p.setPen(Stroke(kWhite, 1.5));
  p.setBrush(fill);
  p.drawEllipse(QPointF(24.5, 24.5), 6.5, 6.5);
}

void DrawPulseScreen(QPainter& p) {
  p.setPen(Stroke(kBlue));
  p.setBrush(kBlueTint);
  p.drawRoundedRect(QRectF(3, 5, 24, 19), 3, 3);
  p.setPen(Stroke(kBlue, 2.2));
  p.setBrush(Qt::NoBrush);
  const QPointF pulse[] = {{6, 15}, {10, 15}, {12.5, 9.5}, {15.5, 20}, {18, 12}, {20, 15}, {24, 15}};
  p.drawPolyline(pulse, 7);
}

void DrawRealTime(QPainter& p) {
  DrawPulseScreen(p);
  Badge(p, kGreen);
  p.setPen(Qt::NoPen);
  p.setBrush(kWhite);
  const QPointF play[] = {{22.5, 21.2}, {22.5, 27.8}, {28, 24.5}};
  p.drawPolygon(play, 3);
}

void DrawRealTimeRunning(QPainter& p) {
  DrawPulseScreen(p);
  Badge(p, kRed);
  p.setPen(Qt::NoPen);
  p.setBrush(kWhite);
  p.drawRoundedRect(QRectF(21.8, 21.8, 5.4, 5.4), 0.8, 0.8);
}

void DrawClockFace(QPainter& p, const QPointF& c, qreal r, const QColor& colour, const QColor& tint) {
  p.setPen(Stroke(colour));
  p.setBrush(tint);
  p.drawEllipse(c, r, r);
  p.setPen(Stroke(kInk, 2));
  p.drawLine(c, c + QPointF(0, -r * 0.6));
  p.drawLine(c, c + QPointF(r * 0.45, r * 0.2));
}

void DrawHistory(QPainter& p) {
  const QPointF c(17, 16);
  p.setPen(Qt::NoPen);
  p.setBrush(kBlueTint);
  p.drawEllipse(c, 11, 11);
  // A clock wound backwards: an open ring with the arrow at its start.
  p.setPen(Stroke(kBlue, 2.4));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(6, 5, 22, 22), 200 * 16, -300 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(kBlue);
  const QPointF arrow[] = {{2.2, 16.8}, {9.8, 17.2}, {6.6, 10.6}};
  p.drawPolygon(arrow, 3);
  p.setPen(Stroke(kInk, 2.2));
  p.drawLine(c, QPointF(17, 9.5));
  p.drawLine(c, QPointF(21.5, 19));
}

void DrawParameters(QPainter& p) {
  p.setPen(Stroke(kBlue));
  p.setBrush(kBlueTint);
  p.drawRoundedRect(QRectF(4, 4, 24, 24), 3, 3);
  const qreal ys[] = {10, 16, 22};
  const qreal knobs[] = {19, 11, 16};
  for (int i = 0; i < 3; ++i) {
    p.setPen(Stroke(kGrey, 2));
    p.drawLine(QPointF(8, ys[i]), QPointF(24, ys[i]));
    p.setPen(Stroke(kBlue, 2));
    p.drawLine(QPointF(8, ys[i]), QPointF(knobs[i], ys[i]));
    p.setPen(Stroke(kBlue, 1.6));
    p.setBrush(kWhite);
    p.drawEllipse(QPointF(knobs[i], ys[i]), 2.6, 2.6);
  }
}

void DrawOpen(QPainter& p) {
  p.setPen(Stroke(kAmber));
  p.setBrush(kAmberTint);
  const QPointF back[] = {{3, 8}, {12, 8}, {14.5, 11}, {26, 11}, {26, 26}, {3, 26}};
  p.drawPolygon(back, 6);
  p.setBrush(kAmber);
  const QPointF front[] = {{3, 26}, {8, 15}, {30, 15}, {26, 26}};
  p.drawPolygon(front, 4);
}

void DrawListing(QPainter& p) {
  p.setPen(Stroke(kBlue));
  p.setBrush(kWhite);
  const QPointF page[] = {{7, 3}, {20, 3}, {26, 9}, {26, 29}, {7, 29}};
  p.drawPolygon(page, 5);
  p.setBrush(kBlueTint);
  const QPointF fold[] = {{20, 3}, {20, 9}, {26, 9}};
  p.drawPolygon(fold, 3);
  p.setPen(Stroke(kBlue, 1.8));
  for (qreal y : {14.0, 19.0, 24.0}) p.drawLine(QPointF(11, y), QPointF(22, y));
}

void DrawSetClock(QPainter& p) {
  // An alarm clock: the clock the meter keeps, set by the operator.
  p.setPen(Stroke(kIndigo, 2));
  p.setBrush(kIndigo);
  p.drawChord(QRectF(3, 3, 10, 10), 30 * 16, 180 * 16);
  p.drawChord(QRectF(19, 3, 10, 10), -30 * 16, 180 * 16);
  p.drawLine(QPointF(9, 26), QPointF(7, 29));
  p.drawLine(QPointF(23, 26), QPointF(25, 29));
  DrawClockFace(p, QPointF(16, 17), 10, kIndigo, kWhite);
  p.setPen(Qt::NoPen);
  p.setBrush(kIndigo);
  p.drawEllipse(QPointF(16, 17), 1.6, 1.6);
}

void DrawWavelength(QPainter& p) {
  // A light wave coloured across the spectrum.
  QLinearGradient spectrum(3, 0, 29, 0);
  spectrum.setColorAt(0.0, QColor(0x7b, 0x3f, 0xe4));
  spectrum.setColorAt(0.3, QColor(0x1f, 0x6f, 0xd1));
  spectrum.setColorAt(0.55, QColor(0x1e, 0x9e, 0x5a));
  spectrum.setColorAt(0.78, QColor(0xe5, 0x9a, 0x1c));
  spectrum.setColorAt(1.0, QColor(0xd6, 0x3b, 0x3b));
  QPainterPath wave;
  wave.moveTo(3, 15);
  for (int i = 1; i <= 52; ++i) {
    const qreal x = 3 + i * 0.5;
    wave.lineTo(x, 15 - 8 * qSin((x - 3) / 26.0 * 2 * M_PI * 1.5));
  }
  p.setPen(QPen(QBrush(spectrum), 2.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(wave);
  p.setPen(Stroke(kInk, 1.6));
  p.drawLine(QPointF(3, 27), QPointF(29, 27));
  for (qreal x : {3.0, 11.7, 20.3, 29.0}) p.drawLine(QPointF(x, 25), QPointF(x, 29));
}

void DrawCalibrate(QPainter& p) {
  // A dial with its scale and the needle being set.
  const QPointF c(16, 23);
  p.setPen(Stroke(kIndigo));
  p.setBrush(kIndigoTint);
  QPainterPath dial;
  dial.moveTo(c + QPointF(-13.5, 0));
  dial.arcTo(QRectF(2.5, 9.5, 27, 27), 180, -180);
  dial.closeSubpath();
  p.drawPath(dial);
  p.setPen(Stroke(kIndigo, 1.6));
  for (int i = 0; i <= 6; ++i) {
    const qreal a = M_PI - i * M_PI / 6;
    const QPointF dir(qCos(a), -qSin(a));
    p.drawLine(c + dir * 9.5, c + dir * 12);
  }
  p.setPen(Stroke(kAmber, 2.4));
  p.drawLine(c, c + QPointF(qCos(M_PI / 3.2), -qSin(M_PI / 3.2)) * 10);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawEllipse(c, 2.2, 2.2);
  p.setPen(Stroke(kIndigo, 2));
  p.drawLine(QPointF(2.5, 23), QPointF(29.5, 23));
  p.setPen(Stroke(kIndigo, 2));
  p.drawLine(QPointF(9, 27.5), QPointF(23, 27.5));
}

void DrawTestMode(QPainter& p) {
  // Two switches: one mode on, the other off.
  p.setPen(Stroke(kIndigo));
  p.setBrush(kIndigo);
  p.drawRoundedRect(QRectF(4, 5, 24, 10), 5, 5);
  p.setBrush(kWhite);
  p.drawEllipse(QPointF(23, 10), 3.4, 3.4);
  p.setPen(Stroke(kGrey));
  p.setBrush(QColor(0xee, 0xf0, 0xf3));
  p.drawRoundedRect(QRectF(4, 18, 24, 10), 5, 5);
  p.setBrush(kWhite);
  p.drawEllipse(QPointF(9, 23), 3.4, 3.4);
}

void DrawSave(QPainter& p) {
  p.setPen(Stroke(kBlue));
  p.setBrush(kBlue);
  QPainterPath disk;
  disk.moveTo(4, 6);
  disk.quadTo(4, 4, 6, 4);
  disk.lineTo(23, 4);
  disk.lineTo(28, 9);
  disk.lineTo(28, 26);
  disk.quadTo(28, 28, 26, 28);
  disk.lineTo(6, 28);
  disk.quadTo(4, 28, 4, 26);
  disk.closeSubpath();
  p.drawPath(disk);
  p.setPen(Qt::NoPen);
  p.setBrush(kWhite);
  p.drawRoundedRect(QRectF(8, 17, 16, 11), 1.2, 1.2);
  p.setBrush(kBlueTint);
  p.drawRect(QRectF(9, 4, 12, 8));
  p.setBrush(kBlue);
  p.drawRect(QRectF(16.5, 5.5, 3, 5));
  p.setBrush(QColor(0xc9, 0xd6, 0xe6));
  p.drawRect(QRectF(10, 20, 12, 1.4));
  p.drawRect(QRectF(10, 23.5, 9, 1.4));
}

void DrawSaveAfterSettings(QPainter& p) {
  DrawSave(p);
  // A gear badge: what is saved now came from a settings command.
  Badge(p, kAmber);
  const QPointF c(24.5, 24.5);
  p.setPen(QPen(kWhite, 2.2, Qt::SolidLine, Qt::FlatCap));
  for (int i = 0; i < 4; ++i) {
    const qreal a = i * M_PI / 4;
    const QPointF dir(qCos(a), qSin(a));
    p.drawLine(c - dir * 4.3, c + dir * 4.3);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(kWhite);
  p.drawEllipse(c, 3.1, 3.1);
  p.setBrush(kAmber);
  p.drawEllipse(c, 1.3, 1.3);
}

void DrawDelete(QPainter& p) {
  p.setPen(Stroke(kRed));
  p.setBrush(kRedTint);
  const QPointF bin[] = {{8, 10}, {24, 10}, {22.5, 28}, {9.5, 28}};
  p.drawPolygon(bin, 4);
  p.drawLine(QPointF(5, 8), QPointF(27, 8));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(12.5, 3.5, 7, 4.5), 1.2, 1.2);
  p.setPen(Stroke(kRed, 1.8));
  for (qreal x : {13.0, 16.0, 19.0}) p.drawLine(QPointF(x, 14), QPointF(x, 24));
}

void DrawExit(QPainter& p) {
  // A door with the way out.
  p.setPen(Stroke(kInk));
  p.setBrush(QColor(0xee, 0xf0, 0xf3));
  p.drawRoundedRect(QRectF(4, 3, 15, 26), 1.5, 1.5);
  p.setBrush(kGrey);
  const QPointF leaf[] = {{4, 3}, {13, 6}, {13, 29}, {4, 29}};
  p.setPen(Stroke(kInk, 1.6));
  p.drawPolygon(leaf, 4);
  p.setPen(Stroke(kRed, 2.6));
  p.drawLine(QPointF(15, 16), QPointF(28, 16));
  p.setPen(Qt::NoPen);
  p.setBrush(kRed);
  const QPointF head[] = {{30.5, 16}, {24.5, 11}, {24.5, 21}};
  p.drawPolygon(head, 3);
}

void DrawPlug(QPainter& p, const QColor& colour, const QColor& tint) {
  // A plug about to meet its socket: the cable to the meter.
  p.setPen(Stroke(colour));
  p.setBrush(tint);
  p.drawRoundedRect(QRectF(3, 10, 11, 13), 2.5, 2.5);
  p.drawLine(QPointF(14, 13.5), QPointF(18, 13.5));
  p.drawLine(QPointF(14, 19.5), QPointF(18, 19.5));
  p.setBrush(colour);
  p.drawRoundedRect(QRectF(19, 8, 9, 17), 2.5, 2.5);
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(28, 16.5), QPointF(31, 16.5));
  p.drawLine(QPointF(3, 16.5), QPointF(1, 16.5));
}

void DrawLink(QPainter& p) {
  DrawPlug(p, kBlue, kBlueTint);
  p.setPen(Stroke(kAmber, 2));
  p.drawLine(QPointF(16.5, 2.5), QPointF(16.5, 5.5));
  p.drawLine(QPointF(11.5, 4), QPointF(13, 6.5));
  p.drawLine(QPointF(21.5, 4), QPointF(20, 6.5));
}

// A status lamp, lit in the state's colour, with the chain link over it.
void DrawLamp(QPainter& p, const QColor& colour) {
  QRadialGradient glow(QPointF(13, 12), 16);
  glow.setColorAt(0, colour.lighter(145));
  glow.setColorAt(1, colour);
  p.setPen(Stroke(colour.darker(125), 1.6));
  p.setBrush(glow);
  p.drawEllipse(QPointF(16, 16), 13, 13);
}

void DrawChain(QPainter& p, bool broken) {
  p.setPen(Stroke(kWhite, 2.4));
  p.setBrush(Qt::NoBrush);
  p.save();
  p.translate(16, 16);
  p.rotate(-45);
  if (broken) {
    p.drawRoundedRect(QRectF(-11, -3.5, 9, 7), 3.5, 3.5);
    p.drawRoundedRect(QRectF(2, -3.5, 9, 7), 3.5, 3.5);
  } else {
    p.drawRoundedRect(QRectF(-10, -3.5, 11, 7), 3.5, 3.5);
    p.drawRoundedRect(QRectF(-1, -3.5, 11, 7), 3.5, 3.5);
  }
  p.restore();
  if (broken) {
    p.setPen(Stroke(kWhite, 1.8));
    p.drawLine(QPointF(19, 9), QPointF(20.5, 6.5));
    p.drawLine(QPointF(13, 23), QPointF(11.5, 25.5));
  }
}

void DrawLinkStatus(QPainter& p, const QColor& colour, bool broken) {
  DrawLamp(p, colour);
  DrawChain(p, broken);
}

void DrawExport(QPainter& p) {
  // A worksheet leaving the program.
  p.setPen(Stroke(kGreen));
  p.setBrush(kWhite);
  p.drawRoundedRect(QRectF(3, 4, 20, 24), 2, 2);
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawRect(QRectF(4, 5, 18, 5));
  p.setPen(Stroke(kGreen, 1.2));
  for (qreal y : {15.0, 20.0}) p.drawLine(QPointF(4, y), QPointF(22, y));
  p.drawLine(QPointF(10, 10), QPointF(10, 27));
  p.drawLine(QPointF(16, 10), QPointF(16, 27));
  p.setPen(Stroke(kWhite, 4.5));
  p.drawLine(QPointF(17, 22), QPointF(26, 22));
  p.setPen(Stroke(kGreen, 2.4));
  p.drawLine(QPointF(17, 22), QPointF(25, 22));
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  const QPointF head[] = {{30.5, 22}, {24.5, 17}, {24.5, 27}};
  p.drawPolygon(head, 3);
}

void DrawPrint(QPainter& p) {
  p.setPen(Stroke(kInk));
  p.setBrush(kWhite);
  p.drawRect(QRectF(9, 3, 14, 9));
  p.setBrush(QColor(0x5b, 0x67, 0x76));
  p.drawRoundedRect(QRectF(3, 11, 26, 12), 2.5, 2.5);
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawEllipse(QPointF(24.5, 15), 1.4, 1.4);
  p.setPen(Stroke(kInk));
  p.setBrush(kWhite);
  p.drawRect(QRectF(9, 19, 14, 10));
  p.setPen(Stroke(kGrey, 1.4));
  p.drawLine(QPointF(12, 23), QPointF(20, 23));
  p.drawLine(QPointF(12, 26), QPointF(18, 26));
}

// Draws the picture of one icon resource into a 32x32 space.
void DrawResource(QPainter& p, int resource) {
  switch (resource) {
    case 150: DrawRealTime(p); break;
    case 151: DrawHistory(p); break;
    case 152: DrawParameters(p); break;
    case 153: DrawListing(p); break;
    case 154: DrawOpen(p); break;
    case 148: DrawSetClock(p); break;
    case 160: DrawWavelength(p); break;
    case 159: DrawCalibrate(p); break;
    case 158: DrawTestMode(p); break;
    case 157: DrawSave(p); break;
    case 163: DrawSaveAfterSettings(p); break;
    case 156: DrawDelete(p); break;
    case 155: DrawExit(p); break;
    case 161: DrawLink(p); break;
    case 164: DrawLinkStatus(p, kGrey, false); break;
    case 165: DrawRealTimeRunning(p); break;
    case 166: DrawLinkStatus(p, kGreen, false); break;
    case 167: DrawLinkStatus(p, kRed, true); break;
    case 178: DrawExport(p); break;
    case 177: DrawPrint(p); break;
    default: break;
  }
}

class VectorIconEngine : public QIconEngine {
 public:
  explicit VectorIconEngine(int resource) : m_nResource(resource) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    if (mode == QIcon::Disabled) {
      // Greyed pictures are derived from the colour one, as pixels.
      const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
      painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, dpr));
      return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const int side = qMin(rect.width(), rect.height());
    painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
    painter->scale(side / 32.0, side / 32.0);
    DrawResource(*painter, m_nResource);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    QPixmap pm(size * scale);
    pm.setDevicePixelRatio(scale);
    pm.fill(Qt::transparent);
    {
      QPainter p(&pm);
      paint(&p, QRect(QPoint(0, 0), size), QIcon::Normal, state);
    }
    if (mode == QIcon::Disabled) {
      QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
      for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
          const int g = 140 + qGray(line[x]) / 3;
          line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
      }
      pm = QPixmap::fromImage(img);
      pm.setDevicePixelRatio(scale);
    }
    return pm;
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QIconEngine* clone() const override { return new VectorIconEngine(m_nResource); }
  QString key() const override { return QStringLiteral("km360r-vector"); }

 private:
  int m_nResource;
};

}  // namespace

QIcon Image(int image) {
  if (image < 0 || image >= cmd::kToolbarImageCount) return QIcon();
  return QIcon(new VectorIconEngine(cmd::ToolbarImageResources()[static_cast<size_t>(image)]));
}

}  // namespace toolbar_icons
