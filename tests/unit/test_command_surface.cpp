// The main window's command surface: menus, toolbars, image list, string table
// and command routing.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "app/CommandSurface.h"
#include "app/MenuShortcuts.h"

// The names under test, unqualified in this file only.
namespace command_surface_test {
using namespace cmd;

namespace {

// Every command entry of a menu tree, depth first.
void Collect(const std::vector<MenuEntry>& entries, std::vector<const MenuEntry*>& out) {
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntry::Kind::Popup) Collect(e.children, out);
    if (e.kind == MenuEntry::Kind::Command) out.push_back(&e);
  }
}

std::vector<int> MenuIds(bool chinese) {
  const std::vector<MenuEntry> bar = MenuBar(chinese);
  std::vector<const MenuEntry*> items;
  Collect(bar, items);
  std::vector<int> ids;
  ids.reserve(items.size());
  for (const MenuEntry* e : items) ids.push_back(e->id);
  return ids;
}

}  // namespace

TEST(CommandSurface, MenusOfBothLanguagesCarryTheSameIdsInTheSameOrder) {
  const std::vector<int> expected = {ID_OPEN,      ID_SAVE,          ID_EXPORT,      ID_PRINT,
                                     ID_EXIT,      ID_TEXT,          ID_GRAPHIC,     ID_READ_HISTORY,
                                     ID_READ_PARAMS, ID_SET_CLOCK,   ID_SET_WAVELENGTH, ID_CALIBRATE,
                                     ID_SET_MODE,  ID_RESET,         ID_ABOUT,       ID_HELP};
  EXPECT_EQ(MenuIds(true), expected);
  EXPECT_EQ(MenuIds(false), expected);
}

TEST(CommandSurface, MenuTextsKeepMnemonicsKeyNamesAndSeparators) {
  const auto zh = MenuBar(true);
  const auto en = MenuBar(false);
  ASSERT_EQ(zh.size(), 4u);
  ASSERT_EQ(en.size(), 4u);
  EXPECT_EQ(zh[0].text, "文件(&F)");
  EXPECT_EQ(zh[1].text, "读取(&R)");
  EXPECT_EQ(zh[2].text, "设置(&V)");
  EXPECT_EQ(zh[3].text, "帮助(&H)");
  EXPECT_EQ(en[0].text, "File(&F)");
  EXPECT_EQ(en[3].text, "Help(&H)");

  // File: four commands, a separator, Exit.
  ASSERT_EQ(en[0].children.size(), 6u);
  EXPECT_EQ(en[0].children[4].kind, MenuEntry::Kind::Separator);
  EXPECT_EQ(en[0].children[2].text, "Export.(&E)\tCtrl+E");
  EXPECT_EQ(en[0].children[5].text, "Exit...(&E)\tCtrl+E");
  EXPECT_EQ(zh[0].children[0].text, "打开(&O)\tCtrl+O");

  // Read: the real-time popup first, holding Text and Graphic.
  EXPECT_EQ(zh[1].children[0].kind, MenuEntry::Kind::Popup);
  EXPECT_EQ(zh[1].children[0].text, "读取实时数据(&A)");
  EXPECT_EQ(en[1].children[0].text, "Read Real-Time Data(&Q)");
  EXPECT_EQ(en[1].children[0].children[1].text, "Graphic(&P)\tCtrl+P");
  EXPECT_EQ(en[1].children[1].text, "ReadHistroyData(&W)\tCtrl+W");
  EXPECT_EQ(zh[1].children[2].text, "读取参数(&X)\tCtrl+X");

  // Set: the reset entry stands after a separator and has no key name.
  ASSERT_EQ(zh[2].children.size(), 6u);
  EXPECT_EQ(zh[2].children[4].kind, MenuEntry::Kind::Separator);
  EXPECT_EQ(zh[2].children[5].text, "恢复系统状态");
  EXPECT_EQ(en[2].children[5].text, "ResetSystem");
  EXPECT_EQ(zh[2].children[3].text, "设置测量方式(&F)\tCtrl+F");
}

TEST(CommandSurface, ToolbarsHaveSeventeenPositionsWithSeparatorsAtThreeEightFourteen) {
  for (bool chinese : {true, false}) {
    const auto bar = Toolbar(chinese);
    for (int i = 0; i < kToolbarPositions; ++i) {
      const bool separator = i == 3 || i == 8 || i == 14;
      EXPECT_EQ(bar[i].separator, separator) << "position " << i;
      if (!separator) {
        EXPECT_FALSE(bar[i].label.empty());
        EXPECT_TRUE(CommandFor(bar[i].id).has_value()) << bar[i].id;
        EXPECT_GE(bar[i].image, 0);
        EXPECT_LT(bar[i].image, kToolbarImageCount);
      }
    }
  }
}

