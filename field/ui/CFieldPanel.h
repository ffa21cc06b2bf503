#pragma once
// The readout panel above the real-time table: the latest power in large
// digits (dBm, with the linear value and the wavelength beneath), the run's
// count, minimum, maximum, mean and span, the reference and the relative
// value, and the verdict in colour. Its buttons ask for the reference, the
// limits and a fresh start of the statistics; what they do is its owner's.
//
// The panel places its parts itself, for the width it is given: in one row
// on a wide screen; narrower, the statistics take a line of their own, then
// the buttons go under the value, and the large digits shrink with the
// panel. No text is drawn over another or cut at any window width from 800
// pixels, and the panel's height follows what the arrangement needs.
#include <QFrame>
#include <QString>

#include "field/FieldTexts.h"
#include "field/Readout.h"

class QLabel;
class QPushButton;

class CFieldPanel : public QFrame {
  Q_OBJECT

 public:
  // The large value's digits are this many pixels high while the panel has
  // room for them, readable from two metres on a 1080p screen; on a narrow
  // window they shrink, down to the smallest size.
  static constexpr int kValuePixels = 72;
  static constexpr int kSmallestValuePixels = 32;

  CFieldPanel(const field::FieldTexts& texts, QWidget* parent = nullptr);

  // Shows the readout as it stands. Labels whose text did not change are left
  // alone, so a reading costs only the repaint of what changed.
  void ShowReadout(const field::Readout& readout);

  // The values shown are no longer live (the reading stopped, the meter was
  // lost): they stay, greyed, with `note` under the value ("stopped at
  // 14:05:09"). An empty note shows them live again.
  void ShowStale(const QString& note);
  bool Stale() const { return m_bStale; }

  QLabel* ValueLabel() const { return m_value; }
  QLabel* VerdictLabel() const { return m_verdict; }
  QLabel* JudgedByLabel() const { return m_judgedBy; }
  QLabel* RelativeLabel() const { return m_relative; }
  QLabel* StatisticsLabel(int index) const { return m_stats[index]; }
  QLabel* StaleLabel() const { return m_stale; }
  // 0 Set reference, 1 Limits…, 2 Reset statistics.
  QPushButton* Button(int index) const { return m_buttons[index]; }
  // The large value's pixel size as arranged now.
  int ValuePixels() const { return m_nValuePixels; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void SetReferenceClicked();
  void LimitsClicked();
  void ResetStatisticsClicked();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Arrangement;
  // Places every part for the current width and sets the panel's height.
  void Arrange();
  Arrangement Plan(int width) const;
  void SetFonts(int valuePixels);
  // Sets a label's text; true when the new text no longer fits its place.
  static bool SetText(QLabel* label, const QString& text);
  void ApplyVerdictColours();

  field::FieldTexts m_texts;
  QLabel* m_value = nullptr;
  QLabel* m_unit = nullptr;
  QLabel* m_detail = nullptr;  // linear power and wavelength
  QLabel* m_stale = nullptr;   // "stopped at …" while the values are not live
  QLabel* m_captions[5] = {};
  QLabel* m_stats[5] = {};     // count, min, max, mean, span
  QLabel* m_reference = nullptr;
  QLabel* m_relative = nullptr;
  QLabel* m_verdict = nullptr;
  QLabel* m_judgedBy = nullptr;  // the test job's profile, while a job judges
  QPushButton* m_buttons[3] = {};
  int m_nVerdict = -1;  // the verdict the colours were last set for
  bool m_bStale = false;
  int m_nValuePixels = 0;
  int m_nHeight = 0;
  bool m_bArranging = false;
};
