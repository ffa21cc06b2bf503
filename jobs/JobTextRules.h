#pragma once
// What a job's texts may hold. They are checked where they come in (km360r-cli,
// the job panel, a points file) and again before a sync, so that whatever a
// store accepts a team server can hold and index: UTF-8 only, no control
// characters, and a length well inside what a server's index row takes.
#include <cstddef>
#include <string>
#include <string_view>

namespace jobs {

struct Job;

enum class TextKind { Name, Site, Operator, Notes, Label };

// Characters (not bytes) each kind may hold.
inline constexpr size_t kMaxLabelChars = 64;
inline constexpr size_t kMaxNameChars = 200;  // a job's name, site and operator
inline constexpr size_t kMaxNotesChars = 2000;
size_t MaxChars(TextKind kind);

// Why `text` cannot be kept as a `kind`, or empty; in Chinese for a Chinese
// window (the command line and the store keep their English). A name or label
// is not empty; notes may hold tabs and line breaks, the others no control
// character at all.
std::string TextProblem(TextKind kind, std::string_view text, bool chinese = false);

// `text` as a message can show it: a control character as \xNN, since a NUL
// byte would end the printed message there and a line break split it.
std::string ControlsShown(std::string_view text);

// The first problem among a job's name, site, operator and notes, or empty.
std::string JobTextProblem(const Job& job);

}  // namespace jobs
