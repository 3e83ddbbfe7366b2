#include "platform/qt/qt_printer.h"

#include "platform/qt/cups_scheduler.h"
#include "platform/scale_units.h"
#include "qt/qt_fonts.h"
#include "qt/qt_picture.h"
#include "qt/qt_strings.h"

#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTextLayout>

namespace dovrante {

namespace {

constexpr double TwipsPerPoint = 20.0;
// The resolution assumed for pixel lengths while CUPS names no printer.
constexpr double FallbackDpi = 1200.0;

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

QPrinter *QtPrinter::destination() const
{
    // Looked for again while there is none, so that a CUPS started later is found.
    // CUPS is asked through the scheduler first, with short timeouts: Qt's own questions wait on
    // a scheduler that does not answer for minutes.
    if (!m_destination) {
        const std::string name = m_scheduler.answer().defaultName;
        if (name.empty())
            return nullptr;
        const QPrinterInfo info = QPrinterInfo::printerInfo(toQt(name));
        if (!info.isNull())
            m_destination = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    return m_destination.get();
}

std::string QtPrinter::deviceName() const
{
    const QPrinter *printer = destination();
    return printer ? fromQt(printer->printerName()) : std::string();
}

int QtPrinter::colourMode() const
{
    if (m_colourMode)
        return *m_colourMode;
    // Until the program sets a mode the destination keeps its own default.
    const QPrinter *printer = destination();
    return printer && printer->colorMode() == QPrinter::GrayScale ? PrinterValue::Monochrome
                                                                  : PrinterValue::Colour;
}

void QtPrinter::setColourMode(int mode)
{
    m_colourMode =
        mode == PrinterValue::Monochrome ? PrinterValue::Monochrome : PrinterValue::Colour;
}

void QtPrinter::setOrientation(int orientation)
{
    m_orientation =
        orientation == PrinterValue::Landscape ? PrinterValue::Landscape : PrinterValue::Portrait;
}

QPageLayout QtPrinter::pageLayout() const
{
    const QPrinter *printer = destination();
    // Without a printer the arithmetic still needs a page; the job then fails when it starts.
    QPageLayout layout =
        printer ? printer->pageLayout()
                : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
    layout.setOrientation(m_orientation == PrinterValue::Landscape ? QPageLayout::Landscape
                                                                   : QPageLayout::Portrait);
    // The printable area is what the device can reach, not Qt's default 10-point margins.
    layout.setMargins(layout.minimumMargins());
    return layout;
}

double QtPrinter::devicePixelsPerInch() const
{
    const QPrinter *printer = destination();
    return printer ? printer->resolution() : FallbackDpi;
}

float QtPrinter::scaleWidth() const
{
    return static_cast<float>(pageLayout().paintRect(QPageLayout::Point).width() * TwipsPerPoint);
}

float QtPrinter::scaleHeight() const
{
    return static_cast<float>(pageLayout().paintRect(QPageLayout::Point).height() * TwipsPerPoint);
}

int QtPrinter::scaleMode() const
{
    return ScaleMode::Twips;
}

float QtPrinter::scaleX(double value, int fromMode, int toMode) const
{
    return static_cast<float>(convertLength(value, fromMode, toMode, devicePixelsPerInch()));
}

float QtPrinter::scaleY(double value, int fromMode, int toMode) const
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
    const QPrinter *printer = destination();
    if (!printer) {
        fail(m_scheduler.noPrinterReason());
        return false;
    }

    m_jobFile = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/Dovrante-job-XXXXXX.pdf"));
    if (!m_jobFile->open()) {
        fail("the job cannot be written to " + fromQt(QDir::tempPath()) + ": " +
             fromQt(m_jobFile->errorString()));
        return false;
    }
    m_job = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_job->setOutputFormat(QPrinter::PdfFormat);
    m_job->setOutputFileName(m_jobFile->fileName());
    m_job->setResolution(printer->resolution());
    m_job->setPageLayout(pageLayout());
    // Black and white comes from the picture itself (forPaper) and from the job's CUPS option.
    // Qt's own grey mode would store a picture losslessly, several times slower than the JPEG it
    // writes in colour mode (0.5 s against 0.1 s for a 4K photograph); text is black anyway.
    m_job->setColorMode(QPrinter::Color);
    m_job->setDocName(QStringLiteral("Dovrante"));
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

    const QRect page = m_job->pageLayout().paintRectPixels(m_job->resolution());
    const QFont font(m_font, m_job.get());
    QTextOption option;
    // A line wider than the page wraps, at a word boundary where there is one.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(QFontMetricsF(font, m_job.get()).horizontalAdvance(QLatin1Char(' ')) *
                              8);

    QStringList paragraphs = toQt(text).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    // A closing line break ends the last line; it starts no line of its own.
    if (paragraphs.size() > 1 && paragraphs.last().isEmpty())
        paragraphs.removeLast();

    double y = 0;
    for (const QString &paragraph : std::as_const(paragraphs)) {
        QTextLayout layout(paragraph, font, m_job.get());
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(page.width());
            line.setPosition(QPointF(0, 0));
        }
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine line = layout.lineAt(i);
            // Text longer than a page goes on over as many pages as it needs.
            if (y > 0 && y + line.height() > page.height()) {
                if (!m_job->newPage()) {
                    fail("the printer could not start a new page");
                    return;
                }
                y = 0;
            }
            line.draw(m_painter.get(), QPointF(0, y));
            y += line.height();
        }
    }
}

MaybeFailure QtPrinter::handOver()
{
    const QPrinter *printer = destination();
    if (!printer)
        return Failure{m_scheduler.noPrinterReason()};
    const std::optional<std::string> refused = m_scheduler.printFile(
        fromQt(printer->printerName()), fromQt(m_jobFile->fileName()), monochrome());
    if (refused)
        return Failure{*refused};
    return std::nullopt;
}

MaybeFailure QtPrinter::endDoc()
{
    if (m_painter) {
        const bool finished = m_painter->end();
        const QPrinter::PrinterState state = m_job->printerState();
        if (!finished || state == QPrinter::Error || state == QPrinter::Aborted)
            fail("the job could not be finished");
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
    m_jobFile.reset();
    m_failure.reset();
}

} // namespace dovrante
