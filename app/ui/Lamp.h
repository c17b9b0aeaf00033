#pragma once
// A status lamp: a small filled circle in a 0x00BBGGRR colour, grey when
// created.

#include <QWidget>

namespace kvb::ui {

class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(const QString& name, QWidget* parent = nullptr);

    int colour() const { return colour_; }
    void setColour(int bgr);

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int colour_;
};

}  // namespace kvb::ui
