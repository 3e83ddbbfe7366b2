#include "view/main_window_view.h"

#include "app/form1.h"
#include "qt/qt_fonts.h"
#include "qt/qt_key_codes.h"
#include "qt/qt_strings.h"
#include "qt/qt_units.h"
#include "view/picture_widget.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <functional>

namespace dovrante {

namespace {

// A text this long (in bytes) takes a noticeable moment to lay out: it is shown under the busy
// pointer, after the window.
constexpr std::size_t LargeText = 4 << 20;

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
        if (event->type() == QEvent::Hide && watched->isWidgetType())
            m_view.takeFocusBackFrom(static_cast<QWidget *>(watched));
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

MainWindowView::MainWindowView(Form1 &form, float twipsPerPixel, QScreen *monitor)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
    , m_form(form)
    , m_toPixels(twipsPerPixel)
{
    if (monitor) {
        m_origin = monitor->geometry().topLeft();
        m_fullScreen = true;
        setScreen(monitor);
    }
    setObjectName(QStringLiteral("Form1"));
    // The controls start from the tool bar's font, which their captions need anyway: a control
    // made in another font makes that one ready too, at start-up. (Windows such as message boxes
    // do not take it over.)
    setFont(toQFont(Button().font));

    // Created back to front: the tool bar floats over the picture and the text view.
    Form1 &f = m_form;
    m_picture1 = bind(f.Picture1, new PictureWidget(this), [this] {
        setBackground(m_picture1, m_form.Picture1.backColour, QPalette::Window);
    });
    m_image1 = bind(f.Image1, new PictureWidget(m_picture1),
                    [this] { m_image1->setPicture(m_form.Image1.picture); });
    m_picture2 = bind(f.Picture2, new PictureWidget(m_picture1),
                      [this] { m_picture2->setPicture(m_form.Picture2.picture); });
    m_hScroll1 = bindScrollBar(f.HScroll1, Qt::Horizontal, &Form1::HScroll1_Change);
    m_vScroll1 = bindScrollBar(f.VScroll1, Qt::Vertical, &Form1::VScroll1_Change);
    m_richTextBox1 = bind(f.RichTextBox1, new QPlainTextEdit(this), [this] {
        setBackground(m_richTextBox1, m_form.RichTextBox1.backColour, QPalette::Base);
        // A hidden view takes its font when it is shown: making a font ready costs start-up time.
        if (m_form.RichTextBox1.visible) {
            const QFont textFont = toQFont(m_form.RichTextBox1.font);
            if (m_richTextBox1->font() != textFont)
                m_richTextBox1->setFont(textFont);
        }
        const std::string &text = m_form.RichTextBox1.text;
        if (isShown(text))
            return;
        rememberShown(text);
        m_textEdited = false;
        if (text.size() < LargeText) {
            showText(text);
        } else if (!m_textPending) {
            m_textPending = true;
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            showPendingTextOnceShown();
        }
    });
    m_txtCaption = bindTextBox(f.txtCaption);
    bindButton(f.cmdFont, &Form1::cmdFont_Click);
    bindButton(f.cmdFontP, &Form1::cmdFontP_Click);
    bindButton(f.cmdOpen, &Form1::cmdOpen_Click);
    bindButton(f.cmdPrint, &Form1::cmdPrint_Click);
    bindButton(f.cmdColor, &Form1::cmdColor_Click);
    bindButton(f.cmdCaption, &Form1::cmdCaption_Click);
    bindButton(f.cmdReload, &Form1::cmdReload_Click);
    bindButton(f.cmdFolders, &Form1::cmdFolders_Click);
    bindButton(f.cmdSave, &Form1::cmdSave_Click);
    bindButton(f.cmdSaveAs, &Form1::cmdSaveAs_Click);
    bindButton(f.cmdTxtData, &Form1::cmdTxtData_Click);
    bindButton(f.cmdBmpData, &Form1::cmdBmpData_Click);
    bindButton(f.cmdIdeas, &Form1::cmdIdeas_Click);
    bindButton(f.cmdMin, &Form1::cmdMin_Click);
    m_txtMin = bindTextBox(f.txtMin);

    // Picture boxes take the focus as the classic controls do; the first one shown gets it at
    // start, so that an Enter pressed then does not reach Print.
    m_picture1->setFocusPolicy(Qt::StrongFocus);
    m_picture2->setFocusPolicy(Qt::StrongFocus);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_richTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    m_txtMin->setObjectName(QStringLiteral("txtMin"));
    m_txtCaption->setObjectName(QStringLiteral("txtCaption"));

    // Like the classic text control the view shows every line of the text as it is.
    m_richTextBox1->setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(m_richTextBox1, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_syncing)
            m_textEdited = true;
    });

