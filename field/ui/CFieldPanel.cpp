#include "field/ui/CFieldPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QStringList>
#include <algorithm>
#include <vector>

#include "common/Gbk.h"
#include "common/ui/QtText.h"

namespace {

QFont PixelFont(const QFont& base, int pixels, bool bold) {
  QFont f = base;
  f.setPixelSize(pixels);
  f.setBold(bold);
  return f;
}

// The readout's numbers with a true minus sign, easier to read from afar.
QString Number(const std::string& text) {
  QString s = Qs(text);
  if (s.startsWith(QLatin1Char('-'))) s[0] = QChar(0x2212);
  return s;
}

const QColor kFigures(0xe8, 0xed, 0xf2);
const QColor kCaptions(0x8f, 0xa0, 0xb3);  // captions in a quieter grey than the figures
const QColor kStaleFigures(0x6c, 0x78, 0x86);
const QColor kStaleNote(0xf0, 0xb4, 0x29);  // amber: the note that explains the grey

void Colour(QLabel* label, const QColor& colour) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, colour);
  label->setPalette(p);
}

// Spacing, in pixels.
constexpr int kMarginX = 16;
constexpr int kMarginY = 8;
constexpr int kGap = 24;       // between the parts on a line
constexpr int kLineGap = 8;    // between lines
constexpr int kRowGap = 2;     // between the statistics' rows
constexpr int kPairGap = 16;   // between two statistics on a line
constexpr int kCaptionGap = 8;
constexpr int kButtonGap = 4;
constexpr int kUnitGap = 6;
// A text's ink may reach a pixel past its advance (bold, italic ends).
constexpr int kSlack = 2;
constexpr int kVerdictPadding = 48;
constexpr int kVerdictMargin = 6;
constexpr int kValueStep = 4;

// The figures as wide as they get, so a place does not change with each reading.
const QString kValueTemplate = QStringLiteral("\u221288.88");
const QString kFigureTemplate = QStringLiteral("\u221288.88 dBm");
const QString kClockTemplate = QStringLiteral("88:88:88");

// The room the widest and tallest of `texts` takes on one line (a Chinese
// text is taller than a Latin one: its characters come from another font).
QSize Size(const QFont& font, const QStringList& texts) {
  const QFontMetrics metrics(font);
  QSize room;
  for (const QString& text : texts) room = room.expandedTo(metrics.size(Qt::TextSingleLine, text));
  return room + QSize(kSlack, 0);
}

// The parts' fonts for a size of the large value; the smaller parts shrink
// with it, never below what reads well at arm's length.
struct Fonts {
  Fonts(const QFont& base, int v)
      : value(PixelFont(base, v, true)),
        unit(PixelFont(base, std::max(14, v / 3), false)),
        detail(PixelFont(base, std::clamp(v / 4, 14, 18), false)),
        note(PixelFont(base, 15, false)),
        caption(PixelFont(base, 15, false)),
        figure(PixelFont(base, 20, true)),
        reference(PixelFont(base, 15, false)),
        relative(PixelFont(base, std::clamp(v * 30 / 72, 20, 30), true)),
        verdict(PixelFont(base, std::clamp(v * 44 / 72, 26, 44), true)) {}
  QFont value, unit, detail, note, caption, figure, reference, relative, verdict;
};

// Places boxes left to right from `left`, wrapping at `right`; returns the
// boxes' places and the height taken below `top`.
int Flow(const std::vector<QSize>& sizes, int left, int right, int top, int gap, std::vector<QRect>& places) {
  int x = left;
  int y = top;
  int lineHeight = 0;
  for (const QSize& s : sizes) {
    if (x > left && x + s.width() > right) {
      y += lineHeight + kLineGap;
      x = left;
      lineHeight = 0;
    }
    places.emplace_back(QPoint(x, y), s);
    x += s.width() + gap;
    lineHeight = std::max(lineHeight, s.height());
  }
  // Each box centred on its line's height.
  int lineStart = 0;
  for (size_t i = 0; i <= places.size(); ++i) {
    const bool lineEnds = i == places.size() || (i > 0 && places[i].top() != places[lineStart].top());
    if (!lineEnds) continue;
    int h = 0;
    for (size_t j = static_cast<size_t>(lineStart); j < i; ++j) h = std::max(h, places[j].height());
    for (size_t j = static_cast<size_t>(lineStart); j < i; ++j) {
      places[j].moveTop(places[j].top() + (h - places[j].height()) / 2);
    }
    lineStart = static_cast<int>(i);
  }
  return y + lineHeight - top;
}

}  // namespace

