#pragma once
// The status bar: the prompt on the left, the pointer's position on the
// right, and between them, when there is one, a standing note about the view
// (the grid too dense to show) that never takes the prompt's place.

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
    // An empty note hides its area.
    void setNote(const QString& text);
    const QString& message() const { return m_message; }
    const QString& pointerText() const { return m_pointer; }
    const QString& note() const { return m_note; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect messageArea() const;
    QRect noteArea() const;
    QRect coordinateArea() const;

    QString m_message;
    QString m_pointer;
    QString m_note;
};

} // namespace zavora
