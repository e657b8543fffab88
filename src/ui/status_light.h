// A small round lamp in the status bar (linkLight): its colour shows the transceiver's LAN status.
#pragma once

#include <QColor>
#include <QWidget>

namespace talvir {

class StatusLight : public QWidget {
    Q_OBJECT
public:
    explicit StatusLight(QWidget *parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor &color);
    bool isLit() const { return lit_; }
    void setLit(bool lit);

    // What the colour means, for those who cannot see it (assistive tools read it as the description).
    void setMeaning(const QString &meaning);
    // What the light means before any status came.
    static QString noDataMeaning();

    QSize sizeHint() const override { return QSize(18, 18); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color_ = Qt::white;
    bool lit_ = true;
};

} // namespace talvir
