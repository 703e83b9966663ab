#pragma once
// The dialogs that ask for one or two numbers: Move, Scale, Rotate, Leading.
// Text that is not acceptable becomes the field's default on OK.

#include "app/dialogs/ModalDialog.h"
#include "model/DrawingLimits.h"

#include <vector>

class QFormLayout;

namespace zavora {

class NumberDialog : public ModalDialog {
    Q_OBJECT
protected:
    // One box per label, named "horizontal"/"vertical" or "value".
    NumberDialog(QWidget* owner, const char* templateName, const QString& title, const std::vector<QString>& labels);

    std::vector<QLineEdit*> m_boxes;
};

// Two signed whole distances in points; 0 where a box holds none.
class MoveDialog : public NumberDialog {
    Q_OBJECT
public:
    explicit MoveDialog(QWidget* owner);
    void setDistances(int horizontal, int vertical);
    int horizontal() const { return m_horizontal; }
    int vertical() const { return m_vertical; }

protected:
    void commit() override;

private:
    int m_horizontal = 0;
    int m_vertical = 0;
};

// Two whole percentages other than 0; 100 where a box holds none.
class ScaleDialog : public NumberDialog {
    Q_OBJECT
public:
    explicit ScaleDialog(QWidget* owner);
    void setPercentages(int horizontal, int vertical);
    int horizontal() const { return m_horizontal; }
    int vertical() const { return m_vertical; }

protected:
    void commit() override;

private:
    int m_horizontal = 100;
    int m_vertical = 100;
};

// A signed whole angle in degrees; 0 when the box holds none.
class RotateDialog : public NumberDialog {
    Q_OBJECT
public:
    explicit RotateDialog(QWidget* owner);
    void setAngle(int degrees);
    int angle() const { return m_angle; }

protected:
    void commit() override;

private:
    int m_angle = 0;
};

// Leading in points, shown with "%g"; text that is no number reads as 0,
// which the command ignores with every other value outside 1..300.
class LeadingDialog : public NumberDialog {
    Q_OBJECT
public:
    explicit LeadingDialog(QWidget* owner);
    void setLeading(double points);
    double leading() const { return m_leading; }

    static constexpr double kMinLeading = 1.0;
    static bool acceptable(double points) { return points >= kMinLeading && points <= zavora::kMaxLeading; }

protected:
    void commit() override;

private:
    double m_leading = 0;
};

} // namespace zavora
