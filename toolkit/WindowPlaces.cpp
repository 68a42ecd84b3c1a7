#include "toolkit/WindowPlaces.h"

#include "toolkit/KeptSettings.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

QString placeKey(const QWidget *window)
{
    return QStringLiteral("windows/") + window->objectName();
}

/// Keeps the window's place (its frame's top left corner, as move() takes it) and its size when
/// the user closes it.
class PlaceKeeper : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Close && window->isVisible())
            keptSettings()->setValue(placeKey(window), QRect(window->pos(), window->size()));
        return false;
    }
};

/// The frame the window manager draws round a window: a window not yet shown has none yet, so its
/// opener's stands for it.
QMargins frameOf(const QWidget *window)
{
    if (!window || !window->isVisible())
        return {};
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return { inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
        frame.bottom() - inner.bottom() };
}

/// The top left corner for a window of outer size beside the opener's frame, on its right or else
/// on its left, when one of them has room; else centred over it.
QPoint besideOrOver(const QRect &opener, QSize outer, const QRect &room)
{
    for (const int left : { opener.right() + 1, opener.left() - outer.width() }) {
        if (left >= room.left() && left + outer.width() <= room.right() + 1)
            return { left, opener.top() };
    }
    return opener.center() - QPoint(outer.width() / 2, outer.height() / 2);
}

} // namespace

void places::remember(QWidget *window)
{
    window->installEventFilter(new PlaceKeeper(window));
    const QRect kept = keptSettings()->value(placeKey(window)).toRect();
    if (kept.isValid()) {
        window->resize(kept.size());
        window->move(kept.topLeft());
    }
}

void places::openNear(QWidget *window, const QWidget *opener)
{
    const QWidget *anchor = opener ? opener->window() : nullptr;
    const QScreen *screen = anchor ? anchor->screen() : window->screen();
    const QRect room = screen->availableGeometry();
    const QMargins frame = frameOf(anchor);
    window->resize(window->size().boundedTo(room.marginsRemoved(frame).size()));
    const QSize outer = window->size().grownBy(frame);
    QPoint at = window->pos();
    if (anchor && !window->testAttribute(Qt::WA_Moved))
        at = besideOrOver(anchor->frameGeometry(), outer, room);
    // On the screen, and its title bar first where the whole window cannot be.
    at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - outer.width())));
    at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - outer.height())));
    window->move(at);
}
