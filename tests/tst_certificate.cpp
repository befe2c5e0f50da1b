#include "certificate.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <cmath>

// The certificate on paper, read back as a reader, an archive and a search
// engine read it: its text (pdftotext), its document information (pdfinfo),
// its fonts (pdffonts) and its pictures (pdfimages).
class TestCertificate : public QObject
{
    Q_OBJECT

private slots:
    void sections_read_back_data();
    void sections_read_back();
    void every_page_is_headed_data();
    void every_page_is_headed();
    void table_headers_repeat_data();
    void table_headers_repeat();
    void no_heading_alone_at_a_page_foot_data();
    void no_heading_alone_at_a_page_foot();
    void draft_against_issued_data();
    void draft_against_issued();
    void pdf_a_and_document_information_data();
    void pdf_a_and_document_information();
    void plot_drawn_as_vectors_data();
    void plot_drawn_as_vectors();
    void no_text_below_seven_points_data();
    void no_text_below_seven_points();
    void legend_lists_only_what_is_drawn_data();
    void legend_lists_only_what_is_drawn();
    void window_document_data();
    void window_document();

private:
    QString Write(const Certificate_Content &content, const QImage &picture = QImage());

    QTemporaryDir d_folder;
    int d_written = 0;
};

namespace
{
const QString draft_mark = QStringLiteral("DRAFT - not a certificate");
const QString number = QStringLiteral("KX-0042-20261207-3");
const QString found_heading = QStringLiteral("Results as found, before adjustment");
const QString plot_heading = QStringLiteral("Errors against the actual temperature");
const QString axis_title = QStringLiteral("Actual temperature (\u00B0C)");
const QStringList found_header{QStringLiteral("Nominal (\u00B0C)"),
                               QStringLiteral("Actual (\u00B0C)"),
                               QStringLiteral("Reading (\u00B0C)"),
                               QStringLiteral("Error (\u00B0C)"), QStringLiteral("Verdict")};
// Letters that a font would join into ligatures, and signs beyond ASCII:
// each must read back exactly as written.
const QString hard_words = QStringLiteral(
    "The official certificate affirms the fluid bath\u2019s efficiency: \u00B10.1 \u00B0C, "
    "2\u221A3, |error| \u2264 tolerance, M\u00FCller & S\u00F6hne <Nord>.");

struct Process_Result
{
    int exit_code = -1;
    QString out;
    QString error;
};

Process_Result Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    Process_Result result;
    if (!process.waitForFinished(30000))
        return result;
    result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.error = QString::fromUtf8(process.readAllStandardError());
    return result;
}

// pdfinfo's "Key: value" lines.
QMap<QString, QString> Information(const QString &path)
{
    QMap<QString, QString> values;
    for (const QString &line : Run("pdfinfo", {path}).out.split('\n'))
    {
        const int colon = line.indexOf(':');
        if (colon > 0)
            values.insert(line.left(colon), line.mid(colon + 1).trimmed());
    }
    return values;
}

int Page_Count(const QString &path)
{
    return Information(path).value("Pages").toInt();
}

// The text as laid out, every page.
QString Page_Text(const QString &path)
{
    return Run("pdftotext", {"-layout", path, "-"}).out;
}

// Each page's text as laid out, page 1 first.
QStringList Page_Texts(const QString &path)
{
    QStringList pages = Page_Text(path).split(QLatin1Char('\f'));
    // pdftotext ends every page with a form feed, the last one too.
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The text with every run of white space as one space, so that a
// paragraph's wrapped lines and a table's columns read as sentences and cells.
QString Flat_Text(const QString &path)
{
    return Run("pdftotext", {path, "-"}).out.simplified();
}

struct Word
{
    int page;
    QRectF box;
    QString text;
};

// Every word with its box, in points from the page's top left.
QList<Word> Words(const QString &path)
{
    QList<Word> words;
    static const QRegularExpression page_start(QStringLiteral("<page "));
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">(.*)</word>"));
    int page = 0;
    for (const QString &line : Run("pdftotext", {"-bbox", path, "-"}).out.split('\n'))
    {
        if (page_start.match(line).hasMatch())
            ++page;
        const QRegularExpressionMatch match = word.match(line);
        if (match.hasMatch())
            words << Word{
                page,
                QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                       QPointF(match.captured(3).toDouble(), match.captured(4).toDouble())),
                match.captured(5)};
    }
    return words;
}

