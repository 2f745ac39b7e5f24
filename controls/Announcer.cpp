#include "controls/Announcer.h"

#include "controls/Cards.h"

#include <QAccessibleWidget>
#include <QTimer>
#include <utility>

namespace brisvale {

namespace {

class AnnouncerAccessible : public QAccessibleWidget {
public:
    explicit AnnouncerAccessible(Notice *notice) : QAccessibleWidget(notice, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const auto *notice = static_cast<const Notice *>(widget());
            notice->announcer()->markHeard(notice);
            return notice->news();
        }
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *announcerFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String(Notice::staticMetaObject.className()))
        return new AnnouncerAccessible(static_cast<Notice *>(object));
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

Notice::Notice(Announcer *announcer, QWidget *parent) : QWidget(parent), announcer_(announcer)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    hide();
}

void Notice::tell(const QString &news)
{
    news_ = news;
    // Hidden and shown again, it appears anew for a reader even when the
    // news is the same as before.
    hide();
    show();
}

Announcer::Announcer(QWidget *parent) : QObject(parent)
{
    static const bool installed = [] {
        QAccessible::installFactory(announcerFactory);
        return true;
    }();
    (void)installed;
    for (Notice *&notice : notices_)
        notice = new Notice(this, parent);
}

// The notices ask their announcer what a reader has heard, so they go first.
Announcer::~Announcer() { qDeleteAll(notices_); }

void Announcer::markHeard(const Notice *notice) const
{
    // An older notice read late says nothing of the latest news.
    if (notice == notices_[turn_])
        heard_ = true;
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
    turn_ = (turn_ + 1) % notices_.size();
    notices_[turn_]->tell(news_);
}

} // namespace brisvale