    for (QWidget *watched :
         {static_cast<QWidget *>(m_picture1), static_cast<QWidget *>(m_picture2),
          static_cast<QWidget *>(m_image1), m_richTextBox1->viewport(),
          static_cast<QWidget *>(m_txtCaption), static_cast<QWidget *>(m_txtMin)})
        watched->installEventFilter(this);
    // Key preview: every key pressed anywhere in the window is seen here first.
    m_keyPreview = new KeyPreview(*this);
    qApp->installEventFilter(m_keyPreview);

    // The focus moves through the controls in the window's tab order.
    std::vector<const Binding *> tabOrder;
    for (const Binding &binding : m_bindings) {
        if (binding.model->tabIndex >= 0)
            tabOrder.push_back(&binding);
    }
    std::sort(tabOrder.begin(), tabOrder.end(), [](const Binding *a, const Binding *b) {
        return a->model->tabIndex < b->model->tabIndex;
    });
    for (const Binding *binding : tabOrder)
        m_tabOrder.push_back(binding->widget);
    for (std::size_t i = 1; i < m_tabOrder.size(); ++i)
        setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
}

template <typename Widget>
Widget *MainWindowView::bind(const Control &model, Widget *widget,
                             std::function<void()> syncContent)
{
    // The classic controls have no menus of their own: a right press does what the window says
    // and nothing more (Qt's edit and scroll menus would take the next click to close them).
    widget->setContextMenuPolicy(Qt::NoContextMenu);
    m_bindings.push_back(Binding{&model, widget, std::move(syncContent)});
    return widget;
}

QPushButton *MainWindowView::bindButton(const Button &model, void (Form1::*click)())
{
    auto *widget = new QPushButton(this);
    connect(widget, &QPushButton::clicked, this,
            [this, click] { run([this, click] { (m_form.*click)(); }); });
    return bind(model, widget, [this, widget, &model] { syncButton(widget, model); });
}

QScrollBar *MainWindowView::bindScrollBar(ScrollBar &model, Qt::Orientation orientation,
                                          void (Form1::*change)())
{
    auto *widget = new QScrollBar(orientation, this);
    // The picture moves when a drag ends, not while the thumb is dragged.
    widget->setTracking(false);
    connect(widget, &QScrollBar::valueChanged, this, [this, &model, change](int value) {
        if (m_syncing)
            return;
        run([this, &model, change, value] {
            model.value = barValue(model, value);
            (m_form.*change)();
        });
    });
    return bind(model, widget, [this, widget, &model] { syncScrollBar(widget, model); });
}

