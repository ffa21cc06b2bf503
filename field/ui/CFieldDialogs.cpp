#include "field/ui/CFieldDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/ui/QtText.h"
#include "device/meters/Registry.h"

namespace {

QDoubleSpinBox* PowerBox(QWidget* parent, double low, double high) {
  auto* box = new QDoubleSpinBox(parent);
  box->setDecimals(2);
  box->setRange(low, high);
  box->setSingleStep(0.5);
  return box;
}

QDialogButtonBox* OkCancel(const field::FieldTexts& texts, QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(Qs(texts.ok));
  buttons->button(QDialogButtonBox::Cancel)->setText(Qs(texts.cancel));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

// ---- reference ---------------------------------------------------------------

CFieldReferenceDialog::CFieldReferenceDialog(const field::FieldTexts& texts, std::optional<double> latest,
                                             std::optional<double> current, QWidget* parent)
    : QDialog(parent), m_latest(latest) {
  setWindowTitle(Qs(texts.referenceTitle));
  auto* layout = new QVBoxLayout(this);
  m_useLatest = new QRadioButton(this);
  m_useLatest->setText(Qs(texts.useLatest) +
                       (latest ? QStringLiteral(" (%1 dBm)").arg(Qs(field::FormatTwoDecimals(*latest))) : QString()));
  m_useLatest->setEnabled(latest.has_value());
  m_useTyped = new QRadioButton(Qs(texts.typedValue), this);
  m_typed = PowerBox(this, -99.99, 99.99);
  m_typed->setValue(current.value_or(latest.value_or(-20.0)));
  m_none = new QRadioButton(Qs(texts.clearReference), this);
  layout->addWidget(m_useLatest);
  auto* typedLine = new QHBoxLayout;
  typedLine->addWidget(m_useTyped);
  typedLine->addWidget(m_typed);
  layout->addLayout(typedLine);
  layout->addWidget(m_none);
  layout->addWidget(OkCancel(texts, this));
  (latest ? m_useLatest : m_useTyped)->setChecked(true);
  connect(m_typed, &QDoubleSpinBox::valueChanged, this, [this] { m_useTyped->setChecked(true); });
}

std::optional<double> CFieldReferenceDialog::Reference() const {
  if (m_none->isChecked()) return std::nullopt;
  if (m_useLatest->isChecked() && m_latest) return m_latest;
  return m_typed->value();
}

// ---- limits ------------------------------------------------------------------

const std::vector<int>& CFieldLimitsDialog::Wavelengths() {
  static const std::vector<int> kWavelengths(meters::StationModel().settings.wavelengthsNm.begin(),
                                              meters::StationModel().settings.wavelengthsNm.end());
  return kWavelengths;
}

CFieldLimitsDialog::CFieldLimitsDialog(const field::FieldTexts& texts, const field::Limits& limits,
                                       QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(Qs(texts.limitsTitle));
  setMinimumWidth(380);
  auto* layout = new QVBoxLayout(this);
  auto* hint = new QLabel(Qs(texts.limitsHint), this);
  hint->setWordWrap(true);
  layout->addWidget(hint);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(Qs(texts.low), this), 0, 1);
  grid->addWidget(new QLabel(Qs(texts.high), this), 0, 2);
  int r = 1;
  auto addRow = [&](const QString& caption, RowEdits& row) {
    row.on = new QCheckBox(caption, this);
    row.low = PowerBox(this, -99.99, 99.99);
    row.high = PowerBox(this, -99.99, 99.99);
    grid->addWidget(row.on, r, 0);
    grid->addWidget(row.low, r, 1);
    grid->addWidget(row.high, r, 2);
    connect(row.low, &QDoubleSpinBox::valueChanged, row.on, [on = row.on] { on->setChecked(true); });
    connect(row.high, &QDoubleSpinBox::valueChanged, row.on, [on = row.on] { on->setChecked(true); });
    ++r;
  };
  for (int nm : Wavelengths()) addRow(QStringLiteral("%1 nm").arg(nm), m_rows[nm]);
  addRow(Qs(texts.relativeRow), m_relative);
  layout->addLayout(grid);
  auto* presets = new QPushButton(Qs(texts.presets), this);
  connect(presets, &QPushButton::clicked, this, &CFieldLimitsDialog::ApplyPresets);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(presets);
  bottom->addStretch();
  bottom->addWidget(OkCancel(texts, this));
  layout->addLayout(bottom);

  for (auto& [nm, row] : m_rows) {
    const auto it = limits.byWavelength.find(nm);
    SetRow(row, it == limits.byWavelength.end() ? std::nullopt : std::optional<field::Window>(it->second));
  }
  SetRow(m_relative, limits.relative);
}

void CFieldLimitsDialog::SetRow(RowEdits& row, const std::optional<field::Window>& window) {
  row.low->setValue(window ? window->low : -30.0);
  row.high->setValue(window ? window->high : -8.0);
  // After the values: setting them ticks the box.
  row.on->setChecked(window.has_value());
}

std::optional<field::Window> CFieldLimitsDialog::WindowOf(const RowEdits& row) {
  if (!row.on->isChecked()) return std::nullopt;
  const double a = row.low->value();
  const double b = row.high->value();
  return field::Window{std::min(a, b), std::max(a, b)};
}

void CFieldLimitsDialog::ApplyPresets() {
  for (const auto& [nm, window] : field::Limits::PonPresets().byWavelength) {
    const auto it = m_rows.find(nm);
    if (it != m_rows.end()) SetRow(it->second, window);
  }
}

field::Limits CFieldLimitsDialog::Limits() const {
  field::Limits limits;
  for (const auto& [nm, row] : m_rows) {
    if (const auto window = WindowOf(row)) limits.byWavelength[nm] = *window;
  }
  limits.relative = WindowOf(m_relative);
  return limits;
}
