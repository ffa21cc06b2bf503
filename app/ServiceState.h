#pragma once
// What the meter service tells whoever shows it: the state of the link, of
// reading and of the table's document, in the program's own terms. How a
// window draws it (toolbar images, tab items) is the window presenter's
// business; front ends without a window leave the view unset.
#include <string>

#include "common/DataKind.h"

// The link lamp: never linked yet, linked, or unlinked again.
enum class LinkLamp { Start, Connected, Disconnected };
// What the next Save follows: a read, or a setting sent to the meter.
enum class SaveAfter { Read, Settings };
// What the table now holds, which decides the pages offered beside it.
enum class TableContent {
  Cleared,     // nothing: the text page as it was
  RealTime,    // real-time rows, with their graph
  History,     // a history read, alone
  Parameters,  // the system parameters, alone
  Listing,     // another listing, its table in front
};

// What the shown data is; the pages and the dialogs read it.
struct ShownData {
  DataKind dataKind = DataKind::Nothing;
  int rowCount = 0;          // rows shown so far for the current read
  // What the table's rows are, and so the file type Save writes. A settings
  // dialog, Disconnect or a lost meter changes what the next records are read
  // as, never what the rows already shown are.
  DataKind rowsKind = DataKind::Nothing;
  bool paramView = false;    // the table shows system parameters
  std::string currentWavelength;  // the meter's current wavelength text (GBK)
};

struct ServiceState {
  LinkLamp lamp = LinkLamp::Start;
  bool realTime = false;  // real-time reading runs
  SaveAfter saveAfter = SaveAfter::Read;
  // The note pane (UTF-8).
  std::string statusNote;
  // The link pane: the port, the scan, a loss, a history read's progress, a
  // reset's answer (UTF-8); and the lamp's tooltip, which keeps to the link.
  std::string linkNote;
  std::string linkTip;
  // The data file the table came from or was saved to (its name, UTF-8;
  // empty when none), and whether the table holds rows or cell edits that no
  // file holds yet.
  std::string fileName;
  bool unsaved = false;
};

class IServiceView {
 public:
  virtual ~IServiceView() = default;
  // The state changed (called at each change, with the whole state).
  virtual void Show(const ServiceState& state) = 0;
  // The table now holds `content`.
  virtual void ShowTable(TableContent content) = 0;
};