Plot_Data Plot_Of(int samples, bool predicted, bool left, bool tolerance)
{
    Plot_Data plot;
    for (int index = 0; index < samples; ++index)
    {
        const double actual = 10.0 + index * 0.5;
        plot.found << QPointF(actual, 0.2 - 0.003 * index);
        if (predicted)
            plot.predicted << QPointF(actual, 0.01 * std::sin(index));
    }
    if (samples >= 2)
        plot.fit << plot.found.first() << plot.found.last();
    if (left)
        plot.left << QPointF(15.0, 0.02) << QPointF(25.0, -0.03);
    plot.has_tolerance = tolerance;
    plot.tolerance = 0.1;
    return plot;
}

// A whole certificate of the laboratory's kind, made by hand: samples rows
// as found, each with an actual temperature of its own (10.125, 10.625, ...).
Certificate_Content Sample(int samples, bool draft = false)
{
    Certificate_Content content;
    content.title = QStringLiteral("Calibration Certificate");
    content.number = draft ? QString() : number;
    content.draft = draft;
    content.laboratory = QStringLiteral("Kalibrierlabor Nord");

    Certificate_Section laboratory;
    laboratory.heading = QStringLiteral("Laboratory");
    laboratory.before << QStringLiteral("Kalibrierlabor Nord, Hafenstrasse 12, 20457 Hamburg")
                      << QStringLiteral("Accredited by DAkkS under D-K-15042-01-00.");
    content.sections << laboratory;

    Certificate_Section item;
    item.heading = QStringLiteral("Item calibrated");
    item.table.header = QStringList{"Field", "Value", "Field", "Value"};
    item.table.rows << QStringList{"Description", "hand-held thermometer", "Serial number",
                                   "KX-0042"}
                    << QStringList{"Maker", "Zentrova", "Model", "KX310"};
    content.sections << item;

    Certificate_Section found;
    found.heading = found_heading;
    found.before << QStringLiteral("Errors are readings minus actual temperatures.");
    found.table.header = found_header;
    for (int index = 0; index < samples; ++index)
    {
        const double actual = 10.125 + index * 0.5;
        const double error = 0.2 - 0.003 * index;
        found.table.rows << QStringList{
            QString::number(qRound(actual)), QString::number(actual, 'f', 3),
            QString::number(actual + error, 'f', 3), QString::number(error, 'f', 3),
            error <= 0.1 ? "Pass" : "Fail"};
    }
    content.sections << found;

    Certificate_Section plot;
    plot.heading = plot_heading;
    plot.plot = true;
    plot.after << QStringLiteral("Hollow triangles are predicted, not measured.");
    content.sections << plot;
    content.plot = Plot_Of(samples, true, true, true);

    Certificate_Section uncertainty;
    uncertainty.heading = QStringLiteral("Measurement uncertainty");
    uncertainty.before << QStringLiteral(
        "The expanded uncertainty U = 0.087 \u00B0C (k = 2, about 95 %) has these components:");
    uncertainty.table.header =
        QStringList{"Component", "Value (\u00B0C)", "Divisor", "Standard uncertainty (\u00B0C)"};
    uncertainty.table.rows << QStringList{"Reference thermometer", "0.020", "2", "0.010"}
                           << QStringList{"Repeatability of the fit", "0.021", "1", "0.021"}
                           << QStringList{"Resolution", "0.1", "2\u221A3", "0.029"};
    uncertainty.after << hard_words;
    content.sections << uncertainty;

    Certificate_Section approval;
    approval.heading = QStringLiteral("Approval");
    approval.before << QStringLiteral("Approved by: B. Official, Head of the laboratory");
    content.sections << approval;
    content.closing = draft ? QStringLiteral("End of draft")
                            : QStringLiteral("End of certificate %1").arg(number);
    return content;
}

// The text that each section's heading is kept with on its page.
QString Follower_Of(const Certificate_Section &section)
{
    if (!section.table.rows.isEmpty())
        return section.table.rows.first().value(1);
    if (section.plot)
        return axis_title;
    if (!section.before.isEmpty())
        return section.before.first();
    return section.after.value(0);
}

