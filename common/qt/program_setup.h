#pragma once
// What both desktop programs do first, once the application object exists: their names for
// the settings store, captions shown exactly as set, and the framework's own texts in Chinese.

#include <QString>

namespace tessera {

// Sets the application's name and version and the organisation "Local AppWizard-Generated
// Applications" (the settings store of both programs), shows captions exactly as set, and
// loads Qt's zh_CN translations. False, with a message for the user in `problem`, when the
// translations are missing (the program still runs, with some framework texts in English).
bool setUpDesktopProgram(const QString& name, const QString& version, QString* problem);

} // namespace tessera
