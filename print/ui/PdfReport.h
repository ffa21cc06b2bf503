#pragma once
// The report drawn into a PDF document in memory, without a window: the
// command-line companion's printer. Its user writes the finished bytes as a
// file the way the program saves any file (beside the target, then renamed),
// so a failed or stopped run never leaves a half-written PDF at OUT. Plain C++
// to its users; Qt inside.
#include <memory>
#include <string>

#include "print/ReportDevice.h"

class PdfReportOutput {
 public:
  // The document is A4, portrait, 600 pixels per inch, its printable area
  // the whole sheet.
  PdfReportOutput();
  ~PdfReportOutput();
  PdfReportOutput(const PdfReportOutput&) = delete;
  PdfReportOutput& operator=(const PdfReportOutput&) = delete;

  report::IReportDevice& Device();
  // The document once the report has ended it; empty when it was discarded.
  std::string Bytes() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
