#pragma once
#include <QDialog>

namespace marrowby {

// The About box: program icon, title with version, build version line, OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace marrowby
