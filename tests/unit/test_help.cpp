// Help: which file the language opens, what the operator is told when it
// cannot be opened, and the compiled help files the build puts beside the
// executables.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "FakeFrame.h"
#include "TestText.h"
#include "app/Help.h"

namespace fs = std::filesystem;

namespace {

class ScopedDir {
 public:
  ScopedDir() {
    std::string tmpl = (fs::temp_directory_path() / "km360r-help.XXXXXX").string();
    m_path = ::mkdtemp(tmpl.data());
    m_path += "/";
  }
  ~ScopedDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
  }
  const std::string& Path() const { return m_path; }
  void Touch(const std::string& name) const { std::ofstream(m_path + name) << "ITSF"; }

 private:
  std::string m_path;
};

// The desktop's "open" as a test sees it: what was handed over, and the
// verdict it gives.
class RecordingDesktop : public help::IDesktop {
 public:
  bool handlerFound = true;
  std::vector<std::string> opened;
  void Open(const std::string& path, std::function<void(bool)> done) override {
    opened.push_back(path);
    done(handlerFound);
  }
};

const char* const kHelpFiles[] = {"help_sc.chm", "help_qtv_e.chm", "help_c.chm", "help_e.chm"};

}  // namespace

TEST(Help, OpensTheFileOfTheLanguageOrTheFolderWithoutOne) {
  struct Case {
    std::string setting;
    std::string file;
  };
  const std::vector<Case> cases = {
      {"0", "help_sc.chm"}, {"1", "help_qtv_e.chm"}, {"2", "help_c.chm"}, {"3", "help_e.chm"},
      {"31", "help_qtv_e.chm"}, {"", ""}, {"x", ""}};
  ScopedDir dir;
  for (const char* name : kHelpFiles) dir.Touch(name);
  for (const Case& c : cases) {
    RecordingDesktop desktop;
    FakeWindow window;
    help::Open(c.setting, dir.Path(), desktop, window);
    ASSERT_EQ(desktop.opened.size(), 1u) << c.setting;
    EXPECT_EQ(desktop.opened[0], dir.Path() + c.file) << c.setting;
    EXPECT_TRUE(window.errorBoxes.empty()) << c.setting;
  }
}

TEST(Help, AMissingFileIsReportedInTheLanguageAndNotHandedOn) {
  ScopedDir dir;
  dir.Touch("help_e.chm");  // only the neutral English one is there
  RecordingDesktop desktop;
  FakeWindow window;
  help::Open("1", dir.Path(), desktop, window);
  EXPECT_TRUE(desktop.opened.empty());
  ASSERT_EQ(window.errorBoxes.size(), 1u);
  EXPECT_EQ(window.errorBoxes[0].text, "The help file was not found: " + dir.Path() +
                                           "help_qtv_e.chm\nPlease install the program again.");
  EXPECT_EQ(window.errorBoxes[0].caption, "Massage prompt");
}

TEST(Help, NoHandlerIsReportedInTheTongueOfTheLanguage) {
  struct Case {
    std::string setting;
    std::vector<std::string> words;  // what the text must say
    std::string caption;
  };
  const std::vector<Case> cases = {
      {"0", {"没有可以打开帮助文件的程序", "help_sc.chm"}, "信息提示"},
      {"3", {"No program on this computer can open the help file", "help_e.chm"}, "Massage prompt"},
      // Without a language, both tongues, about the folder.
      {"", {"没有可以打开帮助文件的程序", "No program on this computer"}, "Help / 帮助"},
  };
  ScopedDir dir;
  for (const char* name : kHelpFiles) dir.Touch(name);
  for (const Case& c : cases) {
    RecordingDesktop desktop;
    desktop.handlerFound = false;
    FakeWindow window;
    help::Open(c.setting, dir.Path(), desktop, window);
    ASSERT_EQ(window.errorBoxes.size(), 1u) << c.setting;
    for (const std::string& word : c.words) {
      EXPECT_NE(window.errorBoxes[0].text.find(word), std::string::npos) << c.setting << ": " << word;
    }
    EXPECT_EQ(window.errorBoxes[0].caption, c.caption);
  }
}

// The build compiles the four help files beside the executables; an
// independent reader of the format lists and extracts them, and each holds
// the pages in its tongue with the title of its flavour.
TEST(HelpFiles, AreValidCompiledHelpWithThePagesOfTheirLanguage) {
  struct Case {
    std::string file;
    std::string title;  // UTF-8
    bool gbk;
    std::string calibrationWord;
    std::string maker;  // the maker's name in the tongue of the file
  };
  const std::vector<Case> cases = {
      {"help_sc.chm", "澜屹PON光功率计管理软件", true, "校准", "澜屹"},
      {"help_qtv_e.chm", "Halvex PON Optical Power Meter Management Software", false, "Calibration", "Halvex"},
      {"help_c.chm", "光功率计管理软件", true, "校准", "澜屹"},
      {"help_e.chm", "Optical Power Meter Management Software", false, "Calibration", "Halvex"},
  };
  for (const Case& c : cases) {
    const std::string chm = std::string(KM360R_HELP_DIR) + "/" + c.file;
    ScopedDir out;
    const std::string command =
        std::string(KM360R_EXTRACT_CHM) + " '" + chm + "' '" + out.Path() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << c.file;
    for (const char* page : {"index.html", "connect.html", "realtime.html", "history.html", "files.html",
                             "export.html", "settings.html", "calibration.html", "mode.html",
                             "troubleshooting.html", "keyboard.html", "jobs.html", "job-panel.png", "toc.hhc"}) {
      EXPECT_TRUE(fs::exists(out.Path() + page)) << c.file << ": " << page;
    }
    auto read = [&](const std::string& name) {
      std::stringstream s;
      s << std::ifstream(out.Path() + name, std::ios::binary).rdbuf();
      return c.gbk ? U(s.str()) : s.str();
    };
    EXPECT_NE(read("index.html").find("<title>" + c.title + "</title>"), std::string::npos) << c.file;
    EXPECT_NE(read("toc.hhc").find(c.calibrationWord), std::string::npos) << c.file;
    // The neutral flavours name no maker.
    const bool branded = c.file == "help_sc.chm" || c.file == "help_qtv_e.chm";
    EXPECT_EQ(read("index.html").find(c.maker) != std::string::npos, branded) << c.file;
  }
}
