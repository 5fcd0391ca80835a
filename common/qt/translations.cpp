#include "common/qt/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tessera {

bool installChineseTranslations(QString* missing) {
    // Once per application object (the translators belong to it).
    static const QCoreApplication* doneFor = nullptr;
    static bool result = false;
    static QString missed;
    if (doneFor == QCoreApplication::instance()) {
        if (missing && !result)
            *missing = missed;
        return result;
    }
    doneFor = QCoreApplication::instance();
    missed.clear();
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // qtbase carries the widgets, dialogs and message boxes; qtserialport the port errors.
    bool baseLoaded = false;
    for (const char* catalogue : {"qtbase", "qtserialport"}) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"),
                             folder)) {
            QCoreApplication::installTranslator(translator);
            baseLoaded = baseLoaded || QLatin1String(catalogue) == QLatin1String("qtbase");
        } else {
            delete translator;
            if (QLatin1String(catalogue) == QLatin1String("qtbase"))
                missed = QDir(folder).filePath(QStringLiteral("qtbase_zh_CN.qm"));
        }
    }
    result = baseLoaded;
    if (missing && !result)
        *missing = missed;
    return result;
}

} // namespace tessera
