#include "width/app/ui/about_dlg.h"

#include "common/build_date.h"
#include "common/qt/caption.h"
#include "width/app/ui/icons.h"

#include <QGridLayout>
#include <QLabel>

namespace fallowmere {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("关于 Fallowmere"));
    setObjectName(QStringLiteral("CAboutDlg"));
    // A fixed-size dialog: a title and a close box, nothing to maximize.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(32, 32));
    auto* name = new QLabel(QStringLiteral("Fallowmere V1.30"), this);
    name->setObjectName(QStringLiteral("name"));
    auto* what = new QLabel(QStringLiteral("裂缝宽度记录与图片管理"), this);
    auto* build = new QLabel(QStringLiteral("版本 1.30（构建于 %1）")
                                 .arg(QString::fromStdString(tessera::chineseBuildDate(__DATE__))),
                             this);
    build->setObjectName(QStringLiteral("version"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1);
    grid->addWidget(what, 1, 1);
    grid->addWidget(build, 2, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace fallowmere
