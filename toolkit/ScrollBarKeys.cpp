#include "toolkit/ScrollBarKeys.h"

#include <QEvent>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QScrollBar>

namespace {

class ArrowKeySteps : public QObject
{
public:
    explicit ArrowKeySteps(QScrollBar *bar)
        : QObject(bar)
        , m_bar(bar)
        , m_focus(new QFocusFrame(bar->parentWidget()))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            m_focus->setWidget(event->type() == QEvent::FocusIn ? m_bar : nullptr);
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Left && key != Qt::Key_Right)
            return false;
        m_bar->triggerAction(
            key == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        return true;
    }

private:
    QScrollBar *m_bar;
    QFocusFrame *m_focus;
};

} // namespace

void stepByArrowKeys(QScrollBar *bar)
{
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->installEventFilter(new ArrowKeySteps(bar));
}