// Nothing runs into a page's margins, above or below: no line is cut at a
// page's foot, and none is painted, unseen, on the page before its own,
// where a search would still find it.
bool Within_Margins(const QString &path)
{
    const qreal height = 842.0; // A4, in points
    const qreal margin = 15.0 / 25.4 * 72.0;
    for (const Word &word : Words(path))
        if (word.box.top() < margin - 0.5 || word.box.bottom() > height - margin + 0.5)
        {
            qWarning("\"%s\" on page %d from %.1f to %.1f pt", qPrintable(word.text), word.page,
                     word.box.top(), word.box.bottom());
            return false;
        }
    return true;
}

// Pixels of a page near the draft mark's pale red, at 30 dots per inch.
int Mark_Pixels(const QString &path, int page, const QString &folder)
{
    const QString prefix = folder + QStringLiteral("/mark");
    Run("pdftoppm", {"-r", "30", "-png", "-singlefile", "-f", QString::number(page), "-l",
                     QString::number(page), path, prefix});
    const QImage image(prefix + QStringLiteral(".png"));
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
        {
            const QColor colour = image.pixelColor(x, y);
            if (colour.red() > 225 && colour.green() < 228 && colour.red() - colour.green() > 18 &&
                std::abs(colour.green() - colour.blue()) < 14)
                ++count;
        }
    return count;
}

// The picture of the plot that an earlier version kept, or none.
QImage Earlier_Picture(bool kept)
{
    if (!kept)
        return QImage();
    QImage picture(400, 230, QImage::Format_RGB32);
    picture.fill(Qt::yellow);
    return picture;
}

} // namespace

QString TestCertificate::Write(const Certificate_Content &content, const QImage &picture)
{
    const QString path = d_folder.filePath(QStringLiteral("certificate-%1.pdf").arg(++d_written));
    const QString failure = Write_Certificate_Pdf(path, content, picture);
    return failure.isEmpty() ? path : QString();
}

void TestCertificate::sections_read_back_data()
{
    QTest::addColumn<int>("samples");
    QTest::newRow("3 samples, one page") << 3;
    QTest::newRow("45 samples, over pages") << 45;
}

void TestCertificate::sections_read_back()
{
    QFETCH(int, samples);
    const Certificate_Content content = Sample(samples);
    const QString path = Write(content);
    QVERIFY(!path.isEmpty());
    const QString text = Flat_Text(path);

    QStringList expected{content.title, content.number, content.laboratory, content.closing};
    for (const Certificate_Section &section : content.sections)
    {
        expected << section.heading << section.before << section.after << section.table.header;
        for (const QStringList &row : section.table.rows)
            expected << row;
    }
    for (const QString &words : expected)
        QVERIFY2(text.contains(words.simplified()), qPrintable(words + " missing from:\n" + text));

    // Each row exactly once: none lost at a page's foot, none repeated
    // (not even unseen, where a search would find it twice).
    const QString all = Page_Text(path);
    for (const QStringList &row : content.sections.at(2).table.rows)
        QCOMPARE(
            all.count(QRegularExpression("\\s" + QRegularExpression::escape(row.at(1)) + "\\s")),
            1);
}

void TestCertificate::every_page_is_headed_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("least_pages");
    QTest::newRow("3 samples") << 3 << 1;
    QTest::newRow("45 samples") << 45 << 2;
    QTest::newRow("200 samples") << 200 << 5;
}

void TestCertificate::every_page_is_headed()
{
    QFETCH(int, samples);
    QFETCH(int, least_pages);
    const Certificate_Content content = Sample(samples);
    const QString path = Write(content);
    const QStringList texts = Page_Texts(path);
    const int pages = Page_Count(path);
    QCOMPARE(texts.size(), pages);
    QVERIFY2(pages >= least_pages, qPrintable(QString::number(pages)));
    for (int page = 1; page <= pages; ++page)
    {
        const QString &text = texts.at(page - 1);
        for (const QString &words : {content.title, content.number, content.laboratory,
                                     QStringLiteral("Page %1 of %2").arg(page).arg(pages)})
            QVERIFY2(text.contains(words),
                     qPrintable(QString("page %1 lacks %2:\n%3").arg(page).arg(words, text)));
    }
    QVERIFY(Within_Margins(path));
}

