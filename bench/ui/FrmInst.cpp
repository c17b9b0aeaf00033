#include "bench/ui/FrmInst.h"

#include "bench/ui/InstrumentIcons.h"
#include "core/ControlNames.h"
#include "core/ui/ScreenFit.h"
#include "core/ui/Widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace kvb::ui {

using namespace kvb::bench;

namespace {

QWidget* scrolled(QWidget* content)
{
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    return area;
}

// Twips to pixels at the usual 96 dots per inch.
int pixels(int twips)
{
    return twips / 15;
}

}  // namespace

FrmInst::FrmInst(InstrumentPanel& panel, QWidget* parent) : QWidget(parent), panel_(panel)
{
    setObjectName("frmInst");
    setWindowTitle("IEEE Test Station Instruments");
    TimerFreq_ = new QTimer(this);
    TimerFreq_->setObjectName("TimerFreq");
    TimerFreq_->setInterval(CounterSection::kTimerFreqIntervalMs);
    connect(TimerFreq_, &QTimer::timeout, this, [this] { act([this] { panel_.counter.TimerFreq_Timer(); }); });

    auto* tabs = new QTabWidget;
    tabs->setObjectName("SSTab1");
    tabs->addTab(counterTab(), "Agilent 53131 Counter");
    tabs->addTab(supplyTab(), "E3631 Aux PS");
    tabs->addTab(scrolled(voltmeterTab()), "HP34401 DVMs");
    tabs->addTab(scrolled(smuTab()), "Keithley 236 Source Measure Unit ");
    tabs->addTab(scrolled(commandsTab()), "VI Commands and Sweep");
    tabs->addTab(switchTab(), "3488 Switch Mux");
    tabs->addTab(fileTab(), "Instrument File");
    // On a screen too low for the tabs, they scroll down inside the window.
    auto* scroll = new ScrollingContent(tabs, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    resize(1100, 760);
    OpenOnScreen(this, scroll);

    panel_.Form_Load();
    refresh();
}

void FrmInst::refresh()
{
    for (const auto& r : refreshers_)
        r();
    if (panel_.counter.TimerFreqEnabled && !TimerFreq_->isActive())
        TimerFreq_->start();
    else if (!panel_.counter.TimerFreqEnabled && TimerFreq_->isActive())
        TimerFreq_->stop();
}

void FrmInst::act(const std::function<void()>& handler)
{
    handler();
    refresh();
}

// --- Bound controls ---------------------------------------------------------

QLineEdit* FrmInst::edit(const QString& name, std::string& field)
{
    auto* box = Named<QLineEdit>(nullptr, name);
    // Wide enough for the instruments' addresses and values.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance("00000.00") + 12);
    connect(box, &QLineEdit::textEdited, this,
            [&field](const QString& t) { field = t.toStdString(); });
    refreshers_.push_back([box, &field] {
        if (box->text() != qs(field))
            box->setText(qs(field));
    });
    return box;
}

QLabel* FrmInst::label(const QString& name, const std::string& field)
{
    auto* l = Named<QLabel>(nullptr, name);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(110);
    // Room for the text inside the sunken border, top and bottom.
    l->setMinimumHeight(l->fontMetrics().height() + 2 * l->frameWidth() + 4);
    l->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    refreshers_.push_back([l, &field] { l->setText(qs(field)); });
    return l;
}

QLabel* FrmInst::text(const QString& caption)
{
    return new QLabel(caption);
}

QPushButton* FrmInst::button(const QString& name, const QString& caption,
                             std::function<void()> action)
{
    auto* b = Named<QPushButton>(nullptr, name, caption);
    connect(b, &QPushButton::clicked, this, [this, action] { act(action); });
    return b;
}

QPushButton* FrmInst::pictureButton(const QString& name, std::function<Picture()> picture,
                                    std::function<void()> action)
{
    auto* b = Named<QPushButton>(nullptr, name);
    b->setIconSize(QSize(32, 32));
    b->setFixedSize(40, 40);
    connect(b, &QPushButton::clicked, this, [this, action] { act(action); });
    refreshers_.push_back([this, b, picture] {
        Picture now = picture();
        if (b->property("picture").toInt() != static_cast<int>(now) + 1) {
            b->setIcon(instrumentIcon(now, panel_.programFolder));
            b->setProperty("picture", static_cast<int>(now) + 1);
        }
    });
    return b;
}

QFrame* FrmInst::lamp(const QString& name, const uint32_t& colour)
{
    auto* f = Named<QFrame>(nullptr, name);
    f->setFixedSize(16, 16);
    f->setFrameShape(QFrame::Box);
    f->setAutoFillBackground(true);
    refreshers_.push_back([f, &colour] {
        // Colours are 0x00BBGGRR.
        QColor c(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
        QPalette p = f->palette();
        p.setColor(QPalette::Window, c);
        f->setPalette(p);
    });
    return f;
}

QListWidget* FrmInst::list(const QString& name, const std::vector<std::string>& items)
{
    auto* l = Named<QListWidget>(nullptr, name);
    refreshers_.push_back([l, &items] {
        if (l->count() == static_cast<int>(items.size()))
            return;
        l->clear();
        for (const auto& item : items)
            l->addItem(qs(item));
        l->scrollToBottom();
    });
    return l;
}

QListWidget* FrmInst::list(const QString& name, const ReadingList& items)
{
    auto* l = Named<QListWidget>(nullptr, name);
    struct Shown {
        uint64_t added = 0;
        uint64_t clears = 0;
    };
    auto shown = std::make_shared<Shown>();
    refreshers_.push_back([l, &items, shown] {
        if (shown->clears != items.clears()) {
            l->clear();
            shown->clears = items.clears();
            shown->added = items.added() - items.size();
        }
        const uint64_t fresh = items.added() - shown->added;
        if (fresh == 0)
            return;
        const size_t n = static_cast<size_t>(std::min<uint64_t>(fresh, items.size()));
        for (size_t k = items.size() - n; k < items.size(); ++k)
            l->addItem(qs(items.items()[k]));
        while (l->count() > static_cast<int>(items.capacity()))
            delete l->takeItem(0);
        shown->added = items.added();
        l->scrollToBottom();
    });
    return l;
}

QGroupBox* FrmInst::frame(const QString& name, const QString& caption)
{
    return Named<QGroupBox>(nullptr, name, caption);
}

QGroupBox* FrmInst::frame(const QString& name, const std::string& caption)
{
    auto* g = frame(name, qs(caption));
    refreshers_.push_back([g, &caption] { g->setTitle(qs(caption)); });
    return g;
}

void FrmInst::visibleWhen(QWidget* widget, const bool& visible)
{
    // The control keeps its room while hidden, so its panel keeps its width
    // when it appears.
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
    refreshers_.push_back([widget, &visible] { widget->setVisible(visible); });
}

// --- Counter and supply -----------------------------------------------------

QWidget* FrmInst::counterTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(counterAddressFrame());

    auto* row = new QHBoxLayout;
    row->addWidget(counterCommandsFrame(), 2);
    row->addWidget(counterTimerFrame(), 1);
    layout->addLayout(row);
    return page;
}

QGroupBox* FrmInst::counterAddressFrame()
{
    CounterSection& c = panel_.counter;
    auto* top = frame("fra53131", QString("Agilent 53131 Counter"));
    auto* topLayout = new QHBoxLayout(top);
    topLayout->addWidget(text("GPIB Address"));
    topLayout->addWidget(edit("txtAdr53131", c.txtAdr53131), 0);
    topLayout->itemAt(1)->widget()->setMaximumWidth(60);
    topLayout->addStretch();
    return top;
}

QGroupBox* FrmInst::counterCommandsFrame()
{
    CounterSection& c = panel_.counter;
    auto* commands = frame("fra53131Commands", QString("HP53131 Commands"));
    auto* grid = new QGridLayout(commands);
    for (int i = 0; i < 6; ++i)
        grid->addWidget(edit(ElementName<QString>("txt53131Init", i), c.txt53131Init[i]), i, 0);
    grid->addWidget(button("cmd53141Init", "Send Init Command", [&c] { c.cmd53141Init_Click(); }),
                    6, 0);
    for (int i = 0; i < 7; ++i)
        grid->addWidget(edit(ElementName<QString>("txt53131Command", i), c.txt53131Command[i]), i,
                        1);
    grid->addWidget(button("cmd53131_2_0", "Setup Measurement", [&c] { c.cmd53131_2_Click(0); }),
                    7, 1);
    for (int i = 0; i < 2; ++i)
        grid->addWidget(edit(ElementName<QString>("txt53131CmdStats", i), c.txt53131CmdStats[i]), i,
                        2);
    grid->addWidget(button("cmd53131_2_1", "Setup Stats", [&c] { c.cmd53131_2_Click(1); }), 2, 2);
    grid->addWidget(list("ReadingsList53131_1", c.ReadingsList53131_1), 8, 0, 1, 3);
    return commands;
}

QGroupBox* FrmInst::counterTimerFrame()
{
    CounterSection& c = panel_.counter;
    auto* timer = frame("fra53131Timer", QString("Agilent 53131 Counter Timer"));
    auto* t = new QGridLayout(timer);
    t->addWidget(edit("txt53131CmdRead_0", c.txt53131CmdRead[0]), 0, 0, 1, 2);
    t->addWidget(button("xms53131_4", "Read", [&c] { c.xms53131_4_Click(); }), 1, 0, 1, 2);
    t->addWidget(button("cmdStartTimer_0", "Start", [&c] { c.cmdStartTimer_Click(0); }), 2, 0);
    t->addWidget(button("cmdStartTimer_1", "Stop", [&c] { c.cmdStartTimer_Click(1); }), 2, 1);
    t->addWidget(label("lblCounter1Read_0", c.lblCounter1Read), 3, 0, 1, 2);
    t->addWidget(list("ReadingsList53131_2", c.ReadingsList53131_2), 4, 0, 1, 2);
    return timer;
}

QWidget* FrmInst::supplyTab()
{
    SupplySection& s = panel_.supply;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* box = frame("fraAuxPS", QString("AuxPS Command Read"));
    auto* g = new QGridLayout(box);
    g->addWidget(text("GPIB Address"), 0, 0);
    g->addWidget(edit("txtAuxPSAdr", s.txtAuxPSAdr), 0, 1);
    g->addWidget(edit("txtAuxPSInit", s.txtAuxPSInit), 1, 0);
    g->addWidget(button("cmdInitAuxPS", "Send Init Command", [&s] { s.cmdInitAuxPS_Click(); }), 1,
                 1);
    g->addWidget(list("ReadingsListAuxPS", s.ReadingsListAuxPS), 2, 0, 1, 2);
    for (int i = 0; i < 4; ++i)
        g->addWidget(edit(ElementName<QString>("txtAuxPSCommand", i), s.txtAuxPSCommand[i]), i, 2);
    g->addWidget(button("cmdSendAuxPSCommand", "Send Command and Read",
                        [&s] { s.cmdSendAuxPSCommand_Click(); }),
                 0, 3);
    g->addWidget(button("cmdClearRdgAuxPS", "Clear", [&s] { s.cmdClearRdgAuxPS_Click(); }), 1, 3);
    g->addWidget(button("cmdAuxPSRdOnly", "Read", [&s] { s.cmdAuxPSRdOnly_Click(); }), 2, 3);
    g->addWidget(label("lblLastReadingAuxPS", s.lblLastReadingAuxPS), 3, 3);
    g->addWidget(list("ReadingsListAuxPS_2", s.ReadingsListAuxPS_2), 4, 2, 1, 2);
    layout->addWidget(box);
    return page;
}

// --- Voltmeters and source-measure units ----------------------------------

QWidget* FrmInst::voltmeterPanel(int i)
{
    VoltmeterSection& v = panel_.voltmeters;
    VoltmeterPanel& p = v.panels[i];
    auto* box = frame(ElementName<QString>("frDVMSet", i), p.frDVMSet);
    auto* g = new QGridLayout(box);
    g->addWidget(text("GPIB Address"), 0, 0);
    g->addWidget(edit(ElementName<QString>("txtDVMAddress", i), p.txtDVMAddress), 0, 1, 1, 3);
    struct Mode {
        const char* handler;
        const char* caption;
        const char* range;
        const char* digits;
        const char* lampName;
        std::string* rangeBox;
        std::string* digitsBox;
        uint32_t* lampColour;
        void (VoltmeterSection::*click)(int);
    };
    Mode modes[] = {
        {"cmdDVMSetDC", "Set DC V", "txtDCRange", "txtDCDigits", "ShpDVMDCMode", &p.txtDCRange,
         &p.txtDCDigits, &p.ShpDVMDCMode, &VoltmeterSection::cmdDVMSetDC_Click},
        {"cmdDVMSetAC", "Set AC V", "txtACRange", "txtACDigits", "ShpDVMACMode", &p.txtACRange,
         &p.txtACDigits, &p.ShpDVMACMode, &VoltmeterSection::cmdDVMSetAC_Click},
        {"cmdDVMSetOhm", "Set OHM", "txtOhmRange", "txtOhmDigits", "ShpDVMOhmMode",
         &p.txtOhmRange, &p.txtOhmDigits, &p.ShpDVMOhmMode, &VoltmeterSection::cmdDVMSetOhm_Click},
    };
    int row = 1;
    for (const Mode& m : modes) {
        auto click = m.click;
        g->addWidget(button(ElementName<QString>(m.handler, i), m.caption,
                            [&v, click, i] { (v.*click)(i); }),
                     row, 0);
        g->addWidget(edit(ElementName<QString>(m.range, i), *m.rangeBox), row, 1);
        g->addWidget(edit(ElementName<QString>(m.digits, i), *m.digitsBox), row, 2);
        g->addWidget(lamp(ElementName<QString>(m.lampName, i), *m.lampColour), row, 3);
        ++row;
    }
    g->addWidget(label(ElementName<QString>("lblDVMControlString", i), p.lblDVMControlString), row,
                 0, 1, 4);
    g->addWidget(button(ElementName<QString>("cmdDVMGetMeas", i), "Sample",
                        [&v, i] { v.cmdDVMGetMeas_Click(i); }),
                 row + 1, 0);
    g->addWidget(label(ElementName<QString>("lblDVMReading", i), p.lblDVMReading), row + 1, 1, 1,
                 3);
    return box;
}

QGroupBox* FrmInst::connectToggles(const QString& title, const QString& frameName,
                                   bool voltmeter, int panel)
{
    SwitchSection& sw = panel_.switchUnit;
    auto* box = frame(frameName, title);
    auto* g = new QGridLayout(box);
    const std::pair<const char*, Node> nodes[] = {
        {"VB", Node::VB}, {"VL", Node::VL}, {"VH", Node::VH}, {"PL", Node::PL}};
    const QString kind = voltmeter ? "DVM" : "VI";
    int column = 1;
    g->addWidget(text("+"), 1, 0);
    g->addWidget(text("-"), 2, 0);
    for (const auto& [nodeName, node] : nodes) {
        g->addWidget(text(nodeName), 0, column, Qt::AlignHCenter);
        for (int r = 0; r < 2; ++r) {
            bool plus = r == 0;
            Lead lead = voltmeter ? (plus ? Lead::DvmPlus : Lead::DvmMinus)
                                  : (plus ? Lead::SmuPlus : Lead::SmuMinus);
            QString name = "cmdSw" + QString(nodeName) + kind + (plus ? "plus" : "minus");
            if (!voltmeter)
                name = ElementName<QString>(name.toStdString(), panel);
            Node n = node;
            g->addWidget(pictureButton(name, [&sw, lead, n, panel] { return sw.linkPicture(lead, n, panel); },
                                       [&sw, lead, n, panel] { sw.toggleLink(lead, n, panel); }),
                         r + 1, column);
        }
        ++column;
    }
    return box;
}

QWidget* FrmInst::voltmeterTab()
{
    SwitchSection& sw = panel_.switchUnit;
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    for (int i = 0; i < kVoltmeterPanels; ++i)
        g->addWidget(voltmeterPanel(i), i / 3, i % 3);
    auto* connect = connectToggles("VM1  Connect", "fraVM1Connect", true, 0);
    auto* channels = new QHBoxLayout;
    channels->addWidget(edit("txtDVMChanPlus", sw.txtDVMChanPlus));
    channels->addWidget(edit("txtDVMChanMinus", sw.txtDVMChanMinus));
    static_cast<QGridLayout*>(connect->layout())->addLayout(channels, 3, 0, 1, 5);
    g->addWidget(connect, 3, 0);
    return page;
}

QWidget* FrmInst::smuPanel(int i)
{
    SmuSection& s = panel_.smus;
    SmuPanel& p = s.panels[i];
    SwitchSection& sw = panel_.switchUnit;
    auto* box = frame(ElementName<QString>("FrVIContol", i), p.FrVIContol);
    auto* g = new QGridLayout(box);
    g->addWidget(text("GPIB Address"), 0, 0);
    g->addWidget(edit(ElementName<QString>("txtVIAddress", i), p.txtVIAddress), 0, 1);
    g->addWidget(text("Source V"), 1, 0);
    g->addWidget(edit(ElementName<QString>("txtVIVSourceVolts", i), p.txtVIVSourceVolts), 1, 1);
    g->addWidget(text("MAX mAmps"), 2, 0);
    g->addWidget(edit(ElementName<QString>("txtVIILimit", i), p.txtVIILimit), 2, 1);
    g->addWidget(text("Source I (mAmps)"), 3, 0);
    g->addWidget(edit(ElementName<QString>("txtVIVSourceCurrent", i), p.txtVIVSourceCurrent), 3, 1);
    g->addWidget(text("MAX Volts"), 4, 0);
    g->addWidget(edit(ElementName<QString>("txtVIVLimit", i), p.txtVIVLimit), 4, 1);

    g->addWidget(button(ElementName<QString>("cmdSetIVMODE", i), "Set IV",
                        [&s, i] { s.cmdSetIVMODE_Click(i); }),
                 0, 2);
    g->addWidget(lamp(ElementName<QString>("ShpIVMode", i), p.ShpIVMode), 0, 3);
    g->addWidget(button(ElementName<QString>("cmdSetVIMODE", i), "Set VI",
                        [&s, i] { s.cmdSetVIMODE_Click(i); }),
                 1, 2);
    g->addWidget(lamp(ElementName<QString>("ShpVIMode", i), p.ShpVIMode), 1, 3);
    auto* sample = button(ElementName<QString>("cmdVIDOMeas", i), "Sample",
                          [&s, i] { s.cmdVIDOMeas_Click(i); });
    visibleWhen(sample, p.cmdVIDOMeasVisible);
    g->addWidget(sample, 2, 2);
    auto* operate = pictureButton(
        ElementName<QString>("cmdVIOperate", i), [&p] { return p.cmdVIOperate; },
        [&s, i] { s.cmdVIOperate_Click(i); });
    visibleWhen(operate, p.cmdVIOperateVisible);
    g->addWidget(operate, 2, 3, 2, 1);
    g->addWidget(label(ElementName<QString>("lblVIMeasureA", i), p.lblVIMeasureA), 3, 2);
    g->addWidget(label(ElementName<QString>("lblVIMeasureB", i), p.lblVIMeasureB), 4, 2);
    g->addWidget(label(ElementName<QString>("lbVIlControlString", i), p.lbVIlControlString), 5, 0,
                 1, 4);
    if (SmuSection::hasCopyBox(i))
        g->addWidget(
            edit(ElementName<QString>("TXTlbVIlControlString", i), p.TXTlbVIlControlString), 6, 0,
            1, 4);

    auto* connect = connectToggles("VI Connect", ElementName<QString>("fraVIConnect", i), false, i);
    auto* channels = new QHBoxLayout;
    channels->addWidget(edit(ElementName<QString>("txtVIChanPlus", i), sw.txtVIChanPlus[i]));
    channels->addWidget(edit(ElementName<QString>("txtviChanMinus", i), sw.txtviChanMinus[i]));
    static_cast<QGridLayout*>(connect->layout())->addLayout(channels, 3, 0, 1, 5);
    g->addWidget(connect, 7, 0, 1, 4);
    g->setRowStretch(8, 1);
    return box;
}

QWidget* FrmInst::smuTab()
{
    auto* page = new QWidget;
    auto* g = new QGridLayout(page);
    // Two panels to a row: five side by side are wider than the screen;
    // the tab scrolls down to the others.
    constexpr int kPerRow = 2;
    for (int i = 0; i < kSmuPanels; ++i)
        g->addWidget(smuPanel(i), i / kPerRow, i % kPerRow);
    g->addWidget(button("cmdVIsOFf", "Clear VIs", [this] { panel_.smus.cmdVIsOFf_Click(); }),
                 (kSmuPanels + kPerRow - 1) / kPerRow, 0);
    return page;
}

QWidget* FrmInst::commandsTab()
{
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    left->addWidget(setVi1VFrame());
    // The sweep controls have no behaviour.
    left->addWidget(sweepParametersFrame());
    left->addWidget(sweepControlFrame());
    left->addWidget(sweepModeFrame());
    left->addStretch();
    layout->addLayout(left);
    layout->addLayout(commandStrings());
    return page;
}

QGroupBox* FrmInst::setVi1VFrame()
{
    SmuSection& s = panel_.smus;
    auto* setV = frame("fraSetVI1V", QString("Set VI1 V"));
    auto* sg = new QGridLayout(setV);
    for (int i = 0; i < 2; ++i) {
        sg->addWidget(edit(ElementName<QString>("txtVI1V", i), s.txtVI1V[i]), i, 0);
        sg->addWidget(button(ElementName<QString>("cmdSetVI1V", i), "Set V1 Volts",
                             [&s, i] { s.cmdSetVI1V_Click(i); }),
                      i, 1);
        sg->addWidget(edit(ElementName<QString>("txtVI1VCmd", i), s.txtVI1VCmd[i]), i, 2);
    }
    return setV;
}

QGroupBox* FrmInst::sweepParametersFrame()
{
    auto* parameters = frame("fraSweepParameters", QString("Sweep Parameters"));
    auto* pg = new QGridLayout(parameters);
    for (int i = 0; i < 4; ++i) {
        auto* box = new QLineEdit;
        box->setObjectName(ElementName<QString>("txtDatSweep", i));
        pg->addWidget(box, i, 0);
    }
    return parameters;
}

QGroupBox* FrmInst::sweepControlFrame()
{
    auto* control = frame("fraSweepControl", QString("Sweep Control"));
    auto* cg = new QVBoxLayout(control);
    auto* sweepButton = new QPushButton("Sweep");
    sweepButton->setObjectName("cmdSweepControl");
    auto* pause = new QCheckBox("Pause");
    pause->setObjectName("ChkSweepPause");
    auto* continuous = new QCheckBox("Continuous");
    continuous->setObjectName("ChkSweepCon");
    auto* status = new QLabel("Sweep Stopped");
    status->setObjectName("lblSweepStatus");
    auto* value = new QLabel;
    value->setObjectName("lblSweepValue");
    auto* sweepData = new QLabel;
    sweepData->setObjectName("lblSweepData");
    for (QWidget* w : std::initializer_list<QWidget*>{sweepButton, pause, continuous, status,
                                                      value, sweepData})
        cg->addWidget(w);
    return control;
}

QGroupBox* FrmInst::sweepModeFrame()
{
    auto* mode = frame("fraSweepMode", QString("Sweep Mode"));
    auto* mg = new QVBoxLayout(mode);
    for (int i = 0; i < 2; ++i) {
        auto* option = new QRadioButton(i == 0 ? "V" : "I");
        option->setObjectName(ElementName<QString>("OptSweepMode", i));
        mg->addWidget(option);
    }
    return mode;
}

QGridLayout* FrmInst::commandStrings()
{
    SmuSection& s = panel_.smus;
    auto* strings = new QGridLayout;
    for (int k = 0; k < kSmuCommandStrings; ++k) {
        strings->addWidget(edit(ElementName<QString>("txtVI228String", k), s.txtVI228String[k]), k,
                           0);
        strings->addWidget(button(ElementName<QString>("cmdSendString", k), "Send Sting",
                                  [&s, k] { s.cmdSendString_Click(k); }),
                           k, 1);
    }
    return strings;
}

// --- Switch unit and instrument file ------------------------------------------

QGroupBox* FrmInst::selector(const QString& frameName, const QString& title,
                             const QString& optionName, const QStringList& captions, int k)
{
    SwitchSection& sw = panel_.switchUnit;
    auto* box = frame(frameName, title);
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int n = 0; n < captions.size(); ++n) {
        auto* option = new QRadioButton(captions[n]);
        option->setObjectName(ElementName<QString>(optionName.toStdString(), n));
        group->addButton(option, n);
        layout->addWidget(option);
        connect(option, &QRadioButton::clicked, this, [this, &sw, k, n] {
            act([&sw, k, n] { k == 0 ? sw.OptS1A_Click(n) : sw.OptS1B_Click(n); });
        });
    }
    int& chosen = k == 0 ? sw.OptS1A : sw.OptS1B;
    refreshers_.push_back([group, &chosen] {
        if (group->checkedId() == chosen)
            return;
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(group->id(b) == chosen);
        group->setExclusive(true);
    });
    layout->addWidget(button(ElementName<QString>("cmdSWUpdate", k), "Update Switches",
                             [&sw, k] { sw.cmdSWUpdate_Click(k); }));
    return box;
}

