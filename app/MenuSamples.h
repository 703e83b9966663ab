#pragma once
// The pictures of the Line, Fill and arrowhead menu items: a hatch pattern,
// a pen's line and an arrowhead, each drawn as the screen will show it.

#include <QAction>
#include <QPixmap>
#include <QWidgetAction>

namespace zavora {

enum class SampleKind { Pen, Pattern, Arrowhead };

// Item sizes in pixels: patterns 128 x 30, arrowheads 90 x 20, pens 120 x 20.
QSize sampleSize(SampleKind kind);

// Pen 0 ... 11, pattern 0 ... 8, arrowhead 0 ... 5 (none, small, big, fancy,
// circle, square); an arrowhead sits on the left end for the first end and
// on the right for the second.
QPixmap penSample(int index);
QPixmap patternSample(int index);
QPixmap arrowheadSample(int index, bool secondEnd);

// A menu item that shows its sample instead of a text line. Triggering it
// (click, Enter, or QAction::trigger) works like any other menu item.
class SampleAction : public QWidgetAction {
    Q_OBJECT
public:
    SampleAction(const QString& text, const QPixmap& sample, QObject* parent);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    QPixmap m_sample;
};

} // namespace zavora
