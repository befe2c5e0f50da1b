#include "certificate.h"

#include "plottextobject.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtMath>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace
{
const QUrl plot_url(QStringLiteral("certificate://plot"));

// Sizes on the page, in points.
constexpr qreal body_points = 8.5;
constexpr qreal heading_points = 10.5;
// Qwt rounds the plot's text to whole pixels of the screen: a point more
// than the least, 7, keeps the ticks above it at any screen's resolution.
constexpr qreal plot_text_points = 8.0;
constexpr qreal title_points = 15.0;
constexpr qreal header_points = 8.0;
constexpr qreal number_points = 11.0;
// The page header's height, the rule under it included.
constexpr qreal header_height_points = 46.0;
// The plot's share of the text's width, and its height to its width.
constexpr qreal plot_width_share = 0.86;
constexpr qreal plot_aspect = 0.56;
// An earlier version's picture of the plot, as a share of the plot's width.
constexpr qreal picture_width_share = 0.58;
// A table of at most this many rows is not split across pages unless it
// has to be.
constexpr int short_table_rows = 8;

const QColor heading_colour(25, 55, 95);
const QColor muted_colour(90, 90, 90);
const QColor rule_colour(175, 175, 175);
const QColor strong_rule_colour(60, 75, 95);
const QColor header_fill(232, 237, 243);
const QColor draft_colour(180, 30, 30);
// Behind the text, and opaque (PDF/A-1 has no transparency): light enough
// that everything printed over it stays readable.
const QColor watermark_colour(246, 214, 214);

QString Tr(const char *text)
{
    return QCoreApplication::translate("Certificate", text);
}

QString Draft_Mark()
{
    return Tr("DRAFT - not a certificate");
}

QFont Page_Font(qreal points, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    // Plain letters, no ligatures: the text is selected, searched and read
    // back as it was written.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The units of a document's margins, paddings and borders per point. Its
// layout takes them as pixels of the screen and scales them to the page
// itself, so they are the screen's whatever the document is laid out for.
qreal Units_Per_Point()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return (screen ? qRound(screen->logicalDotsPerInchY()) : 96) / 72.0;
}

// The screen's pixels per pixel of the device the document is laid out for
// (1 for a window): what an image's size is given in.
qreal Screen_Pixels_Per_Device_Pixel(QTextDocument *document)
{
    const QPaintDevice *device = document->documentLayout()->paintDevice();
    return device ? Units_Per_Point() * 72.0 / device->logicalDpiX() : 1.0;
}

// A cell that holds a decimal number (with a sign, a unit or a percentage
// at most); a column of them is set flush right, so that their decimals
// line up. Whole numbers are left alone: a code such as 2710 is no quantity.
bool Is_Decimal(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^[+\\-\u2212\u00B1]?\\s*\\d*\\.\\d+(\\s*(\u00B0C|%|K))?$"));
    return number.match(text.trimmed()).hasMatch();
}

// What must stay on one page: a heading and the start of what follows it,
// or, where that is too tall, the heading and its first paragraph (the
// fallback; -1 for none). Positions in the document.
struct Keep_Together
{
    int first;
    int last;
    int fallback;
};

class Certificate_Builder
{
public:
    Certificate_Builder(QTextDocument *document, qreal plot_width)
        : d_document(document), d_cursor(document), d_unit(Units_Per_Point()),
          d_plot_width(plot_width)
    {
    }

    void Heading(const QString &text)
    {
        QTextBlockFormat block;
        block.setTopMargin(d_first ? 0.0 : 8.0 * d_unit);
        block.setBottomMargin(3.0 * d_unit);
        QTextCharFormat chars;
        chars.setFont(Page_Font(heading_points, true));
        chars.setForeground(heading_colour);
        New_Block(block, chars);
        d_cursor.insertText(text, chars);
    }

    void Paragraph(const QString &text, Qt::Alignment alignment = Qt::AlignLeft,
                   qreal space_above = 1.0)
    {
        QTextBlockFormat block;
        block.setAlignment(alignment);
        block.setTopMargin(d_first ? 0.0 : space_above * d_unit);
        block.setBottomMargin(3.0 * d_unit);
        block.setLineHeight(108, QTextBlockFormat::ProportionalHeight);
        QTextCharFormat chars;
        chars.setFont(Page_Font(body_points));
        New_Block(block, chars);
        d_cursor.insertText(text, chars);
    }

    // Returns the position of the row that its heading is kept with, or -1
    // when the table has no cell.
    int Table(const Certificate_Table &table)
    {
        int columns = table.header.size();
        for (const QStringList &row : table.rows)
            columns = std::max(columns, static_cast<int>(row.size()));
        const int header_rows = table.header.isEmpty() ? 0 : 1;
        const int rows = header_rows + table.rows.size();
        if (columns == 0 || rows == 0)
            return -1;

        // A table cannot start a block that is in use; the block it leaves
        // before it is made as low as possible.
        if (!d_fresh)
            d_cursor.insertBlock(QTextBlockFormat(), Spacer_Format());
        else
        {
            d_cursor.setBlockFormat(QTextBlockFormat());
            d_cursor.setBlockCharFormat(Spacer_Format());
        }

        QTextTableFormat format;
        // A hair under the full width: the layout rounds each column up,
        // and a table a unit wider than the text gives a window a
        // horizontal scroll bar for nothing.
        format.setWidth(QTextLength(QTextLength::PercentageLength, 99.8));
        format.setHeaderRowCount(header_rows);
        format.setCellSpacing(0);
        format.setCellPadding(0.0);
        format.setBorderCollapse(true);
        format.setBorder(0.0);
        format.setTopMargin(1.0 * d_unit);
        format.setBottomMargin(5.0 * d_unit);
        QTextTable *text_table = d_cursor.insertTable(rows, columns, format);

        QVector<bool> numeric(columns, true);
        QVector<bool> filled(columns, false);
        for (const QStringList &row : table.rows)
            for (int column = 0; column < row.size(); ++column)
                if (!row.at(column).trimmed().isEmpty())
                {
                    filled[column] = true;
                    numeric[column] = numeric[column] && Is_Decimal(row.at(column));
                }
        const auto alignment = [&](int column)
        { return numeric[column] && filled[column] ? Qt::AlignRight : Qt::AlignLeft; };

        for (int column = 0; column < columns && header_rows > 0; ++column)
            Fill_Cell(text_table, 0, column, table.header.value(column), true, alignment(column),
                      false);
        for (int index = 0; index < table.rows.size(); ++index)
            for (int column = 0; column < columns; ++column)
                Fill_Cell(text_table, header_rows + index, column,
                          table.rows.at(index).value(column), false, alignment(column),
                          index == table.rows.size() - 1);

        // A short table is kept whole with its heading; a long one from its
        // first row under the header.
        const int kept_row =
            table.rows.size() <= short_table_rows ? rows - 1 : std::min(header_rows, rows - 1);
        const int first_row = text_table->cellAt(kept_row, 0).firstCursorPosition().position();
        // The block right after a table is laid out without the space
        // above it: an empty one, as low as can be, stands there, so that
        // a heading after the table keeps its own space.
        d_cursor = text_table->lastCursorPosition();
        d_cursor.movePosition(QTextCursor::NextBlock);
        d_cursor.setBlockFormat(QTextBlockFormat());
        d_cursor.setBlockCharFormat(Spacer_Format());
        d_fresh = false;
        d_first = false;
        return first_row;
    }

    // Returns the plot's position, or -1 when there is nothing to draw.
    int Plot(const Plot_Data &data, const QImage &picture)
    {
        const bool numbers = !data.Is_Empty();
        if (!numbers && picture.isNull())
            return -1;
        QTextBlockFormat block;
        block.setAlignment(Qt::AlignHCenter);
        block.setTopMargin(3.0 * d_unit);
        block.setBottomMargin(6.0 * d_unit);
        New_Block(block, QTextCharFormat());
        const int position = d_cursor.position();
        const qreal width = d_plot_width;
        if (numbers)
        {
            TPlotTextObject::Of(d_document)->Set_Data(data);
            d_cursor.insertText(
                QString(QChar::ObjectReplacementCharacter),
                TPlotTextObject::Format(QSizeF(width, width * plot_aspect), plot_text_points));
        }
        else
        {
            // A calibration stored by an earlier version kept its plot as a
            // picture only.
            d_document->addResource(QTextDocument::ImageResource, plot_url, picture);
            QTextImageFormat image;
            image.setName(plot_url.toString());
            // Its letters were drawn for a window: the picture is printed
            // smaller than a plot drawn for the page.
            const qreal image_width =
                width * picture_width_share * Screen_Pixels_Per_Device_Pixel(d_document);
            image.setWidth(image_width);
            image.setHeight(image_width * picture.height() / std::max(1, picture.width()));
            d_cursor.insertImage(image);
        }
        return position;
    }

    int Block_Start() const { return d_cursor.block().position(); }
    // Whether the last thing built was a heading or a paragraph.
    bool After_Text() const { return !d_cursor.block().text().isEmpty(); }

private:
    static QTextCharFormat Spacer_Format()
    {
        QTextCharFormat tiny;
        tiny.setFont(Page_Font(1.0));
        return tiny;
    }

    // The empty block the cursor stands in, or a new one after it.
    void New_Block(const QTextBlockFormat &block, const QTextCharFormat &chars)
    {
        if (d_fresh)
        {
            d_cursor.setBlockFormat(block);
            d_cursor.setBlockCharFormat(chars);
            d_cursor.setCharFormat(chars);
        }
        else
            d_cursor.insertBlock(block, chars);
        d_fresh = false;
        d_first = false;
    }

    void Fill_Cell(QTextTable *table, int row, int column, const QString &text, bool header,
                   Qt::Alignment alignment, bool last_row)
    {
        QTextTableCell cell = table->cellAt(row, column);
        QTextTableCellFormat format = cell.format().toTableCellFormat();
        format.setTopPadding(1.8 * d_unit);
        format.setBottomPadding(1.8 * d_unit);
        format.setLeftPadding(4.0 * d_unit);
        format.setRightPadding(4.0 * d_unit);
        format.setLeftBorder(0.0);
        format.setRightBorder(0.0);
        format.setTopBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBottomBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        if (header)
        {
            format.setBackground(header_fill);
            format.setTopBorder(0.9 * d_unit);
            format.setTopBorderBrush(strong_rule_colour);
            format.setBottomBorder(0.9 * d_unit);
            format.setBottomBorderBrush(strong_rule_colour);
        }
        else
        {
            format.setTopBorder(0.0);
            format.setBottomBorder((last_row ? 0.9 : 0.4) * d_unit);
            format.setBottomBorderBrush(last_row ? strong_rule_colour : rule_colour);
        }
        cell.setFormat(format);

        QTextCursor cursor = cell.firstCursorPosition();
        QTextBlockFormat block;
        block.setAlignment(alignment);
        cursor.setBlockFormat(block);
        // Not the block's character format: a cell keeps its own format there.
        QTextCharFormat chars;
        chars.setFont(Page_Font(body_points, header));
        cursor.insertText(text, chars);
    }

    QTextDocument *d_document;
    QTextCursor d_cursor;
    qreal d_unit;
    qreal d_plot_width;
    bool d_fresh = true;
    bool d_first = true;
};

// Builds the certificate's body into the document; what must stay on one
// page is added to keep.
void Build_Certificate(QTextDocument *document, const Certificate_Content &content,
                       qreal plot_width, const QImage &plot_picture, QVector<Keep_Together> *keep)
{
    document->clear();
    document->setDocumentMargin(0);
    document->setDefaultFont(Page_Font(body_points));
    document->setUndoRedoEnabled(false);
    // One edit: the document is laid out once, when it is whole, not again
    // after every cell.
    QTextCursor edit(document);
    edit.beginEditBlock();
    Certificate_Builder builder(document, plot_width);
    for (const Certificate_Section &section : content.sections)
    {
        int heading = -1;
        if (!section.heading.isEmpty())
        {
            builder.Heading(section.heading);
            heading = builder.Block_Start();
        }
        // A heading stays with the start of what follows it: a short table
        // whole, a long table's first row under its header, or the plot,
        // with any paragraphs between; else its first paragraph.
        int first_paragraph = -1;
        for (const QString &text : section.before)
        {
            builder.Paragraph(text);
            if (first_paragraph < 0)
                first_paragraph = builder.Block_Start();
        }
        int follower = -1;
        if (!section.table.header.isEmpty() || !section.table.rows.isEmpty())
            follower = builder.Table(section.table);
        if (section.plot)
        {
            const int plot = builder.Plot(content.plot, plot_picture);
            if (follower < 0)
                follower = plot;
        }
        for (const QString &text : section.after)
        {
            builder.Paragraph(text);
            if (first_paragraph < 0 && follower < 0)
                first_paragraph = builder.Block_Start();
        }
        if (follower < 0)
            std::swap(follower, first_paragraph);
        if (keep && heading >= 0 && follower >= 0)
            keep->append(Keep_Together{heading, follower, first_paragraph});
    }
    if (!content.closing.isEmpty())
    {
        // The closing line does not stand on a page of its own, where a
        // line of text can go along with it.
        const int last_block = builder.After_Text() ? builder.Block_Start() : -1;
        // The number is the content's own (the history writes it in when it
        // issues it); a draft has none.
        const QString closing = content.draft || content.number.isEmpty()
                                    ? content.closing
                                    : content.closing + QLatin1Char(' ') + content.number;
        builder.Paragraph(closing, Qt::AlignHCenter, 10.0);
        if (keep && last_block >= 0)
            keep->append(Keep_Together{last_block, builder.Block_Start(), -1});
    }
    edit.endEditBlock();
}

// The top of a block's first line in the document: a line moved to the
// next page is where it is drawn, not where its block began.
qreal Line_Top(QTextDocument *document, const QTextBlock &block)
{
    const QRectF rect = document->documentLayout()->blockBoundingRect(block);
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return rect.top();
    // The rectangle's top is the block's position; its lines are placed
    // relative to that.
    return rect.top() + layout->lineAt(0).y();
}

// Moves a block down to the top of the next page, by the space above it:
// after a table, the layout's own page break can count from a page too far
// and leave a page empty.
void Move_To_Next_Page(QTextDocument *document, const QTextBlock &block, qreal top, qreal page_top)
{
    QTextCursor cursor(block);
    QTextBlockFormat format = cursor.blockFormat();
    format.setTopMargin(format.topMargin() +
                        (page_top - top) * Screen_Pixels_Per_Device_Pixel(document));
    cursor.setBlockFormat(format);
    // Laid out again from the start: after a table, the layout would
    // otherwise leave the block where it was.
    document->markContentsDirty(0, document->characterCount());
}

// Moves to the next page what would otherwise be cut by a page's foot or
// left alone there: a heading whose text would begin only on the next page,
// and a line that would run across the page's foot (Qt's layout leaves the
// line after a table there when the table ends just above it). A block that
// a heading is kept with takes its heading along. In the document's order,
// so that each move is made on the final layout of what comes before it.
void Paginate(QTextDocument *document, const QVector<Keep_Together> &keep, qreal page_height)
{
    // The layout counts in 64ths of a unit: a page may begin a hair before
    // its exact multiple of the page's height.
    const auto page_of = [&](qreal top)
    { return static_cast<int>(std::floor((top + 0.5) / page_height)); };
    const auto at_page_top = [&](qreal top) { return top - page_of(top) * page_height < 1.0; };
    const auto move = [&](QTextBlock block)
    {
        // The heading that this block is kept with goes first, when it is
        // on the same page and not at its top.
        for (bool led = true; led;)
        {
            led = false;
            const qreal top = Line_Top(document, block);
            for (const Keep_Together &together : keep)
            {
                if (block.position() <= together.first ||
                    block.position() > std::max(together.last, together.fallback))
                    continue;
                const QTextBlock leader = document->findBlock(together.first);
                const qreal leader_top = Line_Top(document, leader);
                if (page_of(leader_top) == page_of(top) && !at_page_top(leader_top))
                {
                    block = leader;
                    led = true;
                    break;
                }
            }
        }
        const qreal top = Line_Top(document, block);
        Move_To_Next_Page(document, block, top, (page_of(top) + 1) * page_height);
    };

    QHash<int, Keep_Together> headings;
    for (const Keep_Together &together : keep)
        headings.insert(together.first, together);
    for (auto part = document->rootFrame()->begin(); !part.atEnd(); ++part)
    {
        const QTextBlock block = part.currentBlock();
        // An empty block shows nothing that a page's foot could cut.
        if (!block.isValid() || block.length() <= 1 || !block.layout() ||
            block.layout()->lineCount() == 0)
            continue;
        const qreal top = Line_Top(document, block);
        // At the top of a page already, it cannot do better.
        if (at_page_top(top))
            continue;
        const int page = page_of(top);
        if (top + block.layout()->lineAt(0).height() > (page + 1) * page_height + 0.5)
        {
            move(block);
            continue;
        }
        const auto heading = headings.constFind(block.position());
        if (heading == headings.constEnd())
            continue;
        int last = heading->last;
        // More than half a page between them: the heading keeps its first
        // paragraph only, rather than leave half a page empty.
        if (Line_Top(document, document->findBlock(last)) - top > page_height / 2 &&
            heading->fallback >= 0)
            last = heading->fallback;
        if (page_of(Line_Top(document, document->findBlock(last))) != page)
            move(block);
    }
}

// The laboratory and the title at the left; the number (or the draft mark)
// and "Page x of y" at the right; a rule under them. What does not fit
// beside the right-hand texts at the left is cut short with an ellipsis
// rather than run into them: the body states it in full.
void Paint_Page_Header(QPainter *painter, const Certificate_Content &content, const QRectF &page,
                       qreal unit, int index, int pages)
{
    const qreal header_height = header_height_points * unit;
    const qreal rule = header_height - 8.0 * unit;
    const QFont small = Page_Font(header_points);
    const QFont title = Page_Font(title_points, true);
    const QFont number = Page_Font(number_points, true);
    const QFontMetricsF small_metrics(small, painter->device());
    const QFontMetricsF number_metrics(number, painter->device());
    const qreal small_line = small_metrics.lineSpacing();

    const QString page_text = Tr("Page %1 of %2").arg(index + 1).arg(pages);
    const QString label = content.draft ? QString() : Tr("Certificate number");
    const QString identification = content.draft ? Draft_Mark() : content.number;
    const qreal right_width = std::max({small_metrics.horizontalAdvance(page_text),
                                        small_metrics.horizontalAdvance(label),
                                        number_metrics.horizontalAdvance(identification)});
    const QRectF right(page.width() - right_width, 0, right_width, header_height);
    const QRectF left(0, 0, std::max(0.0, page.width() - right_width - 12.0 * unit), header_height);
    const auto draw = [&](const QFont &font, const QColor &colour, const QRectF &area,
                          Qt::Alignment alignment, const QString &text)
    {
        painter->setFont(font);
        painter->setPen(colour);
        const QString shown =
            QFontMetricsF(font, painter->device()).elidedText(text, Qt::ElideRight, area.width());
        painter->drawText(area, alignment | Qt::TextSingleLine, shown);
    };

    draw(small, muted_colour, left, Qt::AlignLeft | Qt::AlignTop, content.laboratory);
    draw(title, heading_colour, left.adjusted(0, small_line, 0, 0), Qt::AlignLeft | Qt::AlignTop,
         content.title);
    if (!label.isEmpty())
        draw(small, muted_colour, right, Qt::AlignRight | Qt::AlignTop, label);
    draw(number, content.draft ? draft_colour : Qt::black, right.adjusted(0, small_line, 0, 0),
         Qt::AlignRight | Qt::AlignTop, identification);
    draw(small, Qt::black, QRectF(right.left(), 0, right.width(), rule - 3.0 * unit),
         Qt::AlignRight | Qt::AlignBottom, page_text);
    painter->setPen(QPen(strong_rule_colour, 1.2 * unit));
    painter->drawLine(QPointF(0, rule), QPointF(page.width(), rule));
}

// Across the page, under everything printed on it, as outlines: the mark
// cannot be missed, and the page's text still reads in its own order.
void Paint_Draft_Watermark(QPainter *painter, const QRectF &page)
{
    QFont font = Page_Font(40, true);
    QPainterPath path;
    path.addText(0, 0, font, Draft_Mark());
    const QRectF bounds = path.boundingRect();
    const qreal diagonal = std::hypot(page.width(), page.height());
    const qreal scale = diagonal * 0.72 / bounds.width();
    painter->save();
    painter->translate(page.center());
    painter->rotate(-qRadiansToDegrees(std::atan2(page.height(), page.width())));
    painter->scale(scale, scale);
    painter->translate(-bounds.center());
    painter->setPen(Qt::NoPen);
    painter->setBrush(watermark_colour);
    painter->drawPath(path);
    painter->restore();
}

// The document information, with what Qt's PDF writer leaves out.
struct Pdf_Information
{
    QString title;
    QString author;
    QString subject;
    QString creator;
    QString producer;
    QDateTime created;
};

// Text that a metadata entry can hold: no control characters.
QString Metadata_Text(const QString &text)
{
    QString clean;
    for (const QChar character : text)
        clean += character.isPrint() ? character : QChar(QLatin1Char(' '));
    return clean.simplified();
}

QByteArray Pdf_String(const QString &text)
{
    // UTF-16 with its byte order mark, as hexadecimal: any letter, no escaping.
    QByteArray bytes("<FEFF");
    for (const QChar character : Metadata_Text(text))
        bytes += QByteArray::number(character.unicode(), 16).rightJustified(4, '0').toUpper();
    return bytes + '>';
}

QByteArray Pdf_Date(const QDateTime &time)
{
    const int offset = time.offsetFromUtc();
    const QString zone = QStringLiteral("%1%2'%3'")
                             .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(std::abs(offset) / 3600, 2, 10, QLatin1Char('0'))
                             .arg(std::abs(offset) / 60 % 60, 2, 10, QLatin1Char('0'));
    return ("D:" + time.toString(QStringLiteral("yyyyMMddHHmmss")) + zone).toLatin1();
}

QString Xmp_Date(const QDateTime &time)
{
    const int offset = time.offsetFromUtc();
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QStringLiteral("%1%2:%3")
               .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
               .arg(std::abs(offset) / 3600, 2, 10, QLatin1Char('0'))
               .arg(std::abs(offset) / 60 % 60, 2, 10, QLatin1Char('0'));
}

// The same information in the XMP packet that PDF/A reads; the two must agree.
QByteArray Xmp_Metadata(const Pdf_Information &information)
{
    const auto xml = [](const QString &text) { return Metadata_Text(text).toHtmlEscaped(); };
    QString packet =
        QStringLiteral("<?xpacket begin='\uFEFF' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
                       "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                       "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                       "<rdf:Description xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                       "rdf:about=\"\">\n"
                       "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li>"
                       "</rdf:Alt></dc:title>\n")
            .arg(xml(information.title));
    if (!information.author.isEmpty())
        packet +=
            QStringLiteral("<dc:creator><rdf:Seq><rdf:li>%1</rdf:li></rdf:Seq></dc:creator>\n")
                .arg(xml(information.author));
    if (!information.subject.isEmpty())
        packet += QStringLiteral("<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">%1"
                                 "</rdf:li></rdf:Alt></dc:description>\n")
                      .arg(xml(information.subject));
    packet += QStringLiteral("</rdf:Description>\n"
                             "<rdf:Description xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" "
                             "rdf:about=\"\" xmp:CreatorTool=\"%1\" xmp:CreateDate=\"%2\" "
                             "xmp:ModifyDate=\"%2\"/>\n"
                             "<rdf:Description xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" "
                             "rdf:about=\"\" pdf:Producer=\"%3\"/>\n"
                             "<rdf:Description xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\" "
                             "rdf:about=\"\" pdfaid:part=\"1\" pdfaid:conformance=\"B\"/>\n"
                             "</rdf:RDF>\n"
                             "</x:xmpmeta>\n"
                             "<?xpacket end='w'?>")
                  .arg(xml(information.creator), Xmp_Date(information.created),
                       xml(information.producer));
    return packet.toUtf8();
}

QByteArray Information_Dictionary(const Pdf_Information &information)
{
    QByteArray dictionary = "<<\n/Title " + Pdf_String(information.title);
    if (!information.author.isEmpty())
        dictionary += "\n/Author " + Pdf_String(information.author);
    if (!information.subject.isEmpty())
        dictionary += "\n/Subject " + Pdf_String(information.subject);
    const QByteArray date = Pdf_Date(information.created);
    dictionary += "\n/Creator " + Pdf_String(information.creator) + "\n/Producer " +
                  Pdf_String(information.producer) + "\n/CreationDate (" + date + ")\n/ModDate (" +
                  date + ")\n>>";
    return dictionary;
}

// Qt's PDF writer names neither author nor subject: its document
// information object is written again, and the cross-reference table
// follows what moved. Returns nothing when the file is not laid out as Qt
// writes it.
QByteArray With_Information(const QByteArray &pdf, const QByteArray &dictionary)
{
    const int start_reference = pdf.lastIndexOf("startxref");
    const int trailer = pdf.lastIndexOf("trailer", start_reference);
    if (start_reference < 0 || trailer < 0)
        return QByteArray();
    static const QRegularExpression info_reference(QStringLiteral("/Info\\s+(\\d+)\\s+0\\s+R"));
    const QRegularExpressionMatch info =
        info_reference.match(QString::fromLatin1(pdf.mid(trailer, start_reference - trailer)));
    static const QRegularExpression table_offset(QStringLiteral("^startxref\\s+(\\d+)"));
    const QRegularExpressionMatch offset_match =
        table_offset.match(QString::fromLatin1(pdf.mid(start_reference, 40)));
    if (!info.hasMatch() || !offset_match.hasMatch())
        return QByteArray();
    const int object = info.captured(1).toInt();
    const int table = offset_match.captured(1).toInt();

    // "xref", then one section "0 count", then entries of 20 bytes each.
    static const QRegularExpression section(QStringLiteral("^xref\\s*\\n0 (\\d+)\\s*\\n"));
    const QRegularExpressionMatch section_match =
        section.match(QString::fromLatin1(pdf.mid(table, 40)));
    if (!section_match.hasMatch())
        return QByteArray();
    const int count = section_match.captured(1).toInt();
    const int entries = table + section_match.capturedLength(0);
    constexpr int entry_size = 20;
    if (object <= 0 || object >= count || entries + count * entry_size > pdf.size())
        return QByteArray();
    const int begin = pdf.mid(entries + object * entry_size, 10).toInt();
    const int end_object = pdf.indexOf("endobj", begin);
    if (begin <= 0 || end_object < 0 || end_object > table ||
        !pdf.mid(begin).startsWith(QByteArray::number(object) + " 0 obj"))
        return QByteArray();
    const int end = end_object + 6;

    const QByteArray replacement =
        QByteArray::number(object) + " 0 obj\n" + dictionary + "\nendobj";
    const int shift = replacement.size() - (end - begin);
    QByteArray result = pdf.left(begin) + replacement + pdf.mid(end, entries - end);
    for (int index = 0; index < count; ++index)
    {
        QByteArray entry = pdf.mid(entries + index * entry_size, entry_size);
        const int offset = entry.left(10).toInt();
        if (entry.at(17) == 'n' && offset > begin)
            entry.replace(0, 10, QByteArray::number(offset + shift).rightJustified(10, '0'));
        result += entry;
    }
    const int after_entries = entries + count * entry_size;
    result += pdf.mid(after_entries, start_reference - after_entries);
    result += "startxref\n" + QByteArray::number(table + shift) + "\n%%EOF\n";
    return result;
}
} // namespace

