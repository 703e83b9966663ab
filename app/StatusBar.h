#pragma once
// The status bar: the prompt on the left, the pointer's position on the right.

#include <QString>
#include <QWidget>

namespace zavora {

class StatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCoordinateWidth = 160;

    explicit StatusBar(QWidget* parent);

    // The message stays until the next one.
    void setMessage(const QString& text);
    void setPointerText(const QString& text);
    const QString& message() const { return m_message; }
    const QString& pointerText() const { return m_pointer; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect messageArea() const;
    QRect coordinateArea() const;

    QString m_message;
    QString m_pointer;
};

} // namespace zavora
