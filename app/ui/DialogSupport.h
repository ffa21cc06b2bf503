#pragma once
// What the program's dialogs share beyond one window: Qt's own dialogs (file
// choosers, the print dialog, standard buttons) in the configured language,
// and the folder the file dialogs open in, remembered between runs.
#include <QString>

namespace dialogs {

// Qt's own texts in Chinese for the Chinese languages, its English otherwise.
// Called again with another language, the earlier choice is replaced.
void UseQtLanguage(bool chinese);

// The folder the last file dialog was left in (the home folder at first).
QString LastFolder();
// Remembers the folder of a chosen file.
void RememberFolderOf(const QString& filePath);

}  // namespace dialogs
