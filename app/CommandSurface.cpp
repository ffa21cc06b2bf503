#include "app/CommandSurface.h"

#include <algorithm>
#include <utility>

namespace cmd {

namespace {

struct Route {
  int id;
  Command command;
};

// Every id with its command. A command's second id is its English toolbar
// button's (see CommandSurface.h).
constexpr Route kRoutes[] = {
    {ID_READ_REALTIME, Command::ReadRealTime},
    {ID_READ_REALTIME_EN, Command::ReadRealTime},
    {ID_TEXT, Command::Text},
    {ID_GRAPHIC, Command::Graphic},
    {ID_READ_HISTORY, Command::ReadHistory},
    {ID_READ_HISTORY_EN, Command::ReadHistory},
    {ID_READ_AD, Command::ReadAdValues},
    {ID_READ_WAVELENGTH_CODES, Command::ReadWavelengthCodes},
    {ID_READ_PARAMS, Command::ReadParams},
    {ID_READ_PARAMS_EN, Command::ReadParams},
    {ID_SET_CLOCK, Command::SetClock},
    {ID_SET_CLOCK_EN, Command::SetClock},
    {ID_SET_WAVELENGTH, Command::SetWavelength},
    {ID_SET_WAVELENGTH_EN, Command::SetWavelength},
    {ID_CALIBRATE, Command::Calibrate},
    {ID_CALIBRATE_EN, Command::Calibrate},
    {ID_SET_MODE, Command::SetMode},
    {ID_SET_MODE_EN, Command::SetMode},
    {ID_RESET, Command::Reset},
    {ID_DELETE, Command::DeleteShownData},
    {ID_DELETE_EN, Command::DeleteShownData},
    {ID_LINK, Command::Link},
    {ID_LINK_EN, Command::Link},
    {ID_LINK_STATUS, Command::LinkStatus},
    {ID_OPEN, Command::Open},
    {ID_SAVE, Command::Save},
    {ID_SAVE_EN, Command::Save},
    {ID_EXPORT, Command::Export},
    {ID_PRINT, Command::Print},
    {ID_EXIT, Command::Exit},
    {ID_EXIT_EN, Command::Exit},
    {ID_HELP, Command::Help},
    {ID_ABOUT, Command::About},
};

struct StringEntry {
  int id;
  std::string_view text;
};

// Prompt before the line break, tooltip after it; spaces are part of the texts.
constexpr StringEntry kStrings[] = {
    {32794, "Open File \n Open"},
    {109, "Save File\n Save"},
    {57665, "Exit\n Exit"},
    {32804, "读取AD值\n读取AD值"},
    {32805, "读取波长\n读取波长"},
    {32807, "读取实时数据\n读取实时数据"},
    {32808, "设备连接\n设备连接"},
    {32809, "全部删除\n全部删除"},
    {61448, "Save current data\nSave current data"},
    {61450, "Set system test mode \n Set system test mode"},
    {61451, "Set measurement mode\n Set measurement mode"},
    {61452, "Set wavelength\nSet wavelength"},
    {61453, "Set clock\nSet clock"},
    {61454, "Read histroy data \n Read Histroy Data"},
    {61455, "Read system parameters\nRead system parameters"},
    {61456, "Read Real-time data\nRead Real-time data"},
    {61458, "Delete the shown data\nDelete the shown data"},
    {61459, "Exit\nExit"},
    {61460, "Link the equipment\nLink the equipment"},
    {61461, "注释"},
};

MenuEntry Item(int id, std::string text) {
  return MenuEntry{MenuEntry::Kind::Command, id, std::move(text), {}};
}
MenuEntry Separator() { return MenuEntry{MenuEntry::Kind::Separator, 0, {}, {}}; }
MenuEntry Popup(std::string text, std::vector<MenuEntry> children) {
  return MenuEntry{MenuEntry::Kind::Popup, 0, std::move(text), std::move(children)};
}

ToolbarPosition Button(int id, std::string label, int image) {
  return ToolbarPosition{false, id, std::move(label), image};
}
ToolbarPosition ToolbarSeparator() { return ToolbarPosition{true, 0, {}, -1}; }

}  // namespace

std::optional<Command> CommandFor(int id) {
  for (const Route& r : kRoutes) {
    if (r.id == id) return r.command;
  }
  return std::nullopt;
}

const std::vector<int>& AllCommandIds() {
  static const std::vector<int> ids = [] {
    std::vector<int> v;
    for (const Route& r : kRoutes) v.push_back(r.id);
    return v;
  }();
  return ids;
}

std::vector<MenuEntry> MenuBar(bool chinese) {
  if (chinese) {
    return {
        Popup("文件(&F)",
              {Item(ID_OPEN, "打开(&O)\tCtrl+O"), Item(ID_SAVE, "保存(&S)\tCtrl+S"),
               Item(ID_EXPORT, "导出(&E)\tCtrl+E"), Item(ID_PRINT, "打印(&P)\tCtrl+P"), Separator(),
               Item(ID_EXIT, "退出(&E)\tCtrl+E")}),
        Popup("读取(&R)",
              {Popup("读取实时数据(&A)", {Item(ID_TEXT, "文本数据(&T)\tCtrl+T"),
                                          Item(ID_GRAPHIC, "图形数据(&P)\tCtrl+P")}),
               Item(ID_READ_HISTORY, "读取历史数据(&W)\tCtrl+W"),
               Item(ID_READ_PARAMS, "读取参数(&X)\tCtrl+X")}),
        Popup("设置(&V)",
              {Item(ID_SET_CLOCK, "设置时钟(&Q)\tCtrl+Q"),
               Item(ID_SET_WAVELENGTH, "设置波长(&L)\tCtrl+L"),
               Item(ID_CALIBRATE, "校准系统(&U)\tCtrl+U"),
               Item(ID_SET_MODE, "设置测量方式(&F)\tCtrl+F"), Separator(),
               Item(ID_RESET, "恢复系统状态")}),
        Popup("帮助(&H)",
              {Item(ID_ABOUT, "关于(&A)\tCtrl+A"), Item(ID_HELP, "帮助内容(&G)\tCtrl+G")}),
    };
  }
  return {
      Popup("File(&F)",
            {Item(ID_OPEN, "Open...(&O)\tCtrl+O"), Item(ID_SAVE, "Save...(&S)\tCtrl+S"),
             Item(ID_EXPORT, "Export.(&E)\tCtrl+E"), Item(ID_PRINT, "Print..(&P)\tCtrl+P"),
             Separator(), Item(ID_EXIT, "Exit...(&E)\tCtrl+E")}),
      Popup("Read(&R)",
            {Popup("Read Real-Time Data(&Q)", {Item(ID_TEXT, "Text(&T)\tCtrl+T"),
                                               Item(ID_GRAPHIC, "Graphic(&P)\tCtrl+P")}),
             Item(ID_READ_HISTORY, "ReadHistroyData(&W)\tCtrl+W"),
             Item(ID_READ_PARAMS, "ReadSystemParameters(&X)\tCtrl+X")}),
      Popup("Set(&V)",
            {Item(ID_SET_CLOCK, "SetClock(&Q)\tCtrl+Q"),
             Item(ID_SET_WAVELENGTH, "SetWaveLength(&L)\tCtrl+L"),
             Item(ID_CALIBRATE, "AdjustSystem(&U)\tCtrl+U"),
             Item(ID_SET_MODE, "SetTestMode(&F)\tCtrl+F"), Separator(),
             Item(ID_RESET, "ResetSystem")}),
      Popup("Help(&H)", {Item(ID_ABOUT, "About(&A)\tCtrl+A"), Item(ID_HELP, "Help(&G)\tCtrl+G")}),
  };
}

std::array<ToolbarPosition, kToolbarPositions> Toolbar(bool chinese) {
  if (chinese) {
    return {Button(ID_READ_REALTIME, "实时数据", 1),
            Button(ID_READ_HISTORY, "历史数据", 2),
            Button(ID_READ_PARAMS, "读取参数", 5),
            ToolbarSeparator(),
            Button(ID_SET_CLOCK, "设置时钟", 6),
            Button(ID_SET_WAVELENGTH, "设置波长", 7),
            Button(ID_CALIBRATE, "校准系统", 8),
            Button(ID_SET_MODE, "测量方式", 9),
            ToolbarSeparator(),
            Button(ID_SAVE, "保存", 10),
            Button(ID_EXPORT, "导出", 19),
            Button(ID_PRINT, "打印", 20),
            Button(ID_DELETE, "删除", 11),
            Button(ID_EXIT, "退出", 12),
            ToolbarSeparator(),
            Button(ID_LINK, "设备连接", 13),
            Button(ID_LINK_STATUS, "连接状态", 15)};
  }
  return {Button(ID_READ_REALTIME_EN, "Real-time", 1),
          Button(ID_READ_HISTORY_EN, "HistroyData", 2),
          Button(ID_READ_PARAMS_EN, "Parameters", 5),
          ToolbarSeparator(),
          Button(ID_SET_CLOCK_EN, "SetClock", 6),
          Button(ID_SET_WAVELENGTH_EN, "Wavelength", 7),
          Button(ID_CALIBRATE_EN, "AdjustSystem", 8),
          Button(ID_SET_MODE_EN, "SetTestmode", 9),
          ToolbarSeparator(),
          Button(ID_SAVE_EN, "Save", 10),
          Button(ID_EXPORT, "Export", 19),
          Button(ID_PRINT, "Print", 20),
          Button(ID_DELETE_EN, "Delete", 11),
          Button(ID_EXIT_EN, "Exit", 12),
          ToolbarSeparator(),
          Button(ID_LINK_EN, "Link", 13),
          Button(ID_LINK_STATUS, "LinkStatus", 15)};
}

ToolbarPosition RealTimeButton(bool chinese, bool running) {
  const int image = running ? 16 : 1;
  if (chinese) return Button(ID_READ_REALTIME, running ? "停止测试" : "实时测试", image);
  return Button(ID_READ_REALTIME_EN, running ? "StopReading" : "Real-time", image);
}

ToolbarPosition SaveButton(bool chinese, int image) {
  return Button(chinese ? ID_SAVE : ID_SAVE_EN, chinese ? "保存" : "Save", image);
}

const std::array<int, kToolbarImageCount>& ToolbarImageResources() {
  static constexpr std::array<int, kToolbarImageCount> kResources = {
      150, 150, 151, 154, 153, 152, 148, 160, 159, 158, 157,
      156, 155, 161, 163, 164, 165, 166, 167, 178, 177};
  return kResources;
}

std::optional<std::string_view> StringFor(int id) {
  const auto it = std::find_if(std::begin(kStrings), std::end(kStrings),
                               [id](const StringEntry& e) { return e.id == id; });
  if (it == std::end(kStrings)) return std::nullopt;
  return it->text;
}

std::optional<PromptAndTip> PromptFor(int id) {
  const std::optional<std::string_view> s = StringFor(id);
  if (!s) return std::nullopt;
  const size_t nl = s->find('\n');
  if (nl == std::string_view::npos) return PromptAndTip{std::string(*s), {}};
  return PromptAndTip{std::string(s->substr(0, nl)), std::string(s->substr(nl + 1))};
}

}  // namespace cmd
