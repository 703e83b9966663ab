#pragma once
// A push button of the bars ("ZAVBUTTON"): a flat 16 x 16 image button that
// carries its command identifier and, held down with the left button for a
// while, says so once (the frame shows "Let go" on the status bar).

#include <QBasicTimer>
#include <QToolButton>

namespace zavora {

class BarButton : public QToolButton {
    Q_OBJECT
public:
    static constexpr int kHoldMilliseconds = 700;

    BarButton(int commandId, const QString& iconName, const QString& toolTip, QWidget* parent);

    int commandId() const { return m_commandId; }

    // The bars' images, from the icon set compiled into the program; each
    // name has renderings for 1x, 1.5x and 2x screens.
    static QIcon barIcon(const QString& name);

Q_SIGNALS:
    // A click: the command to carry out.
    void commandClicked(int commandId);
    void held();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // A click only asks for the command: the button shows the state the
    // program gives it (a refused tool leaves the toolbox as it was).
    void nextCheckState() override { }

private:
    int m_commandId;
    QBasicTimer m_holdTimer;
};

} // namespace zavora
