#include "app/ui/CDocumentTitle.h"

#include "common/FrameTexts.h"

bool CDocumentTitle::OnNewDocument() {
  SetTitle(kDocumentTitle);
  return true;
}