// Where each part goes, in the panel's coordinates.
struct CFieldPanel::Arrangement {
  bool fits = false;
  int valuePixels = kValuePixels;
  int height = 0;
  QRect value, unit, detail, stale, reference, relative, verdict, judgedBy;
  QRect captions[5], stats[5], buttons[3];
};

CFieldPanel::CFieldPanel(const field::FieldTexts& texts, QWidget* parent) : QFrame(parent), m_texts(texts) {
  setObjectName(QStringLiteral("fieldPanel"));
  setFrameShape(QFrame::StyledPanel);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  // Light figures on a dark ground, from the palette: a style sheet would
  // be matched again at every repaint of a reading.
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(0x10, 0x18, 0x20));
  p.setColor(QPalette::WindowText, kFigures);
  setPalette(p);

  m_value = new QLabel(Qs(m_texts.noReading), this);
  m_value->setObjectName(QStringLiteral("fieldValue"));
  m_value->setAlignment(Qt::AlignRight | Qt::AlignBottom);
  m_unit = new QLabel(QStringLiteral("dBm"), this);
  m_unit->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  m_detail = new QLabel(this);
  m_detail->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_stale = new QLabel(this);
  m_stale->setObjectName(QStringLiteral("fieldStale"));
  m_stale->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Colour(m_stale, kStaleNote);

  const std::string* captions[5] = {&m_texts.count, &m_texts.min, &m_texts.max, &m_texts.mean, &m_texts.span};
  for (int i = 0; i < 5; ++i) {
    m_captions[i] = new QLabel(Qs(*captions[i]), this);
    m_captions[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Colour(m_captions[i], kCaptions);
    m_stats[i] = new QLabel(QStringLiteral("-"), this);
    m_stats[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  m_reference = new QLabel(this);
  Colour(m_reference, kCaptions);
  m_relative = new QLabel(this);

  m_verdict = new QLabel(this);
  m_verdict->setObjectName(QStringLiteral("fieldVerdict"));
  m_verdict->setAlignment(Qt::AlignCenter);
  m_verdict->setMargin(kVerdictMargin);
  m_verdict->setAutoFillBackground(true);
  m_judgedBy = new QLabel(this);
  m_judgedBy->setObjectName(QStringLiteral("fieldJudgedBy"));
  m_judgedBy->setAlignment(Qt::AlignCenter);
  Colour(m_judgedBy, kCaptions);
  m_judgedBy->hide();

  const std::string* labels[3] = {&m_texts.setReference, &m_texts.limits, &m_texts.resetStatistics};
  void (CFieldPanel::*pressed[3])() = {&CFieldPanel::SetReferenceClicked, &CFieldPanel::LimitsClicked,
                                       &CFieldPanel::ResetStatisticsClicked};
  for (int i = 0; i < 3; ++i) {
    m_buttons[i] = new QPushButton(Qs(*labels[i]), this);
    connect(m_buttons[i], &QPushButton::clicked, this, pressed[i]);
  }
  // Tab goes from button to button in the order they are read.
  setTabOrder(m_buttons[0], m_buttons[1]);
  setTabOrder(m_buttons[1], m_buttons[2]);

  ShowReadout(field::Readout());
  Arrange();
}

QSize CFieldPanel::sizeHint() const { return {QFrame::sizeHint().width(), m_nHeight}; }

// The panel never asks the window to be wider: it rearranges itself instead.
QSize CFieldPanel::minimumSizeHint() const { return {0, m_nHeight}; }

void CFieldPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  if (event->size().width() != event->oldSize().width()) Arrange();
}

void CFieldPanel::SetFonts(int valuePixels) {
  if (valuePixels == m_nValuePixels) return;
  m_nValuePixels = valuePixels;
  const Fonts f(font(), valuePixels);
  m_value->setFont(f.value);
  m_unit->setFont(f.unit);
  // The unit stands on the digits' baseline.
  m_unit->setContentsMargins(0, 0, 0,
                             std::max(0, QFontMetrics(f.value).descent() - QFontMetrics(f.unit).descent()));
  m_detail->setFont(f.detail);
  m_stale->setFont(f.note);
  for (int i = 0; i < 5; ++i) {
    m_captions[i]->setFont(f.caption);
    m_stats[i]->setFont(f.figure);
  }
  m_reference->setFont(f.reference);
  m_relative->setFont(f.relative);
  m_verdict->setFont(f.verdict);
  m_judgedBy->setFont(f.reference);
}

CFieldPanel::Arrangement CFieldPanel::Plan(int width) const {
  const int left = frameWidth() + kMarginX;
  const int right = std::max(left + 1, width - frameWidth() - kMarginX);
  const int top = frameWidth() + kMarginY;
  const bool referenced = !m_relative->isHidden();
  const bool judged = !m_verdict->isHidden();
  QSize buttonSizes[3];
  int buttonsWidth = 0;
  for (int i = 0; i < 3; ++i) {
    buttonSizes[i] = m_buttons[i]->sizeHint();
    buttonsWidth = std::max(buttonsWidth, buttonSizes[i].width());
  }
  const int buttonHeight = buttonSizes[0].height();
  const QSize buttonColumn(buttonsWidth, 3 * buttonHeight + 2 * kButtonGap);

  // 0: one row; 1: the statistics on a line of their own; 2: the buttons
  // under the value as well. Each with the largest value that fits.
  Arrangement plan;
  for (int mode = 0; mode < 3; ++mode) {
    const int smallest = mode == 0 ? 56 : mode == 1 ? 44 : kSmallestValuePixels;
    for (int v = kValuePixels; v >= smallest; v -= kValueStep) {
      const Fonts f(font(), v);
      plan = Arrangement();
      plan.valuePixels = v;
      // The value with its unit, the detail and the note beneath.
      const QSize valueText = Size(f.value, {kValueTemplate, m_value->text()});
      const QSize unitText = Size(f.unit, {m_unit->text()});
      const int valueW = valueText.width();
      const int unitW = unitText.width();
      const int lineH = valueText.height();
      const QSize detailText =
          Size(f.detail, {QStringLiteral("888.88uW   ") + Qs(m_texts.wavelength) + QStringLiteral(" 1625 nm"),
                          m_detail->text()});
      const QSize noteText = Size(f.note, {Qs(m_texts.stoppedAt) + kClockTemplate,
                                           Qs(m_texts.lostAt) + kClockTemplate, m_stale->text()});
      const int detailH = detailText.height();
      const int noteH = noteText.height();
      const QSize block(std::max({valueW + kUnitGap + unitW, detailText.width(), noteText.width()}),
                        lineH + detailH + noteH);
      // A statistic: its caption and its figure.
      QStringList captionTexts;
      QStringList figureTexts{kFigureTemplate};
      for (int i = 0; i < 5; ++i) {
        captionTexts << m_captions[i]->text();
        figureTexts << m_stats[i]->text();
      }
      const QSize captionText = Size(f.caption, captionTexts);
      const QSize figureText = Size(f.figure, figureTexts);
      const int captionW = captionText.width();
      const int figureW = figureText.width();
      const int rowH = std::max(captionText.height(), figureText.height());
      const QSize pair(captionW + kCaptionGap + figureW, rowH);
      // The reference and the relative value.
      const QSize referenceText =
          Size(f.reference, {Qs(m_texts.reference) + QStringLiteral(" \u221288.88 dBm"), m_reference->text()});
      const QSize relativeText =
          Size(f.relative, {Qs(m_texts.relative) + QStringLiteral(" \u221288.88 dB"), m_relative->text()});
      QSize relativeBlock;
      if (referenced) {
        relativeBlock = QSize(std::max(referenceText.width(), relativeText.width()),
                              referenceText.height() + kRowGap + relativeText.height());
      }
      QSize verdict;
      QSize judgedBy;  // the job's profile under the verdict
      if (judged) {
        const field::VerdictWords& w = m_texts.verdicts;
        // The readout's own limits say PASS or FAIL; an open job's profile may
        // also say MARGINAL or NO LIMIT. Room is kept for the words that can come.
        QStringList words{Qs(w.pass), Qs(w.fail), m_verdict->text()};
        if (!m_judgedBy->isHidden()) words << Qs(w.marginal) << Qs(w.noLimit);
        const QSize text = Size(f.verdict, words);
        verdict = QSize(text.width() + kVerdictPadding, text.height() + 2 * kVerdictMargin);
        if (!m_judgedBy->isHidden()) {
          judgedBy = Size(f.reference, {m_judgedBy->text()});
          verdict = QSize(std::max(verdict.width(), judgedBy.width()), verdict.height() + kRowGap + judgedBy.height());
        }
      }
      auto placeVerdict = [&](const QRect& at) {
        const int below = judgedBy.isEmpty() ? 0 : kRowGap + judgedBy.height();
        plan.verdict = QRect(at.topLeft(), QSize(at.width(), at.height() - below));
        if (!judgedBy.isEmpty()) {
          plan.judgedBy = QRect(at.left(), plan.verdict.bottom() + 1 + kRowGap, at.width(), judgedBy.height());
        }
      };

      auto placeBlock = [&](const QRect& at) {
        plan.unit = QRect(at.right() + 1 - unitW, at.top(), unitW, lineH);
        plan.value = QRect(at.left(), at.top(), plan.unit.left() - kUnitGap - at.left(), lineH);
        plan.detail = QRect(at.left(), at.top() + lineH, at.width(), detailH);
        plan.stale = QRect(at.left(), plan.detail.bottom() + 1, at.width(), noteH);
      };
      auto placePair = [&](int i, QPoint at) {
        plan.captions[i] = QRect(at, QSize(captionW, rowH));
        plan.stats[i] = QRect(at.x() + captionW + kCaptionGap, at.y(), figureW, rowH);
      };
      auto placeRelative = [&](const QRect& at) {
        plan.reference = QRect(at.topLeft(), QSize(at.width(), referenceText.height()));
        plan.relative = QRect(at.left(), plan.reference.bottom() + 1 + kRowGap, at.width(), relativeText.height());
      };
      auto placeButtonColumn = [&](QPoint at) {
        for (int i = 0; i < 3; ++i) {
          plan.buttons[i] = QRect(at + QPoint(0, i * (buttonHeight + kButtonGap)), QSize(buttonsWidth, buttonHeight));
        }
      };
      // The statistics, as many on a line as fit; returns the height taken.
      auto flowStatistics = [&](int y) {
        std::vector<QRect> places;
        const int h = Flow(std::vector<QSize>(5, pair), left, right, y, kPairGap, places);
        for (int i = 0; i < 5; ++i) placePair(i, places[static_cast<size_t>(i)].topLeft());
        return h;
      };
      // The value, the reference and the verdict on the first line.
      std::vector<QSize> heads{block};
      if (referenced) heads.push_back(relativeBlock);
      if (judged) heads.push_back(verdict);
      auto placeHeads = [&](const std::vector<QRect>& places) {
        size_t k = 0;
        placeBlock(places[k++]);
        if (referenced) placeRelative(places[k++]);
        if (judged) placeVerdict(places[k++]);
      };

      int height = 0;
      if (mode == 0) {
        // value | statistics in two columns | reference | verdict ... buttons
        const QSize grid(2 * pair.width() + kGap, 3 * rowH + 2 * kRowGap);
        std::vector<QSize> row = heads;
        row.insert(row.begin() + 1, grid);
        int needed = buttonColumn.width();
        for (const QSize& s : row) needed += s.width() + kGap;
        if (left + needed > right) continue;
        std::vector<QRect> places;
        row.push_back(buttonColumn);
        height = Flow(row, left, right + 1, top, kGap, places);
        placeBlock(places[0]);
        for (int i = 0; i < 5; ++i) {
          placePair(i, places[1].topLeft() + QPoint(i < 3 ? 0 : pair.width() + kGap, (i % 3) * (rowH + kRowGap)));
        }
        size_t k = 2;
        if (referenced) placeRelative(places[k++]);
        if (judged) placeVerdict(places[k++]);
        placeButtonColumn(QPoint(right + 1 - buttonsWidth, places[k].top()));
      } else if (mode == 1) {
        // value | reference | verdict ... buttons, the statistics beneath
        int needed = buttonColumn.width();
        for (const QSize& s : heads) needed += s.width() + kGap;
        if (left + needed > right) continue;
        std::vector<QSize> row = heads;
        row.push_back(buttonColumn);
        std::vector<QRect> places;
        const int first = Flow(row, left, right + 1, top, kGap, places);
        placeHeads(places);
        placeButtonColumn(QPoint(right + 1 - buttonsWidth, places.back().top()));
        height = first + kLineGap + flowStatistics(top + first + kLineGap);
      } else {
        // value, reference and verdict as they fit; the buttons in a row
        // under them; the statistics beneath.
        if (left + block.width() > right) continue;
        std::vector<QRect> places;
        height = Flow(heads, left, right, top, kGap, places);
        placeHeads(places);
        std::vector<QRect> buttonPlaces;
        const std::vector<QSize> buttons(std::begin(buttonSizes), std::end(buttonSizes));
        height += kLineGap;
        height += Flow(buttons, left, right, top + height, kButtonGap * 2, buttonPlaces);
        for (int i = 0; i < 3; ++i) plan.buttons[i] = buttonPlaces[static_cast<size_t>(i)];
        height += kLineGap;
        height += flowStatistics(top + height);
      }
      plan.fits = true;
      plan.height = height + 2 * (frameWidth() + kMarginY);
      return plan;
    }
  }
  return plan;  // narrower than any arrangement: the last one tried
}

void CFieldPanel::Arrange() {
  if (m_bArranging) return;
  m_bArranging = true;
  Arrangement plan = Plan(width());
  SetFonts(plan.valuePixels);
  // The fonts are the plan's now; a plan made with other fonts is made again.
  plan = Plan(width());
  m_value->setGeometry(plan.value);
  m_unit->setGeometry(plan.unit);
  m_detail->setGeometry(plan.detail);
  m_stale->setGeometry(plan.stale);
  for (int i = 0; i < 5; ++i) {
    m_captions[i]->setGeometry(plan.captions[i]);
    m_stats[i]->setGeometry(plan.stats[i]);
  }
  m_reference->setGeometry(plan.reference);
  m_relative->setGeometry(plan.relative);
  m_verdict->setGeometry(plan.verdict);
  m_judgedBy->setGeometry(plan.judgedBy);
  for (int i = 0; i < 3; ++i) m_buttons[i]->setGeometry(plan.buttons[i]);
  if (plan.height != m_nHeight) {
    m_nHeight = plan.height;
    setFixedHeight(m_nHeight);
    updateGeometry();
  }
  m_bArranging = false;
}

bool CFieldPanel::SetText(QLabel* label, const QString& text) {
  if (label->text() == text) return false;
  label->setText(text);
  const QSize needed = QFontMetrics(label->font()).size(Qt::TextSingleLine, text);
  const QRect room = label->contentsRect();
  return needed.width() + kSlack > room.width() || needed.height() > room.height();
}

void CFieldPanel::ShowReadout(const field::Readout& readout) {
  bool overflow = false;
  const std::optional<field::Row>& latest = readout.Latest();
  if (!latest) {
    overflow |= SetText(m_value, Qs(m_texts.noReading));
    overflow |= SetText(m_detail, QString());
  } else {
    const field::Sample& s = latest->sample;
    overflow |= SetText(m_value, s.dbm ? Number(field::FormatTwoDecimals(*s.dbm)) : Qs(gbk::ToUtf8(s.logPower)));
    overflow |= SetText(m_detail, Qs(gbk::ToUtf8(s.linearPower)) + QStringLiteral("   ") + Qs(m_texts.wavelength) +
                                      QLatin1Char(' ') + Qs(gbk::ToUtf8(s.wavelength)) + QStringLiteral(" nm"));
  }

  const field::Statistics& st = readout.Stats();
  const bool any = st.Count() > 0;
  auto number = [any](double v, const char* unit) {
    return any ? Number(field::FormatTwoDecimals(v)) + QLatin1String(unit) : QStringLiteral("-");
  };
  overflow |= SetText(m_stats[0], QString::number(st.Count()));
  overflow |= SetText(m_stats[1], number(st.Min(), " dBm"));
  overflow |= SetText(m_stats[2], number(st.Max(), " dBm"));
  overflow |= SetText(m_stats[3], number(st.MeanDbm(), " dBm"));
  overflow |= SetText(m_stats[4], number(st.Span(), " dB"));

  const std::optional<double> reference = readout.ShownReference();
  if (m_relative->isHidden() == reference.has_value()) {
    m_reference->setVisible(reference.has_value());
    m_relative->setVisible(reference.has_value());
    overflow = true;
  }
  if (reference) {
    overflow |= SetText(m_reference, Qs(m_texts.reference) + QLatin1Char(' ') +
                                         Number(field::FormatTwoDecimals(*reference)) + QStringLiteral(" dBm"));
    const bool relative = latest && latest->relative;
    overflow |= SetText(m_relative, Qs(m_texts.relative) + QLatin1Char(' ') +
                                        (relative ? Number(field::FormatSigned(*latest->relative))
                                                  : QStringLiteral("-")) +
                                        QStringLiteral(" dB"));
  }

  // The verdict shows while limits are set or a test job judges; the job's
  // profile is named beneath it.
  const field::Verdict verdict = latest ? latest->verdict : field::Verdict::None;
  const bool judged = readout.Judging();
  if (m_verdict->isHidden() == judged) {
    m_verdict->setVisible(judged);
    overflow = true;
  }
  const std::optional<field::ReadingJudge>& judge = readout.OuterJudge();
  const QString judgedBy = judge ? Qs(m_texts.judgedBy + judge->name) : QString();
  if (m_judgedBy->text() != judgedBy || m_judgedBy->isHidden() == judgedBy.isEmpty()) {
    m_judgedBy->setText(judgedBy);
    m_judgedBy->setVisible(!judgedBy.isEmpty());
    overflow = true;
  }
  const int code = static_cast<int>(verdict);
  if (judged && code != m_nVerdict) {
    m_nVerdict = code;
    ApplyVerdictColours();
    const std::string word = m_texts.verdicts.Word(verdict);
    overflow |= SetText(m_verdict, word.empty() ? QStringLiteral("\u2013") : Qs(word));
  }
  if (overflow) Arrange();
}

void CFieldPanel::ApplyVerdictColours() {
  const auto verdict = static_cast<field::Verdict>(m_nVerdict);
  // A verdict on a value that is no longer live is not a verdict on the
  // fibre now: it loses its colour.
  const QColor background = m_bStale                            ? QColor(0x2a, 0x32, 0x3c)
                            : verdict == field::Verdict::Pass   ? QColor(0x1e, 0x9e, 0x48)
                            : verdict == field::Verdict::Fail   ? QColor(0xd3, 0x2f, 0x2f)
                            : verdict == field::Verdict::Marginal ? QColor(0xe0, 0x8e, 0x00)
                                                                : QColor(0x3a, 0x46, 0x54);
  QPalette p = m_verdict->palette();
  p.setColor(QPalette::Window, background);
  p.setColor(QPalette::WindowText, m_bStale ? kStaleFigures : QColor(Qt::white));
  m_verdict->setPalette(p);
}

void CFieldPanel::ShowStale(const QString& note) {
  const bool stale = !note.isEmpty();
  const bool overflow = SetText(m_stale, note);
  if (stale != m_bStale) {
    m_bStale = stale;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, stale ? kStaleFigures : kFigures);
    setPalette(p);
    if (m_nVerdict >= 0) ApplyVerdictColours();
  }
  if (overflow) Arrange();
}
