#include "graph/ui/CPage2.h"

CPage2::CPage2(QWidget* parent) : QWidget(parent) {
  m_page.SetChangeListener([this] { update(); });
  hide();
}

CPage2::~CPage2() { m_page.SetChangeListener(nullptr); }

void CPage2::Create() {
  m_bCreated = true;
  setAutoFillBackground(true);
}
