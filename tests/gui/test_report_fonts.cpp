// The report's fonts on this machine: "宋体" is a Windows face, so the
// fallback faces must give Chinese characters their own glyphs, not boxes.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "print/ui/CPainterDevice.h"

namespace {

QImage Drawn(const QFont& font, const QString& text) {
  QImage image(120, 120, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(QPoint(10, 100), text);
  return image;
}

TEST(ReportFonts, ChineseCharactersPrintAsTheirOwnGlyphs) {
  for (const int weight : {400, 700}) {
    const QFont font = CPainterDevice::FontFor({"宋体", 80, weight});
    const QImage blank = Drawn(font, QString());
    const QImage ce = Drawn(font, QStringLiteral("测"));
    const QImage shi = Drawn(font, QStringLiteral("试"));
    EXPECT_NE(ce, blank);
    // A missing glyph is the same box for every character.
    EXPECT_NE(ce, shi);
    EXPECT_TRUE(QFontMetrics(font).inFontUcs4(U'报'));
  }
}

}  // namespace
