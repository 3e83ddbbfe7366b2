#include "services/qt_printer.h"

#include "platform/scale_units.h"
#include "qt/qt_fonts.h"
#include "qt/qt_picture.h"
#include "qt/qt_strings.h"
#include "services/cups_scheduler.h"
#include "services/held_input.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>
#include <QTextLayout>

namespace dovrante {

namespace {

using namespace std::chrono_literals;

constexpr double TwipsPerPoint = 20.0;
// The job's resolution: what Qt gives a high-resolution printer on CUPS.
constexpr int JobDpi = 1200;
// Text is laid out this many characters at a time (see printParagraph).
constexpr qsizetype PieceLength = 4096;
// How long the job may be made before the windows are painted and Escape is seen again.
constexpr auto Responsive = 50ms;

// The picture as it goes on paper: a black-and-white job gets grey pixels from us rather than
// trusting every driver to honour the colour mode; transparency lies on white paper.
QImage forPaper(const QImage &image, bool monochrome)
{
    if (!monochrome)
        return image;
    QImage flat = image;
    if (image.hasAlphaChannel()) {
        flat = QImage(image.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    return flat.convertToFormat(QImage::Format_Grayscale8);
}

} // namespace

QtPrinter::QtPrinter(CupsScheduler &scheduler) : m_scheduler(scheduler)
{}

QtPrinter::~QtPrinter()
{
    dropJob();
}

const CupsAnswer *QtPrinter::destination() const
{
    // Asked again while there is none, so that a CUPS started later is found. Everything the job
    // needs to know of the printer comes with the one answer, which is asked away from the
    // window's thread with short timeouts (Qt's own questions wait on a silent scheduler for
    // minutes).
    const CupsAnswer &answer = m_scheduler.answer();
    return answer.defaultName.empty() ? nullptr : &answer;
}

std::string QtPrinter::deviceName() const
{
    const CupsAnswer *printer = destination();
    return printer ? printer->defaultName : std::string();
}

ColourMode QtPrinter::colourMode() const
{
    if (m_colourMode)
        return *m_colourMode;
    // Until the program sets a mode the destination keeps its own default.
    const CupsAnswer *printer = destination();
    return printer && printer->defaultMonochrome ? ColourMode::Monochrome : ColourMode::FullColour;
}

void QtPrinter::setColourMode(ColourMode mode)
{
    m_colourMode = mode;
}

void QtPrinter::setOrientation(Orientation orientation)
{
    m_orientation = orientation;
}

QPageLayout QtPrinter::pageLayout() const
{
    const CupsAnswer *printer = destination();
    // Without a printer, or a paper it names, the arithmetic still needs a page: A4. Without a
    // printer the job then fails when it starts.
    const CupsPaper paper =
        printer && printer->paper ? *printer->paper : CupsPaper{595.0, 842.0, 0, 0, 0, 0};
    const auto orientation =
        m_orientation == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    // The printable area is what the device can reach, not Qt's default 10-point margins.
    const QMarginsF reach(paper.left, paper.top, paper.right, paper.bottom);
    return QPageLayout(QPageSize(QSizeF(paper.width, paper.height), QPageSize::Point), orientation,
                       reach, QPageLayout::Point, reach);
}

double QtPrinter::devicePixelsPerInch() const
{
    return JobDpi;
}

float QtPrinter::scaleWidth() const
{
    return static_cast<float>(pageLayout().paintRect(QPageLayout::Point).width() * TwipsPerPoint);
}

float QtPrinter::scaleHeight() const
{
    return static_cast<float>(pageLayout().paintRect(QPageLayout::Point).height() * TwipsPerPoint);
}

ScaleMode QtPrinter::scaleMode() const
{
    return ScaleMode::Twips;
}

float QtPrinter::scaleX(double value, ScaleMode fromMode, ScaleMode toMode) const
{
    return static_cast<float>(convertLength(value, fromMode, toMode, devicePixelsPerInch()));
}

float QtPrinter::scaleY(double value, ScaleMode fromMode, ScaleMode toMode) const
{
    return static_cast<float>(convertLength(value, fromMode, toMode, devicePixelsPerInch()));
}

void QtPrinter::fail(const std::string &reason)
{
    if (!m_failure)
        m_failure = reason;
}

bool QtPrinter::beginJob()
{
    if (m_painter)
        return true;
    if (m_failure)
        return false;
    const CupsAnswer *printer = destination();
    if (!printer) {
        fail(m_scheduler.noPrinterReason());
        return false;
    }
    m_jobPrinter = printer->defaultName;

    m_jobFile = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/Dovrante-job-XXXXXX.pdf"));
    if (!m_jobFile->open()) {
        fail("the job cannot be written to " + fromQt(QDir::tempPath()) + ": " +
             fromQt(m_jobFile->errorString()));
        return false;
    }
    // Escape while the job is made ends the program; the job file goes with it.
    m_held = std::make_unique<HeldInput>([this] { m_jobFile->remove(); });
    m_sinceEvents.start();
    // A PDF writer, not a QPrinter: a QPrinter asks CUPS itself, on the window's thread.
    // Black and white comes from the picture itself (forPaper) and from the job's CUPS option;
    // a colour document stores a picture as JPEG, several times faster than losslessly.
    m_job = std::make_unique<QPdfWriter>(m_jobFile.get());
    m_job->setResolution(JobDpi);
    m_job->setPageLayout(pageLayout());
    m_job->setTitle(QStringLiteral("Dovrante"));
    m_job->setCreator(QStringLiteral("Dovrante"));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_job.get())) {
        m_painter.reset();
        fail("the job could not be started");
        return false;
    }
    return true;
}

void QtPrinter::paintPicture(const Picture &picture, double left, double top, double width,
                             double height)
{
    const QImage *image = imageOf(&picture);
    if (!image || image->isNull()) {
        fail("there is no picture to print");
        return;
    }
    if (!beginJob())
        return;
    // The scale is twips; the painter works in the device's dots.
    const double dots = m_job->resolution() / 1440.0;
    m_painter->drawImage(QRectF(left * dots, top * dots, width * dots, height * dots),
                         forPaper(*image, monochrome()));
}

void QtPrinter::setFont(const FontSpec &font)
{
    m_font = toQFont(font);
}

void QtPrinter::printText(const std::string &text)
{
    // Even an empty text makes a (blank) page.
    if (!beginJob())
        return;

    const QFont font(m_font, m_job.get());
    QTextOption option;
    // A line wider than the page wraps, at a word boundary where there is one.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(font, m_job.get()).horizontalAdvance(QLatin1Char(' ')) *
                              8);

