#ifndef ZENTROVA_SAMPLESCROLLAREA_H
#define ZENTROVA_SAMPLESCROLLAREA_H

#include <QList>
#include <QScrollArea>

class QLabel;

// The sample table's cell in the window. While the window fits its screen
// the area is exactly the table, drawn as if it were not there; beyond that
// it stops growing and the table scrolls inside it, so that no row, button
// or the window's own Close button is ever pushed off the screen.
class TSampleScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    // captions: the table's column captions, which scroll away with its first
    // row; while the table scrolls, copies of them stay in sight above the rows.
    TSampleScrollArea(QWidget *table, const QList<QLabel *> &captions, QWidget *parent);

    // The height that the rest of the window needs above and below the
    // table's cell; the table gets what the screen leaves of it.
    void Set_Reserved_Height(int height);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    int Height_Limit() const;
    void Fit_Table();
    void Show_Focus(QWidget *focused);
    void Place_Caption_Strip();

    int d_reserved_height;
    QList<QLabel *> d_captions;
    // Over the top of the viewport, opaque, in the table's own columns.
    QWidget *d_caption_strip;
    QList<QLabel *> d_strip_captions;
};

#endif
