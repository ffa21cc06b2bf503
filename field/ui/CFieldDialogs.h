#pragma once
// The readout panel's two dialogs: the reference (the latest reading, a typed
// value, or none) and the limits (low and high per wavelength, with the PON
// presets, and for the relative value).
#include <QDialog>
#include <map>
#include <optional>

#include "field/FieldTexts.h"
#include "field/Readout.h"

class QCheckBox;
class QDoubleSpinBox;
class QRadioButton;

class CFieldReferenceDialog : public QDialog {
  Q_OBJECT

 public:
  // `latest`: the latest reading's power, offered first when there is one.
  CFieldReferenceDialog(const field::FieldTexts& texts, std::optional<double> latest,
                        std::optional<double> current, QWidget* parent = nullptr);

  // The reference chosen; nullopt clears it.
  std::optional<double> Reference() const;

 private:
  std::optional<double> m_latest;
  QRadioButton* m_useLatest = nullptr;
  QRadioButton* m_useTyped = nullptr;
  QRadioButton* m_none = nullptr;
  QDoubleSpinBox* m_typed = nullptr;
};

class CFieldLimitsDialog : public QDialog {
  Q_OBJECT

 public:
  CFieldLimitsDialog(const field::FieldTexts& texts, const field::Limits& limits, QWidget* parent = nullptr);

  field::Limits Limits() const;
  // Fills the rows the PON presets name.
  void ApplyPresets();

  // The wavelengths a window can be set for.
  static const std::vector<int>& Wavelengths();

 private:
  struct RowEdits {
    QCheckBox* on = nullptr;
    QDoubleSpinBox* low = nullptr;
    QDoubleSpinBox* high = nullptr;
  };
  void SetRow(RowEdits& row, const std::optional<field::Window>& window);
  static std::optional<field::Window> WindowOf(const RowEdits& row);

  std::map<int, RowEdits> m_rows;  // by wavelength
  RowEdits m_relative;
};
