#pragma once

#include <QWidget>

#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace dovrante {

class Form1;
class PictureWidget;
struct Button;
struct Control;

// The main window on the screen: real widgets mirroring the Form1 model. It converts twips to
// pixels, copies the model into the widgets after every event and routes widget events to the
// model's handlers. It holds no state of the program's own.
class MainWindowView final : public QWidget {
public:
    MainWindowView(Form1 &form, float twipsPerPixel);
    ~MainWindowView() override;

    // Copies the model onto the widgets; called after every handler and before every modal box.
    void sync();

protected:
    // The controls' own mouse and focus events, seen once: this filter sits on those widgets only.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    class KeyPreview;

    // Runs a handler with the user's edits copied into the model first and the screen updated after.
    template <typename Handler>
    void run(Handler handler);
    void pullEdits();
    void applyFocusRequest();
    // Fills the text view with the text (CR LF breaks) piece by piece, so that no second copy
    // of a large text is made on the way.
    void showText(const std::string &text);
    void showPendingText();
    bool isShown(const std::string &text) const;
    void rememberShown(const std::string &text);
    void handleKeyPreview(QObject *watched, QKeyEvent *event);

    void syncGeometry(QWidget *widget, const Control &control);
    void syncButton(QPushButton *widget, const Button &button);
    // Gives a screen reader the control's tooltip as its description and, when its caption does
    // not say what it does, the tooltip's leading phrase as its name.
    void syncAccessible(QWidget *widget, const Control &control, bool namedByToolTip);
    QRect toPixels(float left, float top, float width, float height) const;
    QWidget *widgetFor(const Control *control) const;

    Form1 &m_form;
    float m_twipsPerPixel;
    // Key preview needs every key of the application; it is a filter of its own so that the
    // widgets' mouse events, which pass the application's filters too, are not handled twice.
    KeyPreview *m_keyPreview = nullptr;

    PictureWidget *m_picture1 = nullptr;
    PictureWidget *m_picture2 = nullptr;
    PictureWidget *m_image1 = nullptr;
    QScrollBar *m_hScroll1 = nullptr;
    QScrollBar *m_vScroll1 = nullptr;
    QPlainTextEdit *m_richTextBox1 = nullptr;
    QLineEdit *m_txtMin = nullptr;
    QLineEdit *m_txtCaption = nullptr;
    QPushButton *m_cmdOpen = nullptr;
    QPushButton *m_cmdFolders = nullptr;
    QPushButton *m_cmdMin = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_cmdBmpData = nullptr;
    QPushButton *m_cmdTxtData = nullptr;
    QPushButton *m_cmdCaption = nullptr;
    QPushButton *m_cmdFontP = nullptr;
    QPushButton *m_cmdSaveAs = nullptr;
    QPushButton *m_cmdIdeas = nullptr;
    QPushButton *m_cmdReload = nullptr;
    QPushButton *m_cmdFont = nullptr;
    QPushButton *m_cmdColor = nullptr;
    QPushButton *m_cmdPrint = nullptr;

    // The text last given to the text view, told by its length and hash: a copy of a large text
    // would add its size again to what the program takes.
    std::size_t m_shownSize = 0;
    std::size_t m_shownHash = 0;
    // A large text waits for the next turn of the event loop, so that the window (and the busy
    // pointer over it) is on screen while it is laid out.
    bool m_textPending = false;
    bool m_textEdited = false;
    bool m_syncing = false;
};

} // namespace dovrante
