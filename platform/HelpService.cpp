#include "platform/HelpService.h"

#include "platform/ApplicationTitle.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

// Resources of a static library are only linked in when something names them.
static void initHelpResources() { Q_INIT_RESOURCE(help); }

namespace brisvale::platform {

namespace {
QString &helpName()
{
    static QString name;
    return name;
}
QPointer<QTextEdit> &helpWindow()
{
    static QPointer<QTextEdit> window;
    return window;
}
// Puts the caret at the start of the topic, where a screen reader reads on.
void placeCaretAt(QTextEdit &text, const QString &anchor)
{
    for (QTextBlock block = text.document()->begin(); block.isValid(); block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().anchorNames().contains(anchor)) {
                QTextCursor caret(text.document());
                caret.setPosition(it.fragment().position());
                text.setTextCursor(caret);
                return;
            }
        }
    }
}
} // namespace

void HelpService::setHelpFile(const QString &name) { helpName() = name; }

QString HelpService::helpFile() { return helpName(); }

QWidget *HelpService::showContext(int context)
{
    initHelpResources();
    QPointer<QTextEdit> &window = helpWindow();
    if (!window) {
        // A read-only text with a caret, rather than a browser, which a
        // screen reader takes for one label: the arrow keys move the caret
        // and the reader reads the line it comes to.
        window = new QTextEdit;
        window->setReadOnly(true);
        window->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // A reference beside the table, never a reason for the program to
        // keep running once the table has closed.
        window->setAttribute(Qt::WA_QuitOnClose, false);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->resize(620, 560);
        for (const QKeySequence &key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
            QObject::connect(new QShortcut(key, window), &QShortcut::activated, window, &QWidget::close);
        // Centred, where a window manager that does not place windows would
        // otherwise leave it over the table's top left corner.
        if (const QScreen *screen = QApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            window->move(area.center() - window->rect().center());
        }
    }
    // Help files map to the embedded document by name, whatever the letter case.
    const QString base = helpName().isEmpty() ? QStringLiteral("TANVIK") : helpName().section(u'.', 0, 0);
    window->setWindowTitle(applicationTitle() + QStringLiteral(" Help"));
    QFile page(QStringLiteral(":/help/%1.html").arg(base.toUpper()));
    if (page.open(QIODevice::ReadOnly))
        window->setHtml(QString::fromUtf8(page.readAll()));
    const QString topic = QStringLiteral("context%1").arg(context);
    placeCaretAt(*window, topic);
    window->scrollToAnchor(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpService::closeWindow()
{
    if (QPointer<QTextEdit> &window = helpWindow())
        window->close();
}

} // namespace brisvale::platform
