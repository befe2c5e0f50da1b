#include "samplescrollarea.h"

#include "windowframe.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace
{
// Even on the smallest screen a few rows stay in sight.
constexpr int least_table_height = 120;

// What the window's layout sees of a widget that holds a layout: it grows
// where its layout has room to grow. The area must claim the same, or the
// window would share out its spare height differently.
QSizePolicy Effective_Policy(const QWidget *widget)
{
    QSizePolicy policy = widget->sizePolicy();
    const Qt::Orientations expanding =
        widget->layout() ? widget->layout()->expandingDirections() : Qt::Orientations();
    if ((expanding & Qt::Horizontal) && (policy.horizontalPolicy() & QSizePolicy::GrowFlag))
        policy.setHorizontalPolicy(QSizePolicy::Expanding);
    if ((expanding & Qt::Vertical) && (policy.verticalPolicy() & QSizePolicy::GrowFlag))
        policy.setVerticalPolicy(QSizePolicy::Expanding);
    return policy;
}
} // namespace

TSampleScrollArea::TSampleScrollArea(QWidget *table, const QList<QLabel *> &captions,
                                     QWidget *parent)
    : QScrollArea(parent), d_reserved_height(0), d_captions(captions),
      d_caption_strip(new QWidget(viewport()))
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The table is sized here, to its full size hint: QScrollArea's own
    // resizing would squeeze it to its minimum size.
    setWidgetResizable(false);
    setSizePolicy(Effective_Policy(table));
    setWidget(table);
    // Nothing is painted but what the window paints behind the table.
    viewport()->setAutoFillBackground(false);
    table->setAutoFillBackground(false);

    // The strip is the captions' twin: same texts, fonts and alignment, at
    // the same places; it covers the table's own captions exactly when the
    // table is scrolled to the top, and the rows that pass under it later.
    d_caption_strip->setAutoFillBackground(true);
    d_caption_strip->setBackgroundRole(QPalette::Window);
    for (const QLabel *caption : d_captions)
    {
        auto *twin = new QLabel(caption->text(), d_caption_strip);
        twin->setAlignment(caption->alignment());
        twin->setFont(caption->font());
        // A screen reader already has the table's own captions.
        twin->setAccessibleName(QString());
        d_strip_captions << twin;
    }
    d_caption_strip->hide();
    for (QLabel *caption : d_captions)
        caption->installEventFilter(this);
    connect(verticalScrollBar(), &QScrollBar::rangeChanged, this,
            [this] { Place_Caption_Strip(); });

    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { Show_Focus(now); });
}

void TSampleScrollArea::Set_Reserved_Height(int height)
{
    d_reserved_height = height;
    updateGeometry();
}

QSize TSampleScrollArea::sizeHint() const
{
    QSize hint = widget()->sizeHint();
    const int limit = Height_Limit();
    if (hint.height() > limit)
    {
        hint.setHeight(limit);
        hint.rwidth() += verticalScrollBar()->sizeHint().width();
    }
    return hint;
}

QSize TSampleScrollArea::minimumSizeHint() const
{
    // The window has a fixed size; the table's cell never gets less.
    return sizeHint();
}

int TSampleScrollArea::Height_Limit() const
{
    const QWidget *top = window();
    const QScreen *screen = top->screen();
    if (!screen)
        return QWIDGETSIZE_MAX;
    const QMargins margins = Frame_Margins(top);
    int frame = margins.top() + margins.bottom();
    // Before the window manager has framed the window, its title bar is
    // guessed at, so that the first showing already fits.
    if (frame <= 0)
        frame = style()->pixelMetric(QStyle::PM_TitleBarHeight) +
                2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return std::max(least_table_height,
                    screen->availableGeometry().height() - frame - d_reserved_height);
}

void TSampleScrollArea::Fit_Table()
{
    QWidget *table = widget();
    const QSize size = viewport()->size().expandedTo(table->sizeHint());
    if (table->size() != size)
        table->resize(size);
    Place_Caption_Strip();
}

bool TSampleScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    // The table asks to be laid out when its rows change: it gets its new
    // size first, so that its rows are placed once, not squeezed and then
    // placed again.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) &&
        d_captions.contains(qobject_cast<QLabel *>(watched)))
        Place_Caption_Strip();
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
    {
        updateGeometry();
        Fit_Table();
    }
    return QScrollArea::eventFilter(watched, event);
}

bool TSampleScrollArea::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Resize)
        Fit_Table();
    return QScrollArea::viewportEvent(event);
}

void TSampleScrollArea::Place_Caption_Strip()
{
    const bool scrolls = verticalScrollBar()->maximum() > 0;
    if (!scrolls || d_captions.isEmpty())
    {
        d_caption_strip->hide();
        return;
    }
    int bottom = 0;
    for (int index = 0; index < d_captions.size(); ++index)
    {
        const QRect place = d_captions.at(index)->geometry();
        d_strip_captions.at(index)->setGeometry(place);
        bottom = std::max(bottom, place.bottom() + 1);
    }
    d_caption_strip->setGeometry(0, 0, viewport()->width(), bottom);
    d_caption_strip->raise();
    d_caption_strip->show();
}

void TSampleScrollArea::Show_Focus(QWidget *focused)
{
    // Clear of the caption strip above, as of the edge below.
    constexpr int least_margin = 50;
    const int margin =
        std::max(least_margin,
                 d_caption_strip->isVisible() ? d_caption_strip->height() + least_margin / 2 : 0);
    if (focused && widget()->isAncestorOf(focused))
        ensureWidgetVisible(focused, least_margin, margin);
}
