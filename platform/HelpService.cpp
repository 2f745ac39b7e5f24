#include "platform/HelpService.h"

#include "platform/ApplicationTitle.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>

// Resources of a static library are only linked in when something names them.
static void initHelpResources() { Q_INIT_RESOURCE(help); }

namespace brisvale::platform {

namespace {
QString &helpName()
{
    static QString name;
    return name;
}
QPointer<QTextBrowser> &helpWindow()
{
    static QPointer<QTextBrowser> window;
    return window;
}
} // namespace

void HelpService::setHelpFile(const QString &name) { helpName() = name; }

QString HelpService::helpFile() { return helpName(); }

QWidget *HelpService::showContext(int context)
{
    initHelpResources();
    QPointer<QTextBrowser> &window = helpWindow();
    if (!window) {
        window = new QTextBrowser;
        window->setAttribute(Qt::WA_DeleteOnClose);
        // A reference beside the table, never a reason for the program to
        // keep running once the table has closed.
        window->setAttribute(Qt::WA_QuitOnClose, false);
        window->setObjectName(QStringLiteral("HelpWindow"));
        window->setOpenExternalLinks(false);
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
    window->setSource(QUrl(QStringLiteral("qrc:/help/%1.html").arg(base.toUpper())));
    window->scrollToAnchor(QStringLiteral("context%1").arg(context));
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpService::closeWindow()
{
    if (QPointer<QTextBrowser> &window = helpWindow())
        window->close();
}

} // namespace brisvale::platform
