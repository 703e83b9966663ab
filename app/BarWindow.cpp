#include "app/BarWindow.h"

#include <QAbstractButton>
#include <QPainter>

namespace zavora {

BarWindow::BarWindow(const char* className, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QString::fromLatin1(className));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

namespace {

template <class F> int forEachButton(QWidget* bar, int commandId, F f)
{
    int count = 0;
    for (QAbstractButton* button : bar->findChildren<QAbstractButton*>()) {
        QVariant id = button->property(BarWindow::kCommandProperty);
        if (id.isValid() && id.toInt() == commandId) {
            f(button);
            ++count;
        }
    }
    return count;
}

} // namespace

int BarWindow::setCommandChecked(int commandId, bool checked)
{
    return forEachButton(this, commandId, [&](QAbstractButton* b) {
        b->setCheckable(true);
        b->setChecked(checked);
    });
}

void BarWindow::enableCommands(const std::function<bool(int)>& rule)
{
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        const QVariant id = button->property(kCommandProperty);
        if (id.isValid())
            button->setEnabled(rule(id.toInt()));
    }
}

void BarWindow::paintFace(QPainter& p) const
{
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Button));
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(0, height() - 1, width() - 1, height() - 1);
}

void BarWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintFace(p);
    // A raised edge, as the bars have always had.
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(width() - 1, 0, width() - 1, height() - 1);
}

} // namespace zavora
