#pragma once

#include <initializer_list>
// Builders of the small controls the status pages are made of: named value
// boxes, captions and lamps placed in a grid.

#include "app/ui/Lamp.h"
#include "core/ui/Widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QString>

#include <string>

namespace kvb::ui::pages {

// A read-only box for a value the page shows.
inline QLineEdit* ValueBox(QWidget* parent, const QString& name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    showReadOnly(box);
    // The box fills its own background (the window's colour, as its frame
    // shows it), so that a new value repaints the box alone, not the frame
    // beneath it.
    box->setAutoFillBackground(true);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(72);
    return box;
}

inline QLabel* Caption(QGridLayout* grid, const QString& text, int row, int column,
                       int columnSpan = 1)
{
    auto* label = new QLabel(text, grid->parentWidget());
    label->setAlignment(Qt::AlignCenter);
    grid->addWidget(label, row, column, 1, columnSpan);
    return label;
}

// Shows or hides every widget that starts in one of `columns` of a grid.
inline void ShowGridColumns(QGridLayout* grid, std::initializer_list<int> columns, bool shown)
{
    for (int i = 0; i < grid->count(); ++i) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(i, &row, &column, &rowSpan, &columnSpan);
        QWidget* w = grid->itemAt(i)->widget();
        if (!w)
            continue;
        for (int c : columns) {
            if (c == column)
                w->setVisible(shown);
        }
    }
}

inline Lamp* PlacedLamp(QGridLayout* grid, const QString& name, int row, int column)
{
    auto* lamp = new Lamp(name, grid->parentWidget());
    grid->addWidget(lamp, row, column, Qt::AlignCenter);
    return lamp;
}

// A box whose value is unchanged is left alone: every answer refreshes the
// page, and setting the same text again would repaint the box and drop a
// selection the user made in it.
inline void ShowText(QLineEdit* box, const std::string& text)
{
    const QString value = QString::fromStdString(text);
    if (box->text() != value)
        box->setText(value);
}

// A grid that fills a frame, with tight spacing.
inline QGridLayout* FrameGrid(QWidget* frame)
{
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    return grid;
}

}  // namespace kvb::ui::pages