void Fill_Certificate_Document(QTextDocument *document, const Certificate_Content &content,
                               int plot_width, const QImage &plot_picture)
{
    Build_Certificate(document, content, std::max(1, plot_width), plot_picture, nullptr);
    // In a window the text keeps off the frame; a page has its margins.
    document->setDocumentMargin(6.0 * Units_Per_Point());
}

bool Paint_Certificate(QPagedPaintDevice *device, const Certificate_Content &content,
                       const QImage &plot_picture)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QRectF page(0, 0, device->width(), device->height());
    const qreal unit = device->logicalDpiY() / 72.0;
    const qreal header_height = header_height_points * unit;

    QTextDocument document;
    document.documentLayout()->setPaintDevice(device);
    const QSizeF body(page.width(), page.height() - header_height);
    document.setPageSize(body);
    QVector<Keep_Together> keep;
    Build_Certificate(&document, content, page.width() * plot_width_share, plot_picture, &keep);
    Paginate(&document, keep, body.height());
    const int pages = document.pageCount();

    for (int index = 0; index < pages; ++index)
    {
        if (index > 0)
            device->newPage();
        if (content.draft)
            Paint_Draft_Watermark(&painter, page);
        // Every page carries the title, the number (or the draft mark) and
        // "Page x of y".
        Paint_Page_Header(&painter, content, page, unit, index, pages);

        painter.save();
        painter.translate(0, header_height - index * body.height());
        const QRectF shown(QPointF(0, index * body.height()), body);
        painter.setClipRect(shown);
        // The layout counts in 64ths of a unit, so a page's first line may
        // begin a hair before the page does: what is painted is chosen a
        // unit inside the page, or that line would be painted, cut off and
        // still found by a search, at the foot of the page before.
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown.adjusted(0, 1, 0, -1);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end();
}

