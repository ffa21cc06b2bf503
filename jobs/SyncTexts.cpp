#include "jobs/SyncTexts.h"

#include "jobs/StoreSchema.h"

namespace jobs {

std::string SyncTexts::Done(int64_t sent, int64_t alreadyThere) const {
  if (chinese) return "已发送 " + std::to_string(sent) + " 个结果，" + std::to_string(alreadyThere) + " 个已在服务器上";
  return "sent " + std::to_string(sent) + " results, " + std::to_string(alreadyThere) + " already there";
}

std::string SyncTexts::Failed(const std::string& reason) const {
  if (chinese) return "同步失败（" + reason + "）";
  return reason;
}

std::string SyncTexts::ServerProblem(ServerFault why, const std::string& detail) const {
  const std::string ours = std::to_string(schema::CurrentVersion());
  using Why = ServerFault;
  if (chinese) {
    switch (why) {
      case Why::Newer:
        return "无法使用结果服务器：其数据表由更新版本的程序建立（服务器版本 " + detail + "，本程序最高可读版本 " +
               ours + "）";
      case Why::Foreign: return "无法使用结果服务器：其数据表不是本程序建立的（服务器版本 " + detail + "）";
      case Why::Empty: return "无法使用结果服务器：服务器上还没有结果（第一次同步结果时建立数据表）";
      case Why::Older:
        return "无法使用结果服务器：其数据表由较旧版本的程序建立（服务器版本 " + detail +
               "），用本程序同步一次结果即可更新";
      case Why::Unusable: break;
    }
    return "无法使用结果服务器：" + detail;
  }
  switch (why) {
    case Why::Newer:
      return "the results server cannot be used: its tables were made by a newer version of the program (server "
             "version " + detail + ", this program reads up to " + ours + ")";
    case Why::Foreign:
      return "the results server cannot be used: its tables were not made by this program (server version " + detail +
             ")";
    case Why::Empty:
      return "the results server cannot be used: it holds no results yet (the first job sync makes its tables)";
    case Why::Older:
      return "the results server cannot be used for reading: its tables were made by an older version of the "
             "program (server version " + detail + "); a job sync by this program brings them up to date";
    case Why::Unusable: break;
  }
  return "the results server cannot be used: " + detail;
}

SyncTexts SyncTexts::For(std::optional<lang::Index> index) {
  if (index && lang::IsChinese(*index)) {
    return {
        "同步结果(&Y)…", "同步结果", "正在同步结果…",
        "未设置团队服务器：请在 config.ini 的 [config] 中设置 server=，或设置 KM360R_SERVER。",
        "本机任务", "服务器任务", "服务器上的任务只能查看，不能修改或采集。", true,
    };
  }
  return {
      "Sync results…", "Sync results", "Syncing results…",
      "No team server is set: set server= under [config] in config.ini, or KM360R_SERVER.",
      "Local jobs", "Server jobs", "A job on the server can be viewed only, not changed or captured into.", false,
  };
}

}  // namespace jobs
