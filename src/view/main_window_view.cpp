#include "view/main_window_view.h"

#include "app/form1.h"
#include "platform/qt/qt_fonts.h"
#include "platform/qt/qt_strings.h"
#include "view/key_codes.h"
#include "view/picture_widget.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

namespace dovrante {

namespace {

// A text this long (in bytes) takes a noticeable moment to lay out: it is shown under the busy
// pointer, after the window.
constexpr std::size_t LargeText = 4 << 20;

QColor toQColor(Colour colour)
{
    return QColor(colourRed(colour), colourGreen(colour), colourBlue(colour));
}

// Tooltips are plain text: anything Qt would take for markup is escaped, never rendered.
QString plainToolTip(const std::string &text)
{
    const QString tip = toQt(text);
    if (!Qt::mightBeRichText(tip))
        return tip;
    return QStringLiteral("<p style='white-space:pre'>") + tip.toHtmlEscaped() +
           QStringLiteral("</p>");
}

// What a screen reader calls a control: its tooltip up to the first ": ", after which some
// tooltips name a path or a file.
QString nameFromToolTip(const std::string &toolTip)
{
    return toQt(toolTip.substr(0, toolTip.find(": ")));
}

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return 0;
    }
}

// The text view shows LF breaks; the program holds the text with CR LF, as the control reports it.
// Both are converted in one pass: QString::replace() with many matches takes time that grows with
// the square of the text's length.
QString forDisplay(const std::string &text)
{
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n')
            shown += text[i];
    }
    return toQt(shown);
}

std::string fromDisplay(const QString &text)
{
    const std::string shown = fromQt(text);
    std::string held;
    held.reserve(shown.size() + shown.size() / 32);
    for (const char c : shown) {
        if (c == '\n')
            held += '\r';
        held += c;
    }
    return held;
}

void setBackground(QWidget *widget, const std::optional<Colour> &colour, QPalette::ColorRole role)
{
    if (!colour)
        return;
    QPalette palette = widget->palette();
    if (palette.color(role) == toQColor(*colour))
        return;
    palette.setColor(role, toQColor(*colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A classic scroll bar runs from its minimum at the start of the track to its maximum at the end,
// even when the maximum is the smaller: then the values fall towards the end. Qt's bar always
// rises, so it gets the distance from the start of the track.
int direction(const ScrollBar &bar)
{
    return bar.max >= bar.min ? 1 : -1;
}

int trackLength(const ScrollBar &bar)
{
    return direction(bar) * (bar.max - bar.min);
}

int trackPosition(const ScrollBar &bar, int value)
{
    return direction(bar) * (value - bar.min);
}

std::int16_t barValue(const ScrollBar &bar, int position)
{
    return static_cast<std::int16_t>(bar.min + direction(bar) * position);
}

} // namespace

class MainWindowView::KeyPreview final : public QObject {
public:
    explicit KeyPreview(MainWindowView &view) : QObject(&view), m_view(view) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool press = event->type() == QEvent::KeyPress;
        if (press || event->type() == QEvent::KeyRelease) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (press || !key->isAutoRepeat())
                m_view.handleKeyPreview(watched, key);
        }
        return false; // never consumed: the focused control still gets the key
    }

private:
    MainWindowView &m_view;
};