void TestCertificate::table_headers_repeat_data()
{
    QTest::addColumn<int>("samples");
    QTest::newRow("40 samples") << 40;
    QTest::newRow("45 samples") << 45;
    QTest::newRow("80 samples") << 80;
    QTest::newRow("150 samples") << 150;
}

void TestCertificate::table_headers_repeat()
{
    QFETCH(int, samples);
    const Certificate_Content content = Sample(samples);
    const QString path = Write(content);
    const QStringList texts = Page_Texts(path);
    QCOMPARE(texts.size(), Page_Count(path));
    int pages_with_rows = 0;
    for (int page = 1; page <= texts.size(); ++page)
    {
        const QString &text = texts.at(page - 1);
        bool rows_here = false;
        for (const QStringList &row : content.sections.at(2).table.rows)
            rows_here = rows_here || text.contains(" " + row.at(1) + " ");
        if (!rows_here)
            continue;
        ++pages_with_rows;
        for (const QString &caption : found_header)
            QVERIFY2(text.contains(caption),
                     qPrintable(QString("page %1 lacks %2:\n%3").arg(page).arg(caption, text)));
    }
    QVERIFY2(pages_with_rows >= 2, qPrintable(QString::number(pages_with_rows)));
}

void TestCertificate::no_heading_alone_at_a_page_foot_data()
{
    // Lengths from one page to three, so that each heading meets a page's
    // foot somewhere; and those where a table ends right at a page's foot,
    // which the layout gets wrong unless helped.
    QTest::addColumn<int>("samples");
    for (int samples = 14; samples <= 110; samples += 6)
        QTest::addRow("%d samples", samples) << samples;
    for (int samples : {37, 59, 60, 108})
        QTest::addRow("%d samples, a table ending at a page's foot", samples) << samples;
}

void TestCertificate::no_heading_alone_at_a_page_foot()
{
    QFETCH(int, samples);
    const Certificate_Content content = Sample(samples);
    const QString path = Write(content);
    const QStringList page_texts = Page_Texts(path);
    const int pages = page_texts.size();
    QCOMPARE(pages, Page_Count(path));
    for (const Certificate_Section &section : content.sections)
    {
        int heading_page = -1;
        for (int page = 0; page < pages; ++page)
            if (page_texts.at(page).contains(section.heading))
                heading_page = page;
        QVERIFY2(heading_page >= 0, qPrintable(section.heading));
        const QString follower = Follower_Of(section);
        QVERIFY2(page_texts.at(heading_page).contains(follower),
                 qPrintable(QString("\"%1\" on page %2 without \"%3\":\n%4")
                                .arg(section.heading)
                                .arg(heading_page + 1)
                                .arg(follower, page_texts.at(heading_page))));
    }
    QVERIFY(Within_Margins(path));
}

void TestCertificate::draft_against_issued_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("draft");
    QTest::addColumn<QString>("given_number");
    QTest::newRow("issued") << 3 << false << number;
    QTest::newRow("issued, over pages") << 60 << false << number;
    QTest::newRow("draft") << 3 << true << QString();
    QTest::newRow("draft, over pages") << 60 << true << QString();
    // A number handed to a draft by mistake is still not printed.
    QTest::newRow("draft given a number") << 3 << true << number;
}

void TestCertificate::draft_against_issued()
{
    QFETCH(int, samples);
    QFETCH(bool, draft);
    QFETCH(QString, given_number);
    Certificate_Content content = Sample(samples, draft);
    content.number = given_number;
    const QString path = Write(content);
    const QStringList texts = Page_Texts(path);
    const int pages = texts.size();
    QCOMPARE(pages, Page_Count(path));
    for (int page = 1; page <= pages; ++page)
    {
        const QString &text = texts.at(page - 1);
        QCOMPARE(text.contains(draft_mark), draft);
        QCOMPARE(text.contains(number), !draft);
        // Across the page, not only in its header.
        const int mark = Mark_Pixels(path, page, d_folder.path());
        QVERIFY2(draft ? mark > 400 : mark < 40,
                 qPrintable(QString("page %1: %2 pixels of the mark").arg(page).arg(mark)));
    }
    const QMap<QString, QString> information = Information(path);
    QCOMPARE(information.value("Subject"), draft ? draft_mark : number);
    QCOMPARE(information.value("Title").contains(number), !draft);
    QCOMPARE(information.value("Title").contains(draft_mark), draft);
}

