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

namespace {

bool Escaped(char c) { return c == '\t' || c == '\r' || c == '\n' || c == '\\'; }

// The first byte to escape from `from` on (a plain loop: the library's
// search for any of several bytes calls memchr for every byte of the text).
size_t FirstEscaped(std::string_view s, size_t from = 0) {
  for (size_t i = from; i < s.size(); ++i) {
    if (Escaped(s[i])) return i;
  }
  return std::string_view::npos;
}

void AppendEscaped(std::string& out, std::string_view cell) {
  for (size_t special = FirstEscaped(cell); special != std::string_view::npos;
       special = FirstEscaped(cell)) {
    out.append(cell.substr(0, special));
    switch (cell[special]) {
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += "\\\\"; break;
    }
    cell.remove_prefix(special + 1);
  }
  out.append(cell);
}

// A GBK cell converted onto the line, then escaped: a GBK character's second
// byte may be 0x5C, a UTF-8 one never is.
void AppendEscapedUtf8(std::string& line, std::string_view gbkCell) {
  const size_t from = line.size();
  gbk::AppendUtf8(line, gbkCell);
  if (FirstEscaped(line, from) == std::string_view::npos) return;
  const std::string converted = line.substr(from);
  line.resize(from);
  AppendEscaped(line, converted);
}

}  // namespace

std::string EscapeCell(std::string_view cell) {
  std::string escaped;
  escaped.reserve(cell.size());
  AppendEscaped(escaped, cell);
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
  std::string& line = m_line;
  line.clear();
  for (int c = 0; c < m_table.ColumnCount(); ++c) {
    if (c) line += '\t';
    AppendEscapedUtf8(line, m_table.Cell(row, c));
  }
  if (m_extraCells) {
    for (const std::string& cell : m_extraCells(row)) {
      line += '\t';
      AppendEscaped(line, cell);
    }
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
