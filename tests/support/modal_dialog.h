#pragma once
// Acting on a modal dialog from a test: the action runs once the dialog is the active modal
// widget. Should none appear, every visible dialog is rejected so that the test fails instead
// of hanging.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

namespace testing_modal {

inline void whenModal(std::function<void(QWidget*)> action, int triesLeft = 200) {
    QTimer::singleShot(triesLeft == 200 ? 0 : 10, [action = std::move(action), triesLeft] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            action(w);
            return;
        }
        if (triesLeft > 0) {
            whenModal(action, triesLeft - 1);
            return;
        }
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QDialog*>(top); d && d->isVisible())
                d->reject();
    });
}

} // namespace testing_modal
