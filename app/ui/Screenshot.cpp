#include "app/ui/Screenshot.h"

#include "app/AppContext.h"
#include "app/ui/FrmStartup.h"
#include "app/ui/MainKvb71853.h"
#include "data/ui/FrmCharting.h"
#include "panel/ui/FrmMainF340.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace kvb::ui {

bool RenderMainWindow(AppContext& context, const std::string& file, int devices,
                      const std::string& tab, const std::string& window)
{
    FrmStartup form(context);
    // The user chooses the board.
    auto* boards = form.findChild<QComboBox*>("cboDeviceSelect");
    boards->setCurrentIndex(1);
    emit boards->activated(1);
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
    auto* tabs = main->findChild<QTabBar*>("TabStrip1");
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i).toStdString() == tab)
            tabs->setCurrentIndex(i);
    }
    main->show();
    QApplication::processEvents();
    QWidget* shown = main;
    if (window == "panel") {
        shown = &form.boardPanel();
        shown->show();
    } else if (window == "chart") {
        // A few samples so the charts have lines.
        for (int i = 0; i < 20; ++i) {
            context.commands.cbReadAllVolts_Click();
            context.services.clock.sleep(std::chrono::milliseconds(500));
        }
        main->findChild<QPushButton*>("cmdShowChart")->click();
        shown = &main->chartWindow();
    }
    QApplication::processEvents();
    return shown->grab().save(QString::fromStdString(file), "PNG");
}

}  // namespace kvb::ui
