#include "depth/ports/ui/port_set_dlg.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/prompt.h"
#include "depth/document/program_title.h"
#include "depth/ports/qt/port_enumeration.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace marrowby {
namespace {

// Item data: the device behind the port, shown beside the list for people.
constexpr int kDeviceRole = Qt::UserRole + 1;

} // namespace

CPortSetDlg::CPortSetDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("端口设置"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto* label = new QLabel(QStringLiteral("串口号"), this);
    m_pCombo = new QComboBox(this); // a drop-down list: not editable
    m_pCombo->setEditable(false);
    m_pCombo->setMinimumContentsLength(6);
    m_pDevice = new QLabel(this);
    m_pDevice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pOk = new QPushButton(QStringLiteral("确定"), this);
    m_pCancel = new QPushButton(QStringLiteral("取消"), this);
    m_pOk->setDefault(true);
    m_pOk->setAutoDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_pCombo, 0, 1);
    grid->addWidget(m_pDevice, 1, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pCancel);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A selection the user makes (mouse or keyboard); the preselection does not count.
    connect(m_pCombo, &QComboBox::activated, this, [this](int) { OnSelChangePort(); });
    connect(m_pCombo, &QComboBox::currentIndexChanged, this,
            [this](int index) { showDeviceOf(index); });
}

int CPortSetDlg::exec() {
    if (!m_bInitialised)
        OnInitDialog();
    return QDialog::exec();
}

void CPortSetDlg::showEvent(QShowEvent* e) {
    if (!m_bInitialised)
        OnInitDialog();
    QDialog::showEvent(e);
}

void CPortSetDlg::OnInitDialog() {
    m_bInitialised = true;
    FillPortList();
    const QString wanted = QStringLiteral("COM%1").arg(m_nPort);
    int selected = -1;
    for (int i = 0; i < m_pCombo->count(); ++i) {
        if (m_pCombo->itemText(i) == wanted) {
            selected = i;
            break;
        }
    }
    m_pCombo->setCurrentIndex(selected);
    showDeviceOf(selected);
}

void CPortSetDlg::FillPortList() {
    m_pCombo->clear();
    const PortMap map = currentPortMap();
    if (!map.readable) {
        tessera::prompt().message(this, tessera::fromUtf8(kProgramTitle),
                                  QStringLiteral("Error：Can't open the hKEY"),
                                  tessera::PromptIcon::Exclamation);
        return;
    }
    std::vector<std::string> names = offeredPortNames(map);
    // The list is sorted as text, so COM10 comes before COM2.
    std::stable_sort(names.begin(), names.end());
    for (const std::string& name : names) {
        QString device;
        auto it = std::find_if(map.devices.begin(), map.devices.end(),
                               [&](const SerialDevice& d) { return d.portName == name; });
        if (it != map.devices.end()) {
            device = QString::fromStdString(it->devicePath);
            if (!it->description.empty())
                device += QStringLiteral("  ") + QString::fromStdString(it->description);
        }
        m_pCombo->addItem(QString::fromStdString(name), device);
        m_pCombo->setItemData(m_pCombo->count() - 1, device, kDeviceRole);
        m_pCombo->setItemData(m_pCombo->count() - 1, device, Qt::ToolTipRole);
    }
}

void CPortSetDlg::OnSelChangePort() {
    const int index = m_pCombo->currentIndex();
    if (index < 0)
        return;
    m_nPort = portNumberOf(m_pCombo->itemText(index).toStdString());
}

void CPortSetDlg::showDeviceOf(int index) {
    m_pDevice->setText(index < 0 ? QString() : m_pCombo->itemData(index, kDeviceRole).toString());
}

} // namespace marrowby
