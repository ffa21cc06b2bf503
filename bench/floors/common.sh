# Shared by the floor benchmarks: a private work folder, wall-clock timing,
# medians and the program's data files made from a fixed seed.
set -euo pipefail
pairs=${PAIRS:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Milliseconds (fractional) the command takes, its output discarded.
ms_of() {
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null 2>&1
  t1=$(date +%s%N)
  echo $(( (t1 - t0) / 1000 )) | awk '{ printf "%.1f\n", $1 / 1000 }'
}

# Peak resident memory of the command in KiB.
peak_kib() {
  /usr/bin/time -f %M -o "$work/peak" "$@" >/dev/null 2>&1
  tail -n 1 "$work/peak"
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# A history file (.hif) of ROWS records as Save writes it: GBK, CR LF, one
# NUL byte at the end; every third record has a Chinese remark.
make_hif() {
  python3 - "$1" "$2" <<'PY'
import sys
rows, path = int(sys.argv[1]), sys.argv[2]
remarks = ["机房A, 1号配线架", "OLT port 12", "", "用户端 ONU \"3\""]
with open(path, "wb") as f:
    for r in range(rows):
        line = ("测试时间:2026/12/07 %02d:%02d:%02d       No.:%d       备注:%s        "
                "波长:%snm     线性功率:%d.%02duW     对数功率:-%d.%02ddBm     \r\n") % (
            10 + r // 3600 % 14, r // 60 % 60, r % 60, r + 1, remarks[r % 4],
            "1310" if r % 2 else "1550", 10 + r % 90, r % 100, 10 + r % 30, r % 100)
        f.write(line.encode("gbk"))
    f.write(b"\0")
PY
}

report() {  # NAME PROGRAM_MEDIAN FLOOR_MEDIAN UNIT
  awk -v n="$1" -v p="$2" -v f="$3" -v u="$4" \
    'BEGIN { printf "%s: program %s %s, floor %s %s, ratio %.2f\n", n, p, u, f, u, (f > 0 ? p / f : 0) }'
}
