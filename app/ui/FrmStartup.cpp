#include "app/ui/FrmStartup.h"

#include "app/AppContext.h"
#include "core/AppInfo.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace kvb::ui {

FrmStartup::FrmStartup(AppContext& context, QWidget* parent)
    : QWidget(parent), context_(context)
{
    setObjectName("frmStartup");
    setWindowTitle(kProgramTitle);
    auto* layout = new QVBoxLayout(this);
    lblPrompt_ = new QLabel("Connect Evaluation Board, then select Option :", this);
    lblPrompt_->setObjectName("lblPrompt");
    lstOptions_ = new QListWidget(this);
    lstOptions_->setObjectName("lstOptions");
    lstOptions_->addItem("--  --  --  --  --");
    lstOptions_->addItem("KVB71853 Evaluation Board Connected");
    layout->addWidget(lblPrompt_);
    layout->addWidget(lstOptions_);
    resize(420, 200);

    if (context_.transport.InitUsbHidConnection())
        lblPrompt_->setText(lblPrompt_->text() + "Connected");
}

}  // namespace kvb::ui
