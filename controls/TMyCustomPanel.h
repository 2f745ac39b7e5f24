#pragma once

#include "controls/DockLayout.h"
#include "controls/SectionBevels.h"

#include <QPointer>
#include <QWidget>

namespace brisvale {

// A panel with an outer and an inner bevel and a centred one-line caption.
// A left-button press on it is handled as usual and then sent on to its
// parent with the same coordinates (relative to this panel, not translated),
// so a press on a panel inside a panel reaches every window above it.
// A docked panel (Align) stacks with its docked siblings when its parent is a
// panel, and follows its parent's edges alone when it is not.
class TMyCustomPanel : public QWidget {
    Q_OBJECT
public:
    explicit TMyCustomPanel(QWidget *parent = nullptr);
    ~TMyCustomPanel() override;

    TBevelCut BevelOuter() const { return outer_; }
    void setBevelOuter(TBevelCut bevel);
    TBevelCut BevelInner() const { return inner_; }
    void setBevelInner(TBevelCut bevel);

    QString Caption() const { return caption_; }
    // Repaints only when the text changes.
    void setCaption(const QString &caption);

    // What the panel shows as its caption now.
    QString shownCaption() const { return paintedCaption(); }

    TAlign Align() const { return align_; }
    void setAlign(TAlign align);

    // Width of the bevels at each edge; docked children lie inside it.
    int bevelInset() const;

protected:
    // The text painted in the middle of the panel.
    virtual QString paintedCaption() const { return caption_; }
    // Where, and how aligned, the painted caption goes inside the bevels.
    virtual QRect captionRect(const QRect &inside) const { return inside; }
    virtual Qt::Alignment captionAlignment() const { return Qt::AlignCenter; }
    // The font the caption is painted in within `area`; what does not fit is cut with "...".
    virtual QFont captionFont(const QString &, const QRect &) const { return font(); }
    // Tells assistive technology that the shown caption changed.
    void announceCaption();
    // Places the docked panels among this panel's children.
    void dockChildren();

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void redock();
    void followParent();

    TBevelCut outer_ = TBevelCut::bvRaised;
    TBevelCut inner_ = TBevelCut::bvNone;
    QString caption_;
    TAlign align_ = TAlign::alNone;
    QPointer<QWidget> followed_; // the non-panel parent whose edges a docked panel follows
};

} // namespace brisvale
