#pragma once
// The readout panel above the real-time table: the latest power in large
// digits (dBm, with the linear value and the wavelength beneath), the run's
// count, minimum, maximum, mean and span, the reference and the relative
// value, and the verdict in colour. Its buttons ask for the reference, the
// limits and a fresh start of the statistics; what they do is its owner's.
#include <QFrame>

#include "field/FieldTexts.h"
#include "field/Readout.h"

class QLabel;
class QPushButton;

class CFieldPanel : public QFrame {
  Q_OBJECT

 public:
  // The large value's digits are at least this many pixels high, readable
  // from two metres on a 1080p screen.
  static constexpr int kValuePixels = 72;

  CFieldPanel(const field::FieldTexts& texts, QWidget* parent = nullptr);

  // Shows the readout as it stands. Labels whose text did not change are left
  // alone, so a reading costs only the repaint of what changed.
  void ShowReadout(const field::Readout& readout);

  QLabel* ValueLabel() const { return m_value; }
  QLabel* VerdictLabel() const { return m_verdict; }
  QLabel* RelativeLabel() const { return m_relative; }
  QLabel* StatisticsLabel(int index) const { return m_stats[index]; }

 signals:
  void SetReferenceClicked();
  void LimitsClicked();
  void ResetStatisticsClicked();

 private:
  static void SetText(QLabel* label, const QString& text);

  field::FieldTexts m_texts;
  QLabel* m_value = nullptr;
  QLabel* m_unit = nullptr;
  QLabel* m_detail = nullptr;  // linear power and wavelength
  QLabel* m_stats[5] = {};     // count, min, max, mean, span
  QLabel* m_reference = nullptr;
  QLabel* m_relative = nullptr;
  QLabel* m_verdict = nullptr;
  int m_nVerdict = -1;  // the verdict the colours were last set for
};
