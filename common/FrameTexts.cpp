#include "common/FrameTexts.h"

FrameTexts FrameTexts::For(std::optional<lang::Index> index) {
  FrameTexts t;
  if (!index) return t;
  const lang::Index i = *index;
  t.m_bChinese = lang::IsChinese(i);
  if (t.m_bChinese) {
    t.m_strExitAsk = "您确定退出应用程序";
    t.m_strConnectFirst = "请先建立连接";
    t.m_strWaitHistory = i == lang::Index::Two ? "请等待历史数据接受完毕" : "请等待历史数据接收完毕";
    t.m_strReceivingHistory = i == lang::Index::Two ? "正在接受历史数据" : "正在接收历史数据...";
    t.m_strDeleteAsk = "您确定要清除显示文件";
    t.m_strResetAsk = "您确定要恢复出厂设置";
    t.m_strHistoryDone = "历史数据读取结束";
    t.m_strConnectFailed = "连接失败";
    t.m_strNotConnected = i == lang::Index::Two ? "设备未连接" : "请连接设备";
    t.m_strMsgCaption = "信息提示";
    t.m_strConnected = "设备已连接";
    t.m_strTextData = "文本数据";
    t.m_strReadRealTime = "读取实时数据";
    t.m_strReadHistory = "读取历史数据";
    t.m_strReadParams = "读取系统参数";
    t.m_strGraphicData = "图形数据";
    t.m_strDisconnected = "设备已断开";
    t.m_strLostMeter = "设备已断开,请检查仪表是否自动关机后重新连接";
    t.m_strColNo = "No.";
    t.m_strColDescription = "备注";
    t.m_strColWavelength = "波长";
    t.m_strColCurrentWavelength = "当前波长";
    t.m_strColLinear = "线性功率";
    t.m_strColLog = "对数功率(dBm)";
    t.m_strColTime = "测试时间";
    t.m_strColWavelengthCal = "波长校准值";
    for (int n = 0; n < 8; ++n) t.m_strColRangeCal[n] = "量程" + std::to_string(n) + "校准值";
    // The neutral flavour carries no maker's name in the report title.
    t.m_strReportTitle = i == lang::Index::Two ? "光功率计测试报告" : "Optical Power Meter 测试报告";
  } else {
    t.m_strExitAsk = "Are you sure to exit the application?";
    t.m_strConnectFirst = "Please connect first";
    t.m_strWaitHistory = "Please wait till history data completely received";
    t.m_strReceivingHistory = "Receiving history data";
    t.m_strDeleteAsk = "Are you sure to delete shown data?";
    t.m_strResetAsk = "Are you sure to renew to default set?";
    t.m_strHistoryDone = "History data reading finished";
    t.m_strConnectFailed = "Connecting failed";
    t.m_strNotConnected =
        i == lang::Index::Three ? "Equipment not connected yet" : "please connect the equipment first";
    t.m_strMsgCaption = "Massage prompt";
    t.m_strConnected = "Equipment connected";
    t.m_strTextData = "Text data";
    t.m_strReadRealTime = "Read real-time data";
    t.m_strReadHistory = "Read history data";
    t.m_strReadParams = "Read system parameters";
    t.m_strGraphicData = "Graphic data";
    t.m_strDisconnected = "Equipment disconnected";
    t.m_strLostMeter =
        "Equipment disconnected,Please check whether the equipment auto off and Re-connect";
    t.m_strColNo = "No.";
    t.m_strColDescription = "Description";
    t.m_strColWavelength = "Wavelength";
    t.m_strColCurrentWavelength = "Current Wavelength";
    t.m_strColLinear = "Linear power";
    t.m_strColLog = "Logarithm power(dBm)";
    t.m_strColTime = "Test time";
    t.m_strColWavelengthCal = "Wavelength calibration value";
    for (int n = 0; n < 8; ++n) {
      t.m_strColRangeCal[n] = "Range " + std::to_string(n) + " calibration value";
    }
    t.m_strReportTitle = i == lang::Index::Three ? "Optical Power Meter Test Report"
                                                 : "Optical Power Meter Test  Report";
  }
  return t;
}

std::optional<std::string> MainWindowCaption(std::optional<lang::Index> index) {
  if (!index) return std::nullopt;
  switch (*index) {
    case lang::Index::Zero: return "澜屹PON光功率计管理软件 V1.0";
    case lang::Index::One: return "Halvex PON Optical Power Meter Management Software  V1.0";
    case lang::Index::Two: return "光功率计管理软件V1.0";
    case lang::Index::Three: return "Optical power meter Management software";
  }
  return std::nullopt;
}
