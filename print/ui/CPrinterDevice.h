#pragma once
// The report on a printer chosen in the system print dialog. Printing to a
// PDF file is one of the printers the dialog offers; that file is drawn at
// 600 pixels per inch, the resolution at which the report's pixel widths fit
// a portrait page. A real printer keeps its own resolution.
#include <QPrinter>

#include "print/ui/CPainterDevice.h"

class QWidget;

class CPrinterDevice : public CPainterDevice {
 public:
  static constexpr int kPdfResolution = 600;

  explicit CPrinterDevice(QWidget* dialogParent);

  bool ChoosePrinter() override;
  void SetOrientation(report::Orientation orientation) override;
  // The file the document goes to when the operator chose to print to a
  // file; empty for a printer.
  QString OutputFile() const { return m_printer.outputFileName(); }

 protected:
  QPagedPaintDevice& Paper() override { return m_printer; }
  void NameJob(const QString& name) override { m_printer.setDocName(name); }
  void Discard() override { m_printer.abort(); }

 private:
  QWidget* m_pDialogParent;
  QPrinter m_printer{QPrinter::HighResolution};
};
