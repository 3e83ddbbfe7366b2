#include "view/main_window_view.h"

#include "app/control_table.h"
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
    for (const ControlRow &row : controlTable())
        std::visit([this, &row](auto member) { bindRow(row, m_form.*member); }, row.member);
    m_picture1 = static_cast<PictureWidget *>(widgetFor(&m_form.Picture1));
    m_hScroll1 = static_cast<QScrollBar *>(widgetFor(&m_form.HScroll1));
    m_vScroll1 = static_cast<QScrollBar *>(widgetFor(&m_form.VScroll1));
    m_richTextBox1 = static_cast<QPlainTextEdit *>(widgetFor(&m_form.RichTextBox1));

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

void MainWindowView::bind(const ControlRow &row, const Control &model, QWidget *widget,
                          std::function<void()> syncContent, QWidget *eventSource)
{
    widget->setObjectName(QString::fromLatin1(row.name));
    // The classic controls have no menus of their own: a right press does what the window says
    // and nothing more (Qt's edit and scroll menus would take the next click to close them).
    widget->setContextMenuPolicy(Qt::NoContextMenu);
    if (!eventSource)
        eventSource = widget;
    // A button's click comes from its widget; every other event of the row's is seen here.
    const bool button = qobject_cast<QPushButton *>(widget);
    if (row.mouseDown || row.gotFocus || (row.click && !button))
        eventSource->installEventFilter(this);
    m_bindings.push_back(Binding{&row, &model, widget, eventSource, std::move(syncContent)});
}

QWidget *MainWindowView::containerOf(const ControlRow &row)
{
    return row.container ? widgetFor(&controlOf(m_form, *row.container)) : this;
}

void MainWindowView::bindRow(const ControlRow &row, Button &model)
{
    auto *widget = new QPushButton(containerOf(row));
    connect(widget, &QPushButton::clicked, this,
            [this, &row] { run([this, &row] { (m_form.*row.click)(); }); });
    bind(row, model, widget, [this, widget, &model] { syncButton(widget, model); });
}

void MainWindowView::bindRow(const ControlRow &row, TextBox &model)
{
    auto *widget = new QLineEdit(containerOf(row));
    connect(widget, &QLineEdit::textEdited, this,
            [&model](const QString &text) { model.text = fromQt(text); });
    bind(row, model, widget, [this, widget, &model] { syncTextBox(widget, model); });
}

void MainWindowView::bindRow(const ControlRow &row, HScrollBar &model)
{
    bindScrollBar(row, model, Qt::Horizontal);
}

void MainWindowView::bindRow(const ControlRow &row, VScrollBar &model)
{
    bindScrollBar(row, model, Qt::Vertical);
}

void MainWindowView::bindScrollBar(const ControlRow &row, ScrollBar &model,
                                   Qt::Orientation orientation)
{
    auto *widget = new QScrollBar(orientation, containerOf(row));
    // The picture moves when a drag ends, not while the thumb is dragged.
    widget->setTracking(false);
    connect(widget, &QScrollBar::valueChanged, this, [this, &model, &row](int value) {
        if (m_syncing)
            return;
        run([this, &model, &row, value] {
            model.value = barValue(model, value);
            (m_form.*row.change)();
        });
    });
    bind(row, model, widget, [this, widget, &model] { syncScrollBar(widget, model); });
}

void MainWindowView::bindRow(const ControlRow &row, PictureBox &model)
{
    auto *widget = new PictureWidget(containerOf(row));
    // Picture boxes take the focus as the classic controls do; the first one shown gets it at
    // start, so that an Enter pressed then does not reach Print.
    if (row.tabIndex >= 0)
        widget->setFocusPolicy(Qt::StrongFocus);
    bind(row, model, widget, [widget, &model] {
        setBackground(widget, model.backColour, QPalette::Window);
        widget->setPicture(model.picture);
    });
}

void MainWindowView::bindRow(const ControlRow &row, ImageBox &model)
{
    auto *widget = new PictureWidget(containerOf(row));
    bind(row, model, widget, [widget, &model] { widget->setPicture(model.picture); });
}

void MainWindowView::bindRow(const ControlRow &row, RichTextBox &model)
{
    auto *widget = new QPlainTextEdit(containerOf(row));
    // Like the classic text control the view shows every line of the text as it is.
    widget->setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(widget, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_syncing)
            m_textEdited = true;
    });
    bind(
        row, model, widget,
        [this, widget, &model] {
            setBackground(widget, model.backColour, QPalette::Base);
            // A hidden view takes its font when it is shown: making a font ready costs start-up
            // time.
            if (model.visible) {
                const QFont textFont = toQFont(model.font);
                if (widget->font() != textFont)
                    widget->setFont(textFont);
            }
            const std::string &text = model.text;
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
        },
        // Its mouse presses come to the viewport inside it.
        widget->viewport());
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

const MainWindowView::Binding *MainWindowView::bindingSeeing(const QObject *source) const
{
    for (const Binding &binding : m_bindings) {
        if (binding.eventSource == source)
            return &binding;
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
            // Then the control with the focus, if it takes typed characters.
            const Binding *focused = bindingSeeing(QApplication::focusWidget());
            if (focused && focused->row->keyPress)
                (m_form.*focused->row->keyPress)(character);
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
    const Binding *binding = bindingSeeing(watched);
    if (!binding)
        return false;
    const ControlRow &row = *binding->row;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (row.mouseDown) {
            const MouseButton button = mouseButton(static_cast<QMouseEvent *>(event)->button());
            run([this, &row, button] { (m_form.*row.mouseDown)(button); });
        }
        break;
    case QEvent::MouseButtonRelease: {
        const auto *release = static_cast<QMouseEvent *>(event);
        // A click is a press and a release within the control.
        if (row.click && binding->widget->rect().contains(release->position().toPoint()))
            run([this, &row] { (m_form.*row.click)(); });
        // The middle button means nothing to the text view; Qt's paste of the selection there
        // crashes when no program owns the selection, so the text view never sees it released.
        if (binding->widget == m_richTextBox1 && release->button() == Qt::MiddleButton)
            return true;
        break;
    }
    case QEvent::Wheel:
        // A wheel over the picture or its viewport reaches the viewport last, however deep it
        // came in.
        if (watched == m_picture1) {
            wheelOverPicture(*static_cast<QWheelEvent *>(event));
            return true;
        }
        break;
    case QEvent::FocusIn:
        if (row.gotFocus) {
            run([this, &row] { (m_form.*row.gotFocus)(); });
            // The handler may have chosen what typing replaces.
            if (auto *edit = qobject_cast<QLineEdit *>(binding->widget)) {
                const auto &box = static_cast<const TextBox &>(*binding->model);
                edit->setSelection(box.selStart, box.selLength);
            }
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