QString Write_Certificate_Pdf(const QString &path, const Certificate_Content &content,
                              const QImage &plot_picture)
{
    Pdf_Information information;
    information.title = content.draft ? Tr("%1 (%2)").arg(content.title, Draft_Mark())
                                      : Tr("%1 %2").arg(content.title, content.number);
    information.author = content.laboratory;
    information.subject = content.draft ? Draft_Mark() : content.number;
    information.creator = QStringLiteral("Zentrova Calibrator");
    information.producer = QStringLiteral("Qt " QT_VERSION_STR);
    information.created = QDateTime::currentDateTime();
    information.created = information.created.addMSecs(-information.created.time().msec());

    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        // PDF/A-1b: fonts embedded, no transparency, the metadata as XMP, so
        // that an archive can still read it in decades.
        writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(20, 15, 20, 15), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(information.title);
        writer.setCreator(information.creator);
        writer.setDocumentXmpMetadata(Xmp_Metadata(information));
        if (!Paint_Certificate(&writer, content, plot_picture))
            return Tr("%1 cannot be written: the page could not be drawn")
                .arg(QDir::toNativeSeparators(path));
    }
    const QByteArray complete = With_Information(pdf, Information_Dictionary(information));

    // Written beside the file and put in its place only when whole: a
    // failed save never leaves half a certificate, nor spoils an old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Tr("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    // Should Qt ever lay its file out otherwise, the certificate is still
    // written, with the title alone in its document information.
    const QByteArray &bytes = complete.isEmpty() ? pdf : complete;
    if (file.write(bytes) != bytes.size() || !file.commit())
        return Tr("%1 cannot be written: %2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}
