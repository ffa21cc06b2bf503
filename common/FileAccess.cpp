// The parts of file access that are the same on every system.
#include "common/FileAccess.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

#include "common/TemporaryName.h"

namespace fileaccess {

// A name for the new file beside the target: short and of fixed length, so it
// fits in a folder wherever the target's own name does, and hidden.
std::string TemporaryName() {
  static std::atomic<uint64_t> counter{std::random_device{}()};
  // splitmix64: consecutive counter values give unrelated names.
  uint64_t x = counter.fetch_add(0x9E3779B97F4A7C15ULL);
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  x ^= x >> 31;
  constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name = ".km";
  for (int i = 0; i < 6; ++i) {
    name += kDigits[x % kDigits.size()];
    x /= kDigits.size();
  }
  return name;
}

std::string SystemReason(int err, bool chinese) {
  if (chinese) {
    // The wording of the C library's Chinese messages.
    switch (err) {
      case ENOENT: return "没有那个文件或目录";
      case EACCES: return "权限不够";
      case EPERM: return "不允许的操作";
      case EISDIR: return "是一个目录";
      case ENOTDIR: return "不是目录";
      case ENAMETOOLONG: return "文件名过长";
      case ELOOP: return "符号连接的层数过多";
      case EIO: return "输入/输出错误";
      case EINVAL: return "无效的参数";
      case EMFILE: return "打开的文件过多";
      case ENFILE: return "系统中打开的文件过多";
      case ENOMEM: return "无法分配内存";
      case ENXIO: return "没有那个设备或地址";
      case ENODEV: return "没有那个设备";
      case EFBIG: return "文件过大";
      case ENOSPC: return "设备上没有空间";
      case EROFS: return "只读文件系统";
      case EBUSY: return "设备或资源忙";
      default: break;
    }
  }
  return std::strerror(err);
}

}  // namespace fileaccess
