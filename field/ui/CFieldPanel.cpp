#include "field/ui/CFieldPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Gbk.h"

namespace {

QString Qs(const std::string& utf8) { return QString::fromStdString(utf8); }

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

// Captions in a quieter grey than the figures.
void Quiet(QLabel* label) {
  QPalette p = label->palette();
  p.setColor(QPalette::WindowText, QColor(0x8f, 0xa0, 0xb3));
  label->setPalette(p);
}

constexpr int kVerdictPixels = 44;
constexpr int kRelativePixels = 30;

}  // namespace

CFieldPanel::CFieldPanel(const field::FieldTexts& texts, QWidget* parent) : QFrame(parent), m_texts(texts) {
  setObjectName(QStringLiteral("fieldPanel"));
  setFrameShape(QFrame::StyledPanel);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  // Light figures on a dark ground, from the palette: a style sheet would
  // be matched again at every repaint of a reading.
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, QColor(0x10, 0x18, 0x20));
  p.setColor(QPalette::WindowText, QColor(0xe8, 0xed, 0xf2));
  setPalette(p);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(16, 8, 16, 8);
  row->setSpacing(28);

  // The large value with its unit, and the linear power and wavelength below.
  auto* valueBox = new QVBoxLayout;
  valueBox->setSpacing(0);
  auto* valueLine = new QHBoxLayout;
  m_value = new QLabel(Qs(m_texts.noReading), this);
  m_value->setObjectName(QStringLiteral("fieldValue"));
  m_value->setFont(PixelFont(font(), kValuePixels, true));
  m_value->setAlignment(Qt::AlignRight | Qt::AlignBottom);
  // Wide enough for "−39.99" so the unit does not jump with each reading.
  m_value->setMinimumWidth(QFontMetrics(m_value->font()).horizontalAdvance(QStringLiteral("\u221288.88")));
  m_unit = new QLabel(QStringLiteral("dBm"), this);
  m_unit->setFont(PixelFont(font(), kValuePixels / 3, false));
  m_unit->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
  m_unit->setContentsMargins(0, 0, 0, kValuePixels / 8);
  valueLine->addWidget(m_value);
  valueLine->addWidget(m_unit);
  valueBox->addLayout(valueLine);
  m_detail = new QLabel(this);
  m_detail->setFont(PixelFont(font(), 18, false));
  m_detail->setAlignment(Qt::AlignRight);
  valueBox->addWidget(m_detail);
  row->addLayout(valueBox);

  // Count, minimum, maximum, mean and span.
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(14);
  grid->setVerticalSpacing(2);
  const std::string* captions[5] = {&m_texts.count, &m_texts.min, &m_texts.max, &m_texts.mean, &m_texts.span};
  for (int i = 0; i < 5; ++i) {
    auto* caption = new QLabel(Qs(*captions[i]), this);
    Quiet(caption);
    caption->setFont(PixelFont(font(), 15, false));
    m_stats[i] = new QLabel(QStringLiteral("-"), this);
    m_stats[i]->setFont(PixelFont(font(), 20, true));
    m_stats[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_stats[i]->setMinimumWidth(QFontMetrics(m_stats[i]->font()).horizontalAdvance(QStringLiteral("\u221288.88 dBm")));
    const int r = i < 3 ? i : i - 3;
    const int c = i < 3 ? 0 : 2;
    grid->addWidget(caption, r, c);
    grid->addWidget(m_stats[i], r, c + 1);
  }
  row->addLayout(grid);

  // The reference and the value relative to it.
  auto* relativeBox = new QVBoxLayout;
  relativeBox->setSpacing(2);
  m_reference = new QLabel(this);
  Quiet(m_reference);
  m_reference->setFont(PixelFont(font(), 15, false));
  m_relative = new QLabel(this);
  m_relative->setFont(PixelFont(font(), kRelativePixels, true));
  relativeBox->addWidget(m_reference);
  relativeBox->addWidget(m_relative);
  relativeBox->addStretch();
  row->addLayout(relativeBox);

  // The verdict.
  m_verdict = new QLabel(this);
  m_verdict->setObjectName(QStringLiteral("fieldVerdict"));
  m_verdict->setFont(PixelFont(font(), kVerdictPixels, true));
  m_verdict->setAlignment(Qt::AlignCenter);
  m_verdict->setMinimumWidth(QFontMetrics(m_verdict->font()).horizontalAdvance(QStringLiteral("FAIL")) + 48);
  m_verdict->setMargin(6);
  m_verdict->setAutoFillBackground(true);
  row->addWidget(m_verdict);
  row->addStretch();

  auto* buttons = new QVBoxLayout;
  buttons->setSpacing(4);
  auto add = [&](const std::string& text, void (CFieldPanel::*signal)()) {
    auto* b = new QPushButton(Qs(text), this);
    connect(b, &QPushButton::clicked, this, signal);
    buttons->addWidget(b);
  };
  add(m_texts.setReference, &CFieldPanel::SetReferenceClicked);
  add(m_texts.limits, &CFieldPanel::LimitsClicked);
  add(m_texts.resetStatistics, &CFieldPanel::ResetStatisticsClicked);
  row->addLayout(buttons);

  ShowReadout(field::Readout());
}

