#include "app/ui/Screenshot.h"

#include "app/AppContext.h"
#include "app/ui/FrmStartup.h"
#include "app/ui/MainKvb71853.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QTabBar>

namespace kvb::ui {

bool RenderMainWindow(AppContext& context, const std::string& file, int devices,
                      const std::string& tab)
{
    FrmStartup form(context);
    form.cboDeviceSelect->setCurrentIndex(1);
    form.cboDeviceSelect_Click();
    MainKvb71853* main = form.mainWindow();
    if (!main)
        return false;
    auto* dialog = main->findChild<QDialog*>("frmManualConfig");
    dialog->findChild<QRadioButton*>("optDaisyChain_1")->setChecked(true);
    dialog->findChild<QRadioButton*>("optDevices_0")->setChecked(true);
    auto* size = dialog->findChild<QLineEdit*>("txtStackSize");
    size->setText(QString::number(devices));
    emit size->textEdited(size->text());
    dialog->accept();
    for (int i = 0; i < main->TabStrip1->count(); ++i) {
        if (main->TabStrip1->tabText(i).toStdString() == tab)
            main->TabStrip1->setCurrentIndex(i);
    }
    main->show();
    QApplication::processEvents();
    return main->grab().save(QString::fromStdString(file), "PNG");
}

}  // namespace kvb::ui