void TestCertificate::pdf_a_and_document_information_data()
{
    QTest::addColumn<QString>("laboratory");
    QTest::addColumn<QString>("xmp_author"); // as the XMP packet holds it
    QTest::newRow("plain") << "Kalibrierlabor Nord"
                           << "<rdf:li>Kalibrierlabor Nord</rdf:li>";
    QTest::newRow("letters beyond ASCII and markup")
        << QString::fromUtf8("Laboratoire M\u00FCller & Fils <\u00C9talonnage>")
        << QString::fromUtf8("<rdf:li>Laboratoire M\u00FCller &amp; Fils &lt;\u00C9talonnage&gt;"
                             "</rdf:li>");
    QTest::newRow("no laboratory named") << QString() << QString();
}

void TestCertificate::pdf_a_and_document_information()
{
    QFETCH(QString, laboratory);
    QFETCH(QString, xmp_author);
    Certificate_Content content = Sample(20);
    content.laboratory = laboratory;
    const QString path = Write(content);

    // Read without a complaint: the cross-references still point right.
    const Process_Result info = Run("pdfinfo", {path});
    QCOMPARE(info.exit_code, 0);
    QVERIFY2(info.error.isEmpty(), qPrintable(info.error));
    const QMap<QString, QString> information = Information(path);
    QCOMPARE(information.value("Title"), content.title + " " + number);
    QCOMPARE(information.value("Author"), laboratory);
    QCOMPARE(information.value("Subject"), number);
    QCOMPARE(information.value("Creator"), QStringLiteral("Zentrova Calibrator"));
    QCOMPARE(information.value("PDF version"), QStringLiteral("1.4"));

    const QString metadata = Run("pdfinfo", {"-meta", path}).out;
    QVERIFY2(metadata.contains("pdfaid:part=\"1\"") &&
                 metadata.contains("pdfaid:conformance=\"B\""),
             qPrintable(metadata));
    QVERIFY(metadata.contains(number));
    if (xmp_author.isEmpty())
        QVERIFY(!metadata.contains("dc:creator"));
    else
        QVERIFY2(metadata.contains(xmp_author), qPrintable(metadata));

    // PDF/A-1 names the colours' meaning once, for the whole file.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("/OutputIntents") && bytes.contains("/GTS_PDFA1"));

    // Every font embedded, so that the page reads the same on any machine.
    const QStringList fonts = Run("pdffonts", {path}).out.split('\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY(!fonts.isEmpty());
    for (const QString &font : fonts)
    {
        const QStringList columns = font.split(' ', Qt::SkipEmptyParts);
        // name, type (one or two words), encoding, emb, sub, uni, object, generation
        QVERIFY2(columns.size() >= 7 && columns.at(columns.size() - 5) == "yes", qPrintable(font));
    }
}

void TestCertificate::plot_drawn_as_vectors_data()
{
    QTest::addColumn<bool>("numbers");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<int>("images");
    QTest::newRow("the plot's numbers") << true << false << 0;
    QTest::newRow("numbers, and a picture from an earlier version") << true << true << 0;
    // Only where no numbers were kept is the earlier picture printed.
    QTest::newRow("a picture from an earlier version only") << false << true << 1;
}

void TestCertificate::plot_drawn_as_vectors()
{
    QFETCH(bool, numbers);
    QFETCH(bool, picture);
    QFETCH(int, images);
    Certificate_Content content = Sample(10);
    if (!numbers)
        content.plot = Plot_Data();
    const QImage old_plot = Earlier_Picture(picture);
    const QString path = Write(content, old_plot);
    const QStringList lines = Run("pdfimages", {"-list", path}).out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size() - 2, images); // below the two header lines
    const QString text = Flat_Text(path);
    QCOMPARE(text.contains(axis_title), numbers);
    QCOMPARE(text.contains(QStringLiteral("Tolerance band")), numbers);
}

