#pragma once
// The main window's command surface as data: the two menu bars, the two
// toolbars, the toolbar image list, the prompt/tooltip string table and the
// command table that routes every command id to its handler. The Qt frame
// builds its widgets from these tables; the tables themselves carry no Qt.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cmd {

// Command ids: one per command, shared by the menus and the Chinese toolbar.
// The English toolbar's buttons have ids of their own (the _EN ones) because
// a button shows the prompt and tooltip of its id, and in the English window
// the menu item and the button of one command show different ones: the
// button's own English texts ("Save current data", "Read Real-time data")
// where the menu item shows its id's text ("Save File") or none, and the
// real-time button's shared id would bring the Chinese "读取实时数据".
inline constexpr int ID_OPEN = 32794;
inline constexpr int ID_SAVE = 109;
inline constexpr int ID_SAVE_EN = 61448;
inline constexpr int ID_EXPORT = 32776;
inline constexpr int ID_PRINT = 32777;
inline constexpr int ID_EXIT = 57665;
inline constexpr int ID_EXIT_EN = 61459;
inline constexpr int ID_TEXT = 114;
inline constexpr int ID_GRAPHIC = 115;
inline constexpr int ID_READ_REALTIME = 32807;
inline constexpr int ID_READ_REALTIME_EN = 61456;
inline constexpr int ID_READ_HISTORY = 32803;
inline constexpr int ID_READ_HISTORY_EN = 61454;
inline constexpr int ID_READ_AD = 32804;
inline constexpr int ID_READ_WAVELENGTH_CODES = 32805;
inline constexpr int ID_READ_PARAMS = 32806;
inline constexpr int ID_READ_PARAMS_EN = 61455;
inline constexpr int ID_SET_CLOCK = 32800;
inline constexpr int ID_SET_CLOCK_EN = 61453;
inline constexpr int ID_SET_WAVELENGTH = 32799;
inline constexpr int ID_SET_WAVELENGTH_EN = 61452;
inline constexpr int ID_CALIBRATE = 32798;
inline constexpr int ID_CALIBRATE_EN = 61451;
inline constexpr int ID_SET_MODE = 32797;
inline constexpr int ID_SET_MODE_EN = 61450;
inline constexpr int ID_RESET = 32796;
inline constexpr int ID_DELETE = 32809;
inline constexpr int ID_DELETE_EN = 61458;
inline constexpr int ID_LINK = 32808;
inline constexpr int ID_LINK_EN = 61460;
inline constexpr int ID_LINK_STATUS = 32795;
inline constexpr int ID_HELP = 32783;
inline constexpr int ID_ABOUT = 32775;
// The status bar's note pane.
inline constexpr int ID_NOTE_PANE = 61461;

// What a command id does. Ids that share a handler map to the same command.
enum class Command {
  ReadRealTime,
  Text,
  Graphic,
  ReadHistory,
  ReadAdValues,
  ReadWavelengthCodes,
  ReadParams,
  SetClock,
  SetWavelength,
  Calibrate,
  SetMode,
  Reset,
  DeleteShownData,
  Link,
  LinkStatus,  // the link-status button: shows the link state, does nothing
  Open,
  Save,
  Export,
  Print,
  Exit,
  Help,
  About,
};

// The command table. nullopt for an id the frame does not handle.
std::optional<Command> CommandFor(int id);

// Every id of the command table (for routing checks).
const std::vector<int>& AllCommandIds();

// One menu entry: a command, a separator or a popup with its own entries.
// Texts are shown as they stand: "&" marks the mnemonic, the part after "\t"
// is the key name shown at the right (MenuShortcuts says which of them work).
struct MenuEntry {
  enum class Kind { Command, Separator, Popup } kind = Kind::Command;
  int id = 0;
  std::string text;
  std::vector<MenuEntry> children;
};

// The menu bar: Chinese for languages 0 and 2 (and the frame's own menu when
// the language matches none), English for 1 and 3.
std::vector<MenuEntry> MenuBar(bool chinese);

// One toolbar position: a button with its command id, label and image number,
// or a separator.
struct ToolbarPosition {
  bool separator = false;
  int id = 0;
  std::string label;
  int image = -1;
};

inline constexpr int kToolbarPositions = 17;
inline constexpr int kRealTimeButton = 0;
inline constexpr int kSaveButton = 9;
inline constexpr int kLinkStatusButton = 16;

std::array<ToolbarPosition, kToolbarPositions> Toolbar(bool chinese);

// Button 0 in its idle and running real-time states.
ToolbarPosition RealTimeButton(bool chinese, bool running);
// Button 9 (Save) with the given image (10 after a read, 14 after a settings command).
ToolbarPosition SaveButton(bool chinese, int image);

// The toolbar image list: 21 images; each entry names the picture drawn for
// it (the icon resource number it stands for).
inline constexpr int kToolbarImageCount = 21;
const std::array<int, kToolbarImageCount>& ToolbarImageResources();

// Toolbar buttons are at least 65 and at most 80 pixels wide; the 32x32
// images stand above the labels.
inline constexpr int kButtonMinWidth = 65;
inline constexpr int kButtonMaxWidth = 80;
inline constexpr int kImageSize = 32;

// The string table: "prompt\ntooltip" per id; nullopt for ids without one.
std::optional<std::string_view> StringFor(int id);
// The status-bar prompt (before the line break) and the tooltip (after it),
// both unchanged, spaces included.
struct PromptAndTip {
  std::string prompt;
  std::string tooltip;
};
std::optional<PromptAndTip> PromptFor(int id);

// Default text of the note pane before the language text is put in.
inline constexpr const char* kNotePaneDefault = "注释";

// The status bar's lock indicators, right of the note pane.
inline constexpr std::array<const char*, 3> kIndicatorTexts = {"CAP", "NUM", "SCRL"};

}  // namespace cmd