TEST(CommandSurface, ToolbarIdsLabelsAndImagesPerLanguage) {
  const auto zh = Toolbar(true);
  const auto en = Toolbar(false);
  const std::vector<std::pair<int, std::string>> zhExpected = {
      {32807, "实时数据"}, {32803, "历史数据"}, {32806, "读取参数"}, {0, ""},
      {32800, "设置时钟"}, {32799, "设置波长"}, {32798, "校准系统"}, {32797, "测量方式"},
      {0, ""},           {109, "保存"},       {32776, "导出"},     {32777, "打印"},
      {32809, "删除"},     {57665, "退出"},     {0, ""},           {32808, "设备连接"},
      {32795, "连接状态"}};
  const std::vector<std::pair<int, std::string>> enExpected = {
      {61456, "Real-time"}, {61454, "HistroyData"}, {61455, "Parameters"},  {0, ""},
      {61453, "SetClock"},  {61452, "Wavelength"},  {61451, "AdjustSystem"}, {61450, "SetTestmode"},
      {0, ""},              {61448, "Save"},        {32776, "Export"},      {32777, "Print"},
      {61458, "Delete"},    {61459, "Exit"},        {0, ""},              {61460, "Link"},
      {32795, "LinkStatus"}};
  const std::vector<int> images = {1, 2, 5, -1, 6, 7, 8, 9, -1, 10, 19, 20, 11, 12, -1, 13, 15};
  for (int i = 0; i < kToolbarPositions; ++i) {
    EXPECT_EQ(zh[i].id, zhExpected[i].first) << i;
    EXPECT_EQ(zh[i].label, zhExpected[i].second) << i;
    EXPECT_EQ(en[i].id, enExpected[i].first) << i;
    EXPECT_EQ(en[i].label, enExpected[i].second) << i;
    EXPECT_EQ(zh[i].image, images[i]) << i;
    EXPECT_EQ(en[i].image, images[i]) << i;
  }
}

TEST(CommandSurface, RunTimeButtonStatesKeepTheButtonsCommand) {
  EXPECT_EQ(RealTimeButton(true, false).label, "实时测试");
  EXPECT_EQ(RealTimeButton(true, true).label, "停止测试");
  EXPECT_EQ(RealTimeButton(false, false).label, "Real-time");
  EXPECT_EQ(RealTimeButton(false, true).label, "StopReading");
  for (bool chinese : {true, false}) {
    EXPECT_EQ(RealTimeButton(chinese, false).image, 1);
    EXPECT_EQ(RealTimeButton(chinese, true).image, 16);
    EXPECT_EQ(RealTimeButton(chinese, true).id, Toolbar(chinese)[kRealTimeButton].id);
    EXPECT_EQ(SaveButton(chinese, 14).id, Toolbar(chinese)[kSaveButton].id);
    EXPECT_EQ(SaveButton(chinese, 14).image, 14);
    EXPECT_EQ(SaveButton(chinese, 10).label, Toolbar(chinese)[kSaveButton].label);
  }
}

TEST(CommandSurface, ImageListOrder) {
  const std::array<int, 21> expected = {150, 150, 151, 154, 153, 152, 148, 160, 159, 158, 157,
                                        156, 155, 161, 163, 164, 165, 166, 167, 178, 177};
  EXPECT_EQ(ToolbarImageResources(), expected);
}

