#include "depth/app/ui/about_dlg.h"

#include "common/build_date.h"
#include "common/qt/caption.h"
#include "depth/app/ui/icons.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace marrowby {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("关于Tessaly"));
    auto* icon = new QLabel(this);
    icon->setPixmap(appIcon().pixmap(32, 32));
    auto* title = new QLabel(QStringLiteral("Tessaly 1.2 版"), this);
    auto* build = new QLabel(QStringLiteral("Marrowby 版本 1.2.0（构建于 %1）")
                                 .arg(QString::fromStdString(tessera::chineseBuildDate(__DATE__))),
                             this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1);
    grid->addWidget(build, 1, 1);
    grid->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace marrowby