MainWindowView::MainWindowView(Form1 &form, float twipsPerPixel)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , m_form(form)
    , m_twipsPerPixel(twipsPerPixel)
{
    setObjectName(QStringLiteral("Form1"));

    // Created back to front: the tool bar floats over the picture and the text view.
    m_picture1 = new PictureWidget(this);
    m_image1 = new PictureWidget(m_picture1);
    m_picture2 = new PictureWidget(m_picture1);
    m_hScroll1 = new QScrollBar(Qt::Horizontal, this);
    m_vScroll1 = new QScrollBar(Qt::Vertical, this);
    m_richTextBox1 = new QPlainTextEdit(this);
    m_txtCaption = new QLineEdit(this);

    const auto button = [this](QPushButton *&widget, void (Form1::*handler)()) {
        widget = new QPushButton(this);
        connect(widget, &QPushButton::clicked, this, [this, handler] {
            run([this, handler] { (m_form.*handler)(); });
        });
    };
    button(m_cmdFont, &Form1::cmdFont_Click);
    button(m_cmdFontP, &Form1::cmdFontP_Click);
    button(m_cmdOpen, &Form1::cmdOpen_Click);
    button(m_cmdPrint, &Form1::cmdPrint_Click);
    button(m_cmdColor, &Form1::cmdColor_Click);
    button(m_cmdCaption, &Form1::cmdCaption_Click);
    button(m_cmdReload, &Form1::cmdReload_Click);
    button(m_cmdFolders, &Form1::cmdFolders_Click);
    button(m_cmdSave, &Form1::cmdSave_Click);
    button(m_cmdSaveAs, &Form1::cmdSaveAs_Click);
    button(m_cmdTxtData, &Form1::cmdTxtData_Click);
    button(m_cmdBmpData, &Form1::cmdBmpData_Click);
    button(m_cmdIdeas, &Form1::cmdIdeas_Click);
    button(m_cmdMin, &Form1::cmdMin_Click);
    m_txtMin = new QLineEdit(this);

    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_richTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    m_txtMin->setObjectName(QStringLiteral("txtMin"));
    m_txtCaption->setObjectName(QStringLiteral("txtCaption"));
    // The right button resets the caption; no edit menu pops up over the message that follows.
    m_txtCaption->setContextMenuPolicy(Qt::NoContextMenu);

    // Like the classic text control the view shows every line of the text as it is.
    m_richTextBox1->setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(m_richTextBox1, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_syncing)
            m_textEdited = true;
    });
    connect(m_txtCaption, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_form.txtCaption.text = fromQt(text); });
    connect(m_txtMin, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_form.txtMin.text = fromQt(text); });

    // The picture moves when a drag ends, not while the thumb is dragged.
    m_hScroll1->setTracking(false);
    m_vScroll1->setTracking(false);
    connect(m_hScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_syncing)
            return;
        run([this, value] {
            m_form.HScroll1.value = barValue(m_form.HScroll1, value);
            m_form.HScroll1_Change();
        });
    });
    connect(m_vScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_syncing)
            return;
        run([this, value] {
            m_form.VScroll1.value = barValue(m_form.VScroll1, value);
            m_form.VScroll1_Change();
        });
    });

    for (QWidget *watched : {static_cast<QWidget *>(m_picture1), static_cast<QWidget *>(m_picture2),
                             static_cast<QWidget *>(m_image1), m_richTextBox1->viewport(),
                             static_cast<QWidget *>(m_txtCaption),
                             static_cast<QWidget *>(m_txtMin)})
        watched->installEventFilter(this);
    // Key preview: every key pressed anywhere in the window is seen here first.
    m_keyPreview = new KeyPreview(*this);
    qApp->installEventFilter(m_keyPreview);

    // The focus moves through the controls in the window's tab order.
    const std::map<int, QWidget *> tabOrder{
        {m_form.Picture1.tabIndex, m_picture1},     {m_form.Picture2.tabIndex, m_picture2},
        {m_form.VScroll1.tabIndex, m_vScroll1},     {m_form.HScroll1.tabIndex, m_hScroll1},
        {m_form.RichTextBox1.tabIndex, m_richTextBox1}, {m_form.cmdPrint.tabIndex, m_cmdPrint},
        {m_form.cmdColor.tabIndex, m_cmdColor},     {m_form.cmdFont.tabIndex, m_cmdFont},
        {m_form.cmdReload.tabIndex, m_cmdReload},   {m_form.cmdIdeas.tabIndex, m_cmdIdeas},
        {m_form.cmdSaveAs.tabIndex, m_cmdSaveAs},   {m_form.cmdFontP.tabIndex, m_cmdFontP},
        {m_form.txtCaption.tabIndex, m_txtCaption}, {m_form.cmdCaption.tabIndex, m_cmdCaption},
        {m_form.cmdTxtData.tabIndex, m_cmdTxtData}, {m_form.cmdBmpData.tabIndex, m_cmdBmpData},
        {m_form.cmdSave.tabIndex, m_cmdSave},       {m_form.cmdMin.tabIndex, m_cmdMin},
        {m_form.cmdFolders.tabIndex, m_cmdFolders}, {m_form.txtMin.tabIndex, m_txtMin},
        {m_form.cmdOpen.tabIndex, m_cmdOpen}};
    QWidget *previous = nullptr;
    for (const auto &[index, widget] : tabOrder) {
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

MainWindowView::~MainWindowView()
{
    qApp->removeEventFilter(m_keyPreview);
}

template <typename Handler>
void MainWindowView::run(Handler handler)
{
    pullEdits();
    handler();
    sync();
}

void MainWindowView::pullEdits()
{
    if (m_textEdited) {
        m_form.RichTextBox1.text = fromDisplay(m_richTextBox1->toPlainText());
        rememberShown(m_form.RichTextBox1.text);
        m_textEdited = false;
    }
}

QRect MainWindowView::toPixels(float left, float top, float width, float height) const
{
    const auto px = [this](float twips) {
        return static_cast<int>(std::lround(static_cast<double>(twips) / m_twipsPerPixel));
    };
    return QRect(px(left), px(top), std::max(0, px(width)), std::max(0, px(height)));
}

void MainWindowView::syncGeometry(QWidget *widget, const Control &control)
{
    const QRect rect = toPixels(control.left, control.top, control.width, control.height);
    if (widget->geometry() != rect)
        widget->setGeometry(rect);
    const QString tip = plainToolTip(control.toolTip);
    if (widget->toolTip() != tip)
        widget->setToolTip(tip);
    // Visible means "shown when its container is", as the control's own property does.
    if (widget->isHidden() == control.visible)
        widget->setVisible(control.visible);
}

void MainWindowView::syncButton(QPushButton *widget, const Button &button)
{
    syncGeometry(widget, button);
    const QString caption = toQt(button.caption);
    if (widget->text() != caption)
        widget->setText(caption);
    // A one-letter caption would be read out as a letter; the tooltip says what the button does.
    syncAccessible(widget, button, caption.size() <= 1);
    const QFont font = toQFont(button.font);
    if (widget->font() != font)
        widget->setFont(font);
}

void MainWindowView::syncAccessible(QWidget *widget, const Control &control, bool namedByToolTip)
{
    const QString description = toQt(control.toolTip);
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
    const QString name = namedByToolTip ? nameFromToolTip(control.toolTip) : QString();
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
}

void MainWindowView::sync()
{
    m_syncing = true;
    const Form1 &f = m_form;

    const QString title = toQt(f.caption);
    if (windowTitle() != title)
        setWindowTitle(title);
    const QRect frame = toPixels(f.left, f.top, f.width, f.height);
    if (geometry() != frame)
        setGeometry(frame);
    setBackground(this, f.backColour, QPalette::Window);

    syncButton(m_cmdOpen, f.cmdOpen);
    syncButton(m_cmdFolders, f.cmdFolders);
    syncButton(m_cmdMin, f.cmdMin);
    syncButton(m_cmdSave, f.cmdSave);
    syncButton(m_cmdBmpData, f.cmdBmpData);
    syncButton(m_cmdTxtData, f.cmdTxtData);
    syncButton(m_cmdCaption, f.cmdCaption);
    syncButton(m_cmdFontP, f.cmdFontP);
    syncButton(m_cmdSaveAs, f.cmdSaveAs);
    syncButton(m_cmdIdeas, f.cmdIdeas);
    syncButton(m_cmdReload, f.cmdReload);
    syncButton(m_cmdFont, f.cmdFont);
    syncButton(m_cmdColor, f.cmdColor);
    syncButton(m_cmdPrint, f.cmdPrint);

        for (const auto &[widget, box] : {std::pair{m_txtMin, &f.txtMin},
                                      std::pair{m_txtCaption, &f.txtCaption}}) {
        syncGeometry(widget, *box);
        syncAccessible(widget, *box, true); // a text box's text is its value, not its name
        const QString text = toQt(box->text);
        if (widget->text() != text)
            widget->setText(text);
        const QFont font = toQFont(box->font);
        if (widget->font() != font)
            widget->setFont(font);
        setBackground(widget, box->backColour, QPalette::Base);
    }

    syncGeometry(m_picture1, f.Picture1);
    setBackground(m_picture1, f.Picture1.backColour, QPalette::Window);
    syncGeometry(m_image1, f.Image1);
    m_image1->setPicture(f.Image1.picture);
    syncGeometry(m_picture2, f.Picture2);
    m_picture2->setPicture(f.Picture2.picture);

    for (const auto &[widget, bar] : {std::pair{m_hScroll1, &f.HScroll1},
                                      std::pair{m_vScroll1, &f.VScroll1}}) {
        syncGeometry(widget, *bar);
        widget->setRange(0, trackLength(*bar));
        widget->setSingleStep(std::max<int>(1, bar->smallChange));
        widget->setPageStep(std::max<int>(1, bar->largeChange));
        widget->setValue(trackPosition(*bar, bar->value));
    }

    syncGeometry(m_richTextBox1, f.RichTextBox1);
    setBackground(m_richTextBox1, f.RichTextBox1.backColour, QPalette::Base);
    const QFont textFont = toQFont(f.RichTextBox1.font);
    if (m_richTextBox1->font() != textFont)
        m_richTextBox1->setFont(textFont);
    if (!isShown(f.RichTextBox1.text)) {
        rememberShown(f.RichTextBox1.text);
        m_textEdited = false;
        if (f.RichTextBox1.text.size() < LargeText) {
            showText(f.RichTextBox1.text);
        } else if (!m_textPending) {
            m_textPending = true;
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            QTimer::singleShot(0, this, [this] { showPendingText(); });
        }
    }

    applyFocusRequest();
    m_syncing = false;
}

bool MainWindowView::isShown(const std::string &text) const
{
    return text.size() == m_shownSize && std::hash<std::string>{}(text) == m_shownHash;
}

void MainWindowView::rememberShown(const std::string &text)
{
    m_shownSize = text.size();
    m_shownHash = std::hash<std::string>{}(text);
}

void MainWindowView::showPendingText()
{
    m_textPending = false;
    m_syncing = true;
    showText(m_form.RichTextBox1.text);
    m_textEdited = false;
    m_syncing = false;
    QGuiApplication::restoreOverrideCursor();
}

void MainWindowView::showText(const std::string &text)
{
    // The view gets its new document while it is empty and the text goes in afterwards: a
    // document handed over full is laid out again block by block, each block keeping a layout of
    // its own (hundreds of megabytes for a million lines).
    auto *document = new QTextDocument(m_richTextBox1);
    document->setDocumentLayout(new QPlainTextDocumentLayout(document));
    document->setDefaultFont(m_richTextBox1->font());
    document->setUndoRedoEnabled(false);
    // The view deletes the document it made itself when it is replaced, but not one given to it.
    QTextDocument *previous = m_richTextBox1->document();
    const bool givenByUs = previous && previous->parent() == m_richTextBox1;
    m_richTextBox1->setDocument(document);
    if (givenByUs)
        delete previous;

    // A change of the view's width lays every block out again, and the vertical bar appearing
    // for a long text is one: the bar is there before the text comes in.
    m_richTextBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Pieces of about a megabyte that end with a line, so that neither a CR LF pair nor a
    // character's UTF-8 bytes are ever split, and no second copy of the whole text is made.
    QTextCursor cursor(document);
    constexpr size_t Piece = 1 << 20;
    for (size_t at = 0; at < text.size();) {
        size_t end = at + Piece < text.size() ? text.find('\n', at + Piece) : text.size();
        end = end == std::string::npos ? text.size() : std::min(text.size(), end + 1);
        cursor.insertText(forDisplay(text.substr(at, end - at)));
        at = end;
    }
    m_richTextBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    document->setUndoRedoEnabled(true);
}

QWidget *MainWindowView::widgetFor(const Control *control) const
{
    const Form1 &f = m_form;
    const std::pair<const Control *, QWidget *> widgets[] = {
        {&f.cmdOpen, m_cmdOpen},       {&f.cmdFolders, m_cmdFolders}, {&f.cmdMin, m_cmdMin},
        {&f.cmdSave, m_cmdSave},       {&f.cmdBmpData, m_cmdBmpData}, {&f.cmdTxtData, m_cmdTxtData},
        {&f.cmdCaption, m_cmdCaption}, {&f.cmdFontP, m_cmdFontP},     {&f.cmdSaveAs, m_cmdSaveAs},
        {&f.cmdIdeas, m_cmdIdeas},     {&f.cmdReload, m_cmdReload},   {&f.cmdFont, m_cmdFont},
        {&f.cmdColor, m_cmdColor},     {&f.cmdPrint, m_cmdPrint},     {&f.txtMin, m_txtMin},
        {&f.txtCaption, m_txtCaption}, {&f.RichTextBox1, m_richTextBox1},
        {&f.Picture1, m_picture1},     {&f.Picture2, m_picture2},     {&f.HScroll1, m_hScroll1},
        {&f.VScroll1, m_vScroll1}};
    for (const auto &[model, widget] : widgets) {
        if (model == control)
            return widget;
    }
    return nullptr;
}

void MainWindowView::applyFocusRequest()
{
    if (QWidget *widget = widgetFor(m_form.takeFocusRequest()))
        widget->setFocus(Qt::OtherFocusReason);
}

void MainWindowView::handleKeyPreview(QObject *watched, QKeyEvent *event)
{
    // A key is delivered to the focus widget first and then passed up to its parents; act once,
    // on the first delivery, and only for keys meant for this window (not for a modal box).
    QWidget *target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (watched != target || !target || target->window() != this)
        return;

    if (event->type() == QEvent::KeyRelease) {
        run([this, event] { m_form.Form_KeyUp(virtualKeyCode(*event), shiftState(event->modifiers())); });
        return;
    }
    const int character = typedCharacter(*event);
    // The button focused when the key came: Enter in the caption box hides it, and the focus
    // moving on to a button must not press that button as well.
    auto *focusedButton = qobject_cast<QPushButton *>(QApplication::focusWidget());
    run([this, event, character] {
        m_form.Form_KeyDown(virtualKeyCode(*event), shiftState(event->modifiers()));
        if (character >= 0) {
            m_form.Form_KeyPress(character);
            if (QApplication::focusWidget() == m_txtCaption)
                m_form.txtCaption_KeyPress(character);
        }
    });
    // As on the classic desktop, Enter presses the focused button too (Space already does).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusedButton && focusedButton == QApplication::focusWidget() &&
        focusedButton->window() == this && focusedButton->isVisible())
        focusedButton->click();
}

