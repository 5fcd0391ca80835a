#include "common/ui/lock_indicators.h"

#include "common/qt/lock_keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace tessera {
namespace {

// How often the state is read again: a lock can change while another program has the keyboard.
constexpr int kPollMilliseconds = 250;

QLabel* indicator(QStatusBar* bar, const QString& text) {
    auto* label = new QLabel(text, bar);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setEnabled(false);
    bar->addPermanentWidget(label);
    return label;
}

} // namespace

LockIndicators::LockIndicators(QStatusBar* bar)
    : QObject(bar), caps_(indicator(bar, QStringLiteral("大写"))),
      num_(indicator(bar, QStringLiteral("数字"))),
      scroll_(indicator(bar, QStringLiteral("滚动"))) {
    if (!readLockKeys())
        return; // the platform cannot tell: the indicators stay grey
    refresh();
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &LockIndicators::refresh);
    timer_->start(kPollMilliseconds);
    // A lock key pressed in this program shows at once.
    qApp->installEventFilter(this);
}

void LockIndicators::refresh() {
    const std::optional<LockKeys> keys = readLockKeys();
    caps_->setEnabled(keys && keys->caps);
    num_->setEnabled(keys && keys->num);
    scroll_->setEnabled(keys && keys->scroll);
}

bool LockIndicators::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
            refresh();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tessera
