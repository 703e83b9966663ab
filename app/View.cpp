#include "app/View.h"

#include "platform/OutputStream.h"

#include <cmath>

namespace zavora {

void View::setPageSize(int width, int height)
{
    if (width > 0)
        m_pageWidth = width;
    if (height > 0)
        m_pageHeight = height;
}

void View::setLandscape(bool landscape)
{
    m_landscape = landscape;
}

void View::setOffsets(float x, float y)
{
    m_offsetX = std::isfinite(x) ? x : 0;
    m_offsetY = std::isfinite(y) ? y : 0;
}

void View::setClientSize(int width, int height)
{
    m_clientWidth = width < 1 ? 1 : width;
    m_clientHeight = height < 1 ? 1 : height;
}

Point View::toWindow(float x, float y) const
{
    return transformPoint(m_matrix, { x, y });
}

Point View::toDrawing(float px, float py) const
{
    return transformPoint(m_inverse, { px, py });
}

Point View::pixelsToDrawing(float dx, float dy) const
{
    float z = m_zoom > 0 ? m_zoom : 1;
    return { std::fabs(dx) / z, std::fabs(dy) / z };
}

void View::buildViewMatrix()
{
    const double z = m_zoom > 0 ? m_zoom : 1;
    const double w = m_clientWidth, h = m_clientHeight;
    const double pw = m_pageWidth, ph = m_pageHeight;
    if (!m_landscape) {
        double cx = (w - pw * z) / 2;
        double cy = (h + ph * z) / 2;
        m_matrix = KMatrix(z, 0, 0, -z, cx - m_offsetX * z, cy + m_offsetY * z);
    } else {
        // Portrait built on the exchanged client, turned by -90 degrees: the
        // page's x runs down the window and its y to the right.
        double cx = (w - ph * z) / 2;
        double cy = (h - pw * z) / 2;
        m_matrix = KMatrix(0, z, z, 0, cx - m_offsetY * z, cy - m_offsetX * z);
    }
    m_inverse = invert(m_matrix);
}

float View::clampZoom(float zoom)
{
    if (std::isnan(zoom))
        return 1;
    if (zoom < kMinZoom)
        return kMinZoom;
    if (zoom > kMaxZoom)
        return kMaxZoom;
    return zoom;
}

void View::fitInWindow()
{
    setZoom(std::min(viewWidth() / (m_pageWidth + kFitMargin), viewHeight() / (m_pageHeight + kFitMargin)));
    m_offsetX = m_offsetY = 0;
    m_zoomMode = ZoomMode::FitInWindow;
    buildViewMatrix();
}

void View::fitWidth()
{
    if (!m_landscape) {
        setZoom(m_clientWidth / (m_pageWidth + kFitMargin));
        m_offsetX = 0;
    } else {
        setZoom(m_clientWidth / (m_pageHeight + kFitMargin));
        m_offsetY = 0;
    }
    m_zoomMode = ZoomMode::FitWidth;
    buildViewMatrix();
}

void View::setZoomPercent(float percent)
{
    setZoom(percent / 100);
    m_zoomMode = ZoomMode::User;
    buildViewMatrix();
}

void View::zoomToRect(float x0, float y0, float x1, float y1)
{
    float w = std::fabs(x1 - x0), h = std::fabs(y1 - y0);
    // Also catches NaN corners: the comparison fails, the test does not.
    if (!(w >= 0.001f && h >= 0.001f)) {
        fitInWindow();
        return;
    }
    setZoom(std::min(viewWidth() / w, viewHeight() / h));
    setOffsets((x0 + x1) / 2 - m_pageWidth / 2, (y0 + y1) / 2 - m_pageHeight / 2);
    m_zoomMode = ZoomMode::User;
    buildViewMatrix();
}

void View::zoomAbout(float zoom, float px, float py)
{
    const Point fixed = toDrawing(px, py);
    setZoom(zoom);
    m_zoomMode = ZoomMode::User;
    buildViewMatrix();
    // The offsets are drawing points: shift them by what slid under the pointer.
    const Point moved = toDrawing(px, py);
    setOffsets(m_offsetX + fixed.x - moved.x, m_offsetY + fixed.y - moved.y);
    buildViewMatrix();
}

void View::resize(int width, int height)
{
    setClientSize(width, height);
    if (m_zoom == 0)
        setZoom(
            std::min(viewWidth() / (m_pageWidth + kFitMargin), viewHeight() / (m_pageHeight + kFitMargin)));
    buildViewMatrix();
    if (m_zoomMode == ZoomMode::FitWidth)
        fitWidth();
    else if (m_zoomMode == ZoomMode::FitInWindow)
        fitInWindow();
}

ScrollBarState View::scrollBar(ScrollBar bar) const
{
    const float z = m_zoom > 0 ? m_zoom : 1;
    ScrollBarState s;
    if (bar == ScrollBar::Horizontal) {
        const int w = m_clientWidth;
        s.maximum = static_cast<int>((m_landscape ? m_pageHeight : m_pageWidth) * z + w);
        s.page = w;
        float offset = m_landscape ? m_offsetY : m_offsetX;
        s.position = static_cast<int>(s.maximum / 2 + offset * z - w / 2);
    } else {
        const int h = m_clientHeight;
        s.maximum = static_cast<int>((m_landscape ? m_pageWidth : m_pageHeight) * z + h);
        s.page = h;
        float offset = m_landscape ? m_offsetX : -m_offsetY;
        s.position = static_cast<int>(s.maximum / 2 + offset * z - h / 2);
    }
    return s;
}

bool View::step(ScrollBar bar, ScrollStep direction)
{
    const float halfWidth = m_pageWidth / 2.0f, halfHeight = m_pageHeight / 2.0f;
    // Each bar moves one offset; +1 when the step increases it.
    float* offset;
    float half;
    int sign;
    if (bar == ScrollBar::Vertical) {
        if (!m_landscape) {
            offset = &m_offsetY, half = halfHeight, sign = direction == ScrollStep::Back ? 1 : -1;
        } else {
            offset = &m_offsetX, half = halfWidth, sign = direction == ScrollStep::Back ? -1 : 1;
        }
    } else {
        if (!m_landscape)
            offset = &m_offsetX, half = halfWidth;
        else
            offset = &m_offsetY, half = halfHeight;
        sign = direction == ScrollStep::Back ? -1 : 1;
    }
    if (sign > 0 ? *offset >= half : *offset <= -half)
        return false;
    *offset += sign * kScrollStep;
    buildViewMatrix();
    return true;
}

void View::trackThumb(ScrollBar bar, int p)
{
    const float z = m_zoom > 0 ? m_zoom : 1;
    if (bar == ScrollBar::Vertical) {
        const int h = m_clientHeight;
        if (!m_landscape)
            m_offsetY = ((m_pageHeight * z + h) / 2 - p - h / 2) / z;
        else
            m_offsetX = (p + h / 2 - (m_pageWidth * z + h) / 2) / z;
    } else {
        const int w = m_clientWidth;
        if (!m_landscape)
            m_offsetX = (p + w / 2 - (m_pageWidth * z + w) / 2) / z;
        else
            m_offsetY = (p + w / 2 - (m_pageHeight * z + w) / 2) / z;
    }
    buildViewMatrix();
}

std::string View::pointerText(int unit, Point p)
{
    switch (unit) {
    case 1:
        return formatLocaleFree("%.1f, %.1f", p.x, p.y);
    case 2:
        return formatLocaleFree("%.2f, %.2f", p.x * 2.54 / 72, p.y * 2.54 / 72);
    default:
        return formatLocaleFree("%.2f, %.2f", p.x / 72, p.y / 72);
    }
}

} // namespace zavora
