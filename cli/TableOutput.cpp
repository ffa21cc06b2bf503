#include "cli/TableOutput.h"

#include <cerrno>

#include "cli/StopSignals.h"
#include "common/Gbk.h"
#include "common/StopSignals.h"

namespace cli {

void TextOutput::Write(std::string_view text) {
  if (Failed() || text.empty()) return;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), m_stream) != text.size()) Fail(errno);
}

void TextOutput::Flush() {
  if (Failed()) return;
  errno = 0;
  if (std::fflush(m_stream) != 0) Fail(errno);
}

void TextOutput::Fail(int error) {
  m_nErrno = error ? error : EIO;
  if (m_nErrno == EPIPE) RequestStop(stopsignals::kBrokenPipe);
}

TextOutput& StandardOutput() {
  static TextOutput out(stdout);
  return out;
}

std::string EscapeCell(std::string_view cell) {
  std::string escaped;
  escaped.reserve(cell.size());
  for (char c : cell) {
    switch (c) {
      case '\t': escaped += "\\t"; break;
      case '\r': escaped += "\\r"; break;
      case '\n': escaped += "\\n"; break;
      case '\\': escaped += "\\\\"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

void TableOutput::PrintHeader() {
  std::string line;
  for (int c = 0; c < m_table.ColumnCount(); ++c) {
    if (c) line += '\t';
    line += EscapeCell(m_table.Column(c).title);  // titles are UTF-8 already
  }
  for (const std::string& title : m_extraTitles) line += '\t' + EscapeCell(title);
  line += '\n';
  m_out.Write(line);
  m_out.Flush();
}

void TableOutput::PrintRow(int row) {
  std::string line;
  for (int c = 0; c < m_table.ColumnCount(); ++c) {
    if (c) line += '\t';
    // Escaped after the conversion: a GBK character's second byte may be 0x5C,
    // a UTF-8 one never is.
    line += EscapeCell(gbk::ToUtf8(m_table.Cell(row, c)));
  }
  if (m_extraCells) {
    for (const std::string& cell : m_extraCells(row)) line += '\t' + EscapeCell(cell);
  }
  line += '\n';
  m_out.Write(line);
}

void TableOutput::PrintNewRows() {
  const int rows = m_table.RowCount();
  if (m_nPrinted >= rows) return;
  for (; m_nPrinted < rows; ++m_nPrinted) PrintRow(m_nPrinted);
  m_out.Flush();
}

}  // namespace cli
