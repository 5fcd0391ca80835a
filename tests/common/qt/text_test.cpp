// Interface texts from GBK or UTF-8 bytes and back, and captions shown exactly as set.

#include "common/qt/caption.h"
#include "common/qt/text.h"

#include <QWindow>
#include <QtTest>

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void gbkAndUtf8BytesBecomeText() {
        QCOMPARE(tessera::fromGbk("\xB2\xE2\xC9\xEE"
                                  "12"),
                 QStringLiteral("测深12"));
        QCOMPARE(tessera::fromGbk("a\xFF"), QStringLiteral("a\uFFFD")); // not GBK: replaced
        QCOMPARE(tessera::fromUtf8("测深文档1"), QStringLiteral("测深文档1"));
        QCOMPARE(tessera::fromUtf8(std::string_view("a\0b", 3)), QString::fromUtf8("a\0b", 3));
        QCOMPARE(tessera::toGbk(QStringLiteral("测深")).value(), std::string("\xB2\xE2\xC9\xEE"));
        QVERIFY(!tessera::toGbk(QStringLiteral("😀")).has_value());
    }

    void captionsAreShownExactlyAsSet() {
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Tessaly"));
        QWindow window;
        tessera::setCaption(window, QStringLiteral("端口设置"));
        QCOMPARE(window.title(), QStringLiteral("端口设置"));
        // Nothing is left for the window system to append.
        QVERIFY(QGuiApplication::applicationDisplayName().isEmpty());
    }
};

QTEST_MAIN(TextTest)
#include "text_test.moc"
