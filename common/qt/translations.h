#pragma once
// The framework's own texts in Chinese: Qt's zh_CN translations (file, print, page set-up and
// preview dialogs, message-box buttons, the overwrite question, …) from the installed Qt
// translations, whatever the system's language, and the few texts those lack (the kind
// "文件夹" in the file dialog's detail view).

#include <QString>

namespace tessera {

// Installs Qt's zh_CN translations into the running application and makes Chinese (China)
// the default locale. Returns false, with the file that was missing in `missing`, when Qt's
// own base translation cannot be loaded (the texts then stay English). Call once at start-up,
// after the application object exists; calling it again changes nothing.
bool installChineseTranslations(QString* missing = nullptr);

} // namespace tessera
