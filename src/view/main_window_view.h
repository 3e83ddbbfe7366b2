#pragma once

#include "qt/qt_units.h"

#include <QWidget>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScreen;
class QScrollBar;
class QWheelEvent;

namespace dovrante {

class Form1;
class PictureWidget;
struct Button;
struct Control;
struct ControlRow;
struct HScrollBar;
struct ImageBox;
struct PictureBox;
struct RichTextBox;
struct ScrollBar;
struct TextBox;
struct VScrollBar;

// The main window on the screen: real widgets mirroring the Form1 model. It converts twips to
// pixels, copies the model into the widgets after every event and routes widget events to the
// model's handlers. It holds no state of the program's own.
class MainWindowView final : public QWidget {
public:
    // The window covers `monitor` (when given), full screen for the window manager: the model's
    // 0,0 is the monitor's origin.
    MainWindowView(Form1 &form, float twipsPerPixel, QScreen *monitor = nullptr);
    ~MainWindowView() override;

    // Whether a sync fills the text view too. Before the capture has decided what to show, its
    // text and font would be made ready for nothing whenever the clip is not text.
    enum class TextView { Now, Later };
    // Copies the model onto the widgets; called after every handler and before every modal box.
    void sync(TextView textView = TextView::Now);

protected:
    // The controls' own mouse and focus events, seen once: this filter sits on those widgets only.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    class KeyPreview;

    // One control of the model and the widget that shows it. Creating, connecting, syncing, the
    // focus order and the focus requests all go through the table of these.
    struct Binding {
        const ControlRow *row;
        const Control *model;
        QWidget *widget;
        // The widget whose mouse and focus events are the control's (the text view's viewport).
        QWidget *eventSource;
        // What the widget shows besides its place, tooltip and visibility.
        std::function<void()> syncContent;
    };

    void bind(const ControlRow &row, const Control &model, QWidget *widget,
              std::function<void()> syncContent, QWidget *eventSource = nullptr);
    // A widget of the control's kind, bound to the row's handlers.
    void bindRow(const ControlRow &row, Button &model);
    void bindRow(const ControlRow &row, TextBox &model);
    void bindRow(const ControlRow &row, HScrollBar &model);
    void bindRow(const ControlRow &row, VScrollBar &model);
    void bindRow(const ControlRow &row, PictureBox &model);
    void bindRow(const ControlRow &row, ImageBox &model);
    void bindRow(const ControlRow &row, RichTextBox &model);
    void bindScrollBar(const ControlRow &row, ScrollBar &model, Qt::Orientation orientation);
    QWidget *containerOf(const ControlRow &row);

    // Runs a handler with the user's edits copied into the model first and the screen updated
    // after.
    template <typename Handler>
    void run(Handler handler);
    void pullEdits();
    void applyFocusRequest();
    // Fills the text view with the text (CR LF breaks) piece by piece, so that no second copy
    // of a large text is made on the way.
    void showText(const std::string &text);
    // Shows the pending large text once the window has been painted, asking every 20 ms whether
    // it is on screen.
    void showPendingTextOnceShown(int triesLeft = 50);
    void showPendingText();
    bool isShown(const std::string &text) const;
    void rememberShown(const std::string &text);
    void handleKeyPreview(QObject *watched, QKeyEvent *event);
    void wheelOverPicture(const QWheelEvent &wheel);
    // Called when a window of the program hides: the main window takes the keyboard focus back.
    void takeFocusBackFrom(QWidget *closed);

    void syncGeometry(QWidget *widget, const Control &control);
    void syncButton(QPushButton *widget, const Button &button);
    void syncTextBox(QLineEdit *widget, const TextBox &box);
    void syncScrollBar(QScrollBar *widget, const ScrollBar &bar);
    // Gives a screen reader the control's tooltip as its description and, when its caption does
    // not say what it does, the tooltip's leading phrase as its name.
    void syncAccessible(QWidget *widget, const Control &control, bool namedByToolTip);
    QWidget *widgetFor(const Control *control) const;
    // The binding whose control an event of `source` belongs to, if any.
    const Binding *bindingSeeing(const QObject *source) const;

    Form1 &m_form;
    TwipsToPixels m_toPixels;
    QPoint m_origin;
    bool m_fullScreen = false;
    // Key preview needs every key of the application; it is a filter of its own so that the
    // widgets' mouse events, which pass the application's filters too, are not handled twice.
    // It also sees the program's other windows close, to take the focus back.
    KeyPreview *m_keyPreview = nullptr;
    // The key last handled, and its time: a key the focus widget leaves is passed on to its
    // parents, and the window's handlers (which may move the focus, or wait on the clipboard
    // with the windows still painted) must not take it a second time there.
    std::pair<const QKeyEvent *, quint64> m_lastKey{};

    std::vector<Binding> m_bindings;
    // The widgets that can take the focus, in the window's tab order.
    std::vector<QWidget *> m_tabOrder;
    // The widgets the window's own behaviour needs: the wheel over the picture, the text view.
    PictureWidget *m_picture1 = nullptr;
    QScrollBar *m_hScroll1 = nullptr;
    QScrollBar *m_vScroll1 = nullptr;
    QPlainTextEdit *m_richTextBox1 = nullptr;

    // The text last given to the text view, told by its length and hash: a copy of a large text
    // would add its size again to what the program takes.
    std::size_t m_shownSize = 0;
    std::size_t m_shownHash = 0;
    // A large text waits until the window has been painted, so that the window (and the busy
    // pointer over it) is on screen while it is laid out.
    bool m_textPending = false;
    bool m_textEdited = false;
    bool m_syncing = false;
};

} // namespace dovrante
