#pragma once
// The single document of the program. It holds no data of its own: the file
// commands work on the table page, not through a document. It exists because
// the window caption is composed from its title when no language is chosen.
#include <string>

class CDocumentTitle {
 public:
  // A new document (created once, at start-up) is titled "Halvex".
  bool OnNewDocument();

  const std::string& GetTitle() const { return m_strTitle; }
  void SetTitle(std::string title) { m_strTitle = std::move(title); }

 private:
  std::string m_strTitle;
};
