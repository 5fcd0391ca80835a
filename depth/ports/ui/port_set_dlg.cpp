#include "depth/ports/ui/port_set_dlg.h"

#include "common/qt/caption.h"
#include "common/qt/text.h"
#include "common/ui/dialog_units.h"
#include "common/ui/prompt.h"
#include "depth/document/program_title.h"
#include "depth/ports/qt/port_enumeration.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace marrowby {
namespace {

// Item data: the device path behind the port, and its description.
constexpr int kDeviceRole = Qt::UserRole + 1;
constexpr int kDescriptionRole = Qt::UserRole + 2;

} // namespace

CPortSetDlg::CPortSetDlg(QWidget* parent) : QDialog(parent) {
    tessera::setCaption(*this, QStringLiteral("端口设置"));
    // Dialog resource 131: 111 × 68 dialog units in 宋体 10.
    const tessera::DialogBaseUnits units = tessera::setUpDialog(*this, 111, 68, 10);
    auto* label = new QLabel(QStringLiteral("串口号"), this);
    tessera::placeInDialog(*label, units, 14, 17, 23, 8);
    // A drop-down list (not editable). The resource's height is that of the open list; the
    // closed box is as high as the font needs.
    m_pCombo = new QComboBox(this);
    m_pCombo->setEditable(false);
    const QRect combo = tessera::dialogRect(units, 47, 15, 48, 55);
    const int closedHeight = m_pCombo->sizeHint().height();
    m_pCombo->setGeometry(combo.x(), combo.y(), combo.width(), closedHeight);
    const int itemHeight = std::max(1, m_pCombo->view()->sizeHintForRow(0));
    m_pCombo->setMaxVisibleItems(std::max(1, (combo.height() - closedHeight) / itemHeight));
    label->setBuddy(m_pCombo);
    m_pOk = new QPushButton(QStringLiteral("确定"), this);
    tessera::placeInDialog(*m_pOk, units, 10, 36, 34, 14);
    m_pCancel = new QPushButton(QStringLiteral("取消"), this);
    tessera::placeInDialog(*m_pCancel, units, 58, 36, 37, 14);
    m_pOk->setDefault(true);
    m_pOk->setAutoDefault(true);
    // The device path behind the selected port, a help on this platform, in the margin below
    // the buttons; hidden when the port has none, so nothing else moves.
    m_pDevice = new QLabel(this);
    tessera::placeInDialog(*m_pDevice, units, 10, 54, 91, 8);
    m_pDevice->hide();

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
        QString device, description;
        auto it = std::find_if(map.devices.begin(), map.devices.end(),
                               [&](const SerialDevice& d) { return d.portName == name; });
        if (it != map.devices.end()) {
            device = tessera::fromUtf8(it->devicePath);
            description = tessera::fromUtf8(it->description);
        }
        const int index = m_pCombo->count();
        m_pCombo->addItem(QString::fromStdString(name));
        m_pCombo->setItemData(index, device, kDeviceRole);
        m_pCombo->setItemData(index, description, kDescriptionRole);
        m_pCombo->setItemData(index, deviceToolTip(device, description), Qt::ToolTipRole);
    }
}

void CPortSetDlg::OnSelChangePort() {
    const int index = m_pCombo->currentIndex();
    if (index < 0)
        return;
    m_nPort = portNumberOf(m_pCombo->itemText(index).toStdString());
}

QString CPortSetDlg::deviceToolTip(const QString& path, const QString& description) {
    if (description.isEmpty())
        return path;
    return path.isEmpty() ? description : path + QLatin1Char('\n') + description;
}

void CPortSetDlg::showDeviceOf(int index) {
    const QString path = index < 0 ? QString() : m_pCombo->itemData(index, kDeviceRole).toString();
    m_pDevice->setVisible(!path.isEmpty());
    // A long path is shortened in the middle; the whole of it is in the tooltip.
    m_pDevice->setText(
        m_pDevice->fontMetrics().elidedText(path, Qt::ElideMiddle, m_pDevice->width()));
    m_pDevice->setToolTip(
        path.isEmpty()
            ? QString()
            : deviceToolTip(path, m_pCombo->itemData(index, kDescriptionRole).toString()));
}

} // namespace marrowby