QWidget* FrmInst::switchTab()
{
    SwitchSection& sw = panel_.switchUnit;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* top = new QGridLayout;
    top->addWidget(text("GPIB Address"), 0, 0);
    top->addWidget(edit("txtSWRADR", sw.txtSWRADR), 0, 1);
    top->addWidget(edit("txtHP3488Initcmd", sw.txtHP3488Initcmd), 1, 0);
    top->addWidget(button("cmdSWINIT", "INIT", [&sw] { sw.cmdSWINIT_Click(); }), 1, 1);
    top->addWidget(label("lbl3488ID", sw.lbl3488ID), 2, 0, 1, 2);
    auto* mux = frame("fra3488", QString("3488 Switch Mux"));
    mux->setLayout(top);
    layout->addWidget(mux);

    auto* card = frame("FrCrd1", sw.FrCrd1);
    auto* cardLayout = new QHBoxLayout(card);
    cardLayout->addWidget(selector("FrSlot1a", "COM 0", "OptS1A", {"00", "01", "02", "03", "CLR"}, 0));
    cardLayout->addWidget(selector("FrSlot1b", "COM1", "OptS1B", {"10", "11", "12", "13", "CLR"}, 1));
    layout->addWidget(card);
    layout->addStretch();
    return page;
}

QWidget* FrmInst::fileTab()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    row->addWidget(button("cmdloadInstConfig", "Load Inst File",
                          [this] { panel_.cmdloadInstConfig_Click(); }));
    row->addWidget(label("lblInstConfigFIle", panel_.lblInstConfigFIle), 1);
    layout->addLayout(row);

    auto* grid = new QTableWidget(kGridRows, kGridColumns);
    grid->setObjectName("Grid1");
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    const int widths[] = {1000, 1000, 1000, 4000};
    for (int c = 0; c < kGridColumns; ++c)
        grid->setColumnWidth(c, pixels(widths[c]));
    grid->setMinimumSize(pixels(5500), pixels(6000));
    refreshers_.push_back([this, grid] {
        for (int r = 0; r < kGridRows; ++r)
            for (int c = 0; c < kGridColumns; ++c) {
                QString value = qs(panel_.Grid1[r][c]);
                QTableWidgetItem* item = grid->item(r, c);
                if (!item) {
                    item = new QTableWidgetItem;
                    item->setTextAlignment(Qt::AlignLeft | Qt::AlignBottom);
                    grid->setItem(r, c, item);
                }
                if (item->text() != value)
                    item->setText(value);
            }
    });
    layout->addWidget(grid);
    return page;
}

}  // namespace kvb::ui