QLineEdit *MainWindowView::bindTextBox(TextBox &model)
{
    auto *widget = new QLineEdit(this);
    connect(widget, &QLineEdit::textEdited, this,
            [&model](const QString &text) { model.text = fromQt(text); });
    return bind(model, widget, [this, widget, &model] { syncTextBox(widget, model); });
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

void MainWindowView::syncGeometry(QWidget *widget, const Control &control)
{
    const QRect rect = m_toPixels.rect(control.left, control.top, control.width, control.height);
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

void MainWindowView::syncTextBox(QLineEdit *widget, const TextBox &box)
{
    syncAccessible(widget, box, true); // a text box's text is its value, not its name
    const QString text = toQt(box.text);
    if (widget->text() != text)
        widget->setText(text);
    const QFont font = toQFont(box.font);
    if (widget->font() != font)
        widget->setFont(font);
    setBackground(widget, box.backColour, QPalette::Base);
}

void MainWindowView::syncScrollBar(QScrollBar *widget, const ScrollBar &bar)
{
    widget->setRange(0, trackLength(bar));
    widget->setSingleStep(std::max<int>(1, bar.smallChange));
    widget->setPageStep(std::max<int>(1, bar.largeChange));
    widget->setValue(trackPosition(bar, bar.value));
}

void MainWindowView::sync(TextView textView)
{
    m_syncing = true;
    const Form1 &f = m_form;

    const QString title = toQt(f.caption);
    if (windowTitle() != title)
        setWindowTitle(title);
    const QRect frame = m_toPixels.rect(f.left, f.top, f.width, f.height).translated(m_origin);
    if (geometry() != frame)
        setGeometry(frame);
    setBackground(this, f.backColour, QPalette::Window);

    for (const Binding &binding : m_bindings) {
        syncGeometry(binding.widget, *binding.model);
        const bool later = textView == TextView::Later && binding.widget == m_richTextBox1;
        if (binding.syncContent && !later)
            binding.syncContent();
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

void MainWindowView::showPendingTextOnceShown(int triesLeft)
{
    // Laid out at the next turn of the event loop, the text held the thread before the window's
    // first paint, and the screen stayed black until the text was in. So the layout waits until
    // the window is on screen: Qt paints a window as soon as it is exposed. A window that is never
    // shown (minimised at once, say) holds the text back a second at most.
    const QWindow *window = windowHandle();
    if (triesLeft > 0 && (!window || !window->isExposed())) {
        QTimer::singleShot(20, this,
                           [this, triesLeft] { showPendingTextOnceShown(triesLeft - 1); });
        return;
    }
    QTimer::singleShot(0, this, [this] { showPendingText(); });
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
    // The caret, carried along by the pieces, starts before the text as the classic control's.
    m_richTextBox1->moveCursor(QTextCursor::Start);
}

QWidget *MainWindowView::widgetFor(const Control *control) const
{
    for (const Binding &binding : m_bindings) {
        if (binding.model == control)
            return binding.widget;
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
    const std::pair<const QKeyEvent *, quint64> key{event, event->timestamp()};
    if (key == m_lastKey)
        return;
    m_lastKey = key;

    if (event->type() == QEvent::KeyRelease) {
        run([this, event] {
            m_form.Form_KeyUp(virtualKeyCode(*event), shiftState(event->modifiers()));
        });
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
        const MouseButton code = mouseButton(static_cast<QMouseEvent *>(event)->button());
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
    case QEvent::Wheel:
        // A wheel over the picture or its viewport reaches the viewport last, however deep it
        // came in.
        if (watched == m_picture1) {
            wheelOverPicture(*static_cast<QWheelEvent *>(event));
            return true;
        }
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

void MainWindowView::wheelOverPicture(const QWheelEvent &wheel)
{
    // The wheel over the picture is the same wheel over its scroll bar: the vertical one, or the
    // horizontal one for a horizontal wheel or with Shift held, which here only picks the bar
    // (over a bar itself Shift turns steps into pages).
    const QPoint delta = wheel.angleDelta();
    const bool shift = wheel.modifiers().testFlag(Qt::ShiftModifier);
    QScrollBar *bar = shift || std::abs(delta.x()) > std::abs(delta.y()) ? m_hScroll1 : m_vScroll1;
    if (!bar->isVisible())
        return;
    const QPointF middle = QRectF(bar->rect()).center();
    QWheelEvent onBar(middle, bar->mapToGlobal(middle), wheel.pixelDelta(), delta, wheel.buttons(),
                      wheel.modifiers() & ~Qt::ShiftModifier, wheel.phase(), wheel.inverted(),
                      wheel.source());
    QCoreApplication::sendEvent(bar, &onBar);
}

void MainWindowView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A real full-screen window, so that panels and docks stay beneath the tool bar. Asked for
    // once the window lies on its monitor: asked for before, Qt took the window for one at the
    // desktop's origin.
    if (m_fullScreen)
        setWindowState(windowState() | Qt::WindowFullScreen);
    // The focus starts on the first control in the tab order that is shown and can take it.
    if (!focusWidget()) {
        const auto first = std::find_if(m_tabOrder.begin(), m_tabOrder.end(), [this](QWidget *w) {
            return w->isVisibleTo(this) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
        });
        if (first != m_tabOrder.end())
            (*first)->setFocus(Qt::TabFocusReason);
    }
    // The window opens ready for Escape, F5 and F2, also where no window manager hands it the
    // keyboard focus.
    activateWindow();
    raise();
}

void MainWindowView::takeFocusBackFrom(QWidget *closed)
{
    // Without a window manager nobody hands the focus back when a message box or dialog closes:
    // the window takes it itself, unless another box has opened meanwhile. (Tooltips and menus
    // are not windows of that kind.)
    const Qt::WindowType type = closed->windowType();
    if (closed == this || !isVisible() || (type != Qt::Window && type != Qt::Dialog))
        return;
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && !QApplication::activeModalWidget())
            activateWindow();
    });
}

void MainWindowView::mouseReleaseEvent(QMouseEvent *event)
{
    if (rect().contains(event->position().toPoint()))
        run([this] { m_form.Form_Click(); });
    QWidget::mouseReleaseEvent(event);
}

} // namespace dovrante
