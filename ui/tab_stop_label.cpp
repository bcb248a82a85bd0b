#include "ui/tab_stop_label.h"

#include <QPainter>
#include <QTextOption>

namespace sorrel::ui {

TabStopLabel::TabStopLabel(const QString& text, qreal tabStop, QWidget* parent)
    : QLabel(text, parent), tabStop_(tabStop) {
    setTextFormat(Qt::PlainText);
}

void TabStopLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this); // takes the label's font and text colour
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTabStopDistance(tabStop_);
    painter.drawText(QRectF(contentsRect()), text(), option);
}

} // namespace sorrel::ui
