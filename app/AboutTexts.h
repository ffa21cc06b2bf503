#pragma once
// The About box's texts (UTF-8) for a language index, read afresh from
// config.ini at each opening. The branded languages (0 and 1) carry the
// maker's contact lines; the neutral ones (2 and 3) only the version line.
// Without an index every text is empty.
#include <optional>
#include <string>

#include "common/Language.h"

struct AboutTexts {
  std::string m_strCaption;
  std::string m_strCompany;
  std::string m_strPhone;
  std::string m_strWeb;
  std::string m_strEmail;
  std::string m_strOkText;
  std::string m_strRights;
  std::string m_strVersion;

  static AboutTexts For(std::optional<lang::Index> index);
};