    const QString all = toQt(text);
    const QStringView whole(all);
    double y = 0;
    // Each line break ends a paragraph; a closing one starts no paragraph of its own.
    for (qsizetype start = 0; start < whole.size() || start == 0;) {
        qsizetype end = start;
        while (end < whole.size() && whole[end] != u'\r' && whole[end] != u'\n')
            ++end;
        if (!printParagraph(whole.sliced(start, end - start), font, option, y))
            return;
        if (end < whole.size() && whole[end] == u'\r' && end + 1 < whole.size() &&
            whole[end + 1] == u'\n')
            ++end;
        start = end + 1;
        if (start == whole.size())
            break;
    }
}

bool QtPrinter::printParagraph(QStringView paragraph, const QFont &font, const QTextOption &option,
                               double &y)
{
    const QRect page = m_job->pageLayout().paintRectPixels(m_job->resolution());
    // For each line Qt looks for a word boundary as far as the end of the paragraph, so a long
    // line without spaces would take time in the square of its length. It is laid out a piece at
    // a time instead; the last line of a piece may go on in the next one, so it is laid out again
    // there.
    qsizetype start = 0;
    for (;;) {
        qsizetype length = std::min(PieceLength, paragraph.size() - start);
        const bool lastPiece = start + length == paragraph.size();
        if (!lastPiece && paragraph[start + length - 1].isHighSurrogate())
            --length;
        QTextLayout layout(paragraph.sliced(start, length).toString(), font, m_job.get());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(page.width());
            line.setPosition(QPointF(0, 0));
        }
        layout.endLayout();
        const int lines =
            lastPiece || layout.lineCount() < 2 ? layout.lineCount() : layout.lineCount() - 1;
        for (int i = 0; i < lines; ++i) {
            const QTextLine line = layout.lineAt(i);
            // Text longer than a page goes on over as many pages as it needs.
            if (y > 0 && y + line.height() > page.height()) {
                if (!m_job->newPage()) {
                    fail("the printer could not start a new page");
                    return false;
                }
                y = 0;
            }
            line.draw(m_painter.get(), QPointF(0, y));
            y += line.height();
        }
        if (m_sinceEvents.hasExpired(Responsive.count())) {
            m_held->handlePending();
            m_sinceEvents.restart();
        }
        if (lastPiece)
            return true;
        const QTextLine last = layout.lineAt(lines - 1);
        start += std::max(1, last.textStart() + last.textLength());
    }
}

MaybeFailure QtPrinter::handOver()
{
    const std::optional<std::string> refused =
        m_scheduler.printFile(m_jobPrinter, fromQt(m_jobFile->fileName()), monochrome());
    if (refused)
        return Failure{*refused};
    return std::nullopt;
}

MaybeFailure QtPrinter::endDoc()
{
    if (m_painter) {
        if (!m_painter->end())
            fail("the job could not be finished");
        else if (!m_jobFile->flush())
            fail("the job cannot be written to " + fromQt(m_jobFile->fileName()) + ": " +
                 fromQt(m_jobFile->errorString()));
    }
    MaybeFailure result;
    if (m_failure)
        result = Failure{*m_failure};
    else if (m_job)
        result = handOver();
    // Whatever came of it, the next document starts afresh.
    dropJob();
    return result;
}

void QtPrinter::dropJob()
{
    m_painter.reset();
    m_job.reset();
    m_held.reset();
    m_jobFile.reset();
    m_jobPrinter.clear();
    m_failure.reset();
}

} // namespace dovrante