TEST(CommandSurface, CommandTableRoutesSharedIdsToOneHandler) {
  const std::vector<std::pair<int, int>> pairs = {
      {32807, 61456}, {32803, 61454}, {32806, 61455}, {32800, 61453}, {32799, 61452},
      {32798, 61451}, {32797, 61450}, {32809, 61458}, {32808, 61460}, {109, 61448},
      {57665, 61459}};
  for (const auto& [a, b] : pairs) {
    ASSERT_TRUE(CommandFor(a).has_value()) << a;
    EXPECT_EQ(CommandFor(a), CommandFor(b)) << a << " " << b;
  }
  EXPECT_EQ(CommandFor(114), Command::Text);
  EXPECT_EQ(CommandFor(115), Command::Graphic);
  EXPECT_EQ(CommandFor(32804), Command::ReadAdValues);
  EXPECT_EQ(CommandFor(32805), Command::ReadWavelengthCodes);
  EXPECT_EQ(CommandFor(32795), Command::LinkStatus);
  EXPECT_EQ(CommandFor(32783), Command::Help);
  EXPECT_EQ(CommandFor(32775), Command::About);
  EXPECT_EQ(CommandFor(32776), Command::Export);
  EXPECT_EQ(CommandFor(32777), Command::Print);
  EXPECT_FALSE(CommandFor(61461).has_value());  // the note pane is no command
  EXPECT_FALSE(CommandFor(0).has_value());

  // Distinct commands stay distinct: 33 ids, 22 handlers.
  std::set<int> ids(AllCommandIds().begin(), AllCommandIds().end());
  EXPECT_EQ(ids.size(), AllCommandIds().size());
  std::set<Command> commands;
  for (int id : AllCommandIds()) commands.insert(*CommandFor(id));
  EXPECT_EQ(commands.size(), 22u);
}

TEST(CommandSurface, EveryMenuAndToolbarIdIsRouted) {
  for (bool chinese : {true, false}) {
    for (int id : MenuIds(chinese)) EXPECT_TRUE(CommandFor(id).has_value()) << id;
    for (const auto& pos : Toolbar(chinese)) {
      if (!pos.separator) {
        EXPECT_TRUE(CommandFor(pos.id).has_value()) << pos.id;
      }
    }
  }
}

TEST(CommandSurface, ACommandHasASecondIdOnlyForItsEnglishToolbarButton) {
  std::set<int> english;
  for (const auto& pos : Toolbar(false)) english.insert(pos.id);
  std::set<int> shared;
  for (bool chinese : {true, false}) {
    for (int id : MenuIds(chinese)) shared.insert(id);
  }
  for (const auto& pos : Toolbar(true)) shared.insert(pos.id);
  std::map<Command, std::vector<int>> idsOf;
  for (int id : AllCommandIds()) idsOf[*CommandFor(id)].push_back(id);
  for (const auto& [command, ids] : idsOf) {
    if (ids.size() == 1) continue;
    ASSERT_EQ(ids.size(), 2u) << ids[0];
    const bool firstShared = shared.count(ids[0]) != 0;
    const int own = firstShared ? ids[1] : ids[0];
    EXPECT_TRUE(shared.count(firstShared ? ids[0] : ids[1])) << own;
    EXPECT_TRUE(english.count(own) && !shared.count(own)) << own;
  }
}

TEST(CommandSurface, PromptsAndTooltipsSplitAtTheLineBreakKeepingSpaces) {
  const auto open = PromptFor(32794);
  ASSERT_TRUE(open);
  EXPECT_EQ(open->prompt, "Open File ");
  EXPECT_EQ(open->tooltip, " Open");
  const auto history = PromptFor(61454);
  ASSERT_TRUE(history);
  EXPECT_EQ(history->prompt, "Read histroy data ");
  EXPECT_EQ(history->tooltip, " Read Histroy Data");
  EXPECT_EQ(PromptFor(32809)->tooltip, "全部删除");
  EXPECT_EQ(PromptFor(61460)->prompt, "Link the equipment");
  // The note pane's entry has no line break: all prompt, no tooltip.
  EXPECT_EQ(PromptFor(61461)->prompt, "注释");
  EXPECT_EQ(PromptFor(61461)->tooltip, "");
  EXPECT_FALSE(PromptFor(32803).has_value());
  EXPECT_FALSE(PromptFor(32776).has_value());
}

// A key shown twice belongs to the first entry that shows it: Export and
// Print, not Exit and Graphic.
TEST(MenuShortcuts, EveryShownKeyWorksAndASharedOneGoesToTheFirstEntry) {
  for (const bool chinese : {true, false}) {
    const std::map<int, std::string> keys = cmd::MenuShortcuts(cmd::MenuBar(chinese));
    EXPECT_EQ(keys.at(cmd::ID_EXPORT), "Ctrl+E");
    EXPECT_EQ(keys.at(cmd::ID_PRINT), "Ctrl+P");
    EXPECT_EQ(keys.at(cmd::ID_TEXT), "Ctrl+T");
    EXPECT_EQ(keys.at(cmd::ID_HELP), "Ctrl+G");
    EXPECT_EQ(keys.count(cmd::ID_EXIT), 0u);
    EXPECT_EQ(keys.count(cmd::ID_GRAPHIC), 0u);
  }
}

}  // namespace command_surface_test
