#include "app/LoopHost.h"

BoxAnswer LoopHost::MessageBox(const std::string& text, const std::string& caption,
                               BoxButtons buttons) {
  m_boxes.push_back({text, caption, buttons});
  if (m_boxSink) m_boxSink(m_boxes.back());
  return buttons == BoxButtons::YesNo ? m_yesNoAnswer : BoxAnswer::Ok;
}
