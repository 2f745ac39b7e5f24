#include "controls/Announcer.h"

#include "controls/Cards.h"

#include <QAccessibleWidget>
#include <QTimer>
#include <utility>

namespace brisvale {

namespace {

class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(Announcer *announcer) : QAccessibleWidget(announcer, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const auto *announcer = static_cast<const Announcer *>(widget());
            announcer->markHeard();
            return announcer->news();
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *announcerFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(Announcer::staticMetaObject.className()))
        return new AnnouncerAccessible(static_cast<Announcer *>(object));
    return nullptr;
}

// Joined as sentences, so a reader pauses between them.
QString sentences(const QStringList &parts)
{
    QString text;
    for (const QString &part : parts) {
        const QString piece = part.simplified();
        if (piece.isEmpty())
            continue;
        if (!text.isEmpty())
            text += text.back().isPunct() ? QStringLiteral(" ") : QStringLiteral(". ");
        text += piece;
    }
    return text;
}

// Unread news older than this is taken to have no reader waiting for it, so
// news does not pile up when no reader is running.
constexpr qint64 kUnheardMs = 4000;

} // namespace

Announcer::Announcer(QWidget *parent) : QWidget(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(announcerFactory);
        return true;
    }();
    (void)installed;
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    hide();
}

void Announcer::say(const QString &text)
{
    post();
    pending_ << text;
}

void Announcer::sayAfter(const QString &text)
{
    post();
    after_ = text;
}

void Announcer::post()
{
    if (!std::exchange(posted_, true))
        QTimer::singleShot(0, this, &Announcer::tell);
}

void Announcer::tell()
{
    QString text = sentences(pending_ + QStringList{after_});
    pending_.clear();
    after_.clear();
    posted_ = false;
    if (text.isEmpty())
        return;
    if (!heard_ && unheardSince_.isValid() && unheardSince_.elapsed() < kUnheardMs) {
        text = sentences({news_, text});
    } else {
        unheardSince_.start();
    }
    heard_ = false;
    // The trainer writes cards as codes ("KH"), which a reader would spell out.
    news_ = SpokenCards(text);
    // Hidden and shown again, it appears anew for a reader even when the
    // news is the same as before.
    hide();
    show();
}

} // namespace brisvale
