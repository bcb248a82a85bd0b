#pragma once
// A one-line static text whose tab characters move on to evenly spaced
// column stops, as the desktop's static texts expand tabs (a QLabel shows a
// tab as a narrow blank). text() keeps the tabs.

#include <QLabel>

namespace sorrel::ui {

class TabStopLabel : public QLabel {
    Q_OBJECT

public:
    TabStopLabel(const QString& text, qreal tabStop, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal tabStop_; // pixels from one column stop to the next
};

} // namespace sorrel::ui
