#include "model/Drawing.h"

#include "model/CommandIds.h"
#include "model/GroupObject.h"
#include "model/OutputPort.h"
#include "model/PathObjects.h"
#include "model/TextObject.h"
#include "model/UndoCommand.h"
#include "platform/Reporter.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

namespace zavora {

namespace {

const TextObject* textObjectIn(const DrawObject& object, const Rect& rect, float cx, float cy)
{
    if (object.type() == ObjectType::Text) {
        const auto& text = static_cast<const TextObject&>(object);
        if (text.touchesRect(rect.left, rect.bottom, rect.right, rect.top) || text.boxContains(cx, cy))
            return &text;
    } else if (object.type() == ObjectType::Group) {
        for (const auto& child : static_cast<const GroupObject&>(object).children())
            if (const TextObject* found = textObjectIn(*child, rect, cx, cy))
                return found;
    }
    return nullptr;
}

template <class List>
std::vector<DrawObject*> pickFromTop(const List& list, const Rect& square, const PickOptions& options)
{
    std::vector<DrawObject*> hits;
    for (std::size_t i = list.size(); i-- > 0;) {
        DrawObject* object = &*list[i];
        if (object->isLocked() && !options.includeLocked)
            continue;
        if (!Drawing::pickHits(*object, square, options))
            continue;
        hits.push_back(object);
        if (options.firstOnly)
            break;
    }
    return hits;
}

} // namespace

Drawing::Drawing()
    : m_history(*this)
{ }

Drawing::~Drawing()
{
    // The selection and the history refer into the list; drop them first.
    m_selection.clear();
    m_history.clear();
}

void Drawing::setGrid(const Grid& grid)
{
    m_grid = grid;
    if (m_grid.gx < 1)
        m_grid.gx = kDefaultGrid.gx;
    if (m_grid.gy < 1)
        m_grid.gy = kDefaultGrid.gy;
}

// --- Object list ---------------------------------------------------------

DrawObject* Drawing::objectAt(std::size_t index) const
{
    return index < m_objects.size() ? m_objects[index].get() : nullptr;
}

std::optional<std::size_t> Drawing::indexOf(const DrawObject* object) const
{
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i].get() == object)
            return i;
    return std::nullopt;
}

DrawObject* Drawing::append(std::unique_ptr<DrawObject> object)
{
    return insertAt(m_objects.size(), std::move(object));
}

DrawObject* Drawing::insertAt(std::size_t index, std::unique_ptr<DrawObject> object)
{
    if (!object)
        return nullptr;
    DrawObject* raw = object.get();
    index = std::min(index, m_objects.size());
    m_objects.insert(m_objects.begin() + std::ptrdiff_t(index), std::move(object));
    return raw;
}

std::unique_ptr<DrawObject> Drawing::takeAt(std::size_t index)
{
    if (index >= m_objects.size())
        return nullptr;
    std::unique_ptr<DrawObject> object = std::move(m_objects[index]);
    m_objects.erase(m_objects.begin() + std::ptrdiff_t(index));
    deselect(object.get());
    notifyObjectsRemoved();
    return object;
}

std::unique_ptr<DrawObject> Drawing::take(const DrawObject* object)
{
    const auto index = indexOf(object);
    return index ? takeAt(*index) : nullptr;
}

OwnedObjects Drawing::takeAll()
{
    // Recorded commands would refer to objects the caller may destroy.
    m_history.clear();
    m_selection.clear();
    OwnedObjects taken = std::exchange(m_objects, {});
    notifyObjectsRemoved();
    return taken;
}

void Drawing::replaceAll(OwnedObjects objects)
{
    m_selection.clear();
    m_history.clear();
    // The old objects die after the observers have heard they left.
    const OwnedObjects old = std::exchange(m_objects, {});
    for (auto& object : objects)
        if (object)
            m_objects.push_back(std::move(object));
    notifyObjectsRemoved();
    notify([](DrawingObserver& o) { o.historyInvalidated(); });
    notify([](DrawingObserver& o) { o.selectionChanged(); });
    notify([](DrawingObserver& o) { o.contentChanged(); });
}

