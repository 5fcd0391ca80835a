#include "common/qt/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tessera {
namespace {

// Texts of Qt's that its zh_CN catalogue lacks: the kind of an entry in the file dialog's
// detail view ("Folder" for every folder). Asked after the catalogue, so it only fills gaps.
class MissingTranslations : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0 || !sourceText)
            return {};
        static const struct {
            const char* english;
            const char* chinese;
        } kTexts[] = {{"Folder", "文件夹"},     {"File Folder", "文件夹"}, {"Drive", "驱动器"},
                      {"Shortcut", "快捷方式"}, {"Alias", "替身"},         {"File", "文件"},
                      {"Unknown", "未知"}};
        for (const auto& text : kTexts)
            if (qstrcmp(sourceText, text.english) == 0)
                return QString::fromUtf8(text.chinese);
        return {};
    }
};

} // namespace

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
    // Installed last, so asked first; it answers only what the catalogues leave in English.
    QCoreApplication::installTranslator(new MissingTranslations(QCoreApplication::instance()));
    result = baseLoaded;
    if (missing && !result)
        *missing = missed;
    return result;
}

} // namespace tessera
