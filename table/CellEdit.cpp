#include "table/CellEdit.h"

#include "common/Gbk.h"

namespace celledit {

namespace {
constexpr int kNumberColumn = 0;
constexpr int kDescriptionColumn = 5;
}  // namespace

bool Editable(int column, bool parameterView) {
  return !parameterView && (column == kNumberColumn || column == kDescriptionColumn);
}

int ByteLimit(int column) {
  if (column == kNumberColumn) return 10;
  if (column == kDescriptionColumn) return 20;
  return 0;
}

Verdict Check(int column, std::string_view typed, bool chinese) {
  Verdict verdict;
  std::optional<std::string> gbk = gbk::FromUtf8Exactly(typed);
  if (!gbk) {
    verdict.refusal = chinese ? "输入的文字含有无法保存的字符，请重新输入！"
                              : "The text holds a character that cannot be saved,Please input again!";
    return verdict;
  }
  const int limit = ByteLimit(column);
  if (static_cast<int>(gbk->size()) > limit) {
    verdict.refusal = "This edit box can receive max " + std::to_string(limit) +
                      " digits,Please input again!";
    return verdict;
  }
  verdict.gbk = std::move(gbk);
  return verdict;
}

}  // namespace celledit
