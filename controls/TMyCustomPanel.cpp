#include "controls/TMyCustomPanel.h"

#include <algorithm>

#include "controls/CaptionPanelAccessible.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace brisvale {

namespace {

constexpr int kBevelWidth = 1;

// Draws one bevel of width 1 around `r` and returns the rectangle inside it.
QRect drawBevel(QPainter &p, const QRect &r, TBevelCut cut, const QPalette &pal)
{
    if (cut == TBevelCut::bvNone || r.width() < 1 || r.height() < 1)
        return r;
    const QColor light = pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Dark);
    const QColor topLeft = cut == TBevelCut::bvRaised ? light : shadow;
    const QColor bottomRight = cut == TBevelCut::bvRaised ? shadow : light;
    p.setPen(topLeft);
    p.drawLine(r.left(), r.top(), r.right(), r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom());
    p.setPen(bottomRight);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    return r.adjusted(kBevelWidth, kBevelWidth, -kBevelWidth, -kBevelWidth);
}

} // namespace

TMyCustomPanel::TMyCustomPanel(QWidget *parent) : QWidget(parent)
{
    CaptionPanelAccessible::install();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TMyCustomPanel::~TMyCustomPanel()
{
    if (followed_)
        followed_->removeEventFilter(this);
}

void TMyCustomPanel::setBevelOuter(TBevelCut bevel)
{
    if (outer_ == bevel)
        return;
    outer_ = bevel;
    update();
    dockChildren();
}

void TMyCustomPanel::setBevelInner(TBevelCut bevel)
{
    if (inner_ == bevel)
        return;
    inner_ = bevel;
    update();
    dockChildren();
}

void TMyCustomPanel::setCaption(const QString &caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    update();
    announceCaption();
}

void TMyCustomPanel::announceCaption()
{
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void TMyCustomPanel::setAlign(TAlign align)
{
    align_ = align;
    redock();
}

int TMyCustomPanel::bevelInset() const
{
    return (outer_ != TBevelCut::bvNone ? kBevelWidth : 0) + (inner_ != TBevelCut::bvNone ? kBevelWidth : 0);
}

void TMyCustomPanel::redock()
{
    if (auto *panel = qobject_cast<TMyCustomPanel *>(parentWidget())) {
        panel->dockChildren();
        return;
    }
    followParent();
}

void TMyCustomPanel::followParent()
{
    QWidget *parent = parentWidget();
    const bool follow = parent && align_ != TAlign::alNone && !qobject_cast<TMyCustomPanel *>(parent);
    if (followed_ && (!follow || followed_ != parent)) {
        followed_->removeEventFilter(this);
        followed_ = nullptr;
    }
    if (!follow)
        return;
    if (!followed_) {
        followed_ = parent;
        parent->installEventFilter(this);
    }
    const std::vector<QRect> placed = dockRects(parent->rect(), {{align_, geometry()}});
    setGeometry(placed.front());
}

void TMyCustomPanel::dockChildren()
{
    std::vector<TMyCustomPanel *> docked;
    std::vector<DockItem> items;
    for (QObject *child : children()) {
        auto *panel = qobject_cast<TMyCustomPanel *>(child);
        if (!panel || panel->isHidden() || panel->Align() == TAlign::alNone)
            continue;
        docked.push_back(panel);
        items.push_back({panel->Align(), panel->geometry()});
    }
    if (docked.empty())
        return;
    const int inset = bevelInset();
    const QRect client = rect().adjusted(inset, inset, -inset, -inset);
    const std::vector<QRect> placed = dockRects(client, items);
    for (std::size_t i = 0; i < docked.size(); ++i)
        docked[i]->setGeometry(placed[i]);
}

void TMyCustomPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    p.fillRect(rect(), pal.color(QPalette::Window));
    QRect inside = drawBevel(p, rect(), outer_, pal);
    inside = drawBevel(p, inside, inner_, pal);
    const QString text = paintedCaption();
    if (!text.isEmpty()) {
        p.setPen(pal.color(QPalette::WindowText));
        const QRect area = captionRect(inside);
        p.setFont(captionFont(text, area));
        const QString shown = p.fontMetrics().elidedText(text, Qt::ElideRight, std::max(0, area.width()));
        p.drawText(area, captionAlignment() | Qt::TextSingleLine, shown);
    }
}

void TMyCustomPanel::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (QWidget *parent = parentWidget()) {
        QMouseEvent forwarded(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                              event->globalPosition(), event->button(), event->buttons(), event->modifiers(),
                              event->pointingDevice());
        QCoreApplication::sendEvent(parent, &forwarded);
    }
    // Taken: the parent has had the press already, with this panel's
    // coordinates; the toolkit must not pass it on a second time.
    event->accept();
}

void TMyCustomPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    dockChildren();
}

bool TMyCustomPanel::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ParentChange: redock(); break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (align_ != TAlign::alNone)
            redock();
        break;
    default: break;
    }
    return QWidget::event(event);
}

bool TMyCustomPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == followed_ && event->type() == QEvent::Resize)
        followParent();
    return QWidget::eventFilter(watched, event);
}

} // namespace brisvale
