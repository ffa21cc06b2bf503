#include "graph/ui/CPage2.h"

CPage2* g_pPage2 = nullptr;

CPage2::CPage2(QWidget* parent) : QWidget(parent) {
  g_pPage2 = this;
  hide();
}

CPage2::~CPage2() {
  if (g_pPage2 == this) g_pPage2 = nullptr;
}

void CPage2::Create() {
  m_bCreated = true;
  setAutoFillBackground(true);
}

void CPage2::OnGraphClear() {
  m_strValueText.clear();
  m_nUpdates = 0;
}

void CPage2::OnGraphUpdate(const std::optional<std::string>& valueText) {
  if (valueText) m_strValueText = *valueText;
  ++m_nUpdates;
}
