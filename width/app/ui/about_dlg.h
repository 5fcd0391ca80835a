#pragma once
// The About box: the program's icon, name and version, closed with its close box or Esc.

#include <QDialog>

namespace fallowmere {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace fallowmere
