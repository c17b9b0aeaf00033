#include "app/ui/LampPanel.h"

#include "app/ui/Lamp.h"

#include <QGridLayout>
#include <QLabel>

namespace kvb::ui {

LampPanel::LampPanel(const StatusLamps& lamps, QWidget* parent) : QWidget(parent)
{
    setObjectName("fraStatusLamps");
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    // The panel keeps the size its captions and lamps need, also when the
    // second type's row appears.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (int k = 0; k < kLampKinds; ++k) {
        auto* caption = new QLabel(LampColumnLabel(static_cast<LampKind>(k)), this);
        caption->setAlignment(Qt::AlignCenter);
        layout->addWidget(caption, 0, k + 1);
    }
    for (int type = 0; type < 2; ++type) {
        typeCaptions_[type] = new QLabel(this);
        layout->addWidget(typeCaptions_[type], type + 1, 0);
        for (int k = 0; k < kLampKinds; ++k) {
            const LampId id = TypeLamp(static_cast<LampKind>(k), type);
            auto* lamp = new Lamp(LampName(id), this);
            lamp->setColour(lamps.colour(id));
            grid_[type][k] = lamp;
            layout->addWidget(lamp, type + 1, k + 1, Qt::AlignCenter);
        }
    }
}

bool LampPanel::apply(LampId id, int colour)
{
    const int index = static_cast<int>(id);
    if (index >= kLampKinds * 2)
        return false;
    grid_[index % 2][index / 2]->setColour(colour);
    return true;
}

Lamp* LampPanel::lamp(LampKind kind, int type) const
{
    return grid_[type & 1][static_cast<int>(kind)];
}

void LampPanel::setSecondTypeShown(bool shown)
{
    typeCaptions_[1]->setVisible(shown);
    for (Lamp* lamp : grid_[1])
        lamp->setVisible(shown);
}

void LampPanel::setTypeCaption(int type, const QString& caption)
{
    typeCaptions_[type & 1]->setText(caption);
}

}  // namespace kvb::ui
