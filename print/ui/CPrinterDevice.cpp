#include "print/ui/CPrinterDevice.h"

#include <QPrintDialog>

CPrinterDevice::CPrinterDevice(QWidget* dialogParent) : m_pDialogParent(dialogParent) {}

bool CPrinterDevice::ChoosePrinter() {
  QPrintDialog dialog(&m_printer, m_pDialogParent);
  // A report has no page ranges or selection to choose from.
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (!m_printer.isValid()) return false;
  if (m_printer.outputFormat() == QPrinter::PdfFormat) m_printer.setResolution(kPdfResolution);
  return true;
}

void CPrinterDevice::SetOrientation(report::Orientation orientation) {
  m_printer.setPageOrientation(orientation == report::Orientation::Landscape ? QPageLayout::Landscape
                                                                           : QPageLayout::Portrait);
}
