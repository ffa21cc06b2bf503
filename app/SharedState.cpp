#include "app/SharedState.h"

std::atomic<bool> g_bConnected{false};
std::atomic<bool> g_bLinkBusy{false};
int g_nDataKind = datakind::kNothing;
int g_nRowCount = 0;
bool g_bParamView = false;
bool g_bTabsPending = true;
std::string g_strReplyBuffer;
std::string g_strGraphValue;
std::string g_strCurWavelength;

void ResetSharedState() {
  g_bConnected = false;
  g_bLinkBusy = false;
  g_nDataKind = datakind::kNothing;
  g_nRowCount = 0;
  g_bParamView = false;
  g_bTabsPending = true;
  g_strReplyBuffer.clear();
  g_strGraphValue.clear();
  g_strCurWavelength.clear();
}