bool MainWindowView::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const int code = buttonCode(static_cast<QMouseEvent *>(event)->button());
        if (watched == m_picture1)
            run([this, code] { m_form.Picture1_MouseDown(code); });
        else if (watched == m_picture2)
            run([this, code] { m_form.Picture2_MouseDown(code); });
        else if (watched == m_image1)
            run([this, code] { m_form.Image1_MouseDown(code); });
        else if (watched == m_richTextBox1->viewport())
            run([this, code] { m_form.RichTextBox1_MouseDown(code); });
        else if (watched == m_txtCaption)
            run([this, code] { m_form.txtCaption_MouseDown(code); });
        break;
    }
    case QEvent::MouseButtonRelease:
        if (watched == m_picture1 &&
            m_picture1->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
            run([this] { m_form.Picture1_Click(); });
        else if (watched == m_txtMin &&
                 m_txtMin->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
            run([this] { m_form.txtMin_Click(); });
        // The middle button means nothing to the text view; Qt's paste of the selection there
        // crashes when no program owns the selection, so the text view never sees it released.
        if (watched == m_richTextBox1->viewport() &&
            static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton)
            return true;
        break;
    case QEvent::FocusIn:
        if (watched == m_txtCaption) {
            run([this] { m_form.txtCaption_GotFocus(); });
            m_txtCaption->setSelection(m_form.txtCaption.selStart, m_form.txtCaption.selLength);
        }
        break;
    default:
        break;
    }
    return false;
}

void MainWindowView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The window opens ready for Escape, F5 and F2, also where no window manager hands it the
    // keyboard focus.
    activateWindow();
    raise();
}

void MainWindowView::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        run([this] { m_form.Form_Click(); });
    QWidget::mouseReleaseEvent(event);
}

} // namespace dovrante
