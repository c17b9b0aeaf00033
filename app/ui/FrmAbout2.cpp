#include "app/ui/FrmAbout2.h"

#include "core/AppInfo.h"
#include "core/ui/ScreenFit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace kvb::ui {

namespace {

// System-information tools of the common Linux desktops, in order of
// preference.
const char* const kSysInfoTools[] = {"hardinfo", "gnome-system-monitor", "kinfocenter"};

QString versionText()
{
    return QString("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

}  // namespace

LogoPicture::LogoPicture(QWidget* parent) : QWidget(parent)
{
    setObjectName("picOlvetraLogo");
    setFixedSize(96, 96);
    setToolTip("KVB71853");
}

void LogoPicture::paintEvent(QPaintEvent*)
{
    // A battery of three cells over the part name.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(0, 90, 160));
    fill.setColorAt(1, QColor(0, 40, 90));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(rect().adjusted(1, 1, -1, -1), 12, 12);

    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    const QRectF body(18, 22, 54, 30);
    p.drawRoundedRect(body, 3, 3);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(body.right() + 1, body.center().y() - 6, 5, 12));
    const QColor cells[] = {QColor(120, 220, 120), QColor(120, 220, 120), QColor(250, 210, 80)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(cells[i]);
        p.drawRect(QRectF(body.left() + 4 + i * 16.5, body.top() + 4, 13, body.height() - 8));
    }

    QFont f = font();
    f.setBold(true);
    f.setPixelSize(15);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 58, width(), 28), Qt::AlignCenter, "KVB71853");
}

void LogoPicture::mouseDoubleClickEvent(QMouseEvent*)
{
    emit doubleClicked();
}

FrmAbout2::FrmAbout2(AboutHooks hooks, QWidget* parent) : QDialog(parent), hooks_(std::move(hooks))
{
    OpenOnScreen(this);
    setObjectName("frmAbout2");
    setWindowTitle(QString("About ") + kProgramTitle);

    QHBoxLayout* header = buildHeader();
    QGridLayout* firmware = buildFirmware();
    QHBoxLayout* footer = buildFooter();

    auto* top = new QVBoxLayout(this);
    top->addLayout(header);
    top->addLayout(firmware);
    top->addLayout(footer);
    setMinimumWidth(480);
}

QHBoxLayout* FrmAbout2::buildHeader()
{
    auto* logo = new LogoPicture(this);
    connect(logo, &LogoPicture::doubleClicked, this, [this] {
        if (hooks_.showBoardPanel)
            hooks_.showBoardPanel();
    });

    auto* lblTitle = new QLabel(kProgramTitle, this);
    lblTitle->setObjectName("lblTitle");
    QFont big = lblTitle->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    lblTitle->setFont(big);
    auto* lblVersion = new QLabel("GUI Version " + versionText(), this);
    lblVersion->setObjectName("lblVersion");
    auto* lblDescription = new QLabel(kProgramDescription, this);
    lblDescription->setObjectName("lblDescription");
    lblDescription->setWordWrap(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    auto* header = new QHBoxLayout;
    header->addWidget(logo, 0, Qt::AlignTop);
    header->addLayout(texts, 1);
    return header;
}

QGridLayout* FrmAbout2::buildFirmware()
{
    cmdReadFirmware_ = new QPushButton("Read Firmware Version", this);
    cmdReadFirmware_->setObjectName("cmdReadFirmware");
    connect(cmdReadFirmware_, &QPushButton::clicked, this, &FrmAbout2::cmdReadFirmware_Click);
    lblfirmwareVer_ = new QLabel(this);
    lblfirmwareVer_->setObjectName("lblfirmwareVer");
    auto* expected = new QLabel("Expected", this);
    auto* expectedVersion = new QLabel("Firmware Version 1.1 - 2015/December/16", this);

    auto* firmware = new QGridLayout;
    firmware->addWidget(cmdReadFirmware_, 0, 0);
    firmware->addWidget(lblfirmwareVer_, 0, 1);
    firmware->addWidget(expected, 1, 0);
    firmware->addWidget(expectedVersion, 1, 1);
    return firmware;
}

QHBoxLayout* FrmAbout2::buildFooter()
{
    auto* notice = new QLabel(
        "This program is provided for the evaluation of the KVB71853, KVB53960 and "
        "KVB53961 on their evaluation board. It is supplied as is, without warranty of "
        "any kind.",
        this);
    notice->setObjectName("lblDisclaimer");
    notice->setWordWrap(true);

    auto* cmdOK = new QPushButton("OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    // OK ends the box; its owner unloads it then.
    connect(cmdOK, &QPushButton::clicked, this, &FrmAbout2::accept);
    auto* cmdSysInfo = new QPushButton("&System Info...", this);
    cmdSysInfo->setObjectName("cmdSysInfo");
    connect(cmdSysInfo, &QPushButton::clicked, this, &FrmAbout2::StartSysInfo);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* footer = new QHBoxLayout;
    footer->addWidget(notice, 1);
    footer->addLayout(buttons);
    return footer;
}

void FrmAbout2::showEvent(QShowEvent* event)
{
    // The firmware version can only be read from a connected board.
    const bool connected = hooks_.evbConnected && hooks_.evbConnected();
    cmdReadFirmware_->setVisible(connected);
    lblfirmwareVer_->setVisible(connected);
    QDialog::showEvent(event);
}

void FrmAbout2::cmdReadFirmware_Click()
{
    if (hooks_.readFirmware)
        lblfirmwareVer_->setText(QString::fromStdString(hooks_.readFirmware()));
}

QString FrmAbout2::FindSysInfoTool()
{
    for (const char* tool : kSysInfoTools) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty())
            return path;
    }
    return {};
}

void FrmAbout2::StartSysInfo()
{
    const QString tool = FindSysInfoTool();
    if (tool.isEmpty())
        return;
    if (hooks_.startProgram)
        hooks_.startProgram(tool);
    else
        QProcess::startDetached(tool, {});
}

}  // namespace kvb::ui
