#pragma once
// The language rule: the raw text of config.ini's `language` value chooses the
// texts (Chinese or English) and the title flavour (with the maker's name or
// neutral). It is resolved by substring tests in the order "0", "1", "2", "3",
// so "10" counts as 0 and "31" as 1.
#include <optional>
#include <string>

namespace lang {

enum class Index { Zero = 0, One = 1, Two = 2, Three = 3 };

std::optional<Index> Resolve(const std::string& setting);

// Indexes 0 and 2 are Chinese, 1 and 3 English.
inline bool IsChinese(Index i) { return i == Index::Zero || i == Index::Two; }
// Indexes 0 and 1 carry the maker's name.
inline bool IsBranded(Index i) { return i == Index::Zero || i == Index::One; }

// The directory of the running executable, ending with "/".
std::string ProgramDirectory();

// config.ini beside the executable (read by config::Settings).
std::string ConfigPath();

}  // namespace lang