std::vector<IndexedObject> Drawing::takeObjects(const ObjectRefs& objects)
{
    std::unordered_set<const DrawObject*> wanted(objects.begin(), objects.end());
    std::vector<IndexedObject> taken;
    OwnedObjects kept;
    kept.reserve(m_objects.size());
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        if (wanted.count(m_objects[i].get()))
            taken.push_back({ i, std::move(m_objects[i]) });
        else
            kept.push_back(std::move(m_objects[i]));
    }
    m_objects = std::move(kept);
    if (!taken.empty()) {
        std::unordered_set<const DrawObject*> gone;
        for (const auto& t : taken)
            gone.insert(t.object.get());
        std::erase_if(m_selection, [&](const DrawObject* s) { return gone.count(s) != 0; });
        notifyObjectsRemoved();
    }
    return taken;
}

void Drawing::restoreObjects(std::vector<IndexedObject> objects)
{
    std::sort(objects.begin(), objects.end(),
        [](const IndexedObject& a, const IndexedObject& b) { return a.index < b.index; });
    OwnedObjects merged;
    merged.reserve(m_objects.size() + objects.size());
    std::size_t next = 0;
    for (auto& item : objects) {
        if (!item.object)
            continue;
        while (merged.size() < item.index && next < m_objects.size())
            merged.push_back(std::move(m_objects[next++]));
        merged.push_back(std::move(item.object));
    }
    while (next < m_objects.size())
        merged.push_back(std::move(m_objects[next++]));
    m_objects = std::move(merged);
}

OwnedObjects Drawing::takeSelected()
{
    OwnedObjects removed = removeSelected();
    m_selection.clear();
    notifyObjectsRemoved();
    return removed;
}

// --- Selection -----------------------------------------------------------

bool Drawing::isSelected(const DrawObject* object) const
{
    return std::find(m_selection.begin(), m_selection.end(), object) != m_selection.end();
}

bool Drawing::select(DrawObject* object)
{
    if (!object || isSelected(object) || !indexOf(object))
        return false;
    m_selection.push_back(object);
    return true;
}

bool Drawing::deselect(const DrawObject* object)
{
    const auto it = std::find(m_selection.begin(), m_selection.end(), object);
    if (it == m_selection.end())
        return false;
    m_selection.erase(it);
    return true;
}

void Drawing::toggleSelected(DrawObject* object)
{
    if (!deselect(object))
        select(object);
}

void Drawing::setSelection(const ObjectRefs& objects)
{
    std::unordered_set<const DrawObject*> inList;
    inList.reserve(m_objects.size());
    for (const auto& o : m_objects)
        inList.insert(o.get());
    std::unordered_set<const DrawObject*> seen;
    m_selection.clear();
    for (DrawObject* object : objects)
        if (inList.count(object) && seen.insert(object).second)
            m_selection.push_back(object);
}

void Drawing::clearSelection()
{
    m_selection.clear();
}

void Drawing::notifySelectionChanged()
{
    notify([](DrawingObserver& o) { o.selectionChanged(); });
}

void Drawing::sortSelectionByStacking()
{
    std::unordered_set<const DrawObject*> selected(m_selection.begin(), m_selection.end());
    m_selection.clear();
    for (const auto& o : m_objects)
        if (selected.count(o.get()))
            m_selection.push_back(o.get());
}

// --- Document state ------------------------------------------------------

std::string Drawing::title() const
{
    if (m_fileName.empty())
        return "Untitled";
    const auto slash = m_fileName.rfind('/');
    return slash == std::string::npos ? m_fileName : m_fileName.substr(slash + 1);
}

std::vector<const FontEntry*> Drawing::documentFonts() const
{
    std::vector<const FontEntry*> fonts;
    for (const auto& object : m_objects)
        forEachTextObject(static_cast<const DrawObject&>(*object), [&](const TextObject& text) {
            for (const TextRun& run : text.runs())
                if (run.font && std::find(fonts.begin(), fonts.end(), run.font) == fonts.end())
                    fonts.push_back(run.font);
        });
    return fonts;
}

