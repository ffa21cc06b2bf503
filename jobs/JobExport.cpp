#include "jobs/JobExport.h"

#include <cmath>
#include <optional>

#include "common/FileAccess.h"
#include "common/SpreadsheetText.h"
#include "table/XlsWorkbook.h"

namespace jobs {

namespace {

const char* const kColumns[] = {"point",   "wavelength_nm", "power_dbm", "power_mw", "loss_db", "verdict",
                                "samples", "span_db",       "unstable",  "time",     "operator"};
constexpr int kColumnCount = sizeof kColumns / sizeof kColumns[0];

// One cell of an exported row: a number, a text, or nothing.
struct Cell {
  std::optional<double> number;
  std::string text;  // a number's text as shown, or the text
};

double Hundredths(double v) { return std::round(v * 100.0) / 100.0; }

std::vector<Cell> CellsOf(const JobRow& row) {
  std::vector<Cell> cells(kColumnCount);
  cells[0].text = row.point;
  if (!row.result) return cells;
  const Result& r = *row.result;
  const auto number = [](double value, std::string text) { return Cell{value, std::move(text)}; };
  cells[1] = number(r.wavelengthNm, std::to_string(r.wavelengthNm));
  cells[2] = number(Hundredths(r.powerDbm), FormatDb(r.powerDbm));
  const std::string mw = FormatMilliwatts(r.powerMw);
  cells[3] = number(std::stod(mw), mw);
  if (r.lossDb) cells[4] = number(Hundredths(*r.lossDb), FormatDb(*r.lossDb));
  cells[5].text = VerdictText(r.verdict);
  cells[6] = number(r.samples, std::to_string(r.samples));
  cells[7] = number(Hundredths(r.spanDb), FormatDb(r.spanDb));
  cells[8].text = r.unstable ? "unstable" : "";
  cells[9].text = r.measured;
  cells[10].text = r.operatorName;
  return cells;
}

std::string Workbook(const std::vector<JobRow>& rows, const std::string& path) {
  try {
    xls::Workbook book;
    xls::Worksheet& sheet = book.Sheet(1);
    sheet.SetName("Results");
    for (int c = 0; c < kColumnCount; ++c) sheet.PutText(1, c + 1, kColumns[c]);
    int at = 2;
    for (const JobRow& row : rows) {
      const std::vector<Cell> cells = CellsOf(row);
      for (int c = 0; c < kColumnCount; ++c) {
        const Cell& cell = cells[static_cast<size_t>(c)];
        if (cell.number) {
          sheet.PutNumber(at, c + 1, *cell.number);
        } else {
          sheet.PutText(at, c + 1, cell.text);
        }
      }
      ++at;
    }
    return book.SaveAs(path);
  } catch (const xls::ExportError& e) {
    return e.what();
  }
}

}  // namespace

ExportFormat ExportFormatOf(const std::string& path) {
  return xls::IsWorkbookName(path) ? ExportFormat::Workbook : ExportFormat::Csv;
}

std::string JobCsv(const std::vector<JobRow>& rows) {
  std::string out = "\xEF\xBB\xBF";
  for (int c = 0; c < kColumnCount; ++c) out += std::string(c ? "," : "") + kColumns[c];
  out += "\r\n";
  for (const JobRow& row : rows) {
    const std::vector<Cell> cells = CellsOf(row);
    for (int c = 0; c < kColumnCount; ++c) {
      const Cell& cell = cells[static_cast<size_t>(c)];
      if (c) out += ',';
      // Numbers bare, so that a spreadsheet reads them as numbers.
      out += cell.number ? cell.text : sheettext::CsvValue(cell.text);
    }
    out += "\r\n";
  }
  return out;
}

std::string ExportJob(const std::vector<JobRow>& rows, const std::string& path) {
  if (ExportFormatOf(path) == ExportFormat::Workbook) return Workbook(rows, path);
  return fileaccess::WriteFileReplacing(path, JobCsv(rows));
}

}  // namespace jobs
