#include "print/ui/PdfReport.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <cstdio>

#include "print/ui/CPainterDevice.h"

// Named, not anonymous: PdfReportOutput::Impl, a member of an exported class,
// holds the device.
namespace pdf_report {

constexpr int kPdfResolution = 600;

// The document is the printer: there is nothing to choose.
class CPdfDevice : public CPainterDevice {
 public:
  CPdfDevice() : m_buffer(&m_bytes), m_writer(&m_buffer) {
    m_buffer.open(QIODevice::WriteOnly);
    m_writer.setResolution(kPdfResolution);
    m_writer.setPageSize(QPageSize(QPageSize::A4));
    m_writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    m_writer.setCreator(QStringLiteral("km360r-cli"));
  }

  bool ChoosePrinter() override { return true; }
  void SetOrientation(report::Orientation orientation) override {
    m_writer.setPageOrientation(orientation == report::Orientation::Landscape ? QPageLayout::Landscape
                                                                            : QPageLayout::Portrait);
  }

 protected:
  QPagedPaintDevice& Paper() override { return m_writer; }
  void NameJob(const QString& name) override { m_writer.setTitle(name); }
  void Discard() override { m_bytes.clear(); }

 public:
  const QByteArray& Document() const { return m_bytes; }

 private:
  QByteArray m_bytes;
  QBuffer m_buffer;  // opened by the writer as it starts
  QPdfWriter m_writer;
};

// Qt's notes about the desktop session (no runtime folder, no display) mean
// nothing to a program that only writes a file; only its errors are shown.
void ErrorsOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

// Fonts need a GUI application object; a PDF needs no display, so the
// off-screen platform serves on machines without one.
std::unique_ptr<QGuiApplication> MakeApplication() {
  if (QCoreApplication::instance()) return nullptr;
  qInstallMessageHandler(ErrorsOnly);
  static int argc = 3;
  static char name[] = "km360r-cli";
  static char option[] = "-platform";
  static char platform[] = "offscreen";
  static char* argv[] = {name, option, platform, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace pdf_report

struct PdfReportOutput::Impl {
  Impl() : app(pdf_report::MakeApplication()) {}
  std::unique_ptr<QGuiApplication> app;
  pdf_report::CPdfDevice device;
};

PdfReportOutput::PdfReportOutput() : m_impl(std::make_unique<Impl>()) {}

PdfReportOutput::~PdfReportOutput() = default;

report::IReportDevice& PdfReportOutput::Device() { return m_impl->device; }

std::string PdfReportOutput::Bytes() const { return m_impl->device.Document().toStdString(); }
