#include "app/ui/CKM360R_ProjectDoc.h"

#include "common/FrameTexts.h"

bool CKM360R_ProjectDoc::OnNewDocument() {
  SetTitle(kDocumentTitle);
  return true;
}