void Drawing::addObserver(DrawingObserver* observer)
{
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void Drawing::removeObserver(DrawingObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

template <class F> void Drawing::notify(F f) const
{
    // A copy: an observer may unregister itself while being told.
    const std::vector<DrawingObserver*> observers = m_observers;
    for (DrawingObserver* o : observers)
        f(*o);
}

void Drawing::notifyObjectsRemoved() const
{
    notify([](DrawingObserver& o) { o.objectsRemoved(); });
}

void Drawing::markEdited()
{
    m_modified = true;
    notify([](DrawingObserver& o) { o.contentChanged(); });
}

void Drawing::markStructureEdited()
{
    markEdited();
    m_history.clear();
    notify([](DrawingObserver& o) { o.historyInvalidated(); });
}

// --- Queries -------------------------------------------------------------

DrawObject* Drawing::topmostAt(float x, float y) const
{
    for (std::size_t i = m_objects.size(); i-- > 0;)
        if (m_objects[i]->containsPoint(x, y))
            return m_objects[i].get();
    return nullptr;
}

bool Drawing::pickHits(const DrawObject& object, const Rect& square, const PickOptions& options)
{
    if (object.type() == ObjectType::Group) {
        for (const auto& child : static_cast<const GroupObject&>(object).children())
            if (pickHits(*child, square, options))
                return true;
        return false;
    }
    const Rect r = normalized(square);
    const float cx = (r.left + r.right) / 2, cy = (r.bottom + r.top) / 2;
    if (options.outline && object.touchesRect(r.left, r.bottom, r.right, r.top))
        return true;
    if (object.type() == ObjectType::Text) {
        const auto& text = static_cast<const TextObject&>(object);
        return (options.interior && text.linesContain(cx, cy)) || (options.textBox && text.boxContains(cx, cy));
    }
    return options.interior && object.containsPoint(cx, cy);
}

std::vector<DrawObject*> Drawing::pick(const Rect& square, const PickOptions& options) const
{
    return pickFromTop(m_objects, square, options);
}

std::vector<DrawObject*> Drawing::pickIn(
    const ObjectRefs& list, const Rect& square, const PickOptions& options)
{
    return pickFromTop(list, square, options);
}

TextObject* Drawing::textObjectAt(const Rect& rect) const
{
    const Rect r = normalized(rect);
    const float cx = (r.left + r.right) / 2, cy = (r.bottom + r.top) / 2;
    for (const auto& object : m_objects)
        if (const TextObject* found = textObjectIn(*object, r, cx, cy))
            return const_cast<TextObject*>(found);
    return nullptr;
}

const DrawObject* Drawing::nearestOutlinePoint(Point& point, float tolerance, float& distanceSquared) const
{
    return nearestOutlinePointIn(m_objects, point, tolerance, distanceSquared);
}

// --- Commands ------------------------------------------------------------

OwnedObjects Drawing::removeSelected()
{
    std::unordered_map<const DrawObject*, std::unique_ptr<DrawObject>> taken;
    taken.reserve(m_selection.size());
    for (const DrawObject* s : m_selection)
        taken.emplace(s, nullptr);
    OwnedObjects kept;
    kept.reserve(m_objects.size());
    for (auto& object : m_objects) {
        auto it = taken.find(object.get());
        if (it != taken.end())
            it->second = std::move(object);
        else
            kept.push_back(std::move(object));
    }
    m_objects = std::move(kept);
    OwnedObjects removed;
    removed.reserve(m_selection.size());
    for (const DrawObject* s : m_selection) {
        auto& owned = taken[s];
        if (owned)
            removed.push_back(std::move(owned));
    }
    return removed;
}

std::vector<std::size_t> Drawing::selectedIndices() const
{
    std::unordered_map<const DrawObject*, std::size_t> index;
    index.reserve(m_objects.size());
    for (std::size_t i = 0; i < m_objects.size(); ++i)
        index.emplace(m_objects[i].get(), i);
    std::vector<std::size_t> out;
    out.reserve(m_selection.size());
    for (const DrawObject* s : m_selection)
        out.push_back(index.at(s));
    return out;
}

void Drawing::selectAll()
{
    setStatus("Selecting...");
    m_selection.clear();
    for (const auto& object : m_objects)
        if (!object->isLocked())
            m_selection.push_back(object.get());
    notify([](DrawingObserver& o) { o.selectionChanged(); });
    const std::size_t n = m_selection.size();
    if (n > 0)
        setStatus("%d %s selected", int(n), n == 1 ? "object" : "objects");
    else
        notify([](DrawingObserver& o) { o.showIdleStatus(); });
}

void Drawing::deselectAll()
{
    m_selection.clear();
    notify([](DrawingObserver& o) { o.selectionChanged(); });
}

void Drawing::deleteSelection()
{
    if (m_selection.empty())
        return;
    m_history.execute(std::make_unique<DeleteCommand>(*this, m_selection));
}

void Drawing::lockSelection()
{
    if (m_selection.empty())
        return;
    for (DrawObject* object : m_selection)
        object->lock();
    m_selection.clear();
    markEdited();
    notify([](DrawingObserver& o) { o.selectionChanged(); });
}

void Drawing::unlockAll()
{
    bool any = false;
    for (const auto& object : m_objects) {
        any = any || object->isLocked();
        object->unlock();
    }
    if (any)
        markEdited();
}

void Drawing::bringToFront()
{
    if (m_selection.empty())
        return;
    for (auto& object : removeSelected())
        m_objects.push_back(std::move(object));
    markStructureEdited();
}

void Drawing::sendToBack()
{
    if (m_selection.empty())
        return;
    OwnedObjects list = removeSelected();
    list.reserve(list.size() + m_objects.size());
    for (auto& object : m_objects)
        list.push_back(std::move(object));
    m_objects = std::move(list);
    markStructureEdited();
}

void Drawing::moveForward()
{
    if (m_selection.empty())
        return;
    const std::vector<std::size_t> indices = selectedIndices();
    const std::size_t top = *std::max_element(indices.begin(), indices.end());
    const Rect reference = m_selection.back()->boundingBox();
    OwnedObjects moved = removeSelected();
    // The object that lay just above the selection now sits here.
    std::size_t at = m_objects.size();
    for (std::size_t j = top + 1 - moved.size(); j < m_objects.size(); ++j) {
        if (boxesIntersect(m_objects[j]->boundingBox(), reference)) {
            at = j + 1;
            break;
        }
    }
    m_objects.insert(m_objects.begin() + std::ptrdiff_t(at), std::make_move_iterator(moved.begin()),
        std::make_move_iterator(moved.end()));
    markStructureEdited();
}

void Drawing::moveBackward()
{
    if (m_selection.empty())
        return;
    const std::vector<std::size_t> indices = selectedIndices();
    const std::size_t low = *std::min_element(indices.begin(), indices.end());
    const Rect reference = m_selection.back()->boundingBox();
    OwnedObjects moved = removeSelected();
    // Everything below the lowest selected object kept its index.
    std::size_t at = 0;
    for (std::size_t j = low; j-- > 0;) {
        if (boxesIntersect(m_objects[j]->boundingBox(), reference)) {
            at = j;
            break;
        }
    }
    m_objects.insert(m_objects.begin() + std::ptrdiff_t(at), std::make_move_iterator(moved.begin()),
        std::make_move_iterator(moved.end()));
    markStructureEdited();
}

std::vector<Point> Drawing::alignOffsets(int code) const
{
    std::vector<Point> offsets(m_selection.size());
    const Rect ref = selectionBox(true);
    for (std::size_t i = 0; i < m_selection.size(); ++i) {
        const Rect b = m_selection[i]->boundingBox(true);
        Point& d = offsets[i];
        switch (code) {
        case kAlignLeft:
            d.x = ref.left - b.left;
            break;
        case kAlignRight:
            d.x = ref.right - b.right;
            break;
        case kAlignTop:
            d.y = ref.top - b.top;
            break;
        case kAlignBottom:
            d.y = ref.bottom - b.bottom;
            break;
        case kAlignCentreX:
            d.x = (ref.left + ref.right) / 2 - (b.left + b.right) / 2;
            break;
        case kAlignCentreY:
            d.y = (ref.bottom + ref.top) / 2 - (b.bottom + b.top) / 2;
            break;
        default:
            break;
        }
    }
    return offsets;
}

std::vector<Point> Drawing::spaceEvenlyOffsets(int code) const
{
    const std::size_t n = m_selection.size();
    std::vector<Point> offsets(n);
    if (n < 3 || code < kSpaceEdgesY || code > kSpaceCentresX)
        return offsets;
    const bool alongY = code == kSpaceEdgesY || code == kSpaceCentresY;

    // Along the axis: low edge, high edge and centre of each box.
    std::vector<double> low(n), high(n), centre(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Rect b = m_selection[i]->boundingBox(true);
        low[i] = alongY ? b.bottom : b.left;
        high[i] = alongY ? b.top : b.right;
        centre[i] = (low[i] + high[i]) / 2;
    }

    // Highest centre first; centres within a point of each other compare
    // equal (the difference is truncated to a whole number). A stable sort
    // stays well-behaved with such a comparison.
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return std::trunc(centre[b] - centre[a]) < 0; });

    std::vector<double> delta(n, 0.0);
    if (code == kSpaceEdgesY || code == kSpaceEdgesX) {
        double extents = 0;
        for (std::size_t i = 0; i < n; ++i)
            extents += high[i] - low[i];
        const double span = high[order.front()] - low[order.back()];
        const double gap = (span - extents) / double(n - 1);
        double previousLow = low[order.front()];
        for (std::size_t k = 1; k < n; ++k) {
            const std::size_t i = order[k];
            delta[i] = (previousLow - gap) - high[i];
            previousLow = low[i] + delta[i];
        }
    } else {
        const double first = centre[order.front()];
        const double step = (first - centre[order.back()]) / double(n - 1);
        for (std::size_t k = 1; k < n; ++k) {
            const std::size_t i = order[k];
            delta[i] = (first - double(k) * step) - centre[i];
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (alongY)
            offsets[i].y = float(delta[i]);
        else
            offsets[i].x = float(delta[i]);
    }
    return offsets;
}

void Drawing::align(int code)
{
    if (m_selection.empty())
        return;
    m_history.execute(std::make_unique<AlignCommand>(*this, code));
}

void Drawing::spaceEvenly(int code)
{
    // Fewer than three objects do not move, but the step is still taken, so
    // undo and redo behave as after any other arranging command.
    if (m_selection.empty())
        return;
    m_history.execute(std::make_unique<SpaceEvenlyCommand>(*this, code));
}

void Drawing::moveSelection(float dx, float dy)
{
    if (m_selection.empty())
        return;
    m_history.execute(std::make_unique<MoveCommand>(*this, m_selection, dx, dy));
}

void Drawing::moveSelectionByDialog(int dx, int dy)
{
    // The page is shown turned in landscape, so screen axes are swapped.
    if (m_landscape)
        moveSelection(float(dy), float(dx));
    else
        moveSelection(float(dx), float(dy));
}

void Drawing::scaleSelection(float horizontalPercent, float verticalPercent)
{
    if (m_selection.empty())
        return;
    const Rect box = selectionBox();
    const Point centre { (box.left + box.right) / 2, (box.bottom + box.top) / 2 };
    m_history.execute(std::make_unique<ScaleCommand>(
        *this, m_selection, centre, horizontalPercent / 100, verticalPercent / 100));
}

void Drawing::rotateSelection(float degrees)
{
    if (m_selection.empty())
        return;
    const Rect box = selectionBox();
    const Point centre { (box.left + box.right) / 2, (box.bottom + box.top) / 2 };
    m_history.execute(std::make_unique<RotateCommand>(*this, m_selection, centre, degrees));
}

void Drawing::group()
{
    if (m_selection.empty())
        return;
    // The smallest index seen while removing members one by one is the
    // backmost member's original index.
    const std::vector<std::size_t> indices = selectedIndices();
    const std::size_t at = *std::min_element(indices.begin(), indices.end());
    auto group = std::make_unique<GroupObject>();
    for (auto& member : removeSelected())
        group->appendChild(std::move(member));
    DrawObject* raw = insertAt(at, std::move(group));
    notifyObjectsRemoved();
    m_selection.assign(1, raw);
    markStructureEdited();
    notify([](DrawingObserver& o) { o.selectionChanged(); });
}

void Drawing::makeCompoundPath()
{
    if (m_selection.empty())
        return;
    const PaintStyle shared = m_selection.front()->style();
    for (std::size_t i = 1; i < m_selection.size(); ++i)
        m_selection[i]->setStyle(shared);
    const std::vector<std::size_t> indices = selectedIndices();
    const std::size_t at = *std::min_element(indices.begin(), indices.end());
    auto compound = std::make_unique<CompoundPathObject>();
    for (auto& member : removeSelected())
        compound->appendChild(std::move(member));
    compound->setStyle(shared);
    DrawObject* raw = insertAt(at, std::move(compound));
    notifyObjectsRemoved();
    m_selection.assign(1, raw);
    markStructureEdited();
    notify([](DrawingObserver& o) { o.selectionChanged(); });
}

namespace {

OwnedObjects takeMembers(DrawObject& container)
{
    if (container.type() == ObjectType::Group)
        return static_cast<GroupObject&>(container).takeChildren();
    return static_cast<CompoundPathObject&>(container).takeChildren();
}

} // namespace

// Replaces each selected container of the given type by its members, in place
// in the stacking order; the members join the selection.
static bool dissolveSelected(OwnedObjects& objects, ObjectRefs& selection, ObjectType type)
{
    bool any = false;
    const ObjectRefs snapshot = selection;
    for (DrawObject* container : snapshot) {
        if (container->type() != type)
            continue;
        const auto it = std::find_if(
            objects.begin(), objects.end(), [&](const auto& o) { return o.get() == container; });
        if (it == objects.end())
            continue;
        const std::ptrdiff_t k = it - objects.begin();
        std::unique_ptr<DrawObject> owned = std::move(*it);
        objects.erase(it);
        OwnedObjects members = takeMembers(*owned);
        selection.erase(std::find(selection.begin(), selection.end(), container));
        for (const auto& m : members)
            selection.push_back(m.get());
        objects.insert(objects.begin() + k, std::make_move_iterator(members.begin()),
            std::make_move_iterator(members.end()));
        any = true;
    }
    return any;
}

void Drawing::ungroup()
{
    if (dissolveSelected(m_objects, m_selection, ObjectType::Group)) {
        notifyObjectsRemoved();
        markStructureEdited();
        notify([](DrawingObserver& o) { o.selectionChanged(); });
    }
}

void Drawing::releaseCompoundPaths()
{
    if (dissolveSelected(m_objects, m_selection, ObjectType::CompoundPath)) {
        notifyObjectsRemoved();
        markStructureEdited();
        notify([](DrawingObserver& o) { o.selectionChanged(); });
    }
}

void Drawing::newDrawing()
{
    m_selection.clear();
    m_history.clear();
    const OwnedObjects old = std::exchange(m_objects, {});
    notifyObjectsRemoved();
    notify([](DrawingObserver& o) { o.historyInvalidated(); });
    m_defaultStyle = PaintStyle();
    m_modified = false;
    m_fileName.clear();
    notify([](DrawingObserver& o) { o.selectionChanged(); });
    notify([](DrawingObserver& o) { o.contentChanged(); });
}

bool Drawing::applyPaintCommand(int commandId, const Color* chosen)
{
    using Kind = StyleChange::Kind;
    const std::optional<StyleChange> change = styleChangeForCommand(commandId);
    if (!change)
        return false;
    if (change->needsColorDialog() && !chosen)
        return false;
    switch (change->kind) {
    case Kind::PickUpStyle:
        if (!m_selection.empty())
            m_defaultStyle = m_selection.front()->style();
        return true;
    case Kind::Arrows:
        if (m_selection.empty())
            return true;
        for (DrawObject* object : m_selection)
            object->setArrows(change->firstArrow, change->secondArrow);
        markStructureEdited();
        return true;
    default:
        break;
    }
    if (!m_selection.empty())
        m_history.execute(makeStyleCommand(*this, m_selection, *change, chosen, m_defaultStyle));
    applyStyleCommandToDefault(m_defaultStyle, commandId, chosen);
    return true;
}

void Drawing::applySwatch(bool rightButton, const std::optional<Color>& color)
{
    std::unique_ptr<UndoCommand> command;
    if (!rightButton && color) {
        command = std::make_unique<FillOrTextColorCommand>(*this, m_selection, *color);
        m_defaultStyle.setFillOn(true);
        m_defaultStyle.storeFillColor(*color);
        m_defaultStyle.storeTextColor(*color);
    } else if (!rightButton) {
        command = std::make_unique<FillTransparentCommand>(*this, m_selection);
        m_defaultStyle.setFillOn(false);
    } else if (color) {
        command = std::make_unique<LineColorCommand>(*this, m_selection, *color);
        m_defaultStyle.setLineColor(*color);
    } else {
        command = std::make_unique<LineInvisibleCommand>(*this, m_selection);
        m_defaultStyle.setStrokeOn(false);
    }
    if (!m_selection.empty())
        m_history.execute(std::move(command));
}

int Drawing::alignCodeFor(int commandId, bool landscape)
{
    switch (commandId) {
    case kCmdAlignLeft:
        return landscape ? kAlignBottom : kAlignLeft;
    case kCmdAlignRight:
        return landscape ? kAlignTop : kAlignRight;
    case kCmdAlignTops:
        return landscape ? kAlignLeft : kAlignTop;
    case kCmdAlignBottoms:
        return landscape ? kAlignRight : kAlignBottom;
    case kCmdAlignCentersVertically:
        return landscape ? kAlignCentreY : kAlignCentreX;
    case kCmdAlignCentersHorizontally:
        return landscape ? kAlignCentreX : kAlignCentreY;
    default:
        return -1;
    }
}

int Drawing::spaceCodeFor(int commandId, bool landscape)
{
    switch (commandId) {
    case kCmdSpaceEdgesVertically:
        return landscape ? kSpaceEdgesX : kSpaceEdgesY;
    case kCmdSpaceEdgesHorizontally:
        return landscape ? kSpaceEdgesY : kSpaceEdgesX;
    case kCmdSpaceCentersHorizontally:
        return landscape ? kSpaceCentresY : kSpaceCentresX;
    case kCmdSpaceCentersVertically:
        return landscape ? kSpaceCentresX : kSpaceCentresY;
    default:
        return -1;
    }
}

bool Drawing::runCommand(int commandId)
{
    if (const int code = alignCodeFor(commandId, m_landscape); code >= 0) {
        align(code);
        return true;
    }
    if (const int code = spaceCodeFor(commandId, m_landscape); code >= 0) {
        spaceEvenly(code);
        return true;
    }
    switch (commandId) {
    case kCmdNew:
        newDrawing();
        return true;
    case kCmdUndo:
        m_history.undo();
        return true;
    case kCmdRedo:
        m_history.redo();
        return true;
    case kCmdCopy:
        m_clipboard.copy(*this);
        return true;
    case kCmdCut:
        m_clipboard.cut(*this);
        return true;
    case kCmdDuplicate:
        Clipboard::duplicate(*this);
        return true;
    case kCmdClear:
        deleteSelection();
        return true;
    case kCmdSelectAll:
        selectAll();
        return true;
    case kCmdDeselectAll:
    case kCmdDeselectAll2:
        deselectAll();
        return true;
    case kCmdLock:
        lockSelection();
        return true;
    case kCmdUnlockAll:
        unlockAll();
        return true;
    case kCmdBringToFront:
        bringToFront();
        return true;
    case kCmdSendToBack:
        sendToBack();
        return true;
    case kCmdMoveForward:
        moveForward();
        return true;
    case kCmdMoveBackward:
        moveBackward();
        return true;
    case kCmdGroup:
        group();
        return true;
    case kCmdUngroup:
        ungroup();
        return true;
    case kCmdMakeCompoundPath:
        makeCompoundPath();
        return true;
    case kCmdReleaseCompoundPath:
        releaseCompoundPaths();
        return true;
    case kCmdRotatePlus90:
        rotateSelection(90);
        return true;
    case kCmdRotateMinus90:
        rotateSelection(-90);
        return true;
    default:
        return false;
    }
}

// --- Output --------------------------------------------------------------

bool Drawing::emitTo(OutputPort& port, const std::function<bool()>& advance) const
{
    for (const auto& object : m_objects) {
        if (advance && !advance())
            return false;
        emitObject(*object, port);
    }
    return true;
}

void Drawing::emitObject(const DrawObject& object, OutputPort& port)
{
    // Containers bracket their members, each member with its own link.
    const auto& url = object.url();
    if (url)
        port.beginLink(*url);
    object.emit(port);
    if (url)
        port.endLink(*url);
}

void Drawing::redraw(ScreenPainter& painter, int mode, const Rect& clip) const
{
    const bool clipped = !clip.isUncomputed();
    const Rect c = normalized(clip);
    for (const auto& object : m_objects) {
        if (object->isHidden())
            continue;
        // With the stroke: a wide edge reaching into the clip must be repainted too.
        if (clipped && !boxesIntersect(object->boundingBox(true), c))
            continue;
        object->drawOnScreen(painter, mode);
    }
}

} // namespace zavora
