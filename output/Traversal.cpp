#include "output/Traversal.h"

#include "model/DrawObject.h"
#include "model/Drawing.h"
#include "model/ObjectList.h"
#include "model/OutputPort.h"
#include "model/ProgressMonitor.h"

#include <climits>
#include <cmath>

namespace zavora {

namespace {

// Truncated toward zero; out-of-range and NaN values are clamped rather than
// left to an undefined conversion.
int32_t truncateToInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= double(INT32_MAX))
        return INT32_MAX;
    if (v <= double(INT32_MIN))
        return INT32_MIN;
    return static_cast<int32_t>(std::trunc(v));
}

class Walker {
public:
    Walker(OutputPort& port, ProgressMonitor* monitor)
        : m_port(port)
        , m_monitor(monitor)
    { }

    // False when the monitor cancelled; the walk then stops where it stands.
    // The list holds owning or plain pointers.
    template <class List> bool walk(const List& objects)
    {
        for (const auto& object : objects) {
            if (m_monitor) {
                m_monitor->step();
                if (m_monitor->cancelled())
                    return false;
            }
            const std::optional<std::string>& url = object->url();
            if (url)
                m_port.beginLink(*url);
            if (!emit(*object))
                return false;
            if (url)
                m_port.endLink(*url);
        }
        return true;
    }

private:
    bool emit(const DrawObject& object)
    {
        const OwnedObjects* children = childrenOf(object);
        if (!children) {
            object.emit(m_port);
            return true;
        }
        const bool group = object.type() == ObjectType::Group;
        if (group)
            m_port.beginGroup();
        else
            m_port.beginCompoundPath();
        if (!walk(*children))
            return false;
        if (group)
            m_port.endGroup();
        else
            m_port.endCompoundPath();
        return true;
    }

    OutputPort& m_port;
    ProgressMonitor* m_monitor;
};

} // namespace

std::string documentTitle(const std::string& path)
{
    if (path.empty())
        return "Untitled";
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

namespace {

// The page of `box` (the objects' union) on the drawing's page.
DocumentInfo pageInfo(const Rect& box, const Drawing& drawing, const RenderOptions& options)
{
    DocumentInfo info;
    double m = double(options.margin) + 0.5;
    // A negative margin may not turn the box inside out.
    if (m < 0 && ((box.width() + 1) / 2 < -m || (box.height() + 1) / 2 < -m))
        m = 0;
    info.x0 = truncateToInt(box.left - m);
    info.y0 = truncateToInt(box.bottom - m);
    info.x1 = truncateToInt(box.right + m);
    info.y1 = truncateToInt(box.top + m);
    info.title = documentTitle(options.documentPath.value_or(drawing.fileName()));
    info.landscape = drawing.isLandscape();
    info.gridSettings = drawing.grid();
    return info;
}

template <class List>
RenderResult walkPage(const List& objects, std::size_t total, const DocumentInfo& info, OutputPort& port,
    const RenderOptions& options)
{
    if (!port.beginPage(info, options.downloadFonts, options.monitor))
        return RenderResult::Refused;
    if (options.monitor)
        options.monitor->start(total > std::size_t(INT_MAX) ? INT_MAX : int(total));
    Walker walker(port, options.monitor);
    if (!walker.walk(objects))
        return RenderResult::Cancelled;
    port.endPage(options.monitor);
    return RenderResult::Completed;
}

} // namespace

DocumentInfo documentInfoFor(const Drawing& drawing, const RenderOptions& options)
{
    // An empty drawing keeps the uncomputed box (-1, -1, -1, -1) and is framed like any other.
    return pageInfo(unionBox(drawing.objects()), drawing, options);
}

RenderResult renderDrawing(const Drawing& drawing, OutputPort& port, const RenderOptions& options)
{
    return walkPage(
        drawing.objects(), deepCount(drawing.objects()), documentInfoFor(drawing, options), port, options);
}

RenderResult renderObjects(const std::vector<DrawObject*>& objects, const Drawing& page, OutputPort& port,
    const RenderOptions& options)
{
    std::size_t total = 0;
    for (const DrawObject* object : objects) {
        const OwnedObjects* children = childrenOf(*object);
        total += 1 + (children ? deepCount(*children) : 0);
    }
    return walkPage(objects, total, pageInfo(unionBox(objects), page, options), port, options);
}

} // namespace zavora
