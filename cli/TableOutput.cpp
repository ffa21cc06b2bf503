#include "cli/TableOutput.h"

#include <string>

#include "app/Gbk.h"

namespace cli {

void TableOutput::PrintHeader() {
  std::string line;
  for (int c = 0; c < m_table.ColumnCount(); ++c) {
    if (c) line += '\t';
    line += m_table.Column(c).title;  // titles are UTF-8 already
  }
  line += '\n';
  std::fputs(line.c_str(), m_out);
  std::fflush(m_out);
}

void TableOutput::PrintRow(int row) {
  std::string line;
  for (int c = 0; c < m_table.ColumnCount(); ++c) {
    if (c) line += '\t';
    line += gbk::ToUtf8(m_table.Cell(row, c));
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), m_out);
}

void TableOutput::PrintNewRows() {
  const int rows = m_table.RowCount();
  if (m_nPrinted >= rows) return;
  for (; m_nPrinted < rows; ++m_nPrinted) PrintRow(m_nPrinted);
  std::fflush(m_out);
}

}  // namespace cli
