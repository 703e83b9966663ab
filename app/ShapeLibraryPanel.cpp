#include "app/ShapeLibraryPanel.h"

#include "app/BarButton.h"
#include "app/ShellCommands.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace zavora {

namespace {

// The library area paints nothing yet; it only takes its place.
class LibraryArea : public QWidget {
public:
    explicit LibraryArea(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(QStringLiteral("zavora_shapeclient"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
};

} // namespace

ShapeLibraryPanel::ShapeLibraryPanel(QWidget* parent)
    : BarWindow("zavora_shapepal", parent)
    , m_captionFont(QFontDatabase::systemFont(QFontDatabase::TitleFont))
{
    const int captionHeight = std::abs(QFontInfo(m_captionFont).pixelSize());
    m_titleHeight = std::max(23, captionHeight + 12);
    m_close = new BarButton(kCmdShapeLibrary, QStringLiteral("close"), tr("Close"), this);
    m_close->setIconSize(QSize(12, 11));
    m_close->setGeometry(127, 7, 19, 19);
    m_library = new LibraryArea(this);
}

void ShapeLibraryPanel::resizeEvent(QResizeEvent* event)
{
    m_library->setGeometry(QRect(QPoint(6, m_titleHeight + 5), QPoint(width() - 3, height() - 5)).adjusted(0, 0, -1, -1));
    BarWindow::resizeEvent(event);
}

void ShapeLibraryPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    paintFace(p);
    // The etched frame: a shadow rectangle with a highlight one a pixel
    // down and to the right of it.
    const QRect frame = rect().adjusted(4, 4, -5, -5);
    p.setPen(dark);
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(light);
    p.drawRect(frame.adjusted(1, 1, 0, 0));
    p.setPen(dark);
    p.drawLine(6, m_titleHeight + 3, width() - 3, m_titleHeight + 3);
    p.setPen(light);
    p.drawLine(6, m_titleHeight + 4, width() - 3, m_titleHeight + 4);

    p.setFont(m_captionFont);
    p.setPen(pal.color(QPalette::ButtonText));
    const QFontMetrics metrics(m_captionFont);
    const int top = (m_titleHeight - metrics.height()) / 2 + 4;
    p.setClipRect(0, 0, width() - 24, height());
    p.drawText(12, top + metrics.ascent(), tr("Shape Library"));
}

} // namespace zavora
