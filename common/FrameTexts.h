#pragma once
// The main window's texts in the chosen language (UTF-8, for people). They are
// chosen once when the main window is created; a language value that resolves
// to no index leaves them all empty.
#include <array>
#include <optional>
#include <string>

#include "common/Language.h"

struct FrameTexts {
  bool m_bChinese = false;  // languages 0 and 2
  std::string m_strExitAsk;
  std::string m_strConnectFirst;
  std::string m_strWaitHistory;
  std::string m_strReceivingHistory;
  std::string m_strDeleteAsk;
  std::string m_strResetAsk;
  std::string m_strHistoryDone;
  std::string m_strConnectFailed;
  std::string m_strNotConnected;
  std::string m_strMsgCaption;
  std::string m_strConnected;
  std::string m_strTextData;
  std::string m_strReadRealTime;
  std::string m_strReadHistory;
  std::string m_strReadParams;
  std::string m_strGraphicData;
  std::string m_strDisconnected;
  std::string m_strLostMeter;
  std::string m_strColNo;
  std::string m_strColDescription;
  std::string m_strColWavelength;
  std::string m_strColCurrentWavelength;
  std::string m_strColLinear;
  std::string m_strColLog;
  std::string m_strColTime;
  std::string m_strColWavelengthCal;
  std::array<std::string, 8> m_strColRangeCal;
  std::string m_strReportTitle;

  static FrameTexts For(std::optional<lang::Index> index);
};

// The main window's caption for a language index; nullopt leaves the caption
// composed from the document's and the application's titles.
std::optional<std::string> MainWindowCaption(std::optional<lang::Index> index);

// The application title (caption of the boxes that come before the main
// window's own texts, such as the start-up failure box).
inline constexpr const char* kApplicationTitle = "澜屹PON光功率计管理软件 V1.0";
inline constexpr const char* kDocumentTitle = "Halvex";
inline constexpr const char* kStartupFailure = "初始化COM失败!";
