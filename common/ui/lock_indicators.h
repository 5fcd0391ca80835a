#pragma once
// The status bar's lock-key indicators 大写, 数字 and 滚动: dark while the lock is on, grey
// while it is off and wherever the platform cannot tell.

#include <QObject>

class QLabel;
class QStatusBar;
class QTimer;

namespace tessera {

class LockIndicators : public QObject {
    Q_OBJECT
public:
    // Adds the three indicators to the right end of `bar`, in the order 大写, 数字, 滚动.
    explicit LockIndicators(QStatusBar* bar);

    QLabel* caps() const { return caps_; }
    QLabel* num() const { return num_; }
    QLabel* scroll() const { return scroll_; }

    // Reads the lock state again and shows it.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* caps_;
    QLabel* num_;
    QLabel* scroll_;
    QTimer* timer_ = nullptr;
};

} // namespace tessera
