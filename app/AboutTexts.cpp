#include "app/AboutTexts.h"

namespace {

// The maker's contact details, shown by the branded languages. Each line is a
// fixed label, an ASCII colon and the value, without a space between.
constexpr const char* kCompanyZh = "杭州澜屹光电科技有限公司";
constexpr const char* kCompanyEn = "Halvex Photonics Co., Ltd.";
constexpr const char* kPhone = "+86-571-8636-0360";
constexpr const char* kWeb = "www.halvex.com.cn";
constexpr const char* kEmail = "service@halvex.com.cn";

}  // namespace

AboutTexts AboutTexts::For(std::optional<lang::Index> index) {
  AboutTexts t;
  if (!index) return t;
  const bool chinese = lang::IsChinese(*index);
  t.m_strCaption = chinese ? "关于" : "About";
  t.m_strOkText = chinese ? "确定" : "OK";
  switch (*index) {
    case lang::Index::Zero:
      t.m_strCompany = std::string("公司:") + kCompanyZh;
      t.m_strPhone = std::string("电话:") + kPhone;
      t.m_strWeb = std::string("网址:") + kWeb;
      t.m_strEmail = std::string("邮箱:") + kEmail;
      t.m_strRights = std::string("版权所有:") + kCompanyZh;
      t.m_strVersion = "软件版本:澜屹PON光功能计管理软件 V1.0";
      break;
    case lang::Index::One:
      t.m_strCompany = std::string("Company:") + kCompanyEn;
      t.m_strPhone = kPhone;
      t.m_strWeb = std::string("URL:") + kWeb;
      t.m_strEmail = kEmail;
      t.m_strRights = std::string("Copyright:") + kCompanyEn;
      t.m_strVersion = "Software Vision:Halvex PON Optical Power Meter Management Software V1.0";
      break;
    case lang::Index::Two: t.m_strVersion = "软件版本:V1.0"; break;
    case lang::Index::Three: t.m_strVersion = "Software Vision:V1.0"; break;
  }
  return t;
}
