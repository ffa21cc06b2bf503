#pragma once
// The report written into a PDF file without a window: the command-line
// companion's printer. Plain C++ to its users; Qt inside.
#include <memory>
#include <string>

#include "print/ReportDevice.h"

class PdfReportOutput {
 public:
  // The file is A4, portrait, 600 pixels per inch, its printable area the
  // whole sheet. Nothing is written before the report starts its document.
  explicit PdfReportOutput(const std::string& path);
  ~PdfReportOutput();
  PdfReportOutput(const PdfReportOutput&) = delete;
  PdfReportOutput& operator=(const PdfReportOutput&) = delete;

  report::IReportDevice& Device();

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};
