#include "app/Help.h"

#include <sys/stat.h>

#include "common/FrameTexts.h"

namespace help {

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string Caption(std::optional<lang::Index> index) {
  const std::string caption = FrameTexts::For(index).m_strMsgCaption;
  return caption.empty() ? "Help / 帮助" : caption;
}

std::string InTongue(std::optional<lang::Index> index, const std::string& zh, const std::string& en) {
  if (!index) return zh + "\n" + en;
  return lang::IsChinese(*index) ? zh : en;
}

}  // namespace

std::string FileName(std::optional<lang::Index> index) {
  if (!index) return "";
  switch (*index) {
    case lang::Index::Zero: return "help_sc.chm";
    case lang::Index::One: return "help_qtv_e.chm";
    case lang::Index::Two: return "help_c.chm";
    case lang::Index::Three: return "help_e.chm";
  }
  return "";
}

std::string MissingFileText(std::optional<lang::Index> index, const std::string& path) {
  return InTongue(index, "找不到帮助文件:" + path + "\n请重新安装本软件。",
                  "The help file was not found: " + path + "\nPlease install the program again.");
}

std::string NoHandlerText(std::optional<lang::Index> index, const std::string& path) {
  return InTongue(index,
                  "没有可以打开帮助文件的程序:" + path + "\n请安装CHM阅读器(例如kchmviewer)后再试。",
                  "No program on this computer can open the help file: " + path +
                      "\nPlease install a CHM viewer (for example kchmviewer) and try again.");
}

void Open(const std::string& languageSetting, const std::string& programDir, IDesktop& desktop,
          IPrompter& prompter) {
  const std::optional<lang::Index> index = lang::Resolve(languageSetting);
  const std::string path = programDir + FileName(index);
  if (!Exists(path)) {
    prompter.ErrorBox(MissingFileText(index, path), Caption(index));
    return;
  }
  desktop.Open(path, [index, path, &prompter](bool opened) {
    if (!opened) prompter.ErrorBox(NoHandlerText(index, path), Caption(index));
  });
}

}  // namespace help
