#pragma once

#include "platform/printer.h"

#include <QElapsedTimer>
#include <QFont>
#include <QPageLayout>
#include <QStringView>

#include <memory>
#include <optional>

class QPainter;
class QPdfWriter;
class QTemporaryFile;
class QTextOption;

namespace dovrante {

class CupsScheduler;
class HeldInput;
struct CupsAnswer;

// The CUPS default destination, held for the whole run. CUPS is asked about it on first real use
// so that start-up does not wait for CUPS; a colour mode set before then is the job's mode all the
// same. A job is drawn into a PDF file and handed to CUPS by libcups, which says whether CUPS took
// it (Qt's own CUPS engine drops that answer).
class QtPrinter final : public Printer {
public:
    explicit QtPrinter(CupsScheduler &scheduler);
    ~QtPrinter() override;

    std::string deviceName() const override;
    ColourMode colourMode() const override;
    void setColourMode(ColourMode mode) override;
    void setOrientation(Orientation orientation) override;
    float scaleWidth() const override;
    float scaleHeight() const override;
    ScaleMode scaleMode() const override;
    float scaleX(double value, ScaleMode fromMode, ScaleMode toMode) const override;
    float scaleY(double value, ScaleMode fromMode, ScaleMode toMode) const override;
    void paintPicture(const Picture &picture, double left, double top, double width,
                      double height) override;
    void setFont(const FontSpec &font) override;
    void printText(const std::string &text) override;
    MaybeFailure endDoc() override;

private:
    // CUPS's answer when it names a default destination; null while it names none.
    const CupsAnswer *destination() const;
    // The destination's page in the current orientation.
    QPageLayout pageLayout() const;
    double devicePixelsPerInch() const;
    bool monochrome() const { return colourMode() == ColourMode::Monochrome; }
    // Starts the job's document on first drawing; false (with the reason kept) when it cannot.
    bool beginJob();
    // Keeps the first failure of a job for endDoc to report.
    void fail(const std::string &reason);
    // Prints one paragraph from y down, onto further pages as it needs; false when it failed.
    bool printParagraph(QStringView paragraph, const QFont &font, const QTextOption &option,
                        double &y);
    MaybeFailure handOver();
    void dropJob();

    CupsScheduler &m_scheduler;
    std::optional<ColourMode> m_colourMode;
    Orientation m_orientation = Orientation::Portrait;
    QFont m_font;

    std::unique_ptr<QTemporaryFile> m_jobFile;
    std::string m_jobPrinter;
    std::unique_ptr<HeldInput> m_held;
    QElapsedTimer m_sinceEvents;
    std::unique_ptr<QPdfWriter> m_job;
    std::unique_ptr<QPainter> m_painter;
    std::optional<std::string> m_failure;
};

} // namespace dovrante
