#include "app/UnsavedWork.h"

namespace unsaved {

namespace {

bool Chinese(std::optional<lang::Index> index) { return !index || lang::IsChinese(*index); }

}  // namespace

Question QuestionFor(std::optional<lang::Index> index) {
  if (Chinese(index)) {
    return {"表格中的数据或修改尚未保存。是否先保存？", "信息提示", "保存(&S)", "不保存(&D)", "取消"};
  }
  return {"The table holds readings or changes that have not been saved. Save them first?",
          "Massage prompt", "&Save", "&Discard", "Cancel"};
}

std::string Title(const std::string& caption, const std::string& fileName, bool unsaved) {
  std::string title = unsaved ? "*" : "";
  if (!fileName.empty()) title += fileName + " - ";
  return title + caption;
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParametersNotPrinted(std::optional<lang::Index> index) {
  return Chinese(index) ? "系统参数不打印" : "System parameters are not printed";
}

std::string NothingToSave(std::optional<lang::Index> index) {
  return Chinese(index) ? "表格中没有可保存为数据文件的读数" : "The table holds nothing a data file keeps";
}

}  // namespace unsaved
