#pragma once
// A bar or palette window of the frame (toolbox, standard bar, style bar,
// colour bar, shape library). Its buttons carry their command identifier in
// the "commandId" property; the idle work enables and checks them by id.

#include <QWidget>

#include <functional>

class QPainter;

namespace zavora {

class BarWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kCommandProperty = "commandId";

    // className becomes the objectName (the window class).
    BarWindow(const char* className, QWidget* parent);

    // Every button of the bar carrying the id; returns how many there were.
    int setCommandChecked(int commandId, bool checked);
    // Every button enabled or greyed by `rule` for its command.
    void enableCommands(const std::function<bool(int)>& rule);

protected:
    void paintEvent(QPaintEvent* event) override;
    // The button-face background between a highlight line along the top
    // and a shadow line along the bottom.
    void paintFace(QPainter& painter) const;
};

} // namespace zavora