void CFieldPanel::SetText(QLabel* label, const QString& text) {
  if (label->text() != text) label->setText(text);
}

void CFieldPanel::ShowReadout(const field::Readout& readout) {
  const std::optional<field::Row>& latest = readout.Latest();
  if (!latest) {
    SetText(m_value, Qs(m_texts.noReading));
    SetText(m_detail, QString());
  } else {
    const field::Sample& s = latest->sample;
    SetText(m_value, s.dbm ? Number(field::FormatTwoDecimals(*s.dbm)) : Qs(gbk::ToUtf8(s.logPower)));
    SetText(m_detail, Qs(gbk::ToUtf8(s.linearPower)) + QStringLiteral("   ") + Qs(m_texts.wavelength) +
                          QLatin1Char(' ') + Qs(gbk::ToUtf8(s.wavelength)) + QStringLiteral(" nm"));
  }

  const field::Statistics& st = readout.Stats();
  const bool any = st.Count() > 0;
  auto number = [any](double v, const char* unit) {
    return any ? Number(field::FormatTwoDecimals(v)) + QLatin1String(unit) : QStringLiteral("-");
  };
  SetText(m_stats[0], QString::number(st.Count()));
  SetText(m_stats[1], number(st.Min(), " dBm"));
  SetText(m_stats[2], number(st.Max(), " dBm"));
  SetText(m_stats[3], number(st.MeanDbm(), " dBm"));
  SetText(m_stats[4], number(st.Span(), " dB"));

  const std::optional<double>& reference = readout.Reference();
  m_reference->setVisible(reference.has_value());
  m_relative->setVisible(reference.has_value());
  if (reference) {
    SetText(m_reference, Qs(m_texts.reference) + QLatin1Char(' ') + Number(field::FormatTwoDecimals(*reference)) +
                             QStringLiteral(" dBm"));
    const bool relative = latest && latest->relative;
    SetText(m_relative, Qs(m_texts.relative) + QLatin1Char(' ') +
                            (relative ? Number(field::FormatSigned(*latest->relative)) : QStringLiteral("-")) +
                            QStringLiteral(" dB"));
  }

  // The verdict shows while limits are set.
  const field::Verdict verdict = latest ? latest->verdict : field::Verdict::None;
  const bool judged = !readout.LimitsSet().Empty();
  m_verdict->setVisible(judged);
  const int code = static_cast<int>(verdict);
  if (judged && code != m_nVerdict) {
    m_nVerdict = code;
    const QColor background = verdict == field::Verdict::Pass   ? QColor(0x1e, 0x9e, 0x48)
                              : verdict == field::Verdict::Fail ? QColor(0xd3, 0x2f, 0x2f)
                                                                : QColor(0x3a, 0x46, 0x54);
    QPalette p = m_verdict->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::WindowText, Qt::white);
    m_verdict->setPalette(p);
    SetText(m_verdict, verdict == field::Verdict::Pass   ? Qs(m_texts.pass)
                       : verdict == field::Verdict::Fail ? Qs(m_texts.fail)
                                                         : QStringLiteral("\u2013"));
  }
}