void TestCertificate::no_text_below_seven_points_data()
{
    QTest::addColumn<int>("samples");
    QTest::newRow("3 samples") << 3;
    QTest::newRow("45 samples") << 45;
}

void TestCertificate::no_text_below_seven_points()
{
    QFETCH(int, samples);
    const QString path = Write(Sample(samples));
    const QList<Word> words = Words(path);
    QVERIFY(words.size() > 50);
    // A word's box is its font's ascent and descent: 1.164 of the size in
    // DejaVu Sans, the certificate's font.
    constexpr double box_per_point = 1.164;
    int tick_labels = 0;
    for (const Word &word : words)
    {
        QVERIFY2(
            word.box.height() / box_per_point >= 7.0,
            qPrintable(
                QString("\"%1\" at %2 pt").arg(word.text).arg(word.box.height() / box_per_point)));
        bool number_read = false;
        word.text.toDouble(&number_read);
        tick_labels += number_read ? 1 : 0;
    }
    QVERIFY(tick_labels > 10);
}

void TestCertificate::legend_lists_only_what_is_drawn_data()
{
    QTest::addColumn<bool>("predicted");
    QTest::addColumn<bool>("left");
    QTest::addColumn<bool>("tolerance");
    QTest::newRow("everything") << true << true << true;
    QTest::newRow("as found, no tolerance") << false << false << false;
    QTest::newRow("predicted, not measured") << true << false << true;
    QTest::newRow("measured, nothing predicted") << false << true << false;
}

void TestCertificate::legend_lists_only_what_is_drawn()
{
    QFETCH(bool, predicted);
    QFETCH(bool, left);
    QFETCH(bool, tolerance);
    Certificate_Content content;
    content.title = QStringLiteral("Calibration Certificate");
    content.number = number;
    Certificate_Section plot;
    plot.heading = plot_heading;
    plot.plot = true;
    content.sections << plot;
    content.plot = Plot_Of(5, predicted, left, tolerance);
    const QString text = Flat_Text(Write(content));
    QVERIFY(text.contains("As found"));
    QVERIFY(text.contains("As-found fitted line"));
    QCOMPARE(text.contains("Predicted as left (not measured)"), predicted);
    QCOMPARE(text.contains("Measured as left"), left);
    QCOMPARE(text.contains("Tolerance band"), tolerance);
}

void TestCertificate::window_document_data()
{
    QTest::addColumn<bool>("numbers");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<bool>("plot_object"); // drawn from the numbers
    QTest::addColumn<bool>("image");
    QTest::newRow("numbers") << true << false << true << false;
    QTest::newRow("an earlier version's picture") << false << true << false << true;
    QTest::newRow("neither: no plot") << false << false << false << false;
}

void TestCertificate::window_document()
{
    QFETCH(bool, numbers);
    QFETCH(bool, picture);
    QFETCH(bool, plot_object);
    QFETCH(bool, image);
    Certificate_Content content = Sample(4);
    if (!numbers)
        content.plot = Plot_Data();
    const QImage old_plot = Earlier_Picture(picture);
    QTextDocument document;
    Fill_Certificate_Document(&document, content, 560, old_plot);
    const QString text = document.toPlainText();
    for (const Certificate_Section &section : content.sections)
        QVERIFY2(text.contains(section.heading), qPrintable(section.heading));
    QVERIFY(text.contains(content.closing));
    QCOMPARE(text.contains(QChar::ObjectReplacementCharacter), plot_object || image);
    QCOMPARE(document.toHtml().contains("<img"), image);
    // Nothing wider than the window's text: no horizontal scroll bar for nothing.
    document.setTextWidth(744);
    QVERIFY2(document.size().width() <= 744, qPrintable(QString::number(document.size().width())));
    // Filled again, as a window that shows another calibration does.
    Fill_Certificate_Document(&document, Sample(2), 560, QImage());
    QVERIFY(!document.toPlainText().contains(content.sections.at(2).table.rows.at(3).at(1)));
}

QTEST_MAIN(TestCertificate)
#include "tst_certificate.moc"
