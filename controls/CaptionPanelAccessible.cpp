#include "controls/CaptionPanelAccessible.h"

#include "controls/Cards.h"
#include "controls/TEStatusBar.h"
#include "controls/TMyCustomPanel.h"

namespace brisvale {

namespace {

QAccessibleInterface *captionPanelFactory(const QString &className, QObject *object)
{
    // The status bar is a caption panel too; one interface serves both.
    if (className == QLatin1String(TMyCustomPanel::staticMetaObject.className()))
        return new CaptionPanelAccessible(static_cast<TMyCustomPanel *>(object));
    return nullptr;
}

} // namespace

CaptionPanelAccessible::CaptionPanelAccessible(TMyCustomPanel *panel)
    : QAccessibleWidget(panel, QAccessible::StaticText)
{}

void CaptionPanelAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(captionPanelFactory);
        return true;
    }();
    (void)installed;
}

TMyCustomPanel *CaptionPanelAccessible::panel() const { return static_cast<TMyCustomPanel *>(widget()); }

QAccessible::Role CaptionPanelAccessible::role() const
{
    return qobject_cast<const TEStatusBar *>(panel()) ? QAccessible::StatusBar : QAccessible::StaticText;
}

QString CaptionPanelAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && panel()->accessibleName().isEmpty())
        return SpokenCards(panel()->shownCaption()); // the trainer's card codes, said as names
    return QAccessibleWidget::text(t);
}

QAccessible::State CaptionPanelAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
}

} // namespace brisvale
